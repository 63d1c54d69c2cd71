// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "app/CVantrelDlg.h"
#include "device/CHidDeviceFactory.h"
#include "device/CHidPosDevice.h"
#include "outputwindow/COutputSaver.h"
#include "outputwindow/COutputWindow.h"
#include "outputwindow/CReportRecording.h"
#include "recording/CRecording.h"
#include "settings/CMemorySettingsStore.h"
#include "sim/CSimPlatform.h"
#include "support/CClosedPort.h"
#include "support/CFileSizeLimit.h"
#include "support/CRecordingNotifier.h"
#include "support/SimHidPosReader.h"
#include "support/gui/CFileDialogAnswer.h"
#include "support/gui/CMessageBoxWatcher.h"
#include "support/gui/MenuItems.h"
#include "support/gui/WaitFor.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <memory>

namespace {

CSimReaderDefinition Reader(const std::string& path, const std::string& serial) {
    return PassiveHidPosReader(path, "Record Reader", serial,
                               CHidAttributes{0x1209, 0x0105, 0x0402});
}

// Every run of the document: its text, colour and weight; a line end is a run of "\n".
QStringList Runs(const QTextDocument& document) {
    QStringList runs;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin()) {
            runs << QStringLiteral("\n");
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            runs << QStringLiteral("%1|%2|%3")
                        .arg(it.fragment().text(), format.hasProperty(QTextFormat::ForegroundBrush)
                                                       ? format.foreground().color().name()
                                                       : QStringLiteral("default"))
                        .arg(format.fontWeight());
        }
    }
    return runs;
}

struct CRecordingFile {
    bool complete = false; // every line read, ending in a line end
    std::vector<CRecordingItem> header;
    std::vector<CRecordingItem> inputs;
};

CRecordingFile ReadRecording(const QString& path) {
    CRecordingFile file;
    std::ifstream in(QFile::encodeName(path).toStdString(), std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    file.complete = !text.empty() && text.back() == '\n';
    CRecordingReader reader;
    std::istringstream lines(text);
    std::string line;
    std::string error;
    while (std::getline(lines, line)) {
        CRecordingItem item;
        const CRecordingReader::Result result = reader.ReadLine(line, item, error);
        if (result == CRecordingReader::Result::Error) {
            ADD_FAILURE() << line << ": " << error;
            file.complete = false;
        } else if (result == CRecordingReader::Result::Item) {
            (item.kind == CRecordingItem::Kind::Input ? file.inputs : file.header).push_back(item);
        }
    }
    return file;
}

class CVantrelDlgRecordTest : public ::testing::Test {
protected:
    void Start(std::vector<CSimReaderDefinition> readers) {
        m_platform = std::make_unique<CSimPlatform>(std::move(readers));
        m_dialog = std::make_unique<CVantrelDlg>(m_store, *m_platform, &CreateHidDevice);
        m_dialog->show();
        m_dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_dialog.get()));
    }
    COutputWindow& Output() { return m_dialog->OutputWindow(); }
    CReportRecording& Recording() { return m_dialog->ReportRecording(); }
    QComboBox& List() { return *m_dialog->ControlAs<QComboBox>(1002); }

    QMenu* OpenMenu() {
        QMenu* menu = OpenContextMenu(*Output().viewport());
        EXPECT_NE(menu, nullptr);
        return menu;
    }
    void Choose(const QString& text) { ChooseFromContextMenu(*Output().viewport(), text); }
    // Sends `count` scans from `path`, numbered from `first`.
    std::vector<std::vector<uint8_t>> Scan(const std::string& path, int first, int count) {
        std::vector<std::vector<uint8_t>> sent;
        for (int i = first; i < first + count; ++i) {
            sent.push_back(HidPosScan(i));
            EXPECT_TRUE(m_platform->InjectInputReport(path, sent.back()));
        }
        return sent;
    }
    // The texts of the boxes that told of a recording's end.
    QStringList EndedBoxes() {
        QStringList texts;
        for (const QMessageBox* box : m_dialog->findChildren<QMessageBox*>("recordingEnded")) {
            texts << box->text();
        }
        return texts;
    }
    int Lines() {
        Output().FlushOutput();
        return Output().document()->isEmpty() ? 0 : Output().document()->blockCount() - 1;
    }
    static void ExpectReports(const CRecordingFile& file,
                              const std::vector<std::vector<uint8_t>>& sent) {
        ASSERT_EQ(file.inputs.size(), sent.size());
        for (size_t i = 0; i < sent.size(); ++i) {
            const std::vector<uint8_t>& read = file.inputs[i].bytes;
            ASSERT_GE(read.size(), sent[i].size());
            EXPECT_TRUE(std::equal(sent[i].begin(), sent[i].end(), read.begin())) << i;
            EXPECT_TRUE(file.inputs[i].timed);
            if (i > 0) {
                EXPECT_GE(file.inputs[i].microseconds, file.inputs[i - 1].microseconds);
            }
        }
    }

    QTemporaryDir m_folder;
    CMemorySettingsStore m_store;
    std::unique_ptr<CSimPlatform> m_platform;
    std::unique_ptr<CVantrelDlg> m_dialog;
};

