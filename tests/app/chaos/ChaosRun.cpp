// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

// The chaos run: the real main dialog over the simulated readers, driven by a seeded random
// schedule that unplugs and replugs readers, switches readers, clicks every panel button, runs
// the stress test, opens and closes Preferences, About and the message boxes, and feeds reports.
// Every fed report carries a sequence number in its label. A report that a reader has read must
// reach the output once at most, in order, and, when its reader went away and nobody switched
// readers since, exactly once. Run under AddressSanitizer, it also finds what dies under a call.
// Meanwhile it records the open reader to files and stops, and opens recordings, good, broken,
// endless and huge ones, stopping their reading at random moments. Every recording it wrote
// must replay whole: no torn line, its reports in the order fed to that reader, none twice.
//
//   chaos_run [--seconds N] [--seed S]

#include "CChaosFiles.h"
#include "app/CVantrelDlg.h"
#include "device/CHidDeviceFactory.h"
#include "output/COutputSink.h"
#include "outputwindow/CRecordingOpener.h"
#include "outputwindow/CReportRecording.h"
#include "panels/CDevicePanel.h"
#include "recording/CRecordingFile.h"
#include "settings/CMemorySettingsStore.h"
#include "sim/CSimPlatform.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <set>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

// Switches the user started; a report read before one may be dropped with its old reader.
std::atomic<uint64_t> g_userSwitches{0};
int g_failures = 0;

void Fail(const std::string& what) {
    if (++g_failures <= 20) {
        std::fprintf(stderr, "chaos: FAILED: %s\n", what.c_str());
    }
}

// The sequence number in "CH0000042", or -1.
long SequenceIn(const std::string& text, size_t& from) {
    for (size_t at = text.find("CH", from); at != std::string::npos; at = text.find("CH", at + 1)) {
        if (at + 9 > text.size()) {
            break;
        }
        long value = 0;
        size_t i = at + 2;
        for (; i < at + 9 && text[i] >= '0' && text[i] <= '9'; ++i) {
            value = value * 10 + (text[i] - '0');
        }
        if (i == at + 9) {
            from = i;
            return value;
        }
    }
    return -1;
}

// What the device types showed: each fed label once at most, in increasing order.
class CShownLabels : public COutputSink {
public:
    // The device types write here; this passes everything on to the output window.
    void SetWindow(COutputSink& window) { m_window = &window; }
    void AppendText(const std::string& text, OutputRole role, bool bold) override {
        size_t from = 0;
        for (long seq = SequenceIn(text, from); seq >= 0; seq = SequenceIn(text, from)) {
            if (!m_shown.insert(seq).second) {
                Fail("report " + std::to_string(seq) + " shown twice");
            } else if (seq < m_last) {
                Fail("report " + std::to_string(seq) + " shown after " + std::to_string(m_last));
            }
            m_last = seq;
        }
        m_window->AppendText(text, role, bold);
    }
    void AppendNewLine() override { m_window->AppendNewLine(); }
    void ScrollToEnd() override { m_window->ScrollToEnd(); }
    bool Shown(long seq) const { return m_shown.count(seq) != 0; }
    size_t Count() const { return m_shown.size(); }

private:
    COutputSink* m_window = nullptr;
    std::set<long> m_shown;
    long m_last = -1;
};

// A connection that notes the fed reports its reader reads; when it goes (on the GUI thread,
// as the port closes) after its reader has seen the device gone and nobody switched readers
// since, every one of them must have been shown.
class CRecordingConnection : public CHidConnection {
public:
    CRecordingConnection(std::unique_ptr<CHidConnection> inner, const CShownLabels& shown,
                         uint64_t& lost)
        : m_inner(std::move(inner)), m_shown(shown), m_lost(lost) {}
    ~CRecordingConnection() override {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_gone || m_switchesAtGone != g_userSwitches.load()) {
            return;
        }
        for (long seq : m_read) {
            if (!m_shown.Shown(seq)) {
                ++m_lost;
                Fail("report " + std::to_string(seq) + " read before an unplug was lost");
            }
        }
    }
    int PollFd() const override { return m_inner->PollFd(); }
    long ReadReport(uint8_t* buffer, size_t capacity, int& error) override {
        const long count = m_inner->ReadReport(buffer, capacity, error);
        std::lock_guard<std::mutex> lock(m_mutex);
        if (count > 0) {
            size_t from = 0;
            const long seq = SequenceIn(std::string(buffer, buffer + count), from);
            if (seq >= 0) {
                m_read.push_back(seq);
            }
        } else if (count < 0 && error == ENODEV && !m_gone) {
            m_gone = true;
            m_switchesAtGone = g_userSwitches.load();
        }
        return count;
    }
    bool WriteReport(const uint8_t* data, size_t length, int timeoutMs, int& error) override {
        return m_inner->WriteReport(data, length, timeoutMs, error);
    }
    bool GetFeature(uint8_t* buffer, size_t length, int& error) override {
        return m_inner->GetFeature(buffer, length, error);
    }
    bool SetFeature(const uint8_t* data, size_t length, int& error) override {
        return m_inner->SetFeature(data, length, error);
    }
    CHidCaps Caps() const override { return m_inner->Caps(); }
    bool GetAttributes(CHidAttributes& attributes, int& error) const override {
        return m_inner->GetAttributes(attributes, error);
    }

