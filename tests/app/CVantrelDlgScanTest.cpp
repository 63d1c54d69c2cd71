#include "app/COutputWindow.h"
#include "app/CVantrelDlg.h"
#include "device/CHidDeviceFactory.h"
#include "sim/CSimPlatform.h"
#include "settings/CMemorySettingsStore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
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

} // namespace
