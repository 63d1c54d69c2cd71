#include "sim/CSimPlatform.h"

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

// 64 interfaces of the four reader types, as a crowded test bench would have them.
std::vector<CSimReaderDefinition> SixtyFourReaders() {
    std::vector<CSimReaderDefinition> readers;
    for (uint16_t i = 0; i < 64; ++i) {
        CSimReaderDefinition d;
        char path[32];
        std::snprintf(path, sizeof path, "sim:/bench/%02u", static_cast<unsigned>(i));
        d.path = path;
        d.attributes = {0x1209, static_cast<uint16_t>(0x0200 + i), 0x0100};
        d.product = "Bench Reader";
        d.serial = i % 8 == 0 ? "?" : "B" + std::to_string(i);
        switch (i % 4) {
        case 0:
            d.reportDescriptor = CSimReaderSet::HidPosDescriptor();
            break;
        case 1:
            d.reportDescriptor = CSimReaderSet::QuorinDescriptor();
            break;
        case 2:
            d.reportDescriptor = CSimReaderSet::SurePosDescriptor(0x4B00);
            break;
        default:
            d.reportDescriptor = CSimReaderSet::SurePosSioDescriptor(0x6400);
            break;
        }
        readers.push_back(std::move(d));
    }
    return readers;
}

void BM_EnumerateSimulated64(benchmark::State& state) {
    CSimPlatform platform(SixtyFourReaders());
    std::vector<CHidInterfaceInfo> list;
    int error = 0;
    for (auto _ : state) {
        platform.EnumerateInterfaces(list, error);
        benchmark::DoNotOptimize(list.data());
    }
    state.counters["interfaces"] = static_cast<double>(list.size());
}
BENCHMARK(BM_EnumerateSimulated64)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