private:
    std::unique_ptr<CHidConnection> m_inner;
    const CShownLabels& m_shown;
    uint64_t& m_lost;
    std::mutex m_mutex;
    std::vector<long> m_read;
    bool m_gone = false;
    uint64_t m_switchesAtGone = 0;
};

class CRecordingPlatform : public CHidPlatform {
public:
    CRecordingPlatform(CHidPlatform& inner, const CShownLabels& shown)
        : m_inner(inner), m_shown(shown) {}
    bool EnumerateInterfaces(std::vector<CHidInterfaceInfo>& interfaces, int& error) override {
        return m_inner.EnumerateInterfaces(interfaces, error);
    }
    std::unique_ptr<CHidConnection> Open(const std::string& path, int& error) override {
        std::unique_ptr<CHidConnection> inner = m_inner.Open(path, error);
        if (!inner) {
            return nullptr;
        }
        m_lastOpened = path;
        return std::make_unique<CRecordingConnection>(std::move(inner), m_shown, m_lost);
    }
    std::unique_ptr<CHidDeviceMonitor> CreateMonitor(int& error) override {
        return m_inner.CreateMonitor(error);
    }
    uint64_t Lost() const { return m_lost; }
    const std::string& LastOpened() const { return m_lastOpened; }

private:
    CHidPlatform& m_inner;
    const CShownLabels& m_shown;
    uint64_t m_lost = 0;
    std::string m_lastOpened;
};

// A label report in the layout of the reader's type; empty for a type that gets none.
std::vector<uint8_t> LabelReport(CSimReaderKind kind, const std::string& label) {
    const auto n = static_cast<uint8_t>(label.size());
    std::vector<uint8_t> report;
    switch (kind) {
    case CSimReaderKind::HidPos:
    case CSimReaderKind::HidPos2D:
        report = {0x02, n, ']', 'X', '0'};
        break;
    case CSimReaderKind::Quorin:
        report = {0x00, 0x30, n};
        break;
    case CSimReaderKind::SurePos:
        report = {0x00, static_cast<uint8_t>(4 + n + 1), 0x00, 0x00, 0x00};
        break;
    default:
        return {};
    }
    report.insert(report.end(), label.begin(), label.end());
    if (kind == CSimReaderKind::SurePos) {
        report.push_back(0x0D); // the label type
    }
    return report;
}

class CChaos {
public:
    CChaos(uint64_t seed, int seconds)
        : m_random(seed), m_seconds(seconds), m_platform(m_sim, m_shown), m_files(seed) {
        // Dropping the list down and Exit untrigger the reader, so those paths write too.
        m_store.WriteProfileInt("Settings", "TriggerOffAtExit", 1);
        m_store.WriteProfileInt("Settings", "ShowOutput", 1);
        m_dialog = std::make_unique<CVantrelDlg>(
            m_store, m_platform,
            [this](DeviceType type, CHidPort& port, COutputSink& output, CDisplaySettings& settings,
                   CNotifier& notifier) {
                m_shown.SetWindow(output);
                // The dialog made the port open the reader its list shows; while the dialog is
                // made, only live readers are listed.
                m_openLive = m_dialog
                                 ? LivePath(m_dialog->ControlAs<QComboBox>(1002)->currentText())
                                 : m_platform.LastOpened();
                // A recording replays reports fed before: only live readers are checked.
                return CreateHidDevice(type, port, m_openLive.empty() ? output : m_shown, settings,
                                       notifier);
            });
        for (const CSimReaderDefinition& reader : CSimReaderSet::Default()) {
            m_kinds[reader.path] = reader.kind;
            m_plugged[reader.path] = true;
        }
    }

