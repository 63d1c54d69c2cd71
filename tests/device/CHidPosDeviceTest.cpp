// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "support/CDeviceTestRig.h"

#include "device/CHidPosDevice.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using Ins = CRecordingSink::CInsertion;

constexpr OutputRole kLabel = OutputRole::Label;
constexpr OutputRole kHex = OutputRole::Hex;
constexpr OutputRole kRaw = OutputRole::Raw;
constexpr OutputRole kSymbology = OutputRole::Symbology;
constexpr OutputRole kDefault = OutputRole::Default;
const Ins kNewLine{"\r\n", std::nullopt, false};

std::vector<uint8_t> ScanReport(const std::string& identifier, const std::string& label) {
    std::vector<uint8_t> report = {0x02, uint8_t(label.size())};
    report.insert(report.end(), identifier.begin(), identifier.end());
    report.insert(report.end(), label.begin(), label.end());
    return Padded(report, 64);
}

std::string Name(const char* identifier) {
    return CHidPosDevice::SymbologyName(reinterpret_cast<const uint8_t*>(identifier));
}

class HidPosDevice : public ::testing::Test {
protected:
    void Show(const std::vector<uint8_t>& report) { device.OnReport(report.data(), report.size()); }

    CDeviceTestRig rig;
    CHidPosDevice device{rig.port, rig.sink, rig.settings, rig.notifier};
};

TEST(HidPosSymbologyName, CodeCharacterTable) {
    EXPECT_EQ(Name("]A0"), "C39");
    EXPECT_EQ(Name("]B0"), "TelePen");
    EXPECT_EQ(Name("]C1"), "C128");
    EXPECT_EQ(Name("]I0"), "I25");
    EXPECT_EQ(Name("]L0"), "PDF417");
    EXPECT_EQ(Name("]R0"), "Straight 2 of 5 (2 bars)");
    EXPECT_EQ(Name("]S0"), "Straight 2 of 5 (3 bars)");
    EXPECT_EQ(Name("]X0"), "Other barcode");
    EXPECT_EQ(Name("]Z0"), "Not a barcode");
    for (const char* unknown : {"]J0", "]Q1", "]U0", "]a0", "]e0", "]10",
                                "]\xFF"
                                "0"}) {
        EXPECT_EQ(Name(unknown), "Don't know") << unknown;
    }
}

TEST(HidPosSymbologyName, EanUpcByModifier) {
    EXPECT_EQ(Name("]E0"), "EAN/UPC");
    EXPECT_EQ(Name("]E1"), "EAN/UPC2 digit supplement");
    EXPECT_EQ(Name("]E2"), "EAN/UPC5 digit supplement");
    EXPECT_EQ(Name("]E3"), "EAN/UPCwith supplement");
    EXPECT_EQ(Name("]E4"), "EAN-8");
    EXPECT_EQ(Name("]E8"), "UPC-D1");
    EXPECT_EQ(Name("]EA"), "UPC-D3");
    EXPECT_EQ(Name("]EC"), "UPC-D5");
    for (const char* other : {"]E5", "]E6", "]E7", "]ED", "]Ea"}) {
        EXPECT_EQ(Name(other), "EAN/UPC") << other;
    }
}

TEST_F(HidPosDevice, LabelWithNameRawPrefixOverSixtyThreeBodyBytes) {
    rig.settings.m_showRaw = 1;
    rig.settings.m_showSymbology = 1;
    auto report = ScanReport("]E1", "01234567890512");
    report[63] = 0x01; // vendor byte after the label, still in the raw prefix
    Show(report);
    const auto& ins = rig.sink.Insertions();
    ASSERT_EQ(ins.size(), 6u);
    EXPECT_EQ(ins[0].text.size(), 63u * 4);
    EXPECT_EQ(ins[0].text.substr(0, 20), "[0E][5D][45][31][30]");
    EXPECT_EQ(ins[0].text.substr(62 * 4), "[01]");
    EXPECT_EQ(ins[1], (Ins{" - ", kDefault, false}));
    EXPECT_EQ(ins[2], (Ins{"01234567890512", kLabel, true}));
    EXPECT_EQ(ins[3], (Ins{" - ", kDefault, false}));
    EXPECT_EQ(ins[4], (Ins{"EAN/UPC2 digit supplement", kSymbology, false}));
    EXPECT_EQ(ins[5], (Ins{"\r\n", kDefault, false}));
}

TEST_F(HidPosDevice, NameOnlyWithShowSymbologyAndBracketIdentifier) {
    Show(ScanReport("]E0", "123"));
    rig.settings.m_showSymbology = 1;
    Show(ScanReport("]E0", "456"));
    Show(ScanReport("xE0", "789"));
    EXPECT_EQ(rig.sink.Text(), "123\r\n456 - EAN/UPC\r\n789\r\n");
    // The identifier reaches the outputs whether or not the name is shown, never when absent.
    EXPECT_EQ(rig.sink.Identifiers(), (std::vector<std::string>{"]E0", "]E0"}));
}

