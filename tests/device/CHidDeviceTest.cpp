// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "CTestDevice.h"

#include "device/CHidPort.h"

#include "support/CFakeHidPlatform.h"
#include "support/CReaderRig.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using Bytes = std::vector<uint8_t>;
using Ins = CRecordingSink::CInsertion;

Bytes Unescape(const std::string& text) {
    Bytes out(text.size() + 10, 0xEE);
    size_t capacity = text.size();
    EXPECT_TRUE(CHidDevice::UnescapeText(text, out.data(), capacity));
    out.resize(capacity);
    return out;
}

TEST(UnescapeText, HistoryExamples) {
    EXPECT_EQ(Unescape("\\x16M\\rTERMID?."),
              (Bytes{0x16, 0x4D, 0x0D, 0x54, 0x45, 0x52, 0x4D, 0x49, 0x44, 0x3F, 0x2E}));
    EXPECT_EQ(Unescape("\\x16\\x07\\r"), (Bytes{0x16, 0x07, 0x0D}));
}

TEST(UnescapeText, SimpleEscapesAndUnknownLetters) {
    EXPECT_EQ(Unescape("\\r\\n\\t\\v\\a\\\\"), (Bytes{0x0D, 0x0A, 0x09, 0x0B, 0x07, 0x5C}));
    EXPECT_EQ(Unescape("a\\qb"), (Bytes{'a', 0x5C, 'b'})) << "the letter after is dropped";
    EXPECT_EQ(Unescape("ab\\"), (Bytes{'a', 'b', 0x5C})) << "a trailing backslash is sent";
    EXPECT_EQ(Unescape(""), Bytes{});
}

TEST(UnescapeText, NumericFormsTakeFourCharacters) {
    EXPECT_EQ(Unescape("\\x7Z!"), (Bytes{0x07, '!'})) << "the Z belongs to the escape";
    EXPECT_EQ(Unescape("\\x7Z"), (Bytes{0x07}));
    EXPECT_EQ(Unescape("\\xff\\xA0"), (Bytes{0xFF, 0xA0}));
    EXPECT_EQ(Unescape("\\101B"), (Bytes{'A', 'B'}));
    EXPECT_EQ(Unescape("\\18x."), (Bytes{0x01, '.'}));
    EXPECT_EQ(Unescape("\\777"), (Bytes{0xFF})) << "octal keeps the low 8 bits";
    EXPECT_EQ(Unescape("\\400"), (Bytes{0x00}));
}

TEST(UnescapeText, UndecodableEscapesGiveOneByteForTwoCharacters) {
    const uint8_t u = CHidDevice::kUndecodableEscapeByte;
    EXPECT_EQ(Unescape("\\xZZ1"), (Bytes{u, 'Z', 'Z', '1'})) << "no hex digit after the x";
    EXPECT_EQ(Unescape("ab\\x"), (Bytes{'a', 'b', u})) << "too few characters follow";
    EXPECT_EQ(Unescape("\\x4"), (Bytes{u, '4'}));
    EXPECT_EQ(Unescape("\\12"), (Bytes{u, '2'}));
}

TEST(UnescapeText, TooSmallAnOutputDecodesNothing) {
    uint8_t out[4] = {0xEE, 0xEE, 0xEE, 0xEE};
    size_t capacity = 3;
    EXPECT_FALSE(CHidDevice::UnescapeText("abcd", out, capacity));
    EXPECT_EQ(capacity, 4u);
    EXPECT_EQ(out[0], 0xEE);
    // With exactly the text length there is no room for the terminating zero; none is written.
    capacity = 4;
    ASSERT_TRUE(CHidDevice::UnescapeText("ab\\r", out, capacity));
    EXPECT_EQ(capacity, 3u);
    EXPECT_EQ(out[3], 0x00) << "room left: the terminator follows the bytes";
}

class HidDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        rig.platform.AddInterface(
            {MakeInterfaceInfo("/dev/r", 0x1209, 1, 0x008C, 0x0002, "R", "S", "", 16, 8)});
        rig.settings.Load("Settings");
    }

    std::unique_ptr<CTestDevice> MakeDevice() {
        return std::make_unique<CTestDevice>(rig.port, rig.sink, rig.settings, rig.notifier);
    }

    Bytes Written() {
        Bytes report;
        EXPECT_TRUE(rig.platform.Link("/dev/r")->ReadOutput(report, 5000));
        return report;
    }

    CReaderRig<CFakeHidPlatform> rig;
};

TEST_F(HidDeviceTest, CommandsOnAClosedPortDoNothing) {
    rig.settings.m_showOutput = 1;
    auto device = MakeDevice();
    EXPECT_EQ(device->TriggerOn(), 0);
    EXPECT_EQ(device->SendString("abc"), 1);
    EXPECT_TRUE(rig.sink.Insertions().empty());
    EXPECT_TRUE(rig.notifier.Messages().empty());
}

