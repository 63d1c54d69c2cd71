// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "support/CDeviceTestRig.h"

#include "device/CSurePosDevice.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

using Ins = CRecordingSink::CInsertion;
using Bytes = std::vector<uint8_t>;

constexpr OutputRole kLabel = OutputRole::Label;
constexpr OutputRole kHex = OutputRole::Hex;
constexpr OutputRole kSymbology = OutputRole::Symbology;
constexpr OutputRole kDefault = OutputRole::Default;
const Ins kNewLine{"\r\n", std::nullopt, false};

// A label message: n counts the header, the text and the type bytes; a zero byte follows.
Bytes LabelReport(const std::string& text, Bytes type) {
    Bytes report = {0x00, uint8_t(4 + text.size() + type.size()), 0x00, 0x00, 0x00};
    report.insert(report.end(), text.begin(), text.end());
    report.insert(report.end(), type.begin(), type.end());
    return Padded(report, 64);
}

std::string TypeName(const Bytes& message) {
    return CSurePosDevice::LabelTypeName(message.data(), message.size(), message.size());
}

class SurePosDevice : public ::testing::Test {
protected:
    void Show(const Bytes& report) { device.OnReport(report.data(), report.size()); }

    CDeviceTestRig rig;
    CSurePosDevice device{rig.port, rig.sink, rig.settings, rig.notifier};
};

TEST(SurePosLabelTypeName, OneByteTable) {
    EXPECT_EQ(TypeName({9, 0, 0, 0, 'x', 0x0A}), "UPC-E");
    EXPECT_EQ(TypeName({9, 0, 0, 0, 'x', 0x0C}), "EAN8");
    EXPECT_EQ(TypeName({9, 0, 0, 0, 'x', 0x0D}), "UPC-A");
    EXPECT_EQ(TypeName({9, 0, 0, 0, 'x', 0x14}), "UPC-D3");
    EXPECT_EQ(TypeName({9, 0, 0, 0, 'x', 0x16}), "EAN13");
    EXPECT_EQ(TypeName({9, 0, 0, 0, 'x', 0x1D}), "UPC-D5");
    for (uint8_t other : {0x00, 0x0E, 0x13, 0x41, 0xFF}) {
        EXPECT_EQ(TypeName({9, 0, 0, 0, 'x', other}), "Don't know") << int(other);
    }
}

TEST(SurePosLabelTypeName, TwoByteTableByTheByteBefore0x0B) {
    EXPECT_EQ(TypeName({9, 0, 0, 0, 0x0A, 0x0B}), "C39");
    EXPECT_EQ(TypeName({9, 0, 0, 0, 0x0E, 0x0B}), "CBR");
    EXPECT_EQ(TypeName({9, 0, 0, 0, 0x18, 0x0B}), "C128");
    EXPECT_EQ(TypeName({9, 0, 0, 0, 0x1D, 0x0B}), "EAN8+5");
    EXPECT_EQ(TypeName({9, 0, 0, 0, 0x20, 0x0B}), "UPC-A/C128");
    EXPECT_EQ(TypeName({9, 0, 0, 0, 0x25, 0x0B}), "EAN128");
    EXPECT_EQ(TypeName({9, 0, 0, 0, 0xFF, 0x0B}), "Unknown");
    EXPECT_EQ(TypeName({9, 0, 0, 0, 0x24, 0x0B}), "Don't know");
    EXPECT_EQ(TypeName({9, 0, 0, 0, 0x0C, 0x0B}), "Don't know");
}

TEST(SurePosLabelTypeName, TypeBytesBeyondTheReceivedBytesAreUnknown) {
    const Bytes message = {20, 0, 0, 0, 'A', 0x0D};
    EXPECT_EQ(std::string(CSurePosDevice::LabelTypeName(message.data(), 20, message.size())),
              "Don't know");
    EXPECT_EQ(std::string(CSurePosDevice::LabelTypeName(message.data(), 6, message.size())),
              "UPC-A");
    EXPECT_EQ(std::string(CSurePosDevice::LabelTypeName(message.data(), 0, message.size())),
              "Don't know");
}

