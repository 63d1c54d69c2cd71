// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "app/CVantrelDlg.h"
#include "device/CHidDeviceFactory.h"
#include "outputwindow/COutputFindBar.h"
#include "outputwindow/COutputSaver.h"
#include "outputwindow/COutputWindow.h"
#include "settings/CMemorySettingsStore.h"
#include "sim/CSimPlatform.h"
#include "support/CFakeHidPlatform.h"
#include "support/gui/CFileDialogAnswer.h"
#include "support/gui/CMessageBoxWatcher.h"
#include "support/gui/MenuItems.h"
#include "support/gui/WaitFor.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

CSimReaderDefinition Reader(const std::string& path, const std::string& interfaceNumber,
                            std::vector<uint8_t> descriptor) {
    CSimReaderDefinition reader;
    reader.path = path;
    reader.attributes = CHidAttributes{0x1209, 0x0105, 0x0402};
    reader.product = "Test Reader";
    reader.serial = "D1";
    reader.interfaceNumber = interfaceNumber;
    reader.reportDescriptor = std::move(descriptor);
    return reader;
}

class CVantrelDlgOutputMenuTest : public ::testing::Test {
protected:
    void Start(std::unique_ptr<CHidPlatform> platform) {
        m_platform = std::move(platform);
        m_dialog = std::make_unique<CVantrelDlg>(m_store, *m_platform, &CreateHidDevice);
        m_dialog->show();
        m_dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_dialog.get()));
    }
    void StartSimulated(std::vector<CSimReaderDefinition> readers) {
        Start(std::make_unique<CSimPlatform>(std::move(readers)));
    }
    CSimPlatform& Sim() { return static_cast<CSimPlatform&>(*m_platform); }
    COutputWindow& Output() { return m_dialog->OutputWindow(); }

    // Right click into the output window (or the menu key); the menu is left open.
    QMenu* OpenMenu(QContextMenuEvent::Reason reason = QContextMenuEvent::Mouse) {
        QMenu* menu = OpenContextMenu(*Output().viewport(), reason);
        EXPECT_NE(menu, nullptr);
        return menu;
    }
    void Choose(const QString& text) { ChooseFromContextMenu(*Output().viewport(), text); }
    void WriteSampleLines() {
        const uint8_t label[] = {'A', 'B', 'C', 0x0D, 0xE9};
        COutputWindow& out = Output();
        out.AppendHex(label, 2, OutputRole::Hex, false);
        out.AppendText(" - ", OutputRole::Default, false);
        out.AppendMixed(label, sizeof label, OutputRole::Label, true);
        out.AppendRun(" <&> ", CLR_DEFAULT, false);
        out.AppendNewLine();
        out.AppendText("second", OutputRole::Symbology, false);
        out.FlushOutput();
    }

    CMemorySettingsStore m_store;
    std::unique_ptr<CHidPlatform> m_platform;
    std::unique_ptr<CVantrelDlg> m_dialog;
};

TEST_F(CVantrelDlgOutputMenuTest, TheMenuOffersTheOutputItemsAndTheCableOnlyWhenSimulated) {
    Start(std::make_unique<CFakeHidPlatform>());
    QMenu* menu = OpenMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(MenuTexts(*menu),
              QStringList({"Copy", "Select All", "Find\u2026", "Save Output As\u2026",
                           "Clear Output", "Complete Decoding", "Record Reports to File\u2026",
                           "Open Recording\u2026", "Play Recordings at Recorded Pace"}));
    EXPECT_EQ(MenuItem(*menu, "Open Recording\u2026")->shortcut(),
              QKeySequence(QKeySequence::Open));
    EXPECT_EQ(MenuItem(*menu, "Copy")->shortcut(), QKeySequence(QKeySequence::Copy));
    EXPECT_EQ(MenuItem(*menu, "Save Output As\u2026")->shortcut(),
              QKeySequence(QKeySequence::Save));
    EXPECT_FALSE(MenuItem(*menu, "Copy")->isEnabled()); // nothing selected
    menu->close();
    m_dialog.reset();

    StartSimulated({});
    WriteSampleLines();
    // The keyboard's menu key opens the same menu.
    menu = OpenMenu(QContextMenuEvent::Keyboard);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(MenuTexts(*menu).mid(9), QStringList({"Unplug Reader", "Plug Reader Back"}));
    EXPECT_FALSE(MenuItem(*menu, "Unplug Reader")->isEnabled()); // no reader is open
    EXPECT_FALSE(MenuItem(*menu, "Plug Reader Back")->isEnabled());
    menu->close();

    Choose("Select All");
    EXPECT_EQ(Output().textCursor().selectedText().size(),
              Output().document()->characterCount() - 1);
    QMenu* second = OpenMenu();
    EXPECT_TRUE(MenuItem(*second, "Copy")->isEnabled());
    second->close();
    Choose("Clear Output");
    EXPECT_TRUE(Output().document()->isEmpty());
}

