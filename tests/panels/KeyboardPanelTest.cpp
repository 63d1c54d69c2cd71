// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "CPanelRig.h"

#include "device/CKeyboardDevice.h"
#include "layout/CDialogTemplate.h"
#include "panels/CDevicePanel.h"
#include "panels/CPanelFactory.h"
#include "panels/CPanelTemplate.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

#include <linux/input-event-codes.h>

namespace {

class KeyboardPanel : public ::testing::Test {
protected:
    KeyboardPanel() {
        m_panel = CreateDevicePanel(*m_rig.Device(), &m_rig.Store(), &m_rig.Parent());
        EXPECT_NE(m_panel, nullptr);
        EXPECT_TRUE(m_panel->Create());
        m_rig.Parent().show();
        m_panel->ShowOver(m_rig.Parent());
    }
    CKeyboardDevice& Device() { return *m_rig.Device<CKeyboardDevice>(); }
    template <class T> T* Control(int id) { return qobject_cast<T*>(m_panel->Control(id)); }

    CPanelRig m_rig{DeviceType::Keyboard};
    std::unique_ptr<CDevicePanel> m_panel;
};

TEST_F(KeyboardPanel, ExplainsTheModeAndHowToLeaveIt) {
    EXPECT_EQ(m_panel->TemplateId(), PanelTemplateId::Keyboard);
    auto* text = Control<QLabel>(PanelControl::KeyboardModeText);
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->wordWrap());
    EXPECT_TRUE(text->text().contains("keyboard mode"));
    EXPECT_TRUE(text->text().contains("\"USB HID POS\" (or \"USB HID Point-of-Sale\")"));
    EXPECT_TRUE(text->text().contains("appears here as a Hid Pos reader"));
    EXPECT_TRUE(text->isVisible());
    // The long explanation wraps instead of widening the panel past its place.
    EXPECT_LE(m_panel->DialogUnitsToPixels(306, 74).x(),
              CDialogUnits::FromFont(m_panel->font()).ToPixelsX(306) * 3 / 2);
}

// Typing a layout's name in the list reads the reader under it from then on.
TEST_F(KeyboardPanel, TheLayoutListChoosesTheLayout) {
    auto* layouts = Control<QComboBox>(PanelControl::KeyboardLayout);
    ASSERT_NE(layouts, nullptr);
    EXPECT_GT(layouts->count(), 20);
    EXPECT_GE(layouts->findText("de"), 0);
    EXPECT_EQ(layouts->currentText().toStdString(), Device().Layout());

    ASSERT_TRUE(Device().SetLayout("us"));
    layouts->setFocus();
    QTest::keyClicks(layouts, "de");
    EXPECT_EQ(layouts->currentText(), "de");
    EXPECT_EQ(Device().Layout(), "de");
}

TEST_F(KeyboardPanel, GrabTakesTheReaderAndGivesItBack) {
    auto* grab = Control<QCheckBox>(PanelControl::Grab);
    ASSERT_NE(grab, nullptr);
    EXPECT_FALSE(grab->isChecked());
    // On the box itself: the rest of the control's width is no part of the check box.
    const QPoint box(4, grab->height() / 2);
    QTest::mouseClick(grab, Qt::LeftButton, {}, box);
    EXPECT_TRUE(grab->isChecked());
    EXPECT_TRUE(Device().IsGrabbed());
    QTest::mouseClick(grab, Qt::LeftButton, {}, box);
    EXPECT_FALSE(Device().IsGrabbed());
}

// No report tells that a pause has ended a label: the panel's own timer does.
TEST_F(KeyboardPanel, APauseEndsTheLabelWhileThePanelIsShown) {
    ASSERT_TRUE(Device().SetLayout("us"));
    Device().SetPauseMs(20);
    uint64_t time = CKeyboardDevice::NowUs();
    for (const uint16_t key : {KEY_4, KEY_2}) {
        uint8_t report[kKeyReportLength];
        EncodeKeyReport({key, CKeyValue::Press, time += 1000}, report);
        Device().OnReport(report, sizeof report);
    }
    EXPECT_EQ(m_rig.Output().Text(), "");
    QTest::qWait(200);
    EXPECT_EQ(m_rig.Output().Text(), "42 - 2 keys, 1000 keys/s, longest gap 1.0 ms\r\n");
}

} // namespace