TEST_F(SurePosDevice, UpcALabelDropsTheTypeByte) {
    rig.settings.m_showSymbology = 1;
    Show(LabelReport("012345678905", {0x0D}));
    const std::vector<Ins> expected = {{"012345678905", kLabel, true},
                                       {" - ", kDefault, false},
                                       {"UPC-A", kSymbology, false},
                                       {"\r\n", kDefault, false}};
    EXPECT_EQ(rig.sink.Insertions(), expected);
}

TEST_F(SurePosDevice, C128KeepsTheFirstTypeByteAsHexGroup) {
    rig.settings.m_showSymbology = 1;
    Show(LabelReport("ABC", {0x18, 0x0B}));
    const std::vector<Ins> expected = {{"ABC", kLabel, true},
                                       {"[18]", kHex, true},
                                       {" - ", kDefault, false},
                                       {"C128", kSymbology, false},
                                       {"\r\n", kDefault, false}};
    EXPECT_EQ(rig.sink.Insertions(), expected);
}

TEST_F(SurePosDevice, LabelWithoutShowSymbologyHasNoName) {
    rig.settings.m_showRaw = 1;
    Show(LabelReport("AB", {0x0D}));
    EXPECT_EQ(rig.sink.Text(), "[07][00][00][00][41][42][0D] - AB\r\n");
}

TEST_F(SurePosDevice, StatusMessageShowsDataAsBoldHex) {
    rig.settings.m_showSymbology = 1;
    Show(Padded({0x00, 0x08, 0x04, 0x00, 0x00, 0x01, 0x02, 0x41, 0x0D, 0x55}, 64));
    Show(Padded({0x00, 0x06, 0x02, 0x00, 0x00, 0x30, 0x00}, 64));
    const std::vector<Ins> expected = {
        {"[01][02][41][0D]", kHex, true}, kNewLine, {"[30][00]", kHex, true}, kNewLine};
    EXPECT_EQ(rig.sink.Insertions(), expected);
}

TEST_F(SurePosDevice, ShortMessagesShowOnlyRawBytes) {
    Show(Padded({0x00, 0x04, 0x00, 0x00, 0x00}, 64));
    Show(Padded({0x00, 0x00}, 64));
    EXPECT_TRUE(rig.sink.Insertions().empty());

    rig.settings.m_showRaw = 1;
    Show(Padded({0x00, 0x04, 0x04, 0x00, 0x00}, 64));
    EXPECT_EQ(rig.sink.Text(), "[04][04][00][00] - \r\n");
}

TEST_F(SurePosDevice, LengthBytePastTheReportIsClamped) {
    rig.settings.m_showRaw = 1;
    rig.settings.m_showSymbology = 1;
    const uint8_t label[] = {0x00, 0x30, 0x00, 0x00, 0x00, 'A', 'B', 0x0D};
    device.OnReport(label, sizeof label);
    EXPECT_EQ(rig.sink.Text(), "[30][00][00][00][41][42][0D] - AB - Don't know\r\n");

    rig.sink.Clear();
    rig.settings.m_showRaw = 0;
    const uint8_t status[] = {0x00, 0xFF, 0x04, 0x00, 0x00, 0x01, 0x02};
    device.OnReport(status, sizeof status);
    const uint8_t headerOnly[] = {0x00, 0x09};
    device.OnReport(headerOnly, sizeof headerOnly);
    EXPECT_EQ(rig.sink.Text(), "[01][02]\r\n - Don't know\r\n");
}

