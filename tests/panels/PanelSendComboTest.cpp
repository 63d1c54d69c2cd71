// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "CPanelRig.h"
#include "PanelTestSupport.h"

#include "device/CSurePosDevice.h"
#include "panels/CNoDevicePanel.h"
#include "panels/CQuorinPanel.h"
#include "panels/CSurePosPanel.h"

#include <QLabel>

#include <gtest/gtest.h>

namespace {

const QString kTermId = "\\x16M\\rTERMID?.";
const QString kBeepCmd = "\\x16\\x07\\r";

// The data bytes of the Quorin reports the reader received, in order.
std::string QuorinData(const std::vector<CReport>& writes) {
    std::string data;
    for (const CReport& report : writes) {
        data.append(report.begin() + 3, report.begin() + 3 + report[2]);
    }
    return data;
}

TEST(PanelSendCombo, FirstRunListsTheTwoDefaultsWithTheFirstSelected) {
    CPanelRig rig(DeviceType::Quorin);
    auto panel = OpenPanel<CQuorinPanel>(rig.Device(), &rig.Store(), &rig.Parent());
    EXPECT_EQ(ComboItems(*panel), (QStringList{kBeepCmd, kTermId}));
    EXPECT_EQ(ComboOf(*panel)->currentText(), kTermId);
}

TEST(PanelSendCombo, SendingAbcThenABCKeepsBothInTheHistoryAndOneInTheList) {
    CPanelRig rig(DeviceType::Quorin);
    auto panel = OpenPanel<CQuorinPanel>(rig.Device(), &rig.Store(), &rig.Parent());
    rig.ClearWrites();
    TypeText(*panel, "abc");
    Click(*panel, 1039);
    TypeText(*panel, "ABC");
    Click(*panel, 1039);

    EXPECT_EQ(QuorinData(rig.SettledWrites()), "abcABC") << "sent as typed";
    EXPECT_EQ(ComboItems(*panel), (QStringList{kBeepCmd, kTermId, "abc"}));
    EXPECT_EQ(ComboOf(*panel)->currentText(), "abc");
    const auto& entries = panel->History().Entries();
    EXPECT_EQ(std::count(entries.begin(), entries.end(), "abc"), 1);
    EXPECT_EQ(std::count(entries.begin(), entries.end(), "ABC"), 1);
    EXPECT_EQ(panel->History().CurrentString(), "ABC");

    // Sending a known text again only moves the current entry.
    TypeText(*panel, "abc");
    Click(*panel, 1039);
    EXPECT_EQ(panel->History().Entries().size(), 4u);
    EXPECT_EQ(panel->History().CurrentString(), "abc");
    EXPECT_EQ(ComboItems(*panel).size(), 3);
}

TEST(PanelSendCombo, DeletingUnderAnotherCaseRemovesOnlyTheListItem) {
    CPanelRig rig(DeviceType::Quorin);
    {
        auto panel = OpenPanel<CQuorinPanel>(rig.Device(), &rig.Store(), &rig.Parent());
        TypeText(*panel, "abc");
        Click(*panel, 1039);
        rig.ClearWrites();
        TypeText(*panel, "ABC");
        Click(*panel, 1041);
        EXPECT_EQ(ComboItems(*panel), (QStringList{kBeepCmd, kTermId}));
        EXPECT_EQ(ComboOf(*panel)->currentText(), "ABC") << "the edit field keeps the text";
        EXPECT_EQ(panel->History().Entries().size(), 3u);
        EXPECT_TRUE(rig.SettledWrites().empty());

        // Deleting the history's own form removes the entry; the next one becomes current.
        TypeText(*panel, kTermId);
        Click(*panel, 1041);
        EXPECT_EQ(panel->History().Entries().size(), 2u);
        EXPECT_EQ(panel->History().CurrentString(), kBeepCmd.toStdString());
    }
    // At the next start the list shows the history's form again, and the deleted default is back.
    auto panel = OpenPanel<CQuorinPanel>(rig.Device(), &rig.Store(), &rig.Parent());
    EXPECT_EQ(ComboItems(*panel), (QStringList{kBeepCmd, kTermId, "abc"}));
}

TEST(PanelSendCombo, HistoryCarriesOverThroughPanelsWithoutACombo) {
    CMemorySettingsStore store;
    {
        CPanelRig rig(DeviceType::Quorin, &store);
        auto panel = OpenPanel<CQuorinPanel>(rig.Device(), &store, &rig.Parent());
        TypeText(*panel, "carried");
        Click(*panel, 1039);
    }
    {
        CPanelRig rig(DeviceType::SurePos, &store);
        auto panel = OpenPanel<CSurePosPanel>(rig.Device<CSurePosDevice>(), &store, &rig.Parent());
        EXPECT_EQ(panel->History().CurrentString(), "carried");
    }
    {
        QWidget parent;
        store.ClearWrites();
        auto panel = OpenPanel<CNoDevicePanel>(&store, &parent);
        auto* label = panel->findChild<QLabel*>();
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), "This window shows device specific controls.\n"
                                 "There is no device selected.");
        EXPECT_EQ(panel->History().CurrentString(), "carried");
        panel.reset();
        const auto& writes = store.Writes();
        EXPECT_EQ(std::count_if(writes.begin(), writes.end(),
                                [](const auto& w) { return w.key == "files"; }),
                  1)
            << "saved once";
    }
    CPanelRig rig(DeviceType::Quorin, &store);
    auto panel = OpenPanel<CQuorinPanel>(rig.Device(), &store, &rig.Parent());
    EXPECT_EQ(ComboOf(*panel)->currentText(), "carried");
    EXPECT_EQ(store.GetProfileString("Strings", "file002", ""), "carried");
}

