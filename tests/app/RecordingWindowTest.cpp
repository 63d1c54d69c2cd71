// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "app/CVantrelApp.h"
#include "app/CVantrelDlg.h"
#include "cli/CCliApp.h"
#include "device/CHidDeviceFactory.h"
#include "device/CHidPosDevice.h"
#include "device/CSurePosSioDevice.h"
#include "outputwindow/COutputHintBar.h"
#include "outputwindow/COutputWindow.h"
#include "outputwindow/CRecordingOpener.h"
#include "panels/CHidPosPanel.h"
#include "settings/CMemorySettingsStore.h"
#include "sim/CSimPlatform.h"
#include "support/CFakeHidPlatform.h"
#include "support/gui/CFileDialogAnswer.h"
#include "support/gui/CMessageBoxWatcher.h"
#include "support/gui/DocumentRuns.h"
#include "support/gui/MenuItems.h"
#include "support/gui/WaitFor.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString Data(const char* name) {
    return QStringLiteral(VANTREL_TEST_DATA_DIR "/recordings/") + QLatin1String(name);
}

std::vector<CRun> WindowRuns(COutputWindow& window) {
    window.FlushOutput();
    return Runs(*window.document(), true);
}

// What the terminal tool's replay inserts for the file (one device of it, when given), with
// the display settings of `store`.
std::vector<CRun> CliRuns(CSettingsStore& store, const QString& file, int device = -1,
                          const char* decoding = "specified") {
    CFakeHidPlatform platform;
    std::ostringstream out;
    std::ostringstream err;
    const std::atomic<bool> stop{false};
    CCliApp cli(platform, store, out, err, stop, false);
    std::vector<std::string> args{"replay", file.toStdString(), "--format",
                                  "json",   "--decoding",       decoding};
    if (device >= 0) {
        args.insert(args.end(), {"--device", std::to_string(device)});
    }
    EXPECT_EQ(cli.Run(args), CCliApp::kDone) << err.str();
    std::vector<CRun> runs;
    std::istringstream lines(out.str());
    std::string line;
    while (std::getline(lines, line)) {
        const QJsonObject insertion =
            QJsonDocument::fromJson(QByteArray::fromStdString(line)).object();
        const QString text = insertion.value("text").toString();
        if (text == "\r\n") {
            AddMergedRun(runs, kLineEnd);
            continue;
        }
        const COLORREF colour = COLORREF(insertion.value("color").toDouble());
        AddMergedRun(runs,
                     {text, colour == CLR_DEFAULT ? std::nullopt : std::optional<COLORREF>(colour),
                      insertion.value("bold").toBool()});
    }
    return runs;
}

class RecordingWindow : public ::testing::Test {
protected:
    RecordingWindow() {
        for (CSettingsStore* store :
             {static_cast<CSettingsStore*>(&m_store), static_cast<CSettingsStore*>(&m_cliStore)}) {
            store->WriteProfileInt("Settings", "ShowRaw", 1);
            store->WriteProfileInt("Settings", "ShowSymbology", 1);
        }
    }

    void Start(std::unique_ptr<CHidPlatform> platform = std::make_unique<CSimPlatform>()) {
        m_platform = std::move(platform);
        m_dialog = std::make_unique<CVantrelDlg>(m_store, *m_platform, &CreateHidDevice);
        m_dialog->show();
        m_dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_dialog.get()));
    }
    COutputWindow& Output() { return m_dialog->OutputWindow(); }
    // Opens the files as the command line does and waits until they are read and offered.
    void Open(const QStringList& files) {
        m_dialog->OpenRecordings(files);
        ASSERT_TRUE(WaitForReading());
    }
    bool WaitForReading() {
        return WaitFor([&] { return !m_dialog->RecordingOpener().IsLoading(); });
    }
    QComboBox& List() { return *m_dialog->findChild<QComboBox*>("1002"); }
    QStringList Entries() {
        QStringList entries;
        for (int i = 0; i < List().count(); ++i) {
            entries << List().itemText(i);
        }
        return entries;
    }
    // Waits until the output window shows `lines` lines of text.
    bool WaitForLines(int lines) {
        return WaitFor([&] {
            Output().FlushOutput();
            return Output().document()->blockCount() > lines;
        });
    }
    void Choose(const QString& text) { ChooseFromContextMenu(*Output().viewport(), text); }
    // Picks an entry from the dropped-down list, as a click would.
    void Select(const QString& entry) {
        List().showPopup();
        List().setCurrentIndex(List().findText(entry));
        List().hidePopup();
    }
    QPushButton* PanelButton(const QString& text) {
        for (QPushButton* button : m_dialog->findChildren<QPushButton*>()) {
            if (button->text() == text && button->isVisible()) {
                return button;
            }
        }
        return nullptr;
    }

    CMemorySettingsStore m_store;
    CMemorySettingsStore m_cliStore;
    std::unique_ptr<CHidPlatform> m_platform;
    std::unique_ptr<CVantrelDlg> m_dialog;
};