TEST_F(SurePosDevice, TwelveCommandReports) {
    rig.caps.outputReportByteLength = 12;
    ASSERT_TRUE(rig.OpenPort());
    device.Test();
    device.StatusRequest();
    device.Reset();
    device.Enable();
    device.Disable();
    device.SetBeeper(1);
    device.SetBeeper(0);
    device.Configure();
    device.ReportConfiguration();
    device.TwoLabelConfig();
    device.ReportTwoLabelConfig();
    device.DirectIoCommand();
    auto command = [](Bytes head) { return Padded(head, 12); };
    const std::vector<Bytes> expected = {
        command({0x00, 0x00, 0x10}),
        command({0x00, 0x00, 0x20}),
        command({0x00, 0x00, 0x40}),
        command({0x00, 0x11}),
        command({0x00, 0x12}),
        command({0x00, 0x14}),
        command({0x00, 0x18}),
        Bytes{0x00, 0x20, 0x00, 0xFF, 0x7F, 0x00, 0x15, 0x00, 0x00, 0xCA, 0x20, 0x01},
        command({0x00, 0x21}),
        command({0x00, 0x23}),
        command({0x00, 0x34}),
        command({0x00, 0x30})};
    EXPECT_EQ(rig.Writes(), expected);
}

TEST_F(SurePosDevice, OtherCommandsSendNothing) {
    ASSERT_TRUE(rig.OpenPort());
    EXPECT_EQ(device.TriggerOn(), 1);
    EXPECT_EQ(device.TriggerOff(), 1);
    EXPECT_EQ(device.Beep(), 1);
    EXPECT_EQ(device.ErrorBeep(), 1);
    EXPECT_EQ(device.RedirectToInterface(1), 1);
    EXPECT_EQ(device.SendString("abc"), 1);
    EXPECT_TRUE(rig.Writes().empty());
}

TEST_F(SurePosDevice, StressAutoDisableAfterLabelsOnly) {
    ASSERT_TRUE(rig.OpenPort());
    rig.settings.m_showOutput = 1;
    device.SetStressAutoDisable(1);
    Show(Padded({0x00, 0x08, 0x04, 0x00, 0x00, 0x01, 0x02, 0x03, 0x04}, 64));
    EXPECT_TRUE(rig.Writes().empty());

    const auto start = std::chrono::steady_clock::now();
    Show(LabelReport("AB", {0x0D}));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    const std::vector<Bytes> expected = {Padded({0x00, 0x12}, 64), Padded({0x00, 0x11}, 64)};
    EXPECT_EQ(rig.Writes(), expected);
    EXPECT_GE(elapsed, std::chrono::milliseconds(CSurePosDevice::kStressPauseMs));
    EXPECT_NE(rig.sink.Text().find("AB\r\n[00][12][00][00][00][00][00][00][00][00][00][00]"),
              std::string::npos);
}

TEST_F(SurePosDevice, StressAutoDisableKeyLoadedAndStoredBeforeDisplaySettings) {
    rig.store.WriteProfileInt("Settings", "StressAutoDisable", 1);
    {
        CSurePosDevice other(rig.port, rig.sink, rig.settings, rig.notifier);
        EXPECT_EQ(other.StressAutoDisable(), 0);
        other.LoadSettings("Settings");
        EXPECT_EQ(other.StressAutoDisable(), 1);
        other.SetStressAutoDisable(0);
        rig.store.ClearWrites();
    }
    const auto& writes = rig.store.Writes();
    ASSERT_GT(writes.size(), 1u);
    EXPECT_EQ(writes[0].section, "Settings");
    EXPECT_EQ(writes[0].key, "StressAutoDisable");
    EXPECT_EQ(std::get<int32_t>(writes[0].value), 0);
    EXPECT_EQ(writes[1].key, "ShowRaw");
}

TEST_F(SurePosDevice, NoSectionNoStore) {
    rig.store.ClearWrites();
    {
        CSurePosDevice other(rig.port, rig.sink, rig.settings, rig.notifier);
        other.SetStressAutoDisable(1);
    }
    EXPECT_TRUE(rig.store.Writes().empty());
}

} // namespace
