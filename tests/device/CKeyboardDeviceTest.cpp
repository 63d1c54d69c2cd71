// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "support/CDeviceTestRig.h"

#include "device/CKeyboardDevice.h"
#include "keyboard/CXkbKeyTranslator.h"

#include <gtest/gtest.h>

#include <linux/input-event-codes.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// One key press or release, `afterMs` after the event before it.
struct CKey {
    uint16_t code;
    CKeyValue value;
    double afterMs;
};

CKey Down(uint16_t code, double afterMs = 4) {
    return {code, CKeyValue::Press, afterMs};
}
CKey Up(uint16_t code) {
    return {code, CKeyValue::Release, 0};
}

class KeyboardDevice : public ::testing::Test {
protected:
    // A device typing under `layout` on a desktop whose own layout is `desktop`.
    void Make(const std::string& layout, const std::string& desktop = "us") {
        rig.platform.SetKeyTranslators(
            [](const std::string& name, int& error) -> std::unique_ptr<CKeyTranslator> {
                return CXkbKeyTranslator::Create(name, error);
            },
            desktop);
        device = std::make_unique<CKeyboardDevice>(rig.port, rig.sink, rig.settings, rig.notifier);
        if (!layout.empty()) {
            ASSERT_TRUE(device->SetLayout(layout));
        }
    }

    void Type(const std::vector<CKey>& keys) {
        for (const CKey& key : keys) {
            m_timeUs += uint64_t(key.afterMs * 1000);
            uint8_t report[kKeyReportLength];
            EncodeKeyReport({key.code, key.value, m_timeUs}, report);
            device->OnReport(report, sizeof report);
        }
    }
    uint64_t TimeUs() const { return m_timeUs; }

    CDeviceTestRig rig;
    std::unique_ptr<CKeyboardDevice> device;

private:
    uint64_t m_timeUs = 1000000;
};

TEST_F(KeyboardDevice, LabelsEndAtEnterOrTabAndTellTheirTiming) {
    const struct {
        const char* layout;
        bool endOnTab;
        std::vector<CKey> keys;
        std::string shown;
    } cases[] = {
        // Keys 4 ms apart, one 8 ms gap: 4 keys in 16 ms.
        {"us",
         true,
         {Down(KEY_LEFTSHIFT), Down(KEY_A), Up(KEY_A), Up(KEY_LEFTSHIFT), Down(KEY_B, 8),
          Down(KEY_ENTER)},
         "Ab[0D] - 4 keys, 188 keys/s, longest gap 8.0 ms\r\n"},
        {"us",
         true,
         {Down(KEY_1), Down(KEY_TAB)},
         "1[09] - 2 keys, 250 keys/s, longest gap 4.0 ms\r\n"},
        // Without Tab as an end, it is part of the label.
        {"us",
         false,
         {Down(KEY_1), Down(KEY_TAB), Down(KEY_2), Down(KEY_KPENTER)},
         "1[09]2[0D] - 4 keys, 250 keys/s, longest gap 4.0 ms\r\n"},
        // A GS1 label's group separator, typed as Ctrl+], shows as its byte.
        {"us",
         true,
         {Down(KEY_0), Down(KEY_LEFTCTRL), Down(KEY_RIGHTBRACE), Up(KEY_RIGHTBRACE),
          Up(KEY_LEFTCTRL), Down(KEY_9), Down(KEY_ENTER)},
         "0[1D]9[0D] - 5 keys, 250 keys/s, longest gap 4.0 ms\r\n"},
        // A key held down types again.
        {"us",
         true,
         {Down(KEY_X), {KEY_X, CKeyValue::Repeat, 30}, Up(KEY_X), Down(KEY_ENTER, 2)},
         "xx[0D] - 3 keys, 62 keys/s, longest gap 30.0 ms\r\n"},
        {"us", true, {Down(KEY_ENTER)}, "[0D] - 1 key\r\n"},
    };
    for (const auto& c : cases) {
        Make(c.layout);
        device->SetEndOnTab(c.endOnTab);
        rig.sink.Clear();
        Type(c.keys);
        EXPECT_EQ(rig.sink.Text(), c.shown);
        // The label in bold in the label role, the terminator as a hex group.
        ASSERT_FALSE(rig.sink.Insertions().empty());
        const CRecordingSink::CInsertion& first = rig.sink.Insertions()[0];
        EXPECT_EQ(first.role, first.text[0] == '[' ? OutputRole::Hex : OutputRole::Label);
        EXPECT_EQ(first.bold, first.role == OutputRole::Label);
        EXPECT_EQ(rig.sink.Scrolls(), 1);
    }
}