TEST_F(RecordingWindow, ACaptureOpenedFromTheMenuShowsWhatTheTerminalReplayShows) {
    Start();
    const QString live = QStringLiteral("Vantrel Sim Hid Pos Imager - HP40021");
    const std::string stored = m_store.GetProfileString("Settings", "DeviceName", "");
    {
        CFileDialogAnswer answer(Data("hidpos-imager.txt"));
        Choose(QString::fromUtf8("Open Recording\u2026"));
    }
    ASSERT_TRUE(WaitForLines(5));
    EXPECT_EQ(WindowRuns(Output()), CliRuns(m_cliStore, Data("hidpos-imager.txt")));
    EXPECT_EQ(List().currentText(), "Recording: hidpos-imager.txt");
    EXPECT_TRUE(Entries().contains(live));
    EXPECT_NE(dynamic_cast<CHidPosDevice*>(m_dialog->CurrentDevice()), nullptr);
    EXPECT_NE(m_dialog->CurrentPanel(), nullptr);
    EXPECT_TRUE(m_dialog->StatusText().contains("VID=1209, PID=0101"));
    // The reader to reopen at the next start stays the live one; the folder is remembered.
    EXPECT_EQ(m_store.GetProfileString("Settings", "DeviceName", ""), stored);
    EXPECT_EQ(
        m_store.GetProfileString(CRecordingOpener::kSection, CRecordingOpener::kFolderKey, ""),
        QDir(Data("")).absolutePath().toStdString());

    // Listed anew when the list drops down; chosen again, it plays again from the start.
    Select("Recording: hidpos-imager.txt");
    ASSERT_TRUE(WaitForLines(10));
    EXPECT_EQ(Output().document()->blockCount(), 11);
    EXPECT_TRUE(Entries().contains("Recording: hidpos-imager.txt"));
    // A live reader chosen afterwards is what the next start reopens.
    Select(live);
    EXPECT_TRUE(WaitFor([&] {
        return m_store.GetProfileString("Settings", "DeviceName", "") == live.toStdString();
    }));
    EXPECT_TRUE(Entries().contains("Recording: hidpos-imager.txt"));
}

