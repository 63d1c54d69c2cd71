// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

// Labels per second that each device type decodes from its input reports into an output sink:
// a recording sink (the decoding alone) and, when the GUI has one, the real output window.
// Raw data and symbology names are on, the heaviest display a user can choose. The Hid Pos and
// SurePos types decode the same reports as specified and completely.
#include "device/CHidPosDevice.h"
#include "device/CMessagePoster.h"
#include "device/CNotifier.h"
#include "device/CQuorinDevice.h"
#include "device/CSurePosDevice.h"
#include "device/CSurePosSioDevice.h"
#include "settings/CDisplaySettings.h"
#include "support/CClosedPort.h"
#include "support/CRecordingSink.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

// Built with the GUI library (which brings Qt Widgets) when the build has a GUI.
#ifdef QT_WIDGETS_LIB
#include "outputwindow/COutputWindow.h"
#include <QApplication>
#define VANTREL_BENCH_WINDOW 1
#endif

namespace {

using CReport = std::vector<uint8_t>;
const char* const kLabels[] = {"5901234123457", "VANTREL-128", "96385074", "01234567890512"};

CReport Padded(CReport report, size_t length) {
    report.resize(length, 0);
    return report;
}

std::vector<CReport> QuorinReports() {
    std::vector<CReport> reports;
    for (const char* label : kLabels) {
        CReport r = {0x00, 0x02, uint8_t(std::strlen(label))};
        r.insert(r.end(), label, label + std::strlen(label));
        reports.push_back(Padded(r, 64));
    }
    return reports;
}

std::vector<CReport> HidPosReports() {
    const char* const ids[] = {"]E0", "]C0", "]E4", "]E1"};
    std::vector<CReport> reports;
    for (size_t i = 0; i < 4; ++i) {
        CReport r = {0x02, uint8_t(std::strlen(kLabels[i]))};
        r.insert(r.end(), ids[i], ids[i] + 3);
        r.insert(r.end(), kLabels[i], kLabels[i] + std::strlen(kLabels[i]));
        reports.push_back(Padded(r, 64));
    }
    return reports;
}

std::vector<CReport> SurePosReports() {
    const CReport types[] = {{0x16}, {0x18, 0x0B}, {0x0C}, {0x13, 0x0B}};
    std::vector<CReport> reports;
    for (size_t i = 0; i < 4; ++i) {
        const size_t n = 4 + std::strlen(kLabels[i]) + types[i].size();
        CReport r = {0x00, uint8_t(n), 0x00, 0x00, 0x00};
        r.insert(r.end(), kLabels[i], kLabels[i] + std::strlen(kLabels[i]));
        r.insert(r.end(), types[i].begin(), types[i].end());
        reports.push_back(Padded(r, 64));
    }
    return reports;
}

// Contents of the feature report from byte 1 on: k, one byte, the label.
std::vector<CReport> SioContents() {
    std::vector<CReport> contents;
    for (const char* label : kLabels) {
        CReport c = {uint8_t(std::strlen(label) + 2), 0x00};
        c.insert(c.end(), label, label + std::strlen(label));
        contents.push_back(Padded(c, 249));
    }
    return contents;
}

struct CBench {
    CClosedPort closed;
    CHidPort& port = closed.Port();
    CNotifier& notifier = closed.Notifier();
    CDisplaySettings settings;
    CBench() {
        settings.m_showRaw = 1;
        settings.m_showSymbology = 1;
    }
};

// Decodes labels into `sink`; `clear` empties it now and then so a recording stays small.
template <class TDevice, class TSink, class TClear>
void DecodeLabels(benchmark::State& state, const std::vector<CReport>& reports, TSink& sink,
                  TClear clear, Decoding decoding) {
    CBench bench;
    TDevice device(bench.port, sink, bench.settings, bench.notifier);
    device.SetDecoding(decoding);
    size_t i = 0;
    for (auto _ : state) {
        const CReport& report = reports[i++ % reports.size()];
        device.OnReport(report.data(), report.size());
        if ((i & 1023) == 0) {
            clear();
        }
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["labels/s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

// A Sio label is a notification and its contents.
template <class TSink, class TClear>
void DecodeSioLabels(benchmark::State& state, TSink& sink, TClear clear) {
    CBench bench;
    CSurePosSioDevice device(bench.port, sink, bench.settings, bench.notifier);
    device.SetAutoRead(0);
    const std::vector<CReport> contents = SioContents();
    const CReport notification = Padded({0x00, 0x10, 0x00}, 3);
    size_t i = 0;
    for (auto _ : state) {
        device.OnReport(notification.data(), notification.size());
        const CReport& c = contents[i++ % contents.size()];
        device.ShowContents(c.data(), c.size());
        if ((i & 1023) == 0) {
            clear();
        }
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["labels/s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

template <class TDevice>
void BM_DecodeToRecording(benchmark::State& state, std::vector<CReport> (*make)(),
                          Decoding decoding = Decoding::Specified) {
    CRecordingSink sink;
    DecodeLabels<TDevice>(
        state, make(), sink, [&] { sink.Clear(); }, decoding);
}

void BM_Quorin_Recording(benchmark::State& s) {
    BM_DecodeToRecording<CQuorinDevice>(s, QuorinReports);
}
void BM_HidPos_Recording(benchmark::State& s) {
    BM_DecodeToRecording<CHidPosDevice>(s, HidPosReports);
}
void BM_SurePos_Recording(benchmark::State& s) {
    BM_DecodeToRecording<CSurePosDevice>(s, SurePosReports);
}
void BM_HidPos_Recording_Complete(benchmark::State& s) {
    BM_DecodeToRecording<CHidPosDevice>(s, HidPosReports, Decoding::Complete);
}
void BM_SurePos_Recording_Complete(benchmark::State& s) {
    BM_DecodeToRecording<CSurePosDevice>(s, SurePosReports, Decoding::Complete);
}
void BM_SurePosSio_Recording(benchmark::State& s) {
    CRecordingSink sink;
    DecodeSioLabels(s, sink, [&] { sink.Clear(); });
}

BENCHMARK(BM_Quorin_Recording);
BENCHMARK(BM_HidPos_Recording);
BENCHMARK(BM_SurePos_Recording);
BENCHMARK(BM_HidPos_Recording_Complete);
BENCHMARK(BM_SurePos_Recording_Complete);
BENCHMARK(BM_SurePosSio_Recording);

#ifdef VANTREL_BENCH_WINDOW
// The window is never cleared: its cost per line must not grow with what it already shows.
template <class TDevice>
void BM_DecodeToWindow(benchmark::State& state, std::vector<CReport> (*make)(),
                       Decoding decoding = Decoding::Specified) {
    COutputWindow window;
    window.resize(800, 600);
    window.show();
    DecodeLabels<TDevice>(
        state, make(), window, [&] { QApplication::processEvents(); }, decoding);
    window.FlushOutput();
}

void BM_Quorin_Window(benchmark::State& s) {
    BM_DecodeToWindow<CQuorinDevice>(s, QuorinReports);
}
void BM_HidPos_Window(benchmark::State& s) {
    BM_DecodeToWindow<CHidPosDevice>(s, HidPosReports);
}
void BM_SurePos_Window(benchmark::State& s) {
    BM_DecodeToWindow<CSurePosDevice>(s, SurePosReports);
}
void BM_HidPos_Window_Complete(benchmark::State& s) {
    BM_DecodeToWindow<CHidPosDevice>(s, HidPosReports, Decoding::Complete);
}
void BM_SurePos_Window_Complete(benchmark::State& s) {
    BM_DecodeToWindow<CSurePosDevice>(s, SurePosReports, Decoding::Complete);
}
void BM_SurePosSio_Window(benchmark::State& s) {
    COutputWindow window;
    window.resize(800, 600);
    window.show();
    DecodeSioLabels(s, window, [&] { QApplication::processEvents(); });
    window.FlushOutput();
}

BENCHMARK(BM_Quorin_Window)->Iterations(200000);
BENCHMARK(BM_HidPos_Window)->Iterations(200000);
BENCHMARK(BM_SurePos_Window)->Iterations(200000);
BENCHMARK(BM_HidPos_Window_Complete)->Iterations(200000);
BENCHMARK(BM_SurePos_Window_Complete)->Iterations(200000);
BENCHMARK(BM_SurePosSio_Window)->Iterations(200000);
#endif

} // namespace

int main(int argc, char** argv) {
#ifdef VANTREL_BENCH_WINDOW
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
#endif
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
