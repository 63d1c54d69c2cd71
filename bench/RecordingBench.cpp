// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

// Recording the reports of a flooding reader: the main dialog records a simulated Hid Pos
// reader's scans to a file while it shows them, as fast as it can and at 8000 reports a second,
// counting the reports recorded and lost and the longest time the GUI thread did not tick; and
// the recorder thread alone, writing as fast as the disk takes it.
#include "bench/CBenchDialog.h"
#include "bench/CGuiStallMeter.h"
#include "device/CHidDeviceFactory.h"
#include "outputwindow/COutputWindow.h"
#include "outputwindow/CReportRecording.h"
#include "recording/CReportRecorder.h"
#include "settings/CMemorySettingsStore.h"
#include "sim/CSimPlatform.h"
#include "support/SimHidPosReader.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

namespace {

// The reports in a recording file: its "E:" lines.
int64_t RecordedReports(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    int64_t reports = 0;
    while (std::getline(in, line)) {
        reports += line.rfind("E: ", 0) == 0 ? 1 : 0;
    }
    return reports;
}

// range(0): scans; range(1): reports a second to send at, 0 for as fast as the window shows
// them; range(2): 1 to record, 0 to only show them (the stall to compare with). Scans go in chunks
// that the simulated interface's queue holds (at most 200 sent and not yet shown), so that none is
// dropped before the reader thread reads it.
void BM_RecordingWhileTheReaderFloods(benchmark::State& state) {
    const int scans = int(state.range(0));
    const int64_t rate = state.range(1);
    const bool record = state.range(2) != 0;
    constexpr int kChunk = 200;
    for (auto _ : state) {
        QTemporaryDir folder;
        const QString path = folder.filePath("flood.txt");
        CBenchDialog bench(true);
        CVantrelDlg& dialog = *bench.dialog;
        CSimPlatform& platform = bench.platform;
        const CSimReaderDefinition& reader = bench.reader;
        COutputWindow& output = dialog.OutputWindow();
        const int linesBefore = output.document()->blockCount();
        if (record && !dialog.ReportRecording().Start(path)) {
            state.SkipWithError("the recording did not start");
            return;
        }

        CGuiStallMeter stalls;

        QElapsedTimer timer;
        timer.start();
        int sent = 0;
        int shown = 0;
        QElapsedTimer sinceProgress;
        sinceProgress.start();
        while (shown < scans && sinceProgress.elapsed() < 2000) {
            const int64_t due =
                rate == 0 ? scans
                          : std::min<int64_t>(scans, timer.nsecsElapsed() * rate / 1000000000);
            const int next = int(std::min<int64_t>(due, shown + kChunk));
            for (; sent < next; ++sent) {
                platform.InjectInputReport(reader.path, HidPosScan(sent));
            }
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
            // What a paint of the window would do each turn: lay out the new lines.
            output.FlushOutput();
            const int now = output.document()->blockCount() - linesBefore;
            if (now != shown) {
                shown = now;
                sinceProgress.restart();
            }
        }
        // Complete once the recorder has written the last report and closed the file.
        dialog.ReportRecording().Stop();
        WaitUntil([&] { return !dialog.ReportRecording().IsRecording(); });
        const double seconds = double(timer.nsecsElapsed()) / 1e9;
        stalls.Stop();
        const int64_t recorded = record ? RecordedReports(path.toStdString()) : shown;
        state.SetIterationTime(seconds);
        state.counters["recorded_per_s"] = double(recorded) / seconds;
        state.counters["recorded"] = double(recorded);
        state.counters["lost"] = double(sent - recorded);
        state.counters["longest_stall_ms"] = stalls.LongestMs();
    }
}
BENCHMARK(BM_RecordingWhileTheReaderFloods)
    ->Args({100000, 0, 1})
    ->Args({100000, 0, 0})
    ->Args({40000, 8000, 1})
    ->Args({40000, 8000, 0})
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// The recorder thread alone: reports of 64 bytes handed over as fast as one thread can, until
// the file is complete. The time the hand-over took is the reader thread's share.
void BM_RecorderThroughput(benchmark::State& state) {
    const int reports = int(state.range(0));
    for (auto _ : state) {
        QTemporaryDir folder;
        const std::string path = folder.filePath("recorder.txt").toStdString();
        CHidInterfaceInfo info;
        info.reportDescriptor = CSimReaderSet::HidPosDescriptor();
        info.product = "Bench Reader";
        std::vector<uint8_t> report(64, 'A');
        report[0] = 0x02;
        QElapsedTimer timer;
        timer.start();
        qint64 handOverNs = 0;
        {
            CReportRecorder recorder(std::make_unique<std::ofstream>(path), info, "Bench", {});
            for (int i = 0; i < reports; ++i) {
                std::memcpy(&report[1], &i, sizeof i);
                recorder.Add(report.data(), report.size(), CReportRecorder::Clock::now());
            }
            handOverNs = timer.nsecsElapsed();
            recorder.End();
        }
        const double seconds = double(timer.nsecsElapsed()) / 1e9;
        const int64_t recorded = RecordedReports(path);
        state.SetIterationTime(seconds);
        state.counters["recorded_per_s"] = double(recorded) / seconds;
        state.counters["lost"] = double(reports - recorded);
        state.counters["hand_over_ns_per_report"] = double(handOverNs) / reports;
    }
}
BENCHMARK(BM_RecorderThroughput)
    ->Arg(200000)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
