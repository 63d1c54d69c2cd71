// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "bench/CGuiStallMeter.h"
#include "outputwindow/COutputFindBar.h"
#include "outputwindow/COutputSearch.h"
#include "outputwindow/COutputWindow.h"
#include "settings/CDisplaySettings.h"

#include <QApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <memory>

// Finding in a full output window, and output arriving while the find bar counts matches:
// label lines as a Hid Pos reader writes them with raw data and symbology, one match per line.
namespace {

void AppendLabelLine(COutputWindow& window) {
    static const uint8_t raw[] = {0x02, 0x35, 0x39, 0x30, 0x31, 0x0D, 0x00, 0x00};
    window.AppendHex(raw, sizeof raw, OutputRole::Hex, false);
    window.AppendText(" - ", OutputRole::Default, false);
    window.AppendText("5901234123457", OutputRole::Label, true);
    window.AppendText(" - ", OutputRole::Default, false);
    window.AppendText("EAN/UPC", OutputRole::Symbology, false);
    window.AppendText("\r\n", OutputRole::Default, false);
    window.ScrollToEnd();
}

std::unique_ptr<COutputWindow> MakeWindow(int64_t lines) {
    auto window = std::make_unique<COutputWindow>();
    window->resize(800, 400);
    window->show();
    for (int64_t i = 0; i < lines; ++i) {
        AppendLabelLine(*window);
    }
    window->FlushOutput();
    QCoreApplication::processEvents();
    return window;
}

// Typing the search text: the whole window is searched, slice by slice.
void BM_SearchWholeWindow(benchmark::State& state) {
    const std::unique_ptr<COutputWindow> window = MakeWindow(state.range(0));
    for (auto _ : state) {
        window->Search().SetText(QStringLiteral("ean/upc"), false);
        while (window->Search().Searching()) {
            QCoreApplication::processEvents();
        }
        benchmark::DoNotOptimize(window->Search().Matches().size());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SearchWholeWindow)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();

// Bursts of 1000 lines into a window of range(0) lines while the find bar is open: only the
// new text is searched, so the cost per line does not grow with the window.
void BM_LinesWhileFinding(benchmark::State& state) {
    const std::unique_ptr<COutputWindow> window = MakeWindow(state.range(0));
    window->FindAction().trigger();
    window->FindBar().TextField().setText(QStringLiteral("EAN"));
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i) {
            AppendLabelLine(*window);
        }
        window->FlushOutput();
        QCoreApplication::processEvents();
    }
    state.SetItemsProcessed(state.iterations() * 1000);
    state.counters["matches"] = double(window->Search().Matches().size());
}
BENCHMARK(BM_LinesWhileFinding)
    ->Arg(1000)
    ->Arg(100000)
    ->Iterations(50)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();

// A word typed letter by letter into the find field of a window of range(0) lines, while a
// reader sends a label line every 5 ms: the longest time the GUI thread stalled, in wall time
// and in its own processor time. The event loop runs on for 4 s after the last letter, so the
// count can finish.
void BM_TypingIntoFindWhileScansArrive(benchmark::State& state) {
    const std::unique_ptr<COutputWindow> window = MakeWindow(state.range(0));
    const QString word = QStringLiteral("ean/upc");
    double longest = 0;
    double longestCpu = 0;
    int64_t arrived = 0;
    for (auto _ : state) {
        window->FindAction().trigger();
        QLineEdit& field = window->FindBar().TextField();
        field.clear();
        CGuiStallMeter meter;
        QTimer scans;
        QObject::connect(&scans, &QTimer::timeout, [&] {
            AppendLabelLine(*window);
            ++arrived;
        });
        scans.start(5);
        QEventLoop loop;
        QTimer typing;
        int typed = 0;
        QObject::connect(&typing, &QTimer::timeout, [&] {
            if (typed < word.size()) {
                field.insert(word.mid(typed++, 1));
            } else {
                typing.stop();
                QTimer::singleShot(4000, &loop, &QEventLoop::quit);
            }
        });
        typing.start(150);
        loop.exec();
        meter.Stop();
        scans.stop();
        longest = std::max(longest, meter.LongestMs());
        longestCpu = std::max(longestCpu, meter.LongestCpuMs());
    }
    state.counters["longest_stall_ms"] = longest;
    state.counters["longest_stall_cpu_ms"] = longestCpu;
    state.counters["lines"] = double(state.range(0) + arrived);
    state.counters["matches"] = double(window->Search().Matches().size());
}
BENCHMARK(BM_TypingIntoFindWhileScansArrive)
    ->Arg(2000000)
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
