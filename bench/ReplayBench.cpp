// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

// The terminal tool's replay of a 1 000 000-report recording of 64-byte Hid Pos labels, in each
// output format, beside two baselines over the same file in the same run: `wc -l`, which only
// counts its lines, and a plain hex decoder (each line split into words, each word converted).
// Reports per second and the growth of the peak resident memory are counters. The rates of the
// in-process runs are per CPU second, so that other load on the machine does not count; `wc -l`
// runs as a child process, so its rate is per wall-clock second.
#include "cli/CCliApp.h"
#include "settings/CMemorySettingsStore.h"
#include "support/CFakeHidPlatform.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int64_t kReports = 1000000;

// The Hid Pos imager's descriptor, as its recordings carry it.
const char kHeader[] =
    "R: 144 05 8c 09 02 a1 01 09 12 a1 02 85 02 15 00 26 ff 00 75 08 95 01 05 01 09 3b 81 02 95 "
    "03 05 8c 09 fb 09 fc 09 fd 81 02 95 38 09 fe 82 02 01 06 66 ff 95 02 09 04 09 00 81 02 05 8c "
    "25 01 75 01 95 08 09 ff 81 02 c0 09 14 a1 02 85 04 15 00 25 01 75 01 95 08 09 00 09 5f 09 60 "
    "09 00 09 00 09 85 09 86 91 86 c0 06 66 ff 75 08 26 ff 00 09 03 a1 02 85 fe 95 01 09 03 b2 82 "
    "01 c0 09 01 a1 02 85 fd 95 01 09 21 91 02 95 3e 09 22 92 82 01 c0 c0\n"
    "N: Vantrel Sim Hid Pos Imager\nI: 6 1209 0101\n";

// The recording, written once per run into a temporary file: each report a 10-digit EAN label
// with its identifier, zero-padded to 64 bytes, 20 ms apart.
const std::string& Recording() {
    static const std::string path = [] {
        char name[] = "/tmp/vantrel-replay-benchXXXXXX";
        const int fd = mkstemp(name);
        close(fd);
        std::ofstream out(name);
        out << kHeader;
        char line[400];
        for (int64_t i = 0; i < kReports; ++i) {
            const long long ms = i * 20;
            int at = std::snprintf(line, sizeof line, "E: %06lld.%06lld 64 02 0a 5d 45 30",
                                   ms / 1000, ms % 1000 * 1000);
            char digits[16];
            std::snprintf(digits, sizeof digits, "%09lld", static_cast<long long>(i));
            for (int d = 0; d < 9; ++d) {
                at += std::snprintf(line + at, sizeof line - size_t(at), " 3%c", digits[d]);
            }
            for (int byte = 14; byte < 64; ++byte) {
                at += std::snprintf(line + at, sizeof line - size_t(at), " 00");
            }
            out << line << '\n';
        }
        return std::string(name);
    }();
    return path;
}

long PeakKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void Report(benchmark::State& state, long peakBefore) {
    state.counters["reports_per_s"] =
        benchmark::Counter(double(kReports), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["peak_growth_MiB"] = double(PeakKiB() - peakBefore) / 1024.0;
}

void BM_WcLines(benchmark::State& state) {
    const std::string command = "wc -l " + Recording() + " > /dev/null";
    const long before = PeakKiB();
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("wc -l failed");
            return;
        }
    }
    Report(state, before);
}
BENCHMARK(BM_WcLines)->Unit(benchmark::kMillisecond)->UseRealTime();

// What a short script does: split each line into words and convert each hex word.
void BM_HexDecodeBaseline(benchmark::State& state) {
    const long before = PeakKiB();
    for (auto _ : state) {
        std::ifstream in(Recording());
        std::string line;
        std::vector<uint8_t> bytes;
        uint64_t sum = 0;
        while (std::getline(in, line)) {
            if (line.rfind("E: ", 0) != 0) {
                continue;
            }
            std::istringstream words(line.substr(3));
            std::string word;
            words >> word >> word; // the time and the count
            bytes.clear();
            while (words >> word) {
                bytes.push_back(uint8_t(std::stoul(word, nullptr, 16)));
            }
            sum += bytes.size();
        }
        benchmark::DoNotOptimize(sum);
    }
    Report(state, before);
}
BENCHMARK(BM_HexDecodeBaseline)->Unit(benchmark::kMillisecond);

// range(0): 0 plain, 1 json, 2 records; the output goes to /dev/null through a file stream.
void BM_Replay(benchmark::State& state) {
    static const char* const kFormats[] = {"plain", "json", "records"};
    const char* format = kFormats[state.range(0)];
    state.SetLabel(format);
    const std::string& path = Recording();
    const long before = PeakKiB();
    for (auto _ : state) {
        CFakeHidPlatform platform; // no readers: replay and describe read files only
        CMemorySettingsStore store;
        std::atomic<bool> stop{false};
        std::ofstream out("/dev/null");
        std::ostringstream err;
        CCliApp app(platform, store, out, err, stop, false);
        app.SetEnvironment(true, "dumb", -1);
        if (app.Run({"replay", path, "--format", format}) != CCliApp::kDone) {
            state.SkipWithError(err.str().c_str());
            return;
        }
    }
    Report(state, before);
}
BENCHMARK(BM_Replay)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::remove(Recording().c_str());
    return 0;
}