TEST_F(RecordingWindow, AFileDroppedOnTheWindowOrItsOutputOpens) {
    Start(std::make_unique<CFakeHidPlatform>());
    QMimeData text;
    text.setText("not a file");
    QDragEnterEvent refused(QPoint(10, 10), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_dialog.get(), &refused);
    EXPECT_FALSE(refused.isAccepted());

    QMimeData file;
    file.setUrls({QUrl::fromLocalFile(Data("hidpos-labels.txt"))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &file, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_dialog.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &file, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_dialog.get(), &drop);
    EXPECT_TRUE(drop.isAccepted());
    ASSERT_TRUE(WaitForLines(5));
    EXPECT_EQ(WindowRuns(Output()), CliRuns(m_cliStore, Data("hidpos-labels.txt")));

    // On the output window too. The same file again is not read again: its entry plays again.
    QMimeData again;
    again.setUrls({QUrl::fromLocalFile(Data("hidpos-labels.txt"))});
    QDropEvent onOutput(QPointF(10, 10), Qt::CopyAction, &again, Qt::LeftButton, Qt::NoModifier);
    QDragEnterEvent enterOutput(QPoint(10, 10), Qt::CopyAction, &again, Qt::LeftButton,
                                Qt::NoModifier);
    QApplication::sendEvent(Output().viewport(), &enterOutput);
    EXPECT_TRUE(enterOutput.isAccepted());
    QApplication::sendEvent(Output().viewport(), &onOutput);
    EXPECT_TRUE(onOutput.isAccepted());
    ASSERT_TRUE(WaitForLines(10));
    EXPECT_EQ(Entries(), QStringList({"Recording: hidpos-labels.txt"}));

    // A copy of it elsewhere is another file: the same name gets a number.
    QTemporaryDir folder;
    const QString copy = folder.filePath("hidpos-labels.txt");
    ASSERT_TRUE(QFile::copy(Data("hidpos-labels.txt"), copy));
    Open({copy});
    ASSERT_TRUE(
        WaitFor([&] { return List().currentText() == "Recording: hidpos-labels.txt (2)"; }));
    EXPECT_EQ(Entries(),
              QStringList({"Recording: hidpos-labels.txt", "Recording: hidpos-labels.txt (2)"}));
}

TEST_F(RecordingWindow, TheFilesOfTheCommandLineAreOpened) {
    const QByteArray first = QFile::encodeName(Data("hidpos-labels.txt"));
    const QByteArray second = QFile::encodeName(Data("two-devices.txt"));
    char name[] = "vantrel";
    std::vector<char*> argv{name, const_cast<char*>(first.data()), const_cast<char*>(second.data()),
                            nullptr};
    int argc = 3;
    CVantrelApp app(argc, argv.data());
    EXPECT_EQ(app.Files(), QStringList({Data("hidpos-labels.txt"), Data("two-devices.txt")}));

    QStringList entries;
    QString output;
    QTimer poll;
    int turns = 0;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* window = qobject_cast<CVantrelDlg*>(QApplication::activeModalWidget());
        if (!window) {
            return;
        }
        window->OutputWindow().FlushOutput();
        output = window->OutputWindow().toPlainText();
        if (output.contains("555") || ++turns > 500) {
            auto* list = window->findChild<QComboBox*>("1002");
            for (int i = 0; i < list->count(); ++i) {
                entries << list->itemText(i);
            }
            window->close();
        }
    });
    poll.start(10);
    EXPECT_EQ(app.Run(), 0);
    for (const char* entry :
         {"Recording: hidpos-labels.txt", "Recording: two-devices.txt - device 0",
          "Recording: two-devices.txt - device 1"}) {
        EXPECT_TRUE(entries.contains(entry)) << entry;
    }
    // The first file's entry is the one opened.
    EXPECT_TRUE(output.contains("111") && output.contains("555")) << output.toStdString();
}

TEST_F(RecordingWindow, EachDeviceOfARecordingIsAnEntryThatPlaysItsOwnReportsWithItsOwnType) {
    Start();
    m_dialog->OpenRecordings({Data("two-devices.txt")});
    ASSERT_TRUE(WaitForLines(2));
    EXPECT_EQ(List().currentText(), "Recording: two-devices.txt - device 0");
    EXPECT_TRUE(Entries().contains("Recording: two-devices.txt - device 1"));
    EXPECT_NE(dynamic_cast<CHidPosDevice*>(m_dialog->CurrentDevice()), nullptr);
    EXPECT_EQ(WindowRuns(Output()), CliRuns(m_cliStore, Data("two-devices.txt"), 0));

    m_dialog->OnClearOutput();
    Select("Recording: two-devices.txt - device 1");
    ASSERT_TRUE(WaitFor(
        [&] { return dynamic_cast<CSurePosSioDevice*>(m_dialog->CurrentDevice()) != nullptr; }));
    ASSERT_TRUE(WaitForLines(1));
    const std::vector<CRun> scale = CliRuns(m_cliStore, Data("two-devices.txt"), 1);
    ASSERT_FALSE(scale.empty());
    EXPECT_EQ(WindowRuns(Output()), scale);
}

