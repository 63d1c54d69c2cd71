// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "CPanelRig.h"
#include "PanelTestSupport.h"

#include "device/CSurePosDevice.h"
#include "panels/CSurePosPanel.h"

#include <gtest/gtest.h>

namespace {

// The SurePos commands of one stress cycle, by their command byte.
constexpr uint8_t kDisable = 0x12;
constexpr uint8_t kBeeperOff = 0x18;
constexpr uint8_t kEnable = 0x11;
constexpr uint8_t kBeeperOn = 0x14;
constexpr uint8_t kCycle[] = {kDisable, kBeeperOff, kEnable, kBeeperOn};

constexpr int kWaitMs = 20000;

std::vector<uint8_t> CommandBytes(const std::vector<CReport>& writes) {
    std::vector<uint8_t> bytes;
    for (const CReport& report : writes) {
        bytes.push_back(report.at(1));
    }
    return bytes;
}

// True when `commands` is `workers` stress sequences merged, each in its own order: every worker
// is a token that must pass Disable, Beeper Off, Enable, Beeper On in turn, 50 times.
bool IsInterleavingOfCycles(const std::vector<uint8_t>& commands, int workers) {
    int waiting[4] = {workers, 0, 0, 0};
    int done[4] = {};
    for (uint8_t command : commands) {
        const auto stage = std::find(std::begin(kCycle), std::end(kCycle), command) - kCycle;
        if (stage == 4 || waiting[stage] == 0) {
            return false;
        }
        --waiting[stage];
        ++waiting[(stage + 1) % 4];
        ++done[stage];
    }
    return std::all_of(std::begin(done), std::end(done), [&](int n) { return n == 50 * workers; });
}

class PanelStress : public ::testing::Test {
protected:
    PanelStress() {
        panel = OpenPanel<CSurePosPanel>(rig.Device<CSurePosDevice>(), &rig.Store(), &rig.Parent());
        rig.ClearWrites();
    }

    CPanelRig rig{DeviceType::SurePos};
    std::unique_ptr<CSurePosPanel> panel;
};

TEST_F(PanelStress, OneClickSendsTwoHundredCommandsInOrder) {
    Click(*panel, 1049);
    EXPECT_EQ(rig.Reader().WriteCount(), 0u) << "the clicks are posted, the handler returns";
    ASSERT_TRUE(ProcessUntil([&] { return rig.Reader().WriteCount() >= 200; }, kWaitMs));
    ProcessFor(50);

    const std::vector<uint8_t> commands = CommandBytes(rig.SettledWrites());
    ASSERT_EQ(commands.size(), 200u);
    for (size_t i = 0; i < commands.size(); ++i) {
        ASSERT_EQ(commands[i], kCycle[i % 4]) << "command " << i;
    }
}

TEST_F(PanelStress, TwoClicksSendFourHundredInterleavedCommandsAndUserClicksFitIn) {
    Click(*panel, 1049);
    ProcessFor(25);
    Click(*panel, 1049);
    ASSERT_TRUE(ProcessUntil([&] { return rig.Reader().WriteCount() >= 100; }, kWaitMs));
    Click(*panel, 1033);
    ASSERT_TRUE(ProcessUntil([&] { return rig.Reader().WriteCount() >= 401; }, kWaitMs));
    ProcessFor(50);

    // The user's "Test" goes out between the posted clicks, as soon as it is clicked.
    std::vector<CReport> writes = rig.SettledWrites();
    ASSERT_EQ(writes.size(), 401u);
    const auto test = std::find_if(writes.begin(), writes.end(),
                                   [](const CReport& r) { return r[1] == 0x00 && r[2] == 0x10; });
    ASSERT_NE(test, writes.end());
    EXPECT_LT(test - writes.begin(), 120);
    writes.erase(test);
    EXPECT_TRUE(IsInterleavingOfCycles(CommandBytes(writes), 2));
}

TEST_F(PanelStress, DeletingThePanelMidTestDropsTheRemainingClicks) {
    Click(*panel, 1049);
    Click(*panel, 1049);
    ASSERT_TRUE(ProcessUntil([&] { return rig.Reader().WriteCount() >= 20; }, kWaitMs));
    // As the main dialog does when another reader is chosen: panel first, then the device.
    panel.reset();
    rig.DeleteDevice();
    const size_t sent = rig.SettledWrites().size();
    ProcessFor(300);
    EXPECT_EQ(rig.SettledWrites().size(), sent);
    EXPECT_LT(sent, 400u);
}

TEST_F(PanelStress, EscapeMidTestDropsTheRemainingClicks) {
    rig.Parent().show();
    Click(*panel, 1049);
    ASSERT_TRUE(ProcessUntil([&] { return rig.Reader().WriteCount() >= 8; }, kWaitMs));
    PressKey(panel->Control(1049), Qt::Key_Escape);
    const size_t sent = rig.SettledWrites().size();
    ProcessFor(300);
    EXPECT_EQ(rig.SettledWrites().size(), sent);
    EXPECT_LT(sent, 200u);
}

} // namespace
