// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

// The main dialog with the simulated readers: start-up to a shown window, and a burst of scans
// from a simulated reader through the reader thread, the poster and the device type into the
// real output window.
#include "bench/CBenchDialog.h"
#include "bench/CGuiStallMeter.h"
#include "device/CHidDeviceFactory.h"
#include "outputwindow/COutputWindow.h"
#include "outputwindow/CRecordingOpener.h"
#include "recording/CRecordingFile.h"
#include "settings/CMemorySettingsStore.h"
#include "sim/CSimPlatform.h"
#include "support/SimHidPosReader.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <unistd.h>

namespace {

const char* const kStartUpChild = "--start-up-child";

long ResidentKiB() {
    long pages = 0;
    long resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) {
            resident = 0;
        }
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

void BM_StartUpToShownWindow(benchmark::State& state) {
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        CMemorySettingsStore store;
        CSimPlatform platform;
        CVantrelDlg dialog(store, platform, CreateHidDevice);
        dialog.show();
        WaitUntil([&] { return dialog.windowHandle() && dialog.windowHandle()->isExposed(); });
        QCoreApplication::processEvents();
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        benchmark::DoNotOptimize(dialog.StatusText());
    }
}
BENCHMARK(BM_StartUpToShownWindow)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(9)
    ->Unit(benchmark::kMillisecond);

// A whole process: the program's start-up to a shown main window with the simulated readers,
// timed from the start of the process to its end, which it reaches at once when the window
// shows.
void BM_ProcessStartUpToShownWindow(benchmark::State& state) {
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        const int result = QProcess::execute(QCoreApplication::applicationFilePath(),
                                             {QString::fromLatin1(kStartUpChild)});
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        if (result != 0) {
            state.SkipWithError("the start-up child failed");
        }
    }
}
BENCHMARK(BM_ProcessStartUpToShownWindow)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(7)
    ->Unit(benchmark::kMillisecond);