TEST_F(RecordingWindow, ABadFileSaysWhichLinesAndWhyAndStillOffersWhatItRead) {
    Start(std::make_unique<CFakeHidPlatform>());
    {
        CMessageBoxWatcher boxes;
        CFileDialogAnswer answer(Data("broken.txt"));
        QTest::keyClick(m_dialog.get(), Qt::Key_O, Qt::ControlModifier);
        ASSERT_TRUE(WaitForReading());
        ASSERT_EQ(boxes.Boxes().size(), 1u);
        const QString text = boxes.Boxes()[0].text;
        EXPECT_EQ(boxes.Boxes()[0].icon, QMessageBox::Warning);
        EXPECT_TRUE(text.contains(QDir::toNativeSeparators(Data("broken.txt"))))
            << text.toStdString();
        // The report after the rejected device line belongs to no device.
        for (const char* line : {"line 8: input report: the count says 3 bytes but the line has 2",
                                 "line 9: ", "line 10: device index 99",
                                 "line 11: this line belongs to no device", "line 13: "}) {
            EXPECT_TRUE(text.contains(line)) << line << "\n" << text.toStdString();
        }
        EXPECT_FALSE(text.contains("line 14:")) << text.toStdString();
        EXPECT_TRUE(text.contains(QString::fromUtf8("\u2026 and 3 more malformed lines")));
        EXPECT_TRUE(text.contains("offered in the reader list"));
    }
    ASSERT_TRUE(WaitForLines(2));
    const QString shown = Output().toPlainText();
    EXPECT_EQ(shown.count(" - EAN/UPC\n"), 2) << shown.toStdString();
    EXPECT_EQ(shown.indexOf(" - 222 - "), -1);
    EXPECT_LT(shown.indexOf(" - 111 - "), shown.indexOf(" - 333 - "));

    // What cannot be a recording is said in its own words, and nothing is added for it.
    QTemporaryDir folder;
    const QString packed = folder.filePath("capture.txt.gz");
    QFile gzip(packed);
    ASSERT_TRUE(gzip.open(QIODevice::WriteOnly));
    gzip.write("\x1f\x8b\x08\x00\x00\x00", 6);
    gzip.close();
    // Reports without a descriptor, and a device that is no reader: nothing to show.
    const QString untyped = folder.filePath("untyped.txt");
    const QString keyboard = folder.filePath("keyboard.txt");
    for (const auto& [path, content] :
         {std::pair{untyped, "02 41 42\n"}, std::pair{keyboard, "R: 7 05 01 09 06 a1 01 c0\nE: 0.0 "
                                                                "2 00 04\nE: 0.1 2 00 05\n"}}) {
        QFile made(path);
        ASSERT_TRUE(made.open(QIODevice::WriteOnly));
        made.write(content);
    }
    const QString fifo = folder.filePath("fifo.txt");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString linkToDevice = folder.filePath("zero.txt");
    ASSERT_TRUE(QFile::link("/dev/zero", linkToDevice));
    const struct {
        QString file;
        QStringList says;
    } cases[] = {
        // Devices and a FIFO without a writer are refused before a byte is read.
        {fifo, {"is not a regular file"}},
        {"/dev/urandom", {"is not a regular file"}},
        {linkToDevice, {"is not a regular file"}},
        {Data("not-a-recording.txt"),
         {"is not a recording", "line 3: \"Shopping\" is not a hex byte"}},
        {Data(""), {"is a folder, not a recording"}},
        {packed, {"is compressed (gzip)", "zcat FILE > FILE.txt"}},
        {folder.filePath("missing.txt"), {"cannot be read: "}},
        {untyped,
         {"no report descriptor (\"R:\" line)", "its report is not shown", "Nothing of it can"}},
        {keyboard,
         {"not a reader interface (usage page 0001, usage 0006); its 2 reports are not shown"}},
    };
    for (const auto& bad : cases) {
        CMessageBoxWatcher boxes;
        Open({bad.file});
        ASSERT_EQ(boxes.Boxes().size(), 1u) << bad.file.toStdString();
        const QString text = boxes.Boxes()[0].text;
        EXPECT_TRUE(text.contains(QDir::toNativeSeparators(bad.file))) << text.toStdString();
        for (const QString& part : bad.says) {
            EXPECT_TRUE(text.contains(part)) << text.toStdString();
        }
    }
    EXPECT_EQ(Entries(), QStringList({"Recording: broken.txt"}));
}