TEST_F(HidDeviceTest, AReaderFoundGoneFailsOneCommandAndTakesNoMoreUntilReopened) {
    ASSERT_TRUE(rig.port.Open("/dev/r", 0x07E8));
    auto device = MakeDevice();
    rig.platform.Link("/dev/r")->Unplug();
    EXPECT_EQ(device->TriggerOff(), 0);
    EXPECT_EQ(rig.port.LastError(), ENODEV);
    EXPECT_EQ(rig.notifier.Messages().size(), 1u);
    // Until the dialog handles the reader's error, further commands do nothing, as on a closed
    // port: one unplug, one message.
    EXPECT_FALSE(rig.port.IsOpen());
    EXPECT_EQ(device->Beep(), 0);
    EXPECT_EQ(device->SendString("abc"), 1);
    EXPECT_EQ(rig.notifier.Messages().size(), 1u);

    rig.platform.AddInterface(
        {MakeInterfaceInfo("/dev/r2", 0x1209, 1, 0x008C, 0x0002, "R", "S2", "", 16, 8)});
    ASSERT_TRUE(rig.port.Open("/dev/r2", 0x07E8));
    EXPECT_TRUE(rig.port.IsOpen());
    EXPECT_EQ(device->TriggerOn(), 1);
}

TEST_F(HidDeviceTest, WriteIsEchoedOnlyWithShowOutput) {
    ASSERT_TRUE(rig.port.Open("/dev/r", 0x07E8));
    auto device = MakeDevice();
    device->TriggerOn();
    EXPECT_EQ(Written(), (Bytes{0x01, 0x10, 0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(rig.sink.Insertions().empty());

    rig.settings.m_showOutput = 1;
    device->Beep();
    EXPECT_EQ(Written(), (Bytes{0x01, 0x14, 0, 0, 0, 0, 0, 0}));
    // The echo shows what the device type asked to send, before padding.
    EXPECT_EQ(rig.sink.Insertions(), (std::vector<Ins>{{"[01][14]", OutputRole::Out, false},
                                                       {"\r\n", std::nullopt, false}}));
    EXPECT_TRUE(rig.notifier.Messages().empty());
}

TEST_F(HidDeviceTest, FailedWriteEchoesBeforeTheMessage) {
    ASSERT_TRUE(rig.port.Open("/dev/r", 0x07E8));
    rig.port.SetWriteTimeout(10);
    rig.platform.Link("/dev/r")->StallOutput();
    rig.settings.m_showOutput = 1;
    auto device = MakeDevice();
    EXPECT_EQ(device->TriggerOff(), 0);
    ASSERT_EQ(rig.notifier.Messages(),
              (std::vector<std::string>{"Data could not be written to the device"}));
    EXPECT_EQ(rig.notifier.OutputAtMessage()[0], "[01][11]\r\n");
    EXPECT_TRUE(rig.port.IsOpen()) << "the port stays as it was";

    // Without the echo the message still comes.
    rig.settings.m_showOutput = 0;
    rig.sink.Clear();
    device->Beep();
    EXPECT_EQ(rig.notifier.Messages().size(), 2u);
    EXPECT_EQ(rig.notifier.OutputAtMessage()[1], "");
}

TEST_F(HidDeviceTest, FramedWriteEchoesHeaderAndPayloadAsOneLine) {
    ASSERT_TRUE(rig.port.Open("/dev/r", 0x07E8));
    rig.settings.m_showOutput = 1;
    auto device = MakeDevice();
    device->SendString("\\x16M\\r");
    EXPECT_EQ(Written(), (Bytes{0xFD, 0x03, 0x16, 'M', 0x0D, 0, 0, 0}));
    EXPECT_EQ(rig.sink.Text(), "[FD][03][16][4D][0D]\r\n");

    // An empty text sends the header alone.
    rig.sink.Clear();
    device->SendString("");
    EXPECT_EQ(Written(), (Bytes{0xFD, 0x00, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(rig.sink.Text(), "[FD][00]\r\n");

    // Too long for one report: nothing is sent, the echo and the message still come.
    rig.sink.Clear();
    device->SendString("1234567");
    EXPECT_EQ(rig.sink.Text(), "[FD][07][31][32][33][34][35][36][37]\r\n");
    EXPECT_EQ(rig.notifier.Messages().size(), 1u);
    Bytes none;
    EXPECT_FALSE(rig.platform.Link("/dev/r")->ReadOutput(none, 50));
}

TEST_F(HidDeviceTest, LabelLineOfTheOutputPrimitives) {
    auto device = MakeDevice();
    rig.settings.m_showRaw = 1;
    rig.settings.m_showSymbology = 1;
    const uint8_t report[] = {0x02, 0x01, 0x03, 'A', 'B', 0x0D};
    device->OnReport(report, sizeof report);
    EXPECT_EQ(rig.sink.Insertions(),
              (std::vector<Ins>{{"[01][03][41][42][0D]", OutputRole::Hex, false},
                                {" - ", OutputRole::Default, false},
                                {"AB", OutputRole::Label, true},
                                {"[0D]", OutputRole::Hex, true},
                                {" - ", OutputRole::Default, false},
                                {"C128", OutputRole::Symbology, false},
                                {"\r\n", OutputRole::Default, false}}));
    EXPECT_EQ(rig.sink.Scrolls(), 1);

    // Without a name the line ends with a plain line end, and still scrolls.
    rig.sink.Clear();
    rig.settings.m_showRaw = 0;
    const uint8_t unnamed[] = {0x02, 0x09, 0x01, 'Z'};
    device->OnReport(unnamed, sizeof unnamed);
    EXPECT_EQ(rig.sink.Insertions(),
              (std::vector<Ins>{{"Z", OutputRole::Label, true}, {"\r\n", std::nullopt, false}}));
    EXPECT_EQ(rig.sink.Scrolls(), 1);
}

// Replacing a simple primitive changes the composite ones that use it.
class CMarkingDevice : public CTestDevice {
public:
    using CTestDevice::CTestDevice;
    void ShowHex(const uint8_t*, size_t length, bool) override {
        ShowString("<hex " + std::to_string(length) + ">", OutputRole::Hex, false);
    }
    void ShowText(const uint8_t*, size_t length, OutputRole role, bool bold) override {
        ShowString(std::string(bold ? "<bold " : "<text ") + std::to_string(length) + ">", role,
                   false);
    }
    void ShowString(const std::string& text, OutputRole, bool) override { m_calls += text; }
    void ShowOutData(const uint8_t*, size_t length, int endLine) override {
        m_calls += "<out " + std::to_string(length) + (endLine ? " end>" : ">");
    }
    std::string m_calls;
};

TEST_F(HidDeviceTest, CompositesCallTheReplaceableSlots) {
    CMarkingDevice device(rig.port, rig.sink, rig.settings, rig.notifier);
    const uint8_t bytes[] = {1, 2, 3};
    device.ShowRawPrefix(bytes, 3);
    device.ShowLabel(bytes, 2);
    device.ShowSymbology("X");
    EXPECT_EQ(device.m_calls, "<hex 3> - <bold 2> - X\r\n");

    ASSERT_TRUE(rig.port.Open("/dev/r", 0x07E8));
    rig.settings.m_showOutput = 1;
    device.m_calls.clear();
    device.TriggerOn();
    device.SendData(bytes, 3);
    EXPECT_EQ(device.m_calls, "<out 2 end><out 2><out 3 end>");
    EXPECT_TRUE(rig.sink.Insertions().empty());
}

TEST_F(HidDeviceTest, BaseSlotsThatOnlySayDone) {
    // A device type that decodes nothing itself keeps the base OnReport.
    class CQuietDevice : public CTestDevice {
    public:
        using CTestDevice::CTestDevice;
        int32_t OnReport(const uint8_t* report, size_t length) override {
            return CHidDevice::OnReport(report, length);
        }
    } device(rig.port, rig.sink, rig.settings, rig.notifier);
    const uint8_t report[] = {0x02, 0x01, 0x01, 'A'};
    EXPECT_EQ(device.OnReport(report, sizeof report), 1);
    EXPECT_EQ(device.SetBeeper(1), 1);
    EXPECT_EQ(device.GetContents(), 1);
    EXPECT_TRUE(rig.sink.Insertions().empty());
}

TEST_F(HidDeviceTest, SettingsReloadedOnLoadAndSavedByTheDestructor) {
    rig.store.WriteProfileInt("Settings", "ShowRaw", 1);
    rig.store.WriteProfileInt("Settings", "ColorLabel", 0x0000FF);
    rig.store.ClearWrites();
    auto device = MakeDevice();
    device->LoadSettings("Settings");
    EXPECT_EQ(rig.settings.m_showRaw, 1);
    EXPECT_EQ(rig.settings.m_colorLabel, 0x0000FFu);
    EXPECT_TRUE(rig.store.Writes().empty()) << "nothing is stored while the device lives";

    rig.settings.m_showSymbology = 1;
    device.reset();
    EXPECT_FALSE(rig.store.Writes().empty());
    EXPECT_EQ(rig.store.GetProfileInt("Settings", "ShowSymbology", 0), 1);
}

} // namespace