TEST(PanelSendCombo, EmptyTextIsSentAndRememberedButNeverListed) {
    CPanelRig rig(DeviceType::Quorin);
    auto panel = OpenPanel<CQuorinPanel>(rig.Device(), &rig.Store(), &rig.Parent());
    TypeText(*panel, "");
    Click(*panel, 1039);
    EXPECT_EQ(panel->History().Entries().size(), 3u);
    EXPECT_EQ(ComboItems(*panel), (QStringList{kBeepCmd, kTermId}));
    panel.reset();
    EXPECT_EQ(rig.Store().GetProfileInt("Strings", "files", -1), 2);
}

TEST(PanelSendCombo, EnterInTheComboSendsAndEscapeDestroysOnlyThePanelWindow) {
    CPanelRig rig(DeviceType::Quorin);
    rig.Parent().show();
    auto panel = OpenPanel<CQuorinPanel>(rig.Device(), &rig.Store(), &rig.Parent());
    rig.ClearWrites();
    TypeText(*panel, "enter");
    PressKey(ComboOf(*panel)->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(QuorinData(rig.SettledWrites()), "enter");
    EXPECT_EQ(ComboItems(*panel).count("enter"), 1) << "listed once, not added by the combo";
    EXPECT_EQ(ComboOf(*panel)->currentText(), "enter");

    PressKey(ComboOf(*panel)->lineEdit(), Qt::Key_Escape);
    EXPECT_FALSE(panel->HasWindow());
    EXPECT_TRUE(panel->isHidden());
    EXPECT_EQ(panel->Control(1039), nullptr);
    EXPECT_TRUE(rig.Parent().isVisible());
    ProcessFor(20);

    // A click that arrives now is dropped; the panel still saves its history when deleted.
    rig.ClearWrites();
    panel->PostClick(1028);
    ProcessFor(20);
    EXPECT_TRUE(rig.SettledWrites().empty());
    panel->ShowTriggerState(0);
    panel.reset();
    EXPECT_EQ(rig.Store().GetProfileString("Strings", "file002", ""), "enter");
}

TEST(PanelSendCombo, EscapeOnAButtonDestroysThePanelWindow) {
    CPanelRig rig(DeviceType::SurePos);
    rig.Parent().show();
    auto panel =
        OpenPanel<CSurePosPanel>(rig.Device<CSurePosDevice>(), &rig.Store(), &rig.Parent());
    QWidget* oldTest = panel->Control(1033);
    PressKey(oldTest, Qt::Key_Escape);
    EXPECT_FALSE(panel->HasWindow());
    EXPECT_TRUE(rig.Parent().isVisible());

    // Made again before the old controls are gone, the window finds only its own controls.
    ASSERT_TRUE(panel->Create());
    QWidget* test = panel->Control(1033);
    ASSERT_NE(test, nullptr);
    EXPECT_NE(test, oldTest);
    ProcessFor(20);
    rig.ClearWrites();
    Click(*panel, 1033);
    EXPECT_FALSE(rig.SettledWrites().empty());
}

} // namespace