void BM_ScanBurstShownInTheDialog(benchmark::State& state) {
    const int scans = int(state.range(0));
    // Reports are sent in chunks (the second argument) that the simulated interface's queue
    // holds, each once the dialog has shown enough of the one before, so that none is dropped
    // on the way in.
    const int chunk = int(state.range(1));
    for (auto _ : state) {
        CBenchDialog bench(true);
        CVantrelDlg& dialog = *bench.dialog;
        CSimPlatform& platform = bench.platform;
        const CSimReaderDefinition& reader = bench.reader;
        COutputWindow& output = dialog.OutputWindow();
        const int linesBefore = output.document()->blockCount();

        CGuiStallMeter stalls;

        QElapsedTimer timer;
        timer.start();
        int sent = 0;
        int shown = 0;
        QElapsedTimer sinceProgress;
        sinceProgress.start();
        while (shown < scans && sinceProgress.elapsed() < 2000) {
            if (sent - shown < chunk && sent < scans) {
                const int next = std::min(scans, shown + chunk);
                for (; sent < next; ++sent) {
                    platform.InjectInputReport(reader.path, HidPosScan(sent));
                }
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
        output.FlushOutput();
        const double seconds = double(timer.nsecsElapsed()) / 1e9;
        stalls.Stop();
        state.SetIterationTime(seconds);
        state.counters["reports_per_s"] = scans / seconds;
        state.counters["shown"] = shown;
        state.counters["lost"] = sent - shown;
        state.counters["longest_stall_ms"] = stalls.LongestMs();
        state.counters["rss_MiB_end"] = double(ResidentKiB()) / 1024.0;
    }
}
BENCHMARK(BM_ScanBurstShownInTheDialog)
    ->Args({100000, 100})
    ->Args({100000, 200})
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// A recording of about `megabytes` MB of timed 64-byte Hid Pos reports at `path`.
bool WriteRecording(const QString& path, int megabytes) {
    std::ofstream out(path.toStdString());
    // The header of a recorded Hid Pos imager, then its reports.
    std::ifstream head(VANTREL_TEST_DATA_DIR "/recordings/hidpos-labels.txt");
    std::string header;
    while (std::getline(head, header) && header.rfind("R:", 0) != 0) {
    }
    out << header << "\nI: 3 1209 0101\n";
    const size_t total = size_t(megabytes) * 1000 * 1000;
    char line[64];
    for (size_t written = 0, i = 0; written < total; ++i) {
        std::snprintf(line, sizeof line, "E: %06zu.%06zu 64 02 03 5d 45 30 31 31 31", i / 10,
                      i % 10 * 100000);
        std::string text = line;
        for (int byte = 8; byte < 64; ++byte) {
            text += " 00";
        }
        text += '\n';
        out << text;
        written += text.size();
    }
    return bool(out);
}

// A large recording opened in the window while a live reader scans: how long the GUI thread
// stalls at most. Argument 0 reads the file on the GUI thread as a whole, as the window did
// before it read recordings off the GUI thread; 1 opens it as the window does now, and stops
// when its entry is shown.
void BM_RecordingOpenedWhileScansArrive(benchmark::State& state) {
    const bool onGuiThread = state.range(0) == 0;
    QTemporaryDir folder;
    const QString path = folder.filePath("large.txt");
    if (!WriteRecording(path, 125)) {
        state.SkipWithError("the recording could not be written");
        return;
    }
    for (auto _ : state) {
        CBenchDialog bench(false);
        CVantrelDlg& dialog = *bench.dialog;
        CSimPlatform& platform = bench.platform;
        const CSimReaderDefinition& reader = bench.reader;
        COutputWindow& output = dialog.OutputWindow();
        CRecordingOpener& opener = dialog.RecordingOpener();

        CGuiStallMeter stalls;
        QElapsedTimer timer;
        timer.start();
        bool opened = false;
        int scans = 0;
        QTimer scanner;
        scanner.setInterval(5);
        QObject::connect(&scanner, &QTimer::timeout, [&] {
            platform.InjectInputReport(reader.path, HidPosScan(scans++));
            if (onGuiThread && !opened) {
                CRecordingFile file;
                file.Load(path.toStdString());
                benchmark::DoNotOptimize(file.Devices().data());
                opened = true;
            }
        });
        scanner.start();
        if (!onGuiThread) {
            dialog.OpenRecordings({path});
        }
        WaitUntil([&] {
            output.FlushOutput();
            return onGuiThread ? opened : !opener.IsLoading();
        });
        const double seconds = double(timer.nsecsElapsed()) / 1e9;
        QCoreApplication::processEvents();
        state.counters["longest_stall_until_shown_ms"] = stalls.LongestMs();
        // Half a second more, for the meter to see the end of the last stall and the opened
        // entry start to play.
        QElapsedTimer settle;
        settle.start();
        WaitUntil([&] {
            output.FlushOutput();
            return settle.elapsed() > 500;
        });
        stalls.Stop();
        scanner.stop();
        state.SetIterationTime(seconds);
        state.counters["longest_stall_ms"] = stalls.LongestMs();
        state.counters["scans_sent"] = scans;
        state.counters["rss_MiB_end"] = double(ResidentKiB()) / 1024.0;
    }
}
BENCHMARK(BM_RecordingOpenedWhileScansArrive)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace

// The child of BM_ProcessStartUpToShownWindow: start, show the main window, end at once.
int StartUpChild(int argc, char** argv) {
    QApplication app(argc, argv);
    CMemorySettingsStore store;
    CSimPlatform platform;
    auto* dialog = new CVantrelDlg(store, platform, CreateHidDevice);
    dialog->show();
    WaitUntil([&] { return dialog->windowHandle() && dialog->windowHandle()->isExposed(); });
    QCoreApplication::processEvents();
    std::fflush(nullptr);
    _exit(0);
}

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    if (argc > 1 && std::strcmp(argv[1], kStartUpChild) == 0) {
        return StartUpChild(argc, argv);
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