TEST_F(HidPosDevice, WrongReportIdTextContinuesTheLine) {
    rig.settings.m_showSymbology = 1;
    Show(Padded({0x03, 0x05, ']', 'C', '0', 'A'}, 64));
    Show(ScanReport("]C0", "AB"));
    const std::vector<Ins> expected = {{"Got Wrong Report ID: 3", kRaw, false},
                                       {"[0D]", kHex, false},
                                       {"AB", kLabel, true},
                                       {" - ", kDefault, false},
                                       {"C128", kSymbology, false},
                                       {"\r\n", kDefault, false}};
    EXPECT_EQ(rig.sink.Insertions(), expected);
}

TEST_F(HidPosDevice, LengthBytePastTheReportIsClamped) {
    rig.settings.m_showSymbology = 1;
    auto full = ScanReport("]A0", std::string(59, 'x'));
    full[1] = 0xFF;
    Show(full);
    EXPECT_EQ(rig.sink.Text(), std::string(59, 'x') + " - C39\r\n");

    rig.sink.Clear();
    rig.settings.m_showRaw = 1;
    const uint8_t shortReport[] = {0x02, 0x30, ']', 'A', '0', 'Q'};
    device.OnReport(shortReport, sizeof shortReport);
    EXPECT_EQ(rig.sink.Text(), "[30][5D][41][30][51] - Q - C39\r\n");
}

TEST_F(HidPosDevice, IncompleteIdentifierGetsNoName) {
    rig.settings.m_showSymbology = 1;
    const uint8_t report[] = {0x02, 0x09, ']', 'E'};
    device.OnReport(report, sizeof report);
    device.OnReport(report, 0);
    EXPECT_EQ(rig.sink.Text(), "\r\n");
    EXPECT_TRUE(rig.sink.Identifiers().empty());
}

TEST_F(HidPosDevice, CommandReportsAndFramedData) {
    ASSERT_TRUE(rig.OpenPort());
    device.TriggerOn();
    device.TriggerOff();
    device.Disable();
    device.Enable();
    device.Beep();
    device.ErrorBeep();
    device.SendString("AB\\r");
    const std::vector<std::vector<uint8_t>> expected = {Padded({0x04, 0x04}, 64),
                                                        Padded({0x04, 0x00}, 64),
                                                        Padded({0x04, 0x02}, 64),
                                                        Padded({0x04, 0x00}, 64),
                                                        Padded({0x04, 0x40}, 64),
                                                        Padded({0x04, 0x20}, 64),
                                                        Padded({0xFD, 0x03, 'A', 'B', 0x0D}, 64)};
    EXPECT_EQ(rig.Writes(), expected);
}

TEST_F(HidPosDevice, FailedWriteIsEchoedThenReported) {
    ASSERT_TRUE(rig.OpenPort());
    rig.settings.m_showOutput = 1;
    rig.log.failWrites = true;
    EXPECT_EQ(device.Beep(), 1);
    EXPECT_EQ(rig.sink.Text(), "[04][40]\r\n");
    EXPECT_EQ(rig.notifier.Messages(),
              std::vector<std::string>{"Data could not be written to the device"});
}

TEST_F(HidPosDevice, RedirectSetsFeatureAndVerifiesReadBack) {
    EXPECT_EQ(device.RedirectToInterface(1), 0); // closed port
    ASSERT_TRUE(rig.OpenPort());
    uint8_t stored = 0;
    rig.log.featureAnswer = [&](uint8_t* buffer, size_t) { buffer[1] = stored; };

    stored = 1;
    EXPECT_EQ(device.RedirectToInterface(1), 1);
    ASSERT_EQ(rig.log.setFeatures.size(), 1u);
    EXPECT_EQ(rig.log.setFeatures[0], (std::vector<uint8_t>{0xFE, 0x01}));
    ASSERT_EQ(rig.log.getFeatureRequests.size(), 1u);
    EXPECT_EQ(rig.log.getFeatureRequests[0], (std::vector<uint8_t>{0xFE, 0xFF}));

    stored = 0;
    EXPECT_EQ(device.RedirectToInterface(1), 0);

    rig.log.featureAnswer = nullptr; // a reader that leaves the buffer as it is
    EXPECT_EQ(device.RedirectToInterface(0), 0);

    rig.log.failGetFeature = true;
    stored = 0;
    EXPECT_EQ(device.RedirectToInterface(0), 0);
    rig.log.failSetFeature = true;
    const size_t gets = rig.log.getFeatureRequests.size();
    EXPECT_EQ(device.RedirectToInterface(0), 0);
    EXPECT_EQ(rig.log.getFeatureRequests.size(), gets);
    EXPECT_TRUE(rig.Writes().empty());
}

TEST_F(HidPosDevice, DestructionStoresOnlyTheDisplaySettings) {
    {
        CHidPosDevice other(rig.port, rig.sink, rig.settings, rig.notifier);
        other.LoadSettings("Settings");
        rig.store.ClearWrites();
    }
    ASSERT_FALSE(rig.store.Writes().empty());
    for (const auto& write : rig.store.Writes()) {
        EXPECT_NE(write.key, "StressAutoDisable");
    }
    EXPECT_EQ(rig.store.Writes()[0].key, "ShowRaw");
}

} // namespace
