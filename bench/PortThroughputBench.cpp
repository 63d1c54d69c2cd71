// Reports per second from an interface through the reader thread and the poster to a consumer
// that keeps up, with a check that none is lost or reordered; and the times of Open and Close.
#include "device/CHidPort.h"
#include "device/CQueuedPoster.h"

#include "support/CFakeHidPlatform.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

namespace {

constexpr uint32_t kBase = 0x07E8;
constexpr uint16_t kInputLength = 64;

using Clock = std::chrono::steady_clock;

void AddReader(CFakeHidPlatform& platform) {
    platform.AddInterface({MakeInterfaceInfo("/dev/bench", 0x1209, 1, 0x008C, 0x0002, "Bench", "B1",
                                             "", kInputLength, 64)});
}

void BM_ReportThroughput(benchmark::State& state) {
    const uint32_t total = uint32_t(state.range(0));
    uint64_t lost = 0;
    uint64_t reordered = 0;
    double seconds = 0;
    for (auto _ : state) {
        CFakeHidPlatform platform;
        AddReader(platform);
        CQueuedPoster poster;
        CReaderPort port(platform, poster);
        if (!port.Open("/dev/bench", kBase)) {
            state.SkipWithError("open failed");
            return;
        }
        auto link = platform.Link("/dev/bench");
        const auto start = Clock::now();
        std::thread device([&] {
            std::vector<uint8_t> report(kInputLength, 'A');
            report[0] = 0x02;
            for (uint32_t i = 0; i < total; ++i) {
                std::memcpy(&report[1], &i, sizeof i);
                link->SendInput(report);
            }
        });
        uint32_t expected = 0;
        uint32_t received = 0;
        std::vector<CHidMessage> batch;
        while (received < total) {
            batch.clear();
            if (poster.TakeAll(batch, 2000) == 0)
                break;
            for (const CHidMessage& message : batch) {
                if (!port.IsCurrent(message) || message.report.size() < 5)
                    continue;
                uint32_t sequence;
                std::memcpy(&sequence, &message.report[1], sizeof sequence);
                if (sequence != expected)
                    ++reordered;
                expected = sequence + 1;
                ++received;
            }
        }
        seconds = std::chrono::duration<double>(Clock::now() - start).count();
        device.join();
        port.Close();
        lost += total - received;
    }
    state.counters["reports_per_s"] = double(total) / seconds;
    state.counters["lost"] = double(lost);
    state.counters["reordered"] = double(reordered);
}
BENCHMARK(BM_ReportThroughput)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);

void ReportTimes(benchmark::State& state, const char* name, std::vector<double>& times) {
    std::sort(times.begin(), times.end());
    state.counters[std::string(name) + "_median_us"] = times[times.size() / 2];
    state.counters[std::string(name) + "_worst_us"] = times.back();
}

double MicrosecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

void BM_OpenClose(benchmark::State& state) {
    const int cycles = int(state.range(0));
    const bool afterError = state.range(1) != 0;
    std::vector<double> opens;
    std::vector<double> closes;
    for (auto _ : state) {
        CFakeHidPlatform platform;
        AddReader(platform);
        CQueuedPoster poster;
        CReaderPort port(platform, poster);
        for (int i = 0; i < cycles; ++i) {
            auto start = Clock::now();
            if (!port.Open("/dev/bench", kBase)) {
                state.SkipWithError("open failed");
                return;
            }
            opens.push_back(MicrosecondsSince(start));
            if (afterError) {
                // The reader goes away and its reader thread ends on the read error.
                platform.Link("/dev/bench")->Unplug();
                CHidMessage message;
                while (poster.WaitForMessage(message, 2000) && message.messageId != HidMessageId(kBase, CHidMessageKind::Error)) {
                }
                while (port.IsRunning())
                    std::this_thread::yield();
            }
            start = Clock::now();
            port.Close();
            closes.push_back(MicrosecondsSince(start));
        }
    }
    ReportTimes(state, "open", opens);
    ReportTimes(state, afterError ? "close_after_error" : "close", closes);
}
BENCHMARK(BM_OpenClose)
    ->Args({500, 0})
    ->Args({500, 1})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