// A box about a bad recording lists at most five problems of each kind, then a count, and
// fits the screen whatever the file holds.
TEST_F(RecordingWindow, TheBoxAboutABadRecordingListsFiveOfEachKindAndFitsTheScreen) {
    Start(std::make_unique<CFakeHidPlatform>());
    QTemporaryDir folder;
    const QString path = folder.filePath("many.txt");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    for (int device = 0; device < 64; ++device) {
        file.write(QStringLiteral("D: %1\nE: 0.0 2 00 04\n").arg(device).toLatin1());
    }
    for (int line = 0; line < 20; ++line) {
        file.write("E: 0.0 3 00 " + QByteArray(400, 'x') + "\n");
    }
    file.close();
    CMessageBoxWatcher boxes([](QMessageBox& box) {
        box.adjustSize();
        EXPECT_LE(box.frameGeometry().height(), box.screen()->availableGeometry().height());
        EXPECT_LE(box.frameGeometry().width(), box.screen()->availableGeometry().width());
    });
    Open({path});
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    const QString text = boxes.Boxes()[0].text;
    EXPECT_EQ(text.count("no report descriptor"), 5) << text.toStdString();
    EXPECT_TRUE(text.contains(QString::fromUtf8("\u2026 and 59 more devices without a report "
                                                "descriptor")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QString::fromUtf8("\u2026 and 15 more malformed lines")))
        << text.toStdString();
}

// A large file is read off the GUI thread: its progress shows, and Stop Reading ends it at
// once with what was read until then offered.
TEST_F(RecordingWindow, AReadingThatLastsShowsItsProgressAndStopsWithWhatItRead) {
    Start(std::make_unique<CFakeHidPlatform>());
    QTemporaryDir folder;
    const QString path = folder.filePath("huge.txt");
    QFile head(Data("hidpos-labels.txt"));
    ASSERT_TRUE(head.open(QIODevice::ReadOnly));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(head.readAll());
    // Then 8 GiB of zeros, without a line end, taking no room on the disk.
    ASSERT_TRUE(file.resize(file.size() + (qint64(8) << 30)));
    file.close();

    CMessageBoxWatcher boxes;
    m_dialog->OpenRecordings({path});
    QProgressDialog* progress = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        progress = m_dialog->findChild<QProgressDialog*>();
        return progress && progress->isVisible();
    }));
    EXPECT_FALSE(progress->isModal());
    EXPECT_TRUE(progress->labelText().contains(QDir::toNativeSeparators(path)));
    QPushButton* stop = progress->findChild<QPushButton*>();
    ASSERT_NE(stop, nullptr);
    EXPECT_EQ(stop->text(), "Stop Reading");
    QTest::mouseClick(stop, Qt::LeftButton);
    ASSERT_TRUE(WaitForReading());
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_TRUE(boxes.Boxes()[0].text.contains("was stopped after"))
        << boxes.Boxes()[0].text.toStdString();
    EXPECT_TRUE(boxes.Boxes()[0].text.contains("What was read until then is offered"));
    ASSERT_TRUE(WaitForLines(5));
    EXPECT_EQ(List().currentText(), "Recording: huge.txt");

    // Read only in part, it is read again; Exit works meanwhile and ends the reading.
    m_dialog->OpenRecordings({path});
    ASSERT_TRUE(WaitFor([&] { return progress->isVisible(); }));
    QTest::mouseClick(m_dialog->ControlAs<QAbstractButton>(1), Qt::LeftButton);
    EXPECT_EQ(m_dialog->result(), QDialog::Accepted);
    EXPECT_FALSE(m_dialog->isVisible());
    m_dialog.reset();
}