// A German desktop reads a US reader's y and z swapped: the line says what the reader meant.
TEST_F(KeyboardDevice, ALayoutThatTypesTheLabelOtherwiseShowsBothTexts) {
    Make("", "de");
    EXPECT_EQ(device->Layout(), "de");
    Type({Down(KEY_Y), Down(KEY_Z), Down(KEY_LEFTCTRL), Down(KEY_RIGHTBRACE), Up(KEY_RIGHTBRACE),
          Up(KEY_LEFTCTRL), Down(KEY_ENTER)});
    EXPECT_EQ(rig.sink.Text(), "zy+[0D] - 5 keys, 250 keys/s, longest gap 4.0 ms - typed as "
                               "\"zy+\" under de, as \"yz[1D]\" under us\r\n");
    ASSERT_GE(rig.sink.Insertions().size(), 2u);
    EXPECT_EQ(rig.sink.Insertions()[0],
              (CRecordingSink::CInsertion{"zy+", OutputRole::Label, true}));
    EXPECT_EQ(rig.sink.Insertions()[1],
              (CRecordingSink::CInsertion{"[0D]", OutputRole::Hex, false}));

    // Digits type alike, so nothing more is said.
    rig.sink.Clear();
    Type({Down(KEY_4), Down(KEY_2), Down(KEY_ENTER)});
    EXPECT_EQ(rig.sink.Text(), "42[0D] - 3 keys, 250 keys/s, longest gap 4.0 ms\r\n");
}

TEST_F(KeyboardDevice, APauseEndsALabelWithoutATerminator) {
    Make("us");
    // The next key after the pause starts a label of its own.
    Type({Down(KEY_A), Down(KEY_B, 10), Down(KEY_C, 51)});
    EXPECT_EQ(rig.sink.Text(), "ab - 2 keys, 100 keys/s, longest gap 10.0 ms\r\n");

    // With no key after it, the owner's idle call ends the label once the pause has passed.
    rig.sink.Clear();
    device->OnIdle(TimeUs() + 50000);
    EXPECT_EQ(rig.sink.Text(), "");
    device->OnIdle(TimeUs() + 50001);
    EXPECT_EQ(rig.sink.Text(), "c - 1 key\r\n");
    device->OnIdle(TimeUs() + 900000);
    EXPECT_EQ(rig.sink.Text(), "c - 1 key\r\n");

    // A pause of 0 never ends a label.
    rig.sink.Clear();
    device->SetPauseMs(0);
    Type({Down(KEY_D), Down(KEY_E, 500)});
    device->OnIdle(TimeUs() + 900000);
    EXPECT_EQ(rig.sink.Text(), "");
    Type({Down(KEY_ENTER)});
    EXPECT_EQ(rig.sink.Text(), "de[0D] - 3 keys, 4 keys/s, longest gap 500.0 ms\r\n");
}

TEST_F(KeyboardDevice, SettingsAndLayoutsStayAsChosen) {
    rig.store.WriteProfileString("Settings", CKeyboardDevice::kLayoutKey, "fr");
    rig.store.WriteProfileInt("Settings", CKeyboardDevice::kPauseKey, 80);
    rig.store.WriteProfileInt("Settings", CKeyboardDevice::kEndOnTabKey, 0);
    Make("");
    device->LoadSettings("Settings");
    EXPECT_EQ(device->Layout(), "fr");
    EXPECT_EQ(device->PauseMs(), 80);
    EXPECT_FALSE(device->EndsOnTab());
    EXPECT_TRUE(device->EndsOnEnter());

    // A layout without a keymap leaves the one in use.
    EXPECT_FALSE(device->SetLayout("no-such-layout"));
    EXPECT_EQ(device->Layout(), "fr");
    // The desktop's layout is stored as "the desktop's", not by its name of today.
    ASSERT_TRUE(device->SetLayout(""));
    EXPECT_EQ(device->Layout(), "us");
    device.reset();
    EXPECT_EQ(rig.store.GetProfileString("Settings", CKeyboardDevice::kLayoutKey, "?"), "");
    EXPECT_EQ(rig.store.GetProfileInt("Settings", CKeyboardDevice::kPauseKey, 0), 80);
}

TEST_F(KeyboardDevice, TakesNoCommandsAndSaysWhatIsNoKeyReport) {
    Make("us");
    const uint8_t data[] = {1, 2};
    EXPECT_EQ(device->TriggerOn(), 0);
    EXPECT_EQ(device->Beep(), 0);
    EXPECT_EQ(device->SendData(data, sizeof data), 0);
    EXPECT_EQ(device->RedirectToInterface(0), 0);
    // A closed port cannot be grabbed.
    EXPECT_EQ(device->SetGrab(true), 0);
    EXPECT_FALSE(device->IsGrabbed());
    EXPECT_TRUE(rig.Writes().empty());

    const uint8_t boot[] = {0x00, 0x00, 0x04, 0x00};
    device->OnReport(boot, sizeof boot);
    EXPECT_EQ(rig.sink.Text(), "Not a key event: [00][04][00]\r\n");
}

} // namespace
