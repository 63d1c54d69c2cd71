// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

// A lane through a local broker: scans per second from 1 to 8 simulated readers to a subscriber,
// and the latency from the scan leaving the reader to its arrival at the subscriber (median and
// 99th percentile, in milliseconds), with a check that every scan arrived. The readers scan as
// fast as the lane takes them, at most 64 on their way (pace 0: the latency is mostly the queue) or
// one scan every PACE microseconds in turn (the latency of a lane that keeps up).
#include "cli/CCliApp.h"
#include "settings/CMemorySettingsStore.h"
#include "sim/CSimPlatform.h"

#include "support/CLocalBroker.h"
#include "support/SimHidPosReader.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <sstream>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kScansPerRound = 500;
constexpr int kRounds = 5;
constexpr size_t kInFlight = 64;

void BM_LanePublish(benchmark::State& state) {
    const int readers = int(state.range(0));
    const auto pace = std::chrono::microseconds(state.range(1));
    CLocalBroker broker;
    if (!broker.Running()) {
        state.SkipWithError("mosquitto did not start");
        return;
    }
    std::vector<CSimReaderDefinition> definitions;
    std::vector<std::string> paths;
    for (int r = 0; r < readers; ++r) {
        paths.push_back("sim:/lane-" + std::to_string(r));
        definitions.push_back(PassiveHidPosReader(paths.back(), "Lane Reader",
                                                  "L" + std::to_string(r),
                                                  {0x1209, uint16_t(0x0110 + r), 1}));
    }
    CSimPlatform platform(definitions);

    const size_t total = size_t(kScansPerRound) * kRounds;
    std::vector<Clock::time_point> sent(total);
    std::vector<double> latencyMs;
    latencyMs.reserve(total);
    std::mutex mutex;
    std::condition_variable arrived;
    bool ready = false;
    CSubscriber subscriber(broker.Port(), "bench/#");
    subscriber.OnMessage([&](const CSubscriber::CMessage& message) {
        const Clock::time_point now = Clock::now();
        std::lock_guard<std::mutex> lock(mutex);
        const size_t at = message.payload.find("\"label\": \"");
        if (message.topic.size() > 5 &&
            message.topic.compare(message.topic.size() - 5, 5, "/scan") == 0 &&
            at != std::string::npos) {
            const size_t index = std::stoul(message.payload.substr(at + 10, 12));
            if (index < total) {
                latencyMs.push_back(
                    std::chrono::duration<double, std::milli>(now - sent[index]).count());
            }
        } else if (message.topic.size() > 8 &&
                   message.topic.compare(message.topic.size() - 8, 8, "/readers") == 0) {
            // Ready when the reader list has every reader open.
            int open = 0;
            for (size_t at = message.payload.find("\"open\""); at != std::string::npos;
                 at = message.payload.find("\"open\"", at + 1)) {
                ++open;
            }
            ready = open == readers;
        }
        arrived.notify_all();
    });
    if (!subscriber.Connected()) {
        state.SkipWithError("the subscriber did not connect");
        return;
    }

    CMemorySettingsStore store;
    std::atomic<bool> stop{false};
    std::ostream discarded(nullptr);
    std::ostringstream errors;
    std::thread lane([&] {
        CCliApp app(platform, store, discarded, errors, stop, false);
        app.Run({"monitor", "--all", "--follow", "--format", "plain", "--mqtt",
                 "mqtt://127.0.0.1:" + std::to_string(broker.Port()) + "/bench"});
    });
    {
        std::unique_lock<std::mutex> lock(mutex);
        arrived.wait_for(lock, std::chrono::seconds(10), [&] { return ready; });
    }
    size_t next = 0;
    bool complete = true;
    for (auto _ : state) {
        const size_t end = next + kScansPerRound;
        for (; next < end; ++next) {
            const std::string& path = paths[next % paths.size()];
            {
                // A reader's queue drops the newest report when full, as hidraw does: at most
                // kInFlight scans are on their way at once.
                std::unique_lock<std::mutex> lock(mutex);
                arrived.wait_for(lock, std::chrono::seconds(10),
                                 [&] { return latencyMs.size() + kInFlight > next; });
                sent[next] = Clock::now();
            }
            platform.InjectInputReport(path, HidPosScan(int(next)));
            if (pace.count() > 0) {
                std::this_thread::sleep_for(pace);
            }
        }
        std::unique_lock<std::mutex> lock(mutex);
        complete = complete && arrived.wait_for(lock, std::chrono::seconds(30),
                                                [&] { return latencyMs.size() >= end; });
    }
    stop = true;
    lane.join();
    if (!complete) {
        state.SkipWithError("scans were lost");
        return;
    }
    std::sort(latencyMs.begin(), latencyMs.end());
    state.SetItemsProcessed(int64_t(latencyMs.size()));
    state.counters["median_ms"] = latencyMs[latencyMs.size() / 2];
    state.counters["p99_ms"] = latencyMs[latencyMs.size() * 99 / 100];
}
BENCHMARK(BM_LanePublish)
    ->ArgNames({"readers", "pace_us"})
    ->ArgsProduct({{1, 2, 4, 8}, {0, 2000}})
    ->Iterations(kRounds)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

BENCHMARK_MAIN();