TEST_F(CVantrelDlgOutputMenuTest, SavedTextAndHtmlReadBackAsShownAndTheFolderIsRemembered) {
    StartSimulated({});
    WriteSampleLines();
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());

    {
        CFileDialogAnswer answer(folder.filePath("out"), 0);
        QTest::keyClick(m_dialog.get(), Qt::Key_S, Qt::ControlModifier);
    }
    QFile text(folder.filePath("out.txt"));
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(text.readAll()),
              QString::fromUtf8("[41][42] - ABC[0D]\u00e9 <&> \nsecond"));
    EXPECT_EQ(m_store.GetProfileString(COutputSaver::kSection, COutputSaver::kFolderKey, ""),
              folder.path().toStdString());

    // The HTML choice, from the menu; the dialog opens where the text went.
    QTemporaryDir other;
    std::unique_ptr<CFileDialogAnswer> answer =
        std::make_unique<CFileDialogAnswer>(other.filePath("page"), 1);
    Choose("Save Output As\u2026");
    EXPECT_EQ(answer->Folder(), QDir(folder.path()).absolutePath());
    QFile html(other.filePath("page.html"));
    ASSERT_TRUE(html.open(QIODevice::ReadOnly));
    QTextDocument page;
    page.setHtml(QString::fromUtf8(html.readAll()));
    EXPECT_EQ(page.toPlainText(), QString::fromUtf8("[41][42] - ABC[0D]\u00e9 <&> \nsecond"));
    // Every run's colour and weight came through.
    struct CShown {
        QString text;
        QString colour;
        bool bold;
    };
    std::vector<CShown> runs;
    for (QTextBlock block = page.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            runs.push_back({it.fragment().text(),
                            it.fragment().charFormat().foreground().color().name(),
                            it.fragment().charFormat().fontWeight() >= QFont::Bold});
        }
    }
    ASSERT_EQ(runs.size(), 7u);
    EXPECT_EQ(runs[0].text, "[41][42]");
    EXPECT_EQ(runs[0].colour, "#808080");
    EXPECT_FALSE(runs[0].bold);
    EXPECT_EQ(runs[2].text, "ABC");
    EXPECT_EQ(runs[2].colour, "#000080");
    EXPECT_TRUE(runs[2].bold);
    EXPECT_EQ(runs[3].text, "[0D]");
    EXPECT_EQ(runs[3].colour, "#808080");
    EXPECT_TRUE(runs[3].bold);
    EXPECT_EQ(runs[5].text, " <&> ");
    EXPECT_EQ(runs[6].text, "second");
    EXPECT_EQ(runs[6].colour, "#0000c0");
    EXPECT_FALSE(runs[6].bold);
}

TEST_F(CVantrelDlgOutputMenuTest, ASaveIntoAMissingFolderSaysWhatFailedAndWhere) {
    StartSimulated({});
    WriteSampleLines();
    QTemporaryDir folder;
    const QString path = folder.filePath("missing/out.txt");
    CMessageBoxWatcher boxes;
    {
        CFileDialogAnswer answer(path, 0);
        QTest::keyClick(m_dialog.get(), Qt::Key_S, Qt::ControlModifier);
    }
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].icon, QMessageBox::Warning);
    EXPECT_TRUE(boxes.Boxes()[0].text.contains(path)) << boxes.Boxes()[0].text.toStdString();
    EXPECT_TRUE(boxes.Boxes()[0].text.contains(QString::fromLocal8Bit(std::strerror(ENOENT))));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(m_store.GetProfileString(COutputSaver::kSection, COutputSaver::kFolderKey, "none"),
              "none");
}

