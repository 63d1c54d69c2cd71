#include "platform/CReportDescriptor.h"
#include "support/HexFile.h"

#include <benchmark/benchmark.h>

#include <dirent.h>

#include <string>
#include <vector>

namespace {

// The hex bytes of every real descriptor in the repository's test data.
std::vector<std::vector<uint8_t>> RealDescriptors() {
    const std::string dir = std::string(VANTREL_TEST_DATA_DIR) + "/descriptors";
    std::vector<std::vector<uint8_t>> all;
    DIR* d = opendir(dir.c_str());
    if (d == nullptr) {
        return all;
    }
    while (const dirent* e = readdir(d)) {
        const std::string name = e->d_name;
        if (name.size() < 5 || name.compare(name.size() - 4, 4, ".hex") != 0) {
            continue;
        }
        all.push_back(ReadHexFile(dir + "/" + name));
    }
    closedir(d);
    return all;
}

void BM_ParseRealDescriptors(benchmark::State& state) {
    const std::vector<std::vector<uint8_t>> descriptors = RealDescriptors();
    if (descriptors.empty()) {
        state.SkipWithError("no descriptors in tests/data/descriptors");
        return;
    }
    CReportDescriptor parser;
    size_t bytes = 0;
    for (auto _ : state) {
        for (const std::vector<uint8_t>& d : descriptors) {
            benchmark::DoNotOptimize(parser.Parse(d));
            bytes += d.size();
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * descriptors.size()));
    state.SetBytesProcessed(static_cast<int64_t>(bytes));
}
BENCHMARK(BM_ParseRealDescriptors);

} // namespace

BENCHMARK_MAIN();