TEST_F(CVantrelDlgRecordTest, RecordsEveryScanFromTheMenuAndTheFileReplaysToTheSameInsertions) {
    m_store.WriteProfileInt("Settings", "ShowSymbology", 1);
    m_store.WriteProfileInt("Settings", "ShowRaw", 1);
    Start({Reader("sim:/rec", "R1")});
    ASSERT_TRUE(m_dialog->Port().IsOpen());
    Output().ClearOutput();
    const QString path = m_folder.filePath("scans.txt");
    {
        CFileDialogAnswer answer(path, 0);
        Choose("Record Reports to File\u2026");
        EXPECT_TRUE(answer.ProposedName().startsWith("vantrel-"));
        EXPECT_TRUE(answer.ProposedName().endsWith(".txt"));
    }
    ASSERT_TRUE(Recording().IsRecording());
    EXPECT_EQ(m_dialog->windowTitle(), "Vantrel - Recording to " + QDir::toNativeSeparators(path));
    EXPECT_EQ(m_store.GetProfileString(COutputSaver::kSection, CReportRecording::kFolderKey, ""),
              m_folder.path().toStdString());
    QMenu* menu = OpenMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(MenuTexts(*menu).contains("Stop Recording"));
    EXPECT_FALSE(MenuTexts(*menu).contains("Record Reports to File\u2026"));
    menu->close();

    const auto sent = Scan("sim:/rec", 0, 200);
    ASSERT_TRUE(WaitFor([&] { return Lines() == 200; }));
    Choose("Stop Recording");
    ASSERT_TRUE(WaitFor([&] { return m_dialog->windowTitle() == "Vantrel"; }));
    EXPECT_FALSE(Recording().IsRecording());
    EXPECT_TRUE(EndedBoxes().isEmpty()); // the user ended it
    // Scans after the end are shown, not recorded.
    Scan("sim:/rec", 200, 3);
    ASSERT_TRUE(WaitFor([&] { return Lines() == 203; }));

    const CRecordingFile file = ReadRecording(path);
    EXPECT_TRUE(file.complete);
    // R:, N:, P:, I: as the terminal tool writes them.
    ASSERT_EQ(file.header.size(), 4u);
    EXPECT_EQ(file.header[0].kind, CRecordingItem::Kind::Descriptor);
    EXPECT_EQ(file.header[0].bytes, CSimReaderSet::HidPosDescriptor());
    EXPECT_EQ(file.header[1].kind, CRecordingItem::Kind::Name);
    EXPECT_EQ(file.header[1].text, "Record Reader");
    EXPECT_EQ(file.header[2].kind, CRecordingItem::Kind::Physical);
    EXPECT_EQ(file.header[3].kind, CRecordingItem::Kind::Identity);
    EXPECT_EQ(file.header[3].vendorId, 0x1209);
    EXPECT_EQ(file.header[3].productId, 0x0105);
    ExpectReports(file, sent);

    // The file played through the reader's type shows what the window showed while recording.
    COutputWindow replayed;
    CClosedPort port;
    CRecordingNotifier notifier;
    CHidPosDevice device(port.Port(), replayed, m_dialog->DisplaySettings(), notifier);
    for (const CRecordingItem& report : file.inputs) {
        device.OnReport(report.bytes.data(), report.bytes.size());
    }
    replayed.FlushOutput();
    QStringList shown = Runs(*Output().document());
    const QStringList replayedRuns = Runs(*replayed.document());
    ASSERT_GT(replayedRuns.size(), 200 * 2);
    // The window also shows the three scans after the end.
    EXPECT_EQ(shown.mid(0, replayedRuns.size()), replayedRuns);
}

