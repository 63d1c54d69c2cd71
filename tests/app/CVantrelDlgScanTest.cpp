// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "app/CVantrelDlg.h"
#include "device/CHidDeviceFactory.h"
#include "device/CKeyboardDevice.h"
#include "outputwindow/COutputWindow.h"
#include "settings/CMemorySettingsStore.h"
#include "sim/CSimPlatform.h"
#include "support/gui/WaitFor.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>

#include <gtest/gtest.h>

namespace {

// A scan of a simulated Hid Pos reader goes through the reader thread, the poster, the dialog
// and the real device type into the output window, decoded and coloured.
TEST(CVantrelDlgScan, SimulatedHidPosScanIsShownDecodedAndColoured) {
    CMemorySettingsStore store;
    store.WriteProfileInt("Settings", "ShowSymbology", 1);
    store.WriteProfileInt("Settings", "ShowRaw", 1);
    CSimReaderDefinition reader;
    reader.path = "sim:/scan";
    reader.attributes = CHidAttributes{0x1209, 0x0001, 0x0100};
    reader.product = "Scan Reader";
    reader.serial = "S1";
    reader.reportDescriptor = CSimReaderSet::HidPosDescriptor();
    CSimPlatform platform({reader});
    CVantrelDlg dialog(store, platform, &CreateHidDevice);
    ASSERT_NE(dialog.CurrentDevice(), nullptr);
    ASSERT_EQ(dialog.CurrentDevice()->Type(), DeviceType::HidPos);

    ASSERT_TRUE(platform.InjectInputReport("sim:/scan", {0x02, 3, ']', 'C', '0', 'A', 'B', 'C'}));
    COutputWindow& output = dialog.OutputWindow();
    QElapsedTimer timer;
    timer.start();
    while (!output.toPlainText().contains("C128") && timer.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        output.FlushOutput();
    }
    const QString text = output.toPlainText();
    ASSERT_TRUE(text.contains("ABC - C128")) << text.toStdString();
    // The raw prefix shows the report after its id.
    EXPECT_TRUE(text.startsWith("[03][5D][43][30][41][42][43][00]")) << text.toStdString();

    QTextCursor cursor(output.document());
    const int label = text.indexOf("ABC");
    cursor.setPosition(label + 1);
    EXPECT_EQ(cursor.charFormat().foreground().color(), QColor(0, 0, 128));
    EXPECT_EQ(cursor.charFormat().fontWeight(), QFont::Bold);
    cursor.setPosition(text.indexOf("C128") + 1);
    EXPECT_EQ(cursor.charFormat().foreground().color(), QColor(0, 0, 192));
}

// Switching readers saves the send history, the device's own keys, the display settings and
// the reader's name: each save rewrites the store once, and nothing waits unwritten.
TEST(CVantrelDlgScan, SwitchingReadersRewritesTheStoreOncePerSave) {
    CMemorySettingsStore store;
    const auto reader = [](const char* path, uint16_t productId, const char* serial,
                           std::vector<uint8_t> descriptor) {
        CSimReaderDefinition definition;
        definition.path = path;
        definition.attributes = CHidAttributes{0x1209, productId, 0x0100};
        definition.product = "Reader";
        definition.serial = serial;
        definition.reportDescriptor = std::move(descriptor);
        return definition;
    };
    CSimPlatform platform(
        {reader("sim:/surepos", 0x0005, "S1", CSimReaderSet::SurePosDescriptor(0x4B00)),
         reader("sim:/hidpos", 0x0001, "H1", CSimReaderSet::HidPosDescriptor())});
    CVantrelDlg dialog(store, platform, &CreateHidDevice);
    dialog.show();
    auto* list = dialog.ControlAs<QComboBox>(1002);
    ASSERT_EQ(list->count(), 2);
    // From the SurePos reader, which also keeps a key of its own, whichever is listed first.
    if (dialog.CurrentDevice()->Type() != DeviceType::SurePos) {
        list->showPopup();
        QTest::keyClick(list->view(), list->currentIndex() == 0 ? Qt::Key_Down : Qt::Key_Up);
        QTest::keyClick(list->view(), Qt::Key_Return);
        ASSERT_TRUE(WaitFor([&] { return dialog.CurrentDevice()->Type() == DeviceType::SurePos; }));
    }
    const int rewrites = store.Rewrites();
    store.ClearWrites();

    list->showPopup();
    QTest::keyClick(list->view(), list->currentIndex() == 0 ? Qt::Key_Down : Qt::Key_Up);
    QTest::keyClick(list->view(), Qt::Key_Return);
    ASSERT_TRUE(WaitFor([&] { return dialog.CurrentDevice()->Type() == DeviceType::HidPos; }));
    EXPECT_GT(store.Writes().size(), 12u); // more than the display settings alone
    EXPECT_EQ(store.Rewrites() - rewrites, 4);
    EXPECT_FALSE(store.HasUnflushedWrites());
}

// A reader in keyboard mode is listed, an ordinary keyboard beside it is not. Chosen, the status
// line says that it types its labels, its panel says how to switch it, and its labels come in
// under the layout of the panel's list, with what the reader meant.
TEST(CVantrelDlgScan, AReaderInKeyboardModeIsExplainedAndReadUnderTheChosenLayout) {
    CMemorySettingsStore store;
    store.WriteProfileString("Settings", CKeyboardDevice::kLayoutKey, "de");
    const auto keyboard = [](const char* path, const char* product, CSimReaderKind kind) {
        CSimReaderDefinition definition;
        definition.path = path;
        definition.attributes = CHidAttributes{0x05E0, 0x1200, 0x0100};
        definition.product = product;
        definition.serial = "K1";
        definition.reportDescriptor = CSimReaderSet::KeyboardDescriptor();
        definition.kind = kind;
        return definition;
    };
    CSimPlatform platform({keyboard("sim:/kbd", "USB Keyboard", CSimReaderKind::Passive),
                           keyboard("sim:/km", "Barcode Scanner", CSimReaderKind::Keyboard)});
    CVantrelDlg dialog(store, platform, &CreateHidDevice);
    dialog.show();
    auto* list = dialog.ControlAs<QComboBox>(1002);
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->currentText(), "Barcode Scanner - Keyboard mode - K1");
    ASSERT_NE(dialog.CurrentDevice(), nullptr);
    ASSERT_EQ(dialog.CurrentDevice()->Type(), DeviceType::Keyboard);
    EXPECT_TRUE(dialog.StatusText().startsWith(CVantrelDlg::kKeyboardModeStatus))
        << dialog.StatusText().toStdString();
    auto* explanation = dialog.findChild<QLabel*>("1052");
    ASSERT_NE(explanation, nullptr);
    EXPECT_TRUE(explanation->isVisible());
    EXPECT_TRUE(explanation->text().contains("USB HID POS"));
    auto* layouts = dialog.findChild<QComboBox*>("1050");
    ASSERT_NE(layouts, nullptr);
    EXPECT_EQ(layouts->currentText(), "de");

    COutputWindow& output = dialog.OutputWindow();
    ASSERT_TRUE(WaitFor([&] {
        output.FlushOutput();
        return output.toPlainText().contains("under us");
    }));
    EXPECT_TRUE(output.toPlainText().startsWith(
        QString::fromUtf8("Vantrel\u00DFYzx-42[0D] - 17 keys, 250 keys/s, longest gap 6.0 ms - "
                          "typed as \"Vantrel\u00DFYzx-42\" under de, as \"Vantrel-Zyx/42\" "
                          "under us")))
        << output.toPlainText().toStdString();
}

} // namespace