TEST_F(RecordingWindow, TheRecordedFeatureAnswersReachGetContentsAndTheRedirectReadBack) {
    Start(std::make_unique<CFakeHidPlatform>());
    Open({Data("sio-contents.txt")});
    ASSERT_NE(dynamic_cast<CSurePosSioDevice*>(m_dialog->CurrentDevice()), nullptr);
    QPushButton* contents = PanelButton("Get Contents");
    ASSERT_NE(contents, nullptr);
    contents->click();
    ASSERT_TRUE(WaitFor([&] { return Output().toPlainText().contains("45678"); }))
        << Output().toPlainText().toStdString();

    // The Hid Pos panel reads the first answer back when it starts, the button the second;
    // with none left the redirect cannot be confirmed.
    Open({Data("hidpos-redirect.txt")});
    ASSERT_NE(dynamic_cast<CHidPosDevice*>(m_dialog->CurrentDevice()), nullptr);
    QPushButton* redirect = PanelButton("Redirect to interface 0");
    ASSERT_NE(redirect, nullptr);
    CMessageBoxWatcher boxes;
    redirect->click();
    EXPECT_TRUE(boxes.Boxes().empty());
    redirect->click();
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, QString::fromUtf8(CHidPosPanel::kRedirectNotVerified));
}

TEST_F(RecordingWindow, ThePaceIsAChoiceOfTheMenuRememberedAndPlaysInOrderEitherWay) {
    Start(std::make_unique<CFakeHidPlatform>());
    QAction& paced = m_dialog->RecordingOpener().PacedAction();
    EXPECT_FALSE(paced.isChecked());
    Choose("Play Recordings at Recorded Pace");
    EXPECT_TRUE(paced.isChecked());
    EXPECT_EQ(m_store.GetProfileInt(CRecordingOpener::kSection, CRecordingOpener::kPacedKey, 0), 1);

    const std::vector<CRun> labels = CliRuns(m_cliStore, Data("hidpos-labels.txt"));
    m_dialog->OpenRecordings({Data("hidpos-labels.txt")});
    ASSERT_TRUE(WaitForLines(5));
    EXPECT_EQ(WindowRuns(Output()), labels);

    // At once, chosen again from the list.
    Choose("Play Recordings at Recorded Pace");
    EXPECT_EQ(m_store.GetProfileInt(CRecordingOpener::kSection, CRecordingOpener::kPacedKey, 1), 0);
    m_dialog->OnClearOutput();
    Select("Recording: hidpos-labels.txt");
    ASSERT_TRUE(WaitForLines(5));
    EXPECT_EQ(WindowRuns(Output()), labels);

    // A new window starts with the stored choice.
    Choose("Play Recordings at Recorded Pace");
    m_dialog.reset();
    Start(std::make_unique<CFakeHidPlatform>());
    EXPECT_TRUE(m_dialog->RecordingOpener().PacedAction().isChecked());
}