TEST_F(CVantrelDlgRecordTest, AnUnplugEndsTheRecordingCompleteWithEveryReportRead) {
    Start({Reader("sim:/rec", "R1")});
    Output().ClearOutput();
    const QString path = m_folder.filePath("unplugged.txt");
    ASSERT_TRUE(Recording().Start(path));
    QStringList statusTexts;
    QObject::connect(m_dialog->ControlAs<QLineEdit>(1004), &QLineEdit::textChanged,
                     [&](const QString& text) { statusTexts << text; });
    Scan("sim:/rec", 0, 50);
    Choose("Unplug Reader");
    ASSERT_TRUE(WaitFor([&] { return m_dialog->windowTitle() == "Vantrel"; }));
    EXPECT_FALSE(Recording().IsRecording());
    const QString noDevice = QString::fromLocal8Bit(std::strerror(ENODEV));
    ASSERT_TRUE(WaitFor([&] { return statusTexts.contains(noDevice); }));

    // Whatever the reader read before the cable went was both shown and recorded.
    const CRecordingFile file = ReadRecording(path);
    EXPECT_TRUE(file.complete);
    EXPECT_GT(file.inputs.size(), 0u);
    EXPECT_EQ(int(file.inputs.size()), Lines());
    // The end is told once: file, reader, why, and how many reports the file holds.
    ASSERT_TRUE(WaitFor([&] { return !EndedBoxes().isEmpty(); }));
    QTest::qWait(50);
    ASSERT_EQ(EndedBoxes().size(), 1);
    const QString told = EndedBoxes()[0];
    EXPECT_TRUE(told.contains(QDir::toNativeSeparators(path))) << told.toStdString();
    EXPECT_TRUE(told.contains("\"Record Reader - R1\"")) << told.toStdString();
    EXPECT_TRUE(told.contains("the reader was lost (" + noDevice + ")")) << told.toStdString();
    EXPECT_TRUE(told.contains(QString("reports written: %1").arg(file.inputs.size())))
        << told.toStdString();
    QMenu* menu = OpenMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_FALSE(MenuItem(*menu, "Record Reports to File\u2026")->isEnabled()); // no reader is open
    menu->close();
}

TEST_F(CVantrelDlgRecordTest, ChoosingAnotherReaderEndsTheRecording) {
    Start({Reader("sim:/one", "A1"), Reader("sim:/two", "B2")});
    const std::string first = m_dialog->Port().NameTable().at(List().currentText().toStdString());
    const std::string second = first == "sim:/one" ? "sim:/two" : "sim:/one";
    const QString path = m_folder.filePath("first.txt");
    ASSERT_TRUE(Recording().Start(path));
    const auto sent = Scan(first, 0, 20);
    ASSERT_TRUE(WaitFor([&] { return Lines() >= 20; }));

    List().showPopup();
    QTest::keyClick(List().view(), List().currentIndex() == 0 ? Qt::Key_Down : Qt::Key_Up);
    QTest::keyClick(List().view(), Qt::Key_Return);
    ASSERT_TRUE(WaitFor([&] { return m_dialog->windowTitle() == "Vantrel"; }));
    EXPECT_FALSE(Recording().IsRecording());
    // The second reader's scans do not go into the first one's file.
    const int before = Lines();
    Scan(second, 100, 5);
    ASSERT_TRUE(WaitFor([&] { return Lines() == before + 5; }));

    const CRecordingFile file = ReadRecording(path);
    EXPECT_TRUE(file.complete);
    ExpectReports(file, sent);
    ASSERT_EQ(EndedBoxes().size(), 1);
    EXPECT_TRUE(EndedBoxes()[0].contains("ended: the reader was closed to open the one chosen in "
                                         "the list.\n\nThe file is complete (reports written: 20)"))
        << EndedBoxes()[0].toStdString();
}