TEST_F(CVantrelDlgOutputMenuTest, UnplugAndPlugBackFromTheMenuTakeTheWholeReaderAndReopenIt) {
    CSimReaderDefinition other = Reader("sim:/other", "", CSimReaderSet::QuorinDescriptor());
    other.attributes.productId = 0x0106;
    other.serial = "O1";
    StartSimulated({other, Reader("sim:/dual/if00", "00", CSimReaderSet::HidPosDescriptor()),
                    Reader("sim:/dual/if01", "01", CSimReaderSet::SurePosDescriptor(0x4A00))});
    ASSERT_TRUE(m_dialog->Port().IsOpen());
    ASSERT_TRUE(m_dialog->StatusText().startsWith("Firmware V402, VID=1209, PID=0105"));
    QStringList statusTexts;
    QObject::connect(m_dialog->ControlAs<QLineEdit>(1004), &QLineEdit::textChanged,
                     [&](const QString& text) { statusTexts << text; });

    // As a pulled cable: the system's error text, an empty list, and no other reader opened
    // though one is still plugged in.
    Choose("Unplug Reader");
    const QString noDevice = QString::fromLocal8Bit(std::strerror(ENODEV));
    ASSERT_TRUE(WaitFor([&] { return statusTexts.contains(noDevice); }));
    QTest::qWait(200);
    EXPECT_EQ(statusTexts, QStringList{noDevice});
    EXPECT_EQ(m_dialog->ControlAs<QComboBox>(1002)->count(), 0);
    EXPECT_FALSE(m_dialog->Port().IsOpen());
    std::vector<CHidInterfaceInfo> present;
    int error = 0;
    Sim().EnumerateInterfaces(present, error);
    ASSERT_EQ(present.size(), 1u); // both interfaces went with the cable
    EXPECT_EQ(present[0].path, "sim:/other");

    QMenu* menu = OpenMenu();
    EXPECT_FALSE(MenuItem(*menu, "Unplug Reader")->isEnabled());
    EXPECT_TRUE(MenuItem(*menu, "Plug Reader Back")->isEnabled());
    menu->close();
    // Plugged back, the readers are listed anew and the last one listed opens.
    Choose("Plug Reader Back");
    ASSERT_TRUE(WaitFor([&] { return m_dialog->Port().IsOpen(); }));
    EXPECT_EQ(m_dialog->ControlAs<QComboBox>(1002)->count(), 3);
    EXPECT_TRUE(m_dialog->StatusText().startsWith("Firmware V402, VID=1209, PID=0105"));
    Sim().EnumerateInterfaces(present, error);
    EXPECT_EQ(present.size(), 3u);
    menu = OpenMenu();
    EXPECT_TRUE(MenuItem(*menu, "Unplug Reader")->isEnabled());
    EXPECT_FALSE(MenuItem(*menu, "Plug Reader Back")->isEnabled());
    menu->close();
}

TEST_F(CVantrelDlgOutputMenuTest, EscapeClosesTheOpenFindBarWhereverTheFocusIsElseTheDialog) {
    StartSimulated({});
    WriteSampleLines();
    const QString shown = Output().toPlainText();
    QWidget* const focusPlaces[] = {&Output(), m_dialog->ControlAs<QComboBox>(1002),
                                    &Output().FindBar().TextField()};
    for (QWidget* focus : focusPlaces) {
        QTest::keyClick(m_dialog.get(), Qt::Key_F, Qt::ControlModifier);
        ASSERT_FALSE(Output().FindBar().isHidden());
        focus->setFocus();
        QTest::keyClick(focus, Qt::Key_Escape);
        EXPECT_TRUE(Output().FindBar().isHidden()) << focus->objectName().toStdString();
        EXPECT_TRUE(m_dialog->isVisible());
    }
    EXPECT_EQ(Output().toPlainText(), shown);
    // Without the bar, Escape is the dialog's own again.
    Output().setFocus();
    QTest::keyClick(&Output(), Qt::Key_Escape);
    EXPECT_FALSE(m_dialog->isVisible());
    EXPECT_EQ(m_dialog->result(), QDialog::Rejected);
}

TEST_F(CVantrelDlgOutputMenuTest, TheOutputStaysBlackOnWhiteUnderADarkThemeAndTheRestFollowsIt) {
    const QPalette original = QApplication::palette();
    QPalette dark = original;
    dark.setColor(QPalette::Window, QColor(0x30, 0x30, 0x30));
    dark.setColor(QPalette::WindowText, QColor(0xE0, 0xE0, 0xE0));
    dark.setColor(QPalette::Base, QColor(0x20, 0x20, 0x20));
    dark.setColor(QPalette::Text, QColor(0xE0, 0xE0, 0xE0));
    QApplication::setPalette(dark);
    StartSimulated({});
    Output().AppendRun("Automatic", CLR_DEFAULT, true);
    Output().FlushOutput();
    QTest::keyClick(m_dialog.get(), Qt::Key_F, Qt::ControlModifier);
    // Enter in the find field steps; it does not press the dialog's default button.
    QTest::keyClick(&Output().FindBar().TextField(), Qt::Key_Return);
    EXPECT_TRUE(m_dialog->isVisible());

    const auto check = [&](const QColor& themeBase) {
        EXPECT_EQ(Output().palette().color(QPalette::Base), QColor(Qt::white));
        EXPECT_EQ(Output().palette().color(QPalette::Text), QColor(Qt::black));
        EXPECT_EQ(m_dialog->ControlAs<QLineEdit>(1004)->palette().color(QPalette::Base), themeBase);
        EXPECT_EQ(Output().FindBar().TextField().palette().color(QPalette::Base), themeBase);
        // What is painted: a white page with black text.
        const QImage page = Output().viewport()->grab().toImage();
        EXPECT_EQ(page.pixelColor(page.width() - 5, page.height() - 5), QColor(Qt::white));
        int black = 0;
        for (int y = 0; y < page.height(); ++y) {
            for (int x = 0; x < page.width(); ++x) {
                black += page.pixelColor(x, y).lightness() < 60 ? 1 : 0;
            }
        }
        EXPECT_GT(black, 10);
    };
    check(dark.color(QPalette::Base));
    // The desktop's colours change while the window is open.
    QApplication::setPalette(original);
    QCoreApplication::processEvents();
    check(original.color(QPalette::Base));
    QApplication::setPalette(original);
}

} // namespace
