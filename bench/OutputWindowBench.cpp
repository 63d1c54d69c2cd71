// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "outputwindow/COutputWindow.h"
#include "settings/CDisplaySettings.h"

#include <QApplication>
#include <QTextDocument>

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <array>
#include <memory>

// Label lines as a device type writes them with "Add raw data" and "Add Symbology" set: a raw
// prefix of 64 bytes, a label of 20 bytes, " - " and a symbology name, the line end and the
// scroll to the end.
namespace {

const CDisplaySettings kColours;

struct CLine {
    std::array<uint8_t, 64> raw{};
    std::array<uint8_t, 20> label{};
    CLine() {
        for (size_t i = 0; i < raw.size(); ++i) {
            raw[i] = uint8_t(i * 37 + 5);
        }
        for (size_t i = 0; i < label.size(); ++i) {
            label[i] = uint8_t('0' + i % 10);
        }
    }
};
const CLine kLine;

void AppendLabelLine(COutputWindow& window) {
    window.AppendHex(kLine.raw.data(), kLine.raw.size(), OutputRole::Hex, false);
    window.AppendText(" - ", OutputRole::Default, false);
    window.AppendMixed(kLine.label.data(), kLine.label.size(), OutputRole::Label, true);
    window.AppendText(" - ", OutputRole::Default, false);
    window.AppendText("Code 128", OutputRole::Symbology, false);
    window.AppendText("\r\n", OutputRole::Default, false);
    window.ScrollToEnd();
}

std::unique_ptr<COutputWindow> MakeWindow(int64_t lines) {
    auto window = std::make_unique<COutputWindow>();
    window->SetOutputFont(kColours.m_fontName, kColours.m_fontPoints);
    window->resize(800, 400);
    window->show();
    for (int64_t i = 0; i < lines; ++i) {
        AppendLabelLine(*window);
        if (i % 10000 == 9999) {
            QCoreApplication::processEvents();
        }
    }
    QCoreApplication::processEvents();
    return window;
}

// Rates are taken from the process's CPU time, so that other load on the machine does not
// count; the wall time is shown next to it.

// Each line is appended, laid out, scrolled to and painted before the next one arrives.
void BM_LinesOneAtATime(benchmark::State& state) {
    auto window = MakeWindow(state.range(0));
    for (auto _ : state) {
        AppendLabelLine(*window);
        QCoreApplication::processEvents();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LinesOneAtATime)
    ->Arg(1000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(20000)
    ->Unit(benchmark::kMicrosecond);

// A burst of queued lines (as when the reader delivers faster than one line per turn) is
// appended in one event-loop turn and drawn together.
void BM_LinesBurst(benchmark::State& state) {
    constexpr int kBurst = 1000;
    auto window = MakeWindow(state.range(0));
    for (auto _ : state) {
        for (int i = 0; i < kBurst; ++i) {
            AppendLabelLine(*window);
        }
        QCoreApplication::processEvents();
    }
    state.SetItemsProcessed(state.iterations() * kBurst);
}
BENCHMARK(BM_LinesBurst)
    ->Arg(1000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(100)
    ->Unit(benchmark::kMillisecond);

// "Clear Output" with a million lines shown.
void BM_ClearOutput(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto window = MakeWindow(state.range(0));
        state.ResumeTiming();
        window->ClearOutput();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_ClearOutput)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);

size_t HeapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd; // small blocks and mapped large ones (the text)
}

// Heap bytes per shown line, text, runs and layout included.
void BM_MemoryPerLine(benchmark::State& state) {
    const int64_t lines = state.range(0);
    for (auto _ : state) {
        const size_t before = HeapInUse();
        auto window = MakeWindow(lines);
        const size_t after = HeapInUse();
        state.counters["bytes_per_line"] = double(after - before) / double(lines);
        state.counters["chars_per_line"] =
            double(window->document()->characterCount()) / double(lines);
    }
}
BENCHMARK(BM_MemoryPerLine)
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