TEST_F(RecordingWindow, CompleteDecodingIsAStoredMenuChoiceThatTheHintBarOffers) {
    Start(std::make_unique<CFakeHidPlatform>());
    QAction& complete = m_dialog->CompleteDecodingAction();
    COutputHintBar& hint = Output().HintBar();
    EXPECT_FALSE(complete.isChecked());

    // As specified: the split QR label stays split, and the bar says once what would change.
    m_dialog->OpenRecordings({Data("hidpos-2d.txt")});
    ASSERT_TRUE(WaitForLines(13));
    EXPECT_EQ(WindowRuns(Output()), CliRuns(m_cliStore, Data("hidpos-2d.txt")));
    EXPECT_TRUE(hint.isVisible());
    EXPECT_TRUE(hint.Text().contains("]Q0")) << hint.Text().toStdString();
    hint.CloseButton().click();
    EXPECT_FALSE(hint.isVisible());

    Choose("Complete Decoding");
    EXPECT_TRUE(complete.isChecked());
    EXPECT_EQ(m_store.GetProfileInt("Decoding", "Complete", 0), 1);
    m_dialog->OnClearOutput();
    Select("Recording: hidpos-2d.txt");
    ASSERT_TRUE(WaitForLines(13));
    const std::vector<CRun> runs = WindowRuns(Output());
    EXPECT_EQ(runs, CliRuns(m_cliStore, Data("hidpos-2d.txt"), -1, "complete"));
    EXPECT_NE(std::find(runs.begin(), runs.end(),
                        CRun{"QR Code", m_dialog->DisplaySettings().m_colorSymbology, false}),
              runs.end());
    EXPECT_FALSE(hint.isVisible());

    // The bar's button chooses it too; a new window starts with the stored choice.
    Choose("Complete Decoding");
    EXPECT_EQ(m_store.GetProfileInt("Decoding", "Complete", 1), 0);
    m_dialog->OnClearOutput();
    Select("Recording: hidpos-2d.txt");
    ASSERT_TRUE(WaitFor([&] { return hint.isVisible(); }));
    hint.ActionButton().click();
    EXPECT_TRUE(complete.isChecked());
    EXPECT_FALSE(hint.isVisible());
    m_dialog.reset();
    Start(std::make_unique<CFakeHidPlatform>());
    EXPECT_TRUE(m_dialog->CompleteDecodingAction().isChecked());

    // A reader whose descriptor puts the identifier after the data decodes as in the terminal
    // tool: the recording's descriptor reaches the device type here too.
    m_dialog->OpenRecordings({Data("hidpos-identifier-last.txt")});
    ASSERT_TRUE(WaitForLines(4));
    EXPECT_EQ(WindowRuns(Output()),
              CliRuns(m_cliStore, Data("hidpos-identifier-last.txt"), -1, "complete"));
    EXPECT_TRUE(Output().toPlainText().contains("]A0 starts this Data Matrix label"));
}

TEST_F(RecordingWindow, TheHintBarShowsItsWholeTextAndButtonsInTheSmallestWindow) {
    Start(std::make_unique<CFakeHidPlatform>());
    m_dialog->resize(m_dialog->minimumSize());
    m_dialog->OpenRecordings({Data("hidpos-2d.txt")});
    COutputHintBar& hint = Output().HintBar();
    ASSERT_TRUE(WaitFor([&] { return hint.isVisible(); }));
    QApplication::processEvents();
    ASSERT_EQ(m_dialog->size(), m_dialog->minimumSize());

    // The whole text, wrapped, in the bar's own font rather than the output's.
    const auto* text = hint.findChild<QLabel*>();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text(), hint.Text());
    const QRect wrapped = text->fontMetrics().boundingRect(
        QRect(0, 0, text->width(), QWIDGETSIZE_MAX), Qt::TextWordWrap, text->text());
    EXPECT_GE(text->height(), wrapped.height()) << text->width();
    EXPECT_GT(wrapped.height(), text->fontMetrics().lineSpacing()) << "wrapped at this width";
    EXPECT_EQ(hint.font(), QApplication::font(&hint));
    // The text and both buttons inside the bar, side by side, and the bar inside the window.
    const QRect bar = hint.rect();
    for (QWidget* part : {static_cast<QWidget*>(const_cast<QLabel*>(text)),
                          static_cast<QWidget*>(&hint.ActionButton()),
                          static_cast<QWidget*>(&hint.CloseButton())}) {
        EXPECT_TRUE(part->isVisible());
        EXPECT_TRUE(bar.contains(part->geometry())) << part->metaObject()->className();
        EXPECT_GE(part->width(), part->minimumSizeHint().width())
            << part->metaObject()->className();
    }
    EXPECT_FALSE(text->geometry().intersects(hint.ActionButton().geometry()));
    EXPECT_TRUE(Output().rect().contains(hint.geometry()));
    // The output starts below the bar.
    EXPECT_GE(Output().viewport()->geometry().top(), hint.geometry().bottom());
}

} // namespace
