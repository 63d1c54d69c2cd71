// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

// Opening a recording in the window: reading a whole capture of 64-byte Hid Pos reports into
// memory, and how much of the memory bound one report takes.

#include "recording/CRecordingFile.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// A capture of `reports` timed 64-byte reports in a memory file; its descriptor.
int MakeCapture(int64_t reports) {
    const int fd = memfd_create("capture", MFD_CLOEXEC);
    std::string text =
        "R: 17 05 8c 09 02 a1 01 85 02 75 08 95 3f 09 fe 81 02 c0\nN: Imager\nI: 3 1209 0101\n";
    char line[64];
    for (int64_t i = 0; i < reports; ++i) {
        std::snprintf(line, sizeof line, "E: %06lld.%06lld 64 02 0d",
                      static_cast<long long>(i / 10), static_cast<long long>(i % 10 * 100000));
        text += line;
        for (int byte = 2; byte < 64; ++byte) {
            text += " 3";
            text += char('0' + byte % 10);
        }
        text += '\n';
    }
    if (write(fd, text.data(), text.size()) != ssize_t(text.size())) {
        close(fd);
        return -1;
    }
    return fd;
}

void LoadCapture(benchmark::State& state) {
    const int fd = MakeCapture(state.range(0));
    if (fd < 0) {
        state.SkipWithError("no memory file");
        return;
    }
    size_t bytes = 0;
    for (auto _ : state) {
        lseek(fd, 0, SEEK_SET);
        CRecordingFile file;
        file.Load(fd);
        benchmark::DoNotOptimize(file.Devices().data());
        bytes = size_t(lseek(fd, 0, SEEK_END));
    }
    close(fd);
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetBytesProcessed(int64_t(state.iterations() * bytes));
    // Whole reports only: the bound holds no part of one.
    const size_t reportsInBound = CRecordingFile::kMaxHeldBytes / (64 + sizeof(CRecordedReport));
    state.counters["reports_in_bound"] = double(reportsInBound);
}
BENCHMARK(LoadCapture)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