    int Run() {
        if (!m_files.Error().empty()) {
            Fail(m_files.Error());
            return 1;
        }
        m_dialog->show();
        m_clock.start();
        ScheduleTick();
        QApplication::exec();
        Finish();
        std::printf("chaos: %d actions, %ld reports fed, %zu shown, %llu lost; %zu recordings "
                    "with %zu reports written, %d recordings opened, %d readings stopped; %d "
                    "failures\n",
                    m_actions, m_nextSeq, m_shown.Count(),
                    static_cast<unsigned long long>(m_platform.Lost()), m_recordings.size(),
                    m_recordedReports, m_opened, m_stopped, g_failures);
        return g_failures == 0 ? 0 : 1;
    }

private:
    // A recording the run wrote and the path of the reader it recorded.
    struct CRecorded {
        QString path;
        std::string reader;
    };

    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }
    bool Chance(int percent) { return Pick(100) < percent; }

    void ScheduleTick() {
        QTimer::singleShot(20 + Pick(481), [this] { Tick(); });
    }

    // One step of the schedule. It may run inside a box or dialog that an earlier step opened:
    // then only the readers act (and the user sometimes answers the box).
    void Tick() {
        const bool over = m_clock.elapsed() >= m_seconds * 1000LL;
        if (over && !QApplication::activePopupWidget() && !QApplication::activeModalWidget()) {
            QApplication::quit();
            return;
        }
        // The next step is due before this one may block in a box or dialog of its own.
        if (over) {
            QTimer::singleShot(20, [this] { Tick(); });
        } else {
            ScheduleTick();
        }
        ++m_actions;
        if (QWidget* popup = QApplication::activePopupWidget()) {
            ++g_userSwitches;
            QTest::keyClick(popup, Chance(50) || over ? Qt::Key_Escape : Qt::Key_Return);
        } else if (QWidget* modal = QApplication::activeModalWidget()) {
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                CheckNamesFile(*box);
            }
            if (!over) {
                ReaderAction();
            }
            if (over || Chance(40)) {
                if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                    box->accept();
                } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                    dialog->reject();
                }
            }
        } else if (Chance(40)) {
            ReaderAction();
        } else {
            UserAction();
        }
    }

    void ReaderAction() {
        const std::string open = OpenPath();
        if (Chance(50) && !open.empty()) {
            Feed(open, 1 + Pick(10));
            return;
        }
        // Mostly the open reader, so that its error and its return meet the commands.
        std::string path = !open.empty() && Chance(50) ? open : RandomPath();
        if (m_plugged[path]) {
            m_sim.Unplug(path);
        } else {
            m_sim.Plug(path);
        }
        m_plugged[path] = !m_plugged[path];
    }

    void UserAction() {
        QComboBox* list = m_dialog->ControlAs<QComboBox>(1002);
        switch (Pick(13)) {
        case 0:
            ++g_userSwitches;
            if (Chance(30)) {
                TypeReaderName();
            } else {
                list->setFocus();
                QTest::keyClick(list, Chance(50) ? Qt::Key_Down : Qt::Key_Up);
            }
            break;
        case 1:
            ++g_userSwitches;
            list->showPopup();
            if (Chance(50)) {
                QTest::keyClick(list->view(), Chance(50) ? Qt::Key_Down : Qt::Key_Up);
            }
            break;
        case 2:
        case 3:
        case 4:
            ClickPanelButton();
            break;
        case 5:
            Click(m_dialog->Control(Chance(70) ? 1016 : 1006)); // Preferences or About
            break;
        case 6:
            Click(m_dialog->Control(std::vector<int>{1021, 1038, 1023, 1010}[Pick(4)]));
            break;
        case 8:
        case 9:
            ToggleRecording();
            break;
        case 10:
        case 11:
            OpenRecordings();
            break;
        case 12:
            StopReading();
            break;
        default:
            if (CDevicePanel* panel = m_dialog->CurrentPanel(); panel && Chance(10)) {
                QTest::keyClick(panel, Qt::Key_Escape);
            }
            break;
        }
    }

    // Ends the recording under way with "Stop Recording", or starts one.
    void ToggleRecording() {
        CReportRecording& recording = m_dialog->ReportRecording();
        if (recording.IsRecording()) {
            recording.StopAction().trigger();
            return;
        }
        // A user who wants to record chooses a live reader first, and records once it is open.
        if (OpenPath().empty()) {
            ++g_userSwitches;
            TypeReaderName();
            QTimer::singleShot(20 + Pick(200), m_dialog.get(), [this] { StartRecording(); });
            return;
        }
        StartRecording();
    }

    // Records the open live reader, as "Record Reports to File..." does once the file is chosen;
    // a FIFO in the file's place is refused.
    void StartRecording() {
        CReportRecording& recording = m_dialog->ReportRecording();
        const std::string reader = OpenPath();
        if (reader.empty() || recording.IsRecording()) {
            return;
        }
        if (Chance(10)) {
            if (recording.Start(m_files.Fifo())) {
                Fail("a recording into the FIFO " + m_files.Fifo().toStdString() + " started");
            }
            return;
        }
        const QString path = m_files.NextRecordingPath();
        if (recording.Start(path)) {
            m_recordings.push_back({path, reader});
            m_files.AddGood(path);
        }
    }

    // Typed into the dropped-down list, the start of a name picks a live reader among the
    // recordings.
    void TypeReaderName() {
        QComboBox* list = m_dialog->ControlAs<QComboBox>(1002);
        list->showPopup();
        QTest::keyClicks(list->view(), QStringLiteral("vantrel sim ") + "2hqs"[Pick(4)]);
        QTest::keyClick(list->view(), Qt::Key_Return);
    }

    // Opens one recording, sometimes two, as the command line and a drop do.
    void OpenRecordings() {
        static const CChaosFiles::Kind kKinds[] = {
            CChaosFiles::Kind::Good, CChaosFiles::Kind::Good, CChaosFiles::Kind::Broken,
            CChaosFiles::Kind::Endless, CChaosFiles::Kind::Huge};
        QStringList files;
        for (int i = Chance(20) ? 2 : 1; i > 0; --i) {
            files << m_files.Pick(kKinds[Pick(int(std::size(kKinds)))], m_random);
            m_openedPaths.insert(QDir::toNativeSeparators(files.back()));
        }
        m_opened += int(files.size());
        m_dialog->OpenRecordings(files);
        if (Chance(50)) {
            QTimer::singleShot(Pick(2000), m_dialog.get(), [this] { StopReading(); });
        }
    }

    // "Stop Reading" in the progress window, or before it shows the call its button makes; and
    // the boxes that tell a recording ended, which hold up nothing, are closed now and then.
    void StopReading() {
        for (auto* box : m_dialog->findChildren<QMessageBox*>("recordingEnded")) {
            if (Chance(50)) {
                box->close();
            }
        }
        for (auto* progress : m_dialog->findChildren<QProgressDialog*>()) {
            auto* button = progress->findChild<QPushButton*>();
            if (progress->isVisible() && button) {
                ++m_stopped;
                Click(button);
                return;
            }
        }
        if (m_dialog->RecordingOpener().IsLoading() && Chance(50)) {
            ++m_stopped;
            m_dialog->RecordingOpener().StopReading();
        }
    }

    // A box about a recording opened names its file.
    void CheckNamesFile(const QMessageBox& box) const {
        if (box.windowTitle() != QStringLiteral("Open Recording")) {
            return;
        }
        for (const QString& path : m_openedPaths) {
            if (box.text().contains(path)) {
                return;
            }
        }
        Fail("a box about a recording names no file: " + box.text().toStdString());
    }

    void ClickPanelButton() {
        CDevicePanel* panel = m_dialog->CurrentPanel();
        if (!panel) {
            return;
        }
        std::vector<QAbstractButton*> buttons;
        for (auto* button : panel->findChildren<QAbstractButton*>()) {
            if (button->isVisible() && button->isEnabled()) {
                buttons.push_back(button);
            }
        }
        if (!buttons.empty()) {
            Click(buttons[size_t(Pick(int(buttons.size())))]);
        }
    }

    static void Click(QWidget* widget) {
        if (widget) {
            QTest::mouseClick(widget, Qt::LeftButton);
        }
    }

    void Feed(const std::string& path, int count) {
        for (int i = 0; i < count; ++i) {
            char label[16];
            std::snprintf(label, sizeof label, "CH%07ld", m_nextSeq);
            const std::vector<uint8_t> report = LabelReport(m_kinds[path], label);
            if (report.empty() || !m_sim.InjectInputReport(path, report)) {
                return;
            }
            m_fedTo[m_nextSeq] = path;
            ++m_nextSeq;
        }
    }

    // The simulated path of the live reader the port has open, or empty (a recording, or
    // nothing open). The list may show another one already, before it is opened.
    std::string OpenPath() const { return m_dialog->Port().IsOpen() ? m_openLive : std::string(); }

    // The simulated path of a reader the list names; empty for a recording.
    std::string LivePath(const QString& name) const {
        const auto& names = m_dialog->Port().NameTable();
        const auto found = names.find(name.toStdString());
        return found == names.end() || m_kinds.count(found->second) == 0 ? std::string()
                                                                         : found->second;
    }

    std::string RandomPath() {
        auto it = m_kinds.begin();
        std::advance(it, Pick(int(m_kinds.size())));
        return it->first;
    }

    // Every reader back, every message handled, then Exit, untriggering the open reader, also
    // while a recording is read or written. Then every recording written is checked.
    void Finish() {
        for (auto& [path, plugged] : m_plugged) {
            if (!plugged) {
                m_sim.Plug(path);
            }
        }
        // The boxes that come meanwhile, from readings that end or from Exit, are answered.
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                box->accept();
            }
        });
        closer.start(10);
        QElapsedTimer settle;
        settle.start();
        while (settle.elapsed() < 500) {
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        Click(m_dialog->Control(1));
        if (m_dialog->isVisible()) {
            Fail("Exit did not close the window");
        }
        // The window goes: readings end and the recording under way is completed.
        m_dialog.reset();
        m_files.StopWriting();
        for (const CRecorded& recorded : m_recordings) {
            CheckRecording(recorded);
        }
        struct stat status {};
        if (lstat(QFile::encodeName(m_files.Fifo()).constData(), &status) != 0 ||
            !S_ISFIFO(status.st_mode)) {
            Fail("the FIFO " + m_files.Fifo().toStdString() + " was replaced");
        }
    }

    // A recording written replays whole: it ends in a line end, every line is a recording
    // item, and its fed reports are those fed to its reader, in order, none twice.
    void CheckRecording(const CRecorded& recorded) {
        const std::string path = QFile::encodeName(recorded.path).toStdString();
        std::ifstream in(path, std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
        if (text.empty() || text.back() != '\n') {
            Fail(path + " is empty or ends in a torn line");
        }
        CRecordingFile file;
        if (!file.Load(path) || file.ItemCount() == 0) {
            Fail(path + " cannot be replayed");
            return;
        }
        for (const CRecordingProblem& problem : file.Problems()) {
            Fail(path + " line " + std::to_string(problem.line) + ": " + problem.reason);
        }
        if (file.ReadError() != 0) {
            Fail(path + " could not be read to its end");
        }
        for (const CRecordedDevice& device : file.Devices()) {
            long previous = -1;
            for (const CRecordedReport& report : device.reports) {
                const auto* bytes = device.bytes.data() + report.offset;
                size_t from = 0;
                const long seq = SequenceIn(std::string(bytes, bytes + report.length), from);
                // Reports without a number answer the panel's commands.
                if (seq < 0) {
                    continue;
                }
                ++m_recordedReports;
                const auto fed = m_fedTo.find(seq);
                const std::string which = path + ": report " + std::to_string(seq);
                if (fed == m_fedTo.end() || fed->second != recorded.reader) {
                    Fail(which + " was not fed to " + recorded.reader);
                } else if (seq <= previous) {
                    Fail(which + " after " + std::to_string(previous));
                }
                previous = seq;
            }
        }
    }

    std::mt19937_64 m_random;
    const int m_seconds;
    QElapsedTimer m_clock;
    CMemorySettingsStore m_store;
    CSimPlatform m_sim;
    CShownLabels m_shown;
    CRecordingPlatform m_platform;
    CChaosFiles m_files;
    std::unique_ptr<CVantrelDlg> m_dialog;
    std::map<std::string, CSimReaderKind> m_kinds;
    std::map<std::string, bool> m_plugged;
    std::string m_openLive;
    long m_nextSeq = 0;
    // The reader each fed report went to.
    std::map<long, std::string> m_fedTo;
    std::vector<CRecorded> m_recordings;
    size_t m_recordedReports = 0;
    std::set<QString> m_openedPaths;
    int m_opened = 0;
    int m_stopped = 0;
    int m_actions = 0;
};

} // namespace

int main(int argc, char** argv) {
    int seconds = 5;
    uint64_t seed = std::random_device()();
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--seconds") == 0) {
            seconds = std::atoi(argv[i + 1]);
        } else if (std::strcmp(argv[i], "--seed") == 0) {
            seed = std::strtoull(argv[i + 1], nullptr, 10);
        }
    }
    std::printf("chaos: seed %llu, %d s (replay with --seed %llu)\n",
                static_cast<unsigned long long>(seed), seconds,
                static_cast<unsigned long long>(seed));
    std::fflush(stdout);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    int result = 0;
    {
        CChaos chaos(seed, seconds);
        result = chaos.Run();
    }
    std::printf("chaos: %s\n", result == 0 ? "passed" : "FAILED");
    return result;
}
