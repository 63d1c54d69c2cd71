#include "app/CVantrelDlg.h"
#include "device/CHidDeviceFactory.h"
#include "panels/CDevicePanel.h"
#include "panels/CHidPosPanel.h"
#include "panels/CPanelTemplate.h"
#include "sim/CSimPlatform.h"
#include "settings/CMemorySettingsStore.h"

#include "support/gui/CMessageBoxWatcher.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

// Readers of the simulated set.
const char* const kQuorinName = "Vantrel Sim Quorin Scanner - QS10077";
const char* const kQuorinPath = "sim:/quorin";
const char* const kHidPosName = "Vantrel Sim Hid Pos Imager - HP40021";
const char* const kHidPosPath = "sim:/hidpos";
const char* const kWriteFailed = "Data could not be written to the device";

// A command whose reader has just been unplugged opens a message box; while it is open the
// reader comes back. Everything that the reader's error and the device changes would do waits
// until the command has returned: the device and panel under the call stay, the box belongs to
// the main dialog, and afterwards the replugged reader is open again.
class CVantrelDlgDeviceCall : public ::testing::Test {
protected:
    void Start(const char* name, bool triggerOffAtExit) {
        store.WriteProfileString("Settings", "DeviceName", name);
        store.WriteProfileInt("Settings", "TriggerOffAtExit", triggerOffAtExit ? 1 : 0);
        dialog = std::make_unique<CVantrelDlg>(store, platform, &CreateHidDevice);
        dialog->show();
        ASSERT_TRUE(dialog->Port().IsOpen());
        ASSERT_EQ(List().currentText(), name);
        device = dialog->CurrentDevice();
        panel = dialog->CurrentPanel();
        listCount = List().count();
        status = dialog->StatusText();
    }

    QComboBox& List() { return *dialog->ControlAs<QComboBox>(1002); }
    QAbstractButton* PanelButton(int id) {
        return qobject_cast<QAbstractButton*>(dialog->CurrentPanel()->Control(id));
    }

    // Runs in the first box: the reader's error and its removal arrive, then it is plugged in
    // again and its arrival arrives too. None of it may touch what the command is using.
    void ReplugInFirstBox(const std::string& path) {
        if (++boxesOpened != 1)
            return;
        QTest::qWait(100);
        EXPECT_TRUE(platform.Plug(path));
        QTest::qWait(100);
        EXPECT_TRUE(panel) << "the panel under the call was deleted";
        EXPECT_EQ(dialog->CurrentPanel(), panel);
        EXPECT_EQ(dialog->CurrentDevice(), device);
        EXPECT_EQ(List().count(), listCount) << "the reader's error was handled under the call";
        EXPECT_EQ(dialog->StatusText().toStdString(), status.toStdString());
    }

    void ExpectBoxesOfTheMainDialog(const CMessageBoxWatcher& watcher, const QString& text) {
        ASSERT_FALSE(watcher.Boxes().empty());
        for (const CMessageBoxWatcher::CBox& box : watcher.Boxes()) {
            EXPECT_EQ(box.parent, dialog.get());
            EXPECT_EQ(box.text.toStdString(), text.toStdString());
        }
    }

    // Once the call has returned, the error empties the list and the waiting arrival lists
    // the readers again and opens one.
    void ExpectReopened() {
        QElapsedTimer timer;
        timer.start();
        while (!(dialog->Port().IsOpen() && !panel) && timer.elapsed() < 5000)
            QTest::qWait(10);
        EXPECT_TRUE(dialog->Port().IsOpen());
        EXPECT_FALSE(panel) << "the replugged reader was not opened again";
        EXPECT_GT(List().count(), 0);
        EXPECT_TRUE(dialog->StatusText().startsWith("Firmware V"))
            << dialog->StatusText().toStdString();
    }

    CMemorySettingsStore store;
    CSimPlatform platform;
    std::unique_ptr<CVantrelDlg> dialog;
    const CHidDevice* device = nullptr;
    QPointer<CDevicePanel> panel;
    int listCount = 0;
    QString status;
    int boxesOpened = 0;
};

TEST_F(CVantrelDlgDeviceCall, FailedWriteOfErrorBeepOnAQuorinReader) {
    Start(kQuorinName, false);
    CMessageBoxWatcher watcher([&](QMessageBox&) { ReplugInFirstBox(kQuorinPath); });
    ASSERT_TRUE(platform.Unplug(kQuorinPath));
    QTest::mouseClick(PanelButton(PanelControl::ErrorBeep), Qt::LeftButton);
    ExpectBoxesOfTheMainDialog(watcher, kWriteFailed);
    // Three beeps, one box: the later writes find the reader gone.
    EXPECT_EQ(watcher.Boxes().size(), 1u);
    ExpectReopened();
}

TEST_F(CVantrelDlgDeviceCall, HidPosRedirectWarning) {
    Start(kHidPosName, false);
    CMessageBoxWatcher watcher([&](QMessageBox&) { ReplugInFirstBox(kHidPosPath); });
    ASSERT_TRUE(platform.Unplug(kHidPosPath));
    QTest::mouseClick(PanelButton(PanelControl::RedirectToInterface0), Qt::LeftButton);
    ExpectBoxesOfTheMainDialog(watcher, CHidPosPanel::kRedirectNotVerified);
    EXPECT_EQ(watcher.Boxes()[0].icon, QMessageBox::Warning);
    ExpectReopened();
}

TEST_F(CVantrelDlgDeviceCall, UntriggerOnDropDown) {
    Start(kQuorinName, true);
    CMessageBoxWatcher watcher([&](QMessageBox&) { ReplugInFirstBox(kQuorinPath); });
    ASSERT_TRUE(platform.Unplug(kQuorinPath));
    List().showPopup();
    List().hidePopup();
    ExpectBoxesOfTheMainDialog(watcher, kWriteFailed);
    ExpectReopened();
}

TEST_F(CVantrelDlgDeviceCall, UntriggerOnExitAndOnTheCloseBox) {
    for (const bool exitButton : {true, false}) {
        SCOPED_TRACE(exitButton ? "Exit" : "close box");
        boxesOpened = 0;
        Start(kQuorinName, true);
        CMessageBoxWatcher watcher([&](QMessageBox&) { ReplugInFirstBox(kQuorinPath); });
        ASSERT_TRUE(platform.Unplug(kQuorinPath));
        if (exitButton)
            QTest::mouseClick(dialog->ControlAs<QAbstractButton>(1), Qt::LeftButton);
        else
            dialog->close();
        ExpectBoxesOfTheMainDialog(watcher, kWriteFailed);
        EXPECT_EQ(dialog->result(), exitButton ? QDialog::Accepted : QDialog::Rejected);
        EXPECT_FALSE(dialog->isVisible());
        // What waited still runs, and the dialog goes cleanly afterwards.
        ExpectReopened();
        dialog.reset();
    }
}

} // namespace