TEST_F(CVantrelDlgRecordTest, ClosingTheWindowCompletesTheRecording) {
    Start({Reader("sim:/rec", "R1")});
    const QString path = m_folder.filePath("closed.txt");
    ASSERT_TRUE(Recording().Start(path));
    const auto sent = Scan("sim:/rec", 0, 100);
    // The window closes before it has shown every scan: what was read is in the file all the same.
    ASSERT_TRUE(WaitFor([&] { return Lines() >= 10; }));
    const size_t shown = size_t(Lines());
    m_dialog->close();
    m_dialog.reset();
    const CRecordingFile file = ReadRecording(path);
    EXPECT_TRUE(file.complete);
    ASSERT_GE(file.inputs.size(), shown);
    ASSERT_LE(file.inputs.size(), sent.size());
    ExpectReports(file, {sent.begin(), sent.begin() + ptrdiff_t(file.inputs.size())});
}

TEST_F(CVantrelDlgRecordTest, AWriteErrorEndsTheRecordingAndSaysWhereAndWhy) {
    Start({Reader("sim:/rec", "R1")});
    CMessageBoxWatcher boxes;
    // A file that may not grow past its header stands for a full disk: its writes fail.
    const QString full = m_folder.filePath("full.txt");
    CFileSizeLimit limit(4096);
    ASSERT_TRUE(limit.IsSet());
    ASSERT_TRUE(Recording().Start(full));
    EXPECT_EQ(m_dialog->windowTitle(), "Vantrel - Recording to " + full);
    Scan("sim:/rec", 0, 200);
    const bool failed = WaitFor([&] { return !boxes.Boxes().empty(); });
    limit.Lift();
    ASSERT_TRUE(failed);
    const CMessageBoxWatcher::CBox& box = boxes.Boxes()[0];
    EXPECT_EQ(box.icon, QMessageBox::Warning);
    EXPECT_TRUE(box.text.contains("\"" + full + "\"")) << box.text.toStdString();
    EXPECT_TRUE(box.text.contains(QString::fromLocal8Bit(std::strerror(EFBIG))))
        << box.text.toStdString();
    EXPECT_TRUE(box.text.contains("Record Reader")) << box.text.toStdString();
    EXPECT_EQ(m_dialog->windowTitle(), "Vantrel");
    EXPECT_FALSE(Recording().IsRecording());

    // A file that cannot be made says so at once and nothing starts.
    const QString missing = m_folder.filePath("missing/file.txt");
    EXPECT_FALSE(Recording().Start(missing));
    ASSERT_TRUE(WaitFor([&] { return boxes.Boxes().size() == 2; }));
    EXPECT_TRUE(boxes.Boxes()[1].text.contains(missing)) << boxes.Boxes()[1].text.toStdString();
    EXPECT_TRUE(boxes.Boxes()[1].text.contains(QString::fromLocal8Bit(std::strerror(ENOENT))));

    // Nor does a device, a FIFO or a socket in the file's place, also behind a link: it is not
    // opened (a FIFO would block) and not replaced.
    const QString link = m_folder.filePath("null.txt");
    ASSERT_TRUE(QFile::link("/dev/null", link));
    for (const QString& device : {QStringLiteral("/dev/full"), link}) {
        const size_t seen = boxes.Boxes().size();
        EXPECT_FALSE(Recording().Start(device));
        ASSERT_TRUE(WaitFor([&] { return boxes.Boxes().size() == seen + 1; }));
        EXPECT_TRUE(boxes.Boxes().back().text.contains("is not a regular file"))
            << boxes.Boxes().back().text.toStdString();
    }
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(m_dialog->windowTitle(), "Vantrel");
    QMenu* menu = OpenMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(MenuItem(*menu, "Record Reports to File\u2026")->isEnabled());
    menu->close();
}

} // namespace
