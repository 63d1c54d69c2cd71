// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "CPanelRig.h"
#include "PanelTestSupport.h"

#include "device/CSurePosDevice.h"
#include "device/CSurePosSioDevice.h"
#include "panels/CHidPosPanel.h"
#include "panels/CQuorinPanel.h"
#include "panels/CSurePosPanel.h"
#include "panels/CSurePosSioPanel.h"

#include <gtest/gtest.h>

namespace {

CReport Padded(CReport bytes, size_t length) {
    bytes.resize(std::max(bytes.size(), length), 0);
    return bytes;
}

// A SurePos Sio command: its bytes, then filler bytes that carry their own offset.
CReport SioCommand(CReport bytes) {
    for (size_t i = bytes.size(); i < 252; ++i) {
        bytes.push_back(static_cast<uint8_t>(i));
    }
    return bytes;
}

struct CButtonCase {
    int id;
    std::vector<CReport> reports;
};

void ExpectEachButtonSends(CPanelRig& rig, CDevicePanel& panel,
                           const std::vector<CButtonCase>& cases) {
    for (const CButtonCase& c : cases) {
        rig.ClearWrites();
        ASSERT_NE(panel.Control(c.id), nullptr) << c.id;
        Click(panel, c.id);
        EXPECT_EQ(rig.SettledWrites(), c.reports) << "button " << c.id;
    }
}

TEST(PanelCommands, QuorinButtonsSendTheQuorinReports) {
    CPanelRig rig(DeviceType::Quorin);
    auto panel = OpenPanel<CQuorinPanel>(rig.Device(), &rig.Store(), &rig.Parent());
    const CReport beep = Padded({0x00, 0x30, 0x03, 0x16, 0x07, 0x0D}, rig.OutputReportLength());
    ExpectEachButtonSends(
        rig, *panel,
        {
            {1012, {Padded({0x00, 0x30, 0x03, 0x16, 0x54, 0x0D}, rig.OutputReportLength())}},
            {1012, {Padded({0x00, 0x30, 0x03, 0x16, 0x55, 0x0D}, rig.OutputReportLength())}},
            {1028, {beep}},
            {1030, {beep, beep, beep}},
            // The Quorin reader has no such commands.
            {1031, {}},
            {1032, {}},
            {1044, {}},
            {1045, {}},
            {1041, {}},
        });
    // The default entry is selected at start; escapes become bytes only in the device.
    rig.ClearWrites();
    Click(*panel, 1039);
    EXPECT_EQ(rig.SettledWrites(),
              std::vector<CReport>{Padded(
                  {0x00, 0x30, 0x0B, 0x16, 'M', 0x0D, 'T', 'E', 'R', 'M', 'I', 'D', '?', '.'},
                  rig.OutputReportLength())});
}

TEST(PanelCommands, HidPosButtonsSendTheHidPosReports) {
    CPanelRig rig(DeviceType::HidPos);
    auto panel = OpenPanel<CHidPosPanel>(rig.Device(), &rig.Store(), &rig.Parent());
    ExpectEachButtonSends(rig, *panel,
                          {
                              {1012, {Padded({0x04, 0x04}, rig.OutputReportLength())}},
                              {1012, {Padded({0x04, 0x00}, rig.OutputReportLength())}},
                              {1028, {Padded({0x04, 0x40}, rig.OutputReportLength())}},
                              {1030, {Padded({0x04, 0x20}, rig.OutputReportLength())}},
                              {1031, {Padded({0x04, 0x02}, rig.OutputReportLength())}},
                              {1032, {Padded({0x04, 0x00}, rig.OutputReportLength())}},
                          });
    // The beeper buttons are there, but hidden; the others are shown.
    EXPECT_TRUE(panel->Control(1044)->isHidden());
    EXPECT_TRUE(panel->Control(1045)->isHidden());
    EXPECT_FALSE(panel->Control(1031)->isHidden());

    rig.ClearWrites();
    TypeText(*panel, "\\x16\\x07\\r");
    Click(*panel, 1039);
    EXPECT_EQ(rig.SettledWrites(), std::vector<CReport>{Padded({0xFD, 0x03, 0x16, 0x07, 0x0D},
                                                               rig.OutputReportLength())});

    for (int interfaceNumber : {0, 1}) {
        rig.ClearWrites();
        const CShownMessage message =
            CatchMessageBox([&] { Click(*panel, interfaceNumber == 0 ? 1013 : 1018); });
        EXPECT_FALSE(message.shown);
        ASSERT_EQ(rig.Reader().FeatureSets().size(), 1u);
        EXPECT_EQ(rig.Reader().FeatureSets()[0][0], 0xFE);
        EXPECT_EQ(rig.Reader().FeatureSets()[0][1], interfaceNumber);
    }
}

TEST(PanelCommands, SurePosButtonsSendTheirTwelveByteCommands) {
    CPanelRig rig(DeviceType::SurePos);
    auto panel =
        OpenPanel<CSurePosPanel>(rig.Device<CSurePosDevice>(), &rig.Store(), &rig.Parent());
    auto command = [](uint8_t b1, uint8_t b2) {
        return std::vector<CReport>{{0x00, b1, b2, 0, 0, 0, 0, 0, 0, 0, 0, 0}};
    };
    ExpectEachButtonSends(
        rig, *panel,
        {
            {1032, command(0x11, 0x00)},
            {1031, command(0x12, 0x00)},
            {1045, command(0x14, 0x00)},
            {1044, command(0x18, 0x00)},
            {1033, command(0x00, 0x10)},
            {1034, command(0x00, 0x20)},
            {1035, command(0x00, 0x40)},
            {1037, {{0x00, 0x20, 0x00, 0xFF, 0x7F, 0x00, 0x15, 0x00, 0x00, 0xCA, 0x20, 0x01}}},
            {1040, command(0x21, 0x00)},
            {1042, command(0x23, 0x00)},
            {1046, command(0x34, 0x00)},
            {1047, command(0x30, 0x00)},
            {1048, {}},
        });
}

TEST(PanelCommands, SurePosSioButtonsSendFullCommandReports) {
    CPanelRig rig(DeviceType::SurePosSio);
    auto panel =
        OpenPanel<CSurePosSioPanel>(rig.Device<CSurePosSioDevice>(), &rig.Store(), &rig.Parent());
    ExpectEachButtonSends(
        rig, *panel,
        {
            {1033, {SioCommand({0x00, 0x04, 0x00, 0x00, 0x10})}},
            {1034, {SioCommand({0x00, 0x04, 0x00, 0x00, 0x20})}},
            {1035, {SioCommand({0x00, 0x04, 0x00, 0x00, 0x40})}},
            {1015,
             {SioCommand({0x00, 0x0A, 0x00, 0x01, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00})}},
            {1017, {SioCommand({0x00, 0x05, 0x00, 0x02, 0x00, 0x04})}},
            {1019, {SioCommand({0x00, 0x04, 0x00, 0x04, 0x00})}},
            {1022, {SioCommand({0x00, 0x04, 0x00, 0x10, 0x00})}},
        });

    // "Get Contents" reads the contents report and shows the label in it.
    rig.ClearWrites();
    rig.Reader().SetContents({0x00, 0x06, 0x00, 'A', 'B', 'C', 'D'});
    Click(*panel, 1024);
    EXPECT_TRUE(rig.SettledWrites().empty());
    EXPECT_NE(rig.Output().Text().find("ABCD"), std::string::npos) << rig.Output().Text();

    rig.ClearWrites();
    TypeText(*panel, "hi");
    Click(*panel, 1039);
    ASSERT_EQ(rig.SettledWrites().size(), 1u);
    const CReport sent = rig.SettledWrites()[0];
    EXPECT_EQ(CReport(sent.begin(), sent.begin() + 7),
              (CReport{0x00, 0x06, 0x00, 0x08, 0x00, 'h', 'i'}));
}

TEST(PanelCommands, TriggerButtonIsPressedUntilAReportReleasesItWithoutSending) {
    CPanelRig rig(DeviceType::HidPos);
    auto panel = OpenPanel<CHidPosPanel>(rig.Device(), &rig.Store(), &rig.Parent());
    QAbstractButton* trigger = ButtonOf(*panel, 1012);
    EXPECT_FALSE(trigger->isChecked());

    rig.ClearWrites();
    Click(*panel, 1012);
    EXPECT_TRUE(trigger->isChecked());
    EXPECT_EQ(panel->TriggerState(), 1);

    // What the main dialog does for every input report.
    panel->ShowTriggerState(0);
    EXPECT_FALSE(trigger->isChecked());
    EXPECT_EQ(panel->TriggerState(), 0);
    EXPECT_EQ(rig.SettledWrites().size(), 1u) << "a report sends nothing";

    Click(*panel, 1012);
    EXPECT_TRUE(trigger->isChecked());
    EXPECT_EQ(rig.SettledWrites().back(), Padded({0x04, 0x04}, rig.OutputReportLength()))
        << "triggers again";

    panel->SetTrigger(0);
    EXPECT_FALSE(trigger->isChecked());
    EXPECT_EQ(rig.SettledWrites().back(), Padded({0x04, 0x00}, rig.OutputReportLength()));
}

TEST(PanelCommands, HidPosPanelAsksForInterfaceOneAtEveryStartAndWarnsOnlyFromTheButtons) {
    CPanelRig rig(DeviceType::HidPos);
    rig.Reader().SetFeatureSupported(false);
    for (int start = 0; start < 2; ++start) {
        rig.ClearWrites();
        std::unique_ptr<CHidPosPanel> panel;
        const CShownMessage atStart = CatchMessageBox(
            [&] { panel = OpenPanel<CHidPosPanel>(rig.Device(), &rig.Store(), &rig.Parent()); });
        EXPECT_FALSE(atStart.shown);
        ASSERT_EQ(rig.Reader().FeatureSets().size(), 1u);
        EXPECT_EQ(rig.Reader().FeatureSets()[0][1], 1);
    }

    auto panel = OpenPanel<CHidPosPanel>(rig.Device(), &rig.Store(), &rig.Parent());
    for (int id : {1013, 1018}) {
        const CShownMessage message = CatchMessageBox([&] { Click(*panel, id); });
        EXPECT_TRUE(message.shown) << id;
        EXPECT_EQ(message.title, QCoreApplication::applicationName());
        EXPECT_EQ(message.text, "Data could not be verified with the device.\n"
                                "This can be OK if the device does not implement this command.");
        EXPECT_EQ(message.icon, QMessageBox::Warning);
    }
    EXPECT_TRUE(rig.Notifier().Messages().empty());
}

TEST(PanelCommands, SioCheckBoxesShowTheLoadedFlagsAndCommitBothAtOnce) {
    CMemorySettingsStore store;
    store.WriteProfileInt("Settings", "AutoRead", 0);
    store.WriteProfileInt("Settings", "RawOnly", 1);
    CPanelRig rig(DeviceType::SurePosSio, &store);
    auto* sio = rig.Device<CSurePosSioDevice>();
    auto panel = OpenPanel<CSurePosSioPanel>(sio, &rig.Store(), &rig.Parent());
    QAbstractButton* autoRead = ButtonOf(*panel, 1026);
    QAbstractButton* rawOnly = ButtonOf(*panel, 1029);
    EXPECT_FALSE(autoRead->isChecked());
    EXPECT_TRUE(rawOnly->isChecked());

    // A box changed without its click is taken along by the next click on the other one.
    rawOnly->setChecked(false);
    EXPECT_EQ(sio->RawOnly(), 1);
    Click(*panel, 1026);
    EXPECT_EQ(sio->AutoRead(), 1);
    EXPECT_EQ(sio->RawOnly(), 0);

    autoRead->setChecked(false);
    Click(*panel, 1029);
    EXPECT_EQ(sio->RawOnly(), 1);
    EXPECT_EQ(sio->AutoRead(), 0);

    Click(*panel, 1029);
    EXPECT_EQ(sio->RawOnly(), 0);
    // The flags reach the store only when the device saves its settings.
    EXPECT_EQ(store.GetProfileInt("Settings", "RawOnly", -1), 1);
    panel.reset();
    rig.DeleteDevice();
    EXPECT_EQ(store.GetProfileInt("Settings", "RawOnly", -1), 0);
    EXPECT_EQ(store.GetProfileInt("Settings", "AutoRead", -1), 0);
}

TEST(PanelCommands, SurePosAutoDisableBoxFollowsTheDeviceFlag) {
    CMemorySettingsStore store;
    store.WriteProfileInt("Settings", "StressAutoDisable", 1);
    CPanelRig rig(DeviceType::SurePos, &store);
    auto* surePos = rig.Device<CSurePosDevice>();
    auto panel = OpenPanel<CSurePosPanel>(surePos, &rig.Store(), &rig.Parent());
    QAbstractButton* box = ButtonOf(*panel, 1048);
    EXPECT_TRUE(box->isChecked());
    Click(*panel, 1048);
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(surePos->StressAutoDisable(), 0);
}

} // namespace
