// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "support/CDeviceTestRig.h"

#include "device/CHidPosDevice.h"
#include "device/CSurePosDevice.h"
#include "support/HexFile.h"
#include "support/HidPosDescriptors.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace {

using Clock = CHidDevice::Clock;
using std::chrono::milliseconds;

// A Hid Pos report with the identifier (or none: the layout without one) and `continued` in
// byte 63.
std::vector<uint8_t> HidPosReport(const std::string& identifier, const std::string& data,
                                  bool continued = false) {
    std::vector<uint8_t> report = {0x02, uint8_t(data.size())};
    report.insert(report.end(), identifier.begin(), identifier.end());
    report.insert(report.end(), data.begin(), data.end());
    report = Padded(report, 64);
    report[63] = continued ? 0x01 : 0x00;
    return report;
}

// A report and how long after the one before it arrives.
struct CTimedReport {
    std::vector<uint8_t> bytes;
    int afterMs;
};

// Feeds reports the way the owners do (a passed deadline closes the label first, the end closes
// what is open) and returns the text.
template <class TDevice> class CDecodingRun {
public:
    // With a descriptor, the reader is open and declares it.
    explicit CDecodingRun(Decoding decoding, std::vector<uint8_t> descriptor = {}) {
        device.SetDecoding(decoding);
        rig.settings.m_showSymbology = 1;
        if (!descriptor.empty()) {
            rig.descriptor = std::move(descriptor);
            EXPECT_TRUE(rig.OpenPort());
        }
    }
    std::string Text(const std::vector<CTimedReport>& reports) {
        Clock::time_point now{};
        for (const CTimedReport& report : reports) {
            now += milliseconds(report.afterMs);
            if (device.OpenLabelDeadline() <= now) {
                device.CloseOpenLabel();
            }
            device.OnReportAt(report.bytes.data(), report.bytes.size(), now);
        }
        device.CloseOpenLabel();
        return rig.sink.Text();
    }

    CDeviceTestRig rig;
    TDevice device{rig.port, rig.sink, rig.settings, rig.notifier};
};

std::string Name(const char* identifier) {
    return CHidPosDevice::CompleteSymbologyName(reinterpret_cast<const uint8_t*>(identifier));
}

TEST(CompleteSymbologyName, NamesEveryPublishedCodeCharacterAndTheGs1Modifiers) {
    const struct {
        const char* identifier;
        const char* name;
    } rows[] = {
        // The specified names stay where the specified table has them.
        {"]A0", "C39"},
        {"]C0", "C128"},
        {"]E4", "EAN-8"},
        {"]L0", "PDF417"},
        {"]Z6", "Not a barcode"},
        // Modifiers that make another symbology or GS1 data, letters included.
        {"]C1", "GS1-128"},
        {"]d2", "GS1 DataMatrix"},
        {"]Q3", "GS1 QR Code"},
        {"]e0", "GS1 DataBar"},
        {"]J1", "GS1 DotCode"},
        {"]zC", "Aztec Rune"},
        {"]L3", "MicroPDF417"},
        {"]L5", "MicroPDF417"},
        // Code characters beyond the specified table.
        {"]d1", "Data Matrix"},
        {"]Q0", "QR Code"},
        {"]z0", "Aztec"},
        {"]e1", "GS1 Composite"},
        {"]U0", "MaxiCode"},
        {"]h0", "Han Xin"},
        {"]J0", "DotCode"},
        {"]g0", "Grid Matrix"},
        // Case matters: D is Code One, q names nothing.
        {"]D0", "Code One"},
        {"]q0", "Don't know"},
        {"]10", "Don't know"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(Name(row.identifier), row.name) << row.identifier;
    }
}

TEST(CompleteHidPosDecoding, JoinsBoundsAndNamesWhereTheSpecifiedDecodingDoesNot) {
    const std::string first56(56, 'a');
    const std::string second56(56, 'b');
    const struct {
        const char* what;
        std::vector<CTimedReport> reports;
        std::string specified;
        std::string complete;
    } cases[] = {
        {"a QR boarding pass over two reports",
         {{HidPosReport("]Q0", first56, true), 0}, {HidPosReport("]Q0", "tail"), 8}},
         first56 + " - Don't know\r\ntail - Don't know\r\n",
         first56 + "tail - QR Code\r\n"},
        {"three reports, mid-word",
         {{HidPosReport("]Z6", "Soft", true), 0},
          {HidPosReport("]Z6", "ware", true), 5},
          {HidPosReport("]Z6", " 2.3"), 5}},
         "Soft - Not a barcode\r\nware - Not a barcode\r\n 2.3 - Not a barcode\r\n",
         "Software 2.3 - Not a barcode\r\n"},
        {"112 bytes with the bit left set: closed by the wait, a later label stays apart",
         {{HidPosReport("]Q1", first56, true), 0},
          {HidPosReport("]Q1", second56, true), 8},
          {HidPosReport("]Q1", "next"), 300}},
         first56 + " - Don't know\r\n" + second56 + " - Don't know\r\nnext - Don't know\r\n",
         first56 + second56 + " - QR Code\r\nnext - QR Code\r\n"},
        {"another identifier closes the open label",
         {{HidPosReport("]Q1", "open", true), 0}, {HidPosReport("]d2", "01"), 5}},
         "open - Don't know\r\n01 - Don't know\r\n",
         "open - QR Code\r\n01 - GS1 DataMatrix\r\n"},
        {"no identifier: the stated length from byte 2, nothing past it",
         {{HidPosReport("", "5901234123457"), 0}},
         "1234123457[00][00][00]\r\n",
         "5901234123457\r\n"},
        {"no identifier over two reports",
         {{HidPosReport("", "ABC", true), 0}, {HidPosReport("", "DEF"), 8}},
         "[00][00][00]\r\n[00][00][00]\r\n",
         "ABCDEF\r\n"},
        {"a stated length past the data field stops at its end",
         {{[] {
               auto r = HidPosReport("]Q0", std::string(56, 'x'));
               r[1] = 0xFF;
               return r;
           }(),
           0}},
         std::string(56, 'x') + "[00][00][00] - Don't know\r\n",
         std::string(56, 'x') + " - QR Code\r\n"},
    };
    for (const auto& c : cases) {
        CDecodingRun<CHidPosDevice> specified(Decoding::Specified);
        EXPECT_EQ(specified.Text(c.reports), c.specified) << c.what;
        CDecodingRun<CHidPosDevice> complete(Decoding::Complete);
        EXPECT_EQ(complete.Text(c.reports), c.complete) << c.what;
        EXPECT_TRUE(complete.rig.notifier.Suggestions().empty()) << c.what;
    }
}

// A report of a reader whose fields lie elsewhere: the length in byte 1, data from byte 2, the
// identifier (or zeros) in 58..60, `continued` in bit 0 of byte 63.
std::vector<uint8_t> OtherOrderReport(const std::string& identifier, const std::string& data,
                                      bool continued = false) {
    std::vector<uint8_t> report = {0x02, uint8_t(data.size())};
    report.insert(report.end(), data.begin(), data.end());
    report = Padded(report, 64);
    std::copy(identifier.begin(), identifier.end(), report.begin() + 58);
    report[63] = continued ? 0x01 : 0x00;
    return report;
}

TEST(CompleteHidPosDecoding, TakesThePositionsFromTheOpenReadersDescriptor) {
    const std::vector<uint8_t> realImager =
        ReadHexFile(std::string(VANTREL_TEST_DATA_DIR) + "/descriptors/hidpos-8c-0002.hex");
    const std::vector<uint8_t> otherOrder = HidPosInputDescriptor(OtherOrderHidPosFields());
    const std::vector<uint8_t> withoutIdentifier = HidPosInputDescriptor(
        {{8, 1, 0x01, {0x3B}}, {8, 56, 0x8C, {0xFE}}, {8, 5, 0xFF66, {1}}, {1, 8, 0x8C, {0xFF}}});
    // The count not byte-aligned: the descriptor is not used, the content rule decides.
    const std::vector<uint8_t> unaligned = HidPosInputDescriptor(
        {{4, 1, 0x8C, {}, 0x03}, {8, 1, 0x01, {0x3B}}, {8, 56, 0x8C, {0xFE}}});
    // Data and "continued" declared past the 64 bytes the reader sends: nothing is read there.
    const std::vector<uint8_t> pastTheReport = HidPosInputDescriptor({{8, 1, 0x01, {0x3B}},
                                                                      {8, 200, 0x8C, {}, 0x03},
                                                                      {8, 56, 0x8C, {0xFE}},
                                                                      {1, 1, 0x8C, {0xFF}}});
    const std::string first56(56, 'a');
    const struct {
        const char* what;
        std::vector<uint8_t> descriptor;
        std::vector<CTimedReport> reports;
        std::string complete;
    } cases[] = {
        {"the real imager, as without a descriptor",
         realImager,
         {{HidPosReport("]Q0", first56, true), 0}, {HidPosReport("]Q0", "tail"), 8}},
         first56 + "tail - QR Code\r\n"},
        {"the identifier after the data",
         otherOrder,
         {{OtherOrderReport("]Q1", "HELLO QR"), 0}},
         "HELLO QR - QR Code\r\n"},
        {"data that starts with ] is data",
         otherOrder,
         {{OtherOrderReport("]d1", "]A0 is data"), 0}},
         "]A0 is data - Data Matrix\r\n"},
        {"joined over two reports",
         otherOrder,
         {{OtherOrderReport("]Q0", first56, true), 0}, {OtherOrderReport("]Q0", "tail"), 8}},
         first56 + "tail - QR Code\r\n"},
        {"a reader set to send no identifier",
         otherOrder,
         {{OtherOrderReport("", "5901234123457"), 0}},
         "5901234123457\r\n"},
        {"a descriptor without identifier usages: byte 2 is data even when it is ]",
         withoutIdentifier,
         {{HidPosReport("", "]C1 is data"), 0}},
         "]C1 is data\r\n"},
        {"fields past the report read",
         pastTheReport,
         {{HidPosReport("]Q0", "cut", true), 0}, {HidPosReport("]Q0", "off"), 300}},
         "\r\n\r\n"},
        {"a descriptor not used falls back to the content rule",
         unaligned,
         {{HidPosReport("]C1", "0109501101020917"), 0}},
         "0109501101020917 - GS1-128\r\n"},
    };
    for (const auto& c : cases) {
        CDecodingRun<CHidPosDevice> complete(Decoding::Complete, c.descriptor);
        EXPECT_EQ(complete.Text(c.reports), c.complete) << c.what;
        // The specified decoding reads the reports as it always has, whatever the descriptor.
        CDecodingRun<CHidPosDevice> specified(Decoding::Specified, c.descriptor);
        CDecodingRun<CHidPosDevice> specifiedWithout(Decoding::Specified);
        EXPECT_EQ(specified.Text(c.reports), specifiedWithout.Text(c.reports)) << c.what;
    }
}

TEST(CompleteHidPosDecoding, AnOpenLabelWaitsForItsDeadlineAndKeepsTheIdentifier) {
    CDecodingRun<CHidPosDevice> run(Decoding::Complete);
    const auto report = HidPosReport("]Q0", "part", true);
    EXPECT_EQ(run.device.OpenLabelDeadline(), Clock::time_point::max());
    const Clock::time_point read = Clock::time_point() + milliseconds(500);
    run.device.OnReportAt(report.data(), report.size(), read);
    EXPECT_EQ(run.rig.sink.Text(), "");
    EXPECT_EQ(run.device.OpenLabelDeadline(), read + CHidDevice::kOpenLabelWait);
    run.device.CloseOpenLabel();
    EXPECT_EQ(run.rig.sink.Text(), "part - QR Code\r\n");
    EXPECT_EQ(run.rig.sink.Identifiers(), std::vector<std::string>{"]Q0"});
    EXPECT_EQ(run.device.OpenLabelDeadline(), Clock::time_point::max());
    // A report that arrives after the wait but before the owner's call still starts anew.
    run.rig.sink.Clear();
    run.device.OnReportAt(report.data(), report.size(), read);
    run.device.OnReportAt(report.data(), report.size(), read + milliseconds(101));
    run.device.CloseOpenLabel();
    EXPECT_EQ(run.rig.sink.Text(), "part - QR Code\r\npart - QR Code\r\n");
}

TEST(CompleteHidPosDecoding, AReaderThatNeverEndsItsLabelHasItShownInBoundedPieces) {
    const std::string data(56, 'x');
    std::vector<CTimedReport> reports(1200, {HidPosReport("]Q0", data, true), 5});
    reports.back() = {HidPosReport("]Q0", data), 5};
    const size_t piece = (CHidPosDevice::kMaxJoinedLabelBytes + 55) / 56;
    CDecodingRun<CHidPosDevice> run(Decoding::Complete);
    EXPECT_EQ(run.Text(reports), std::string(piece * 56, 'x') + " - QR Code\r\n" +
                                     std::string((1200 - piece) * 56, 'x') + " - QR Code\r\n");
}

TEST(CompleteHidPosDecoding, RawDataShowsEveryReportBeforeTheJoinedLabel) {
    CDecodingRun<CHidPosDevice> run(Decoding::Complete);
    run.rig.settings.m_showRaw = 1;
    const auto first = HidPosReport("]Q0", "ab", true);
    const auto last = HidPosReport("]Q0", "cd");
    run.Text({{first, 0}, {last, 5}});
    const auto& ins = run.rig.sink.Insertions();
    ASSERT_EQ(ins.size(), 8u);
    EXPECT_EQ(ins[0].text.substr(0, 12), "[02][5D][51]");
    EXPECT_EQ(ins[0].text.size(), 63u * 4);
    EXPECT_EQ(ins[1].text, "\r\n");
    EXPECT_EQ(ins[2].text.substr(0, 12), "[02][5D][51]");
    EXPECT_EQ(ins[3].text, " - ");
    EXPECT_EQ(ins[4], (CRecordingSink::CInsertion{"abcd", OutputRole::Label, true}));
    EXPECT_EQ(ins[6], (CRecordingSink::CInsertion{"QR Code", OutputRole::Symbology, false}));
}

TEST(CompleteHidPosDecoding, TheSpecifiedDecodingSuggestsItOncePerReaderWithoutChangingItsText) {
    CDecodingRun<CHidPosDevice> named(Decoding::Specified);
    EXPECT_EQ(named.Text({{HidPosReport("]Q0", "A"), 0}, {HidPosReport("]d1", "B", true), 0}}),
              "A - Don't know\r\nB - Don't know\r\n");
    ASSERT_EQ(named.rig.notifier.Suggestions().size(), 1u);
    EXPECT_NE(named.rig.notifier.Suggestions()[0].find("]Q0"), std::string::npos);

    CDecodingRun<CHidPosDevice> split(Decoding::Specified);
    split.rig.settings.m_showSymbology = 0;
    split.Text({{HidPosReport("]Q0", "A", true), 0}, {HidPosReport("]Q0", "B"), 0}});
    ASSERT_EQ(split.rig.notifier.Suggestions().size(), 1u);
    EXPECT_NE(split.rig.notifier.Suggestions()[0].find("joins"), std::string::npos);

    CDecodingRun<CHidPosDevice> known(Decoding::Specified);
    known.Text({{HidPosReport("]E0", "123"), 0}, {HidPosReport("]J0", "1"), 0}});
    // ]J... names nothing in the specified table but DotCode in the complete one; ]E0 is known.
    EXPECT_EQ(known.rig.notifier.Suggestions().size(), 1u);
}

// A SurePos message: length, status 0x10, two bytes, the label and its type bytes.
std::vector<uint8_t> SurePosMessage(const std::string& label, std::vector<uint8_t> type) {
    std::vector<uint8_t> m = {0x00, 0x00, 0x10, 0x00, 0x00};
    m.insert(m.end(), label.begin(), label.end());
    m.insert(m.end(), type.begin(), type.end());
    m[1] = uint8_t(m.size() - 1);
    return Padded(m, 65);
}

TEST(CompleteSurePosDecoding, LengthAndTypeBoundTheLabel) {
    const std::string binaryEan13("\x03\x01\x07\x08\x05\x03\x00\x04\x00\x03\x00\x02\x02", 13);
    const struct {
        const char* what;
        std::vector<uint8_t> message;
        std::string specified;
        std::string complete;
    } cases[] = {
        {"EAN-13 as text, one type byte", SurePosMessage("3574661404264", {0x16}),
         "3574661404264 - EAN13\r\n", "3574661404264 - EAN13\r\n"},
        {"EAN-13 as binary digits", SurePosMessage(binaryEan13, {0x16}),
         "[03][01][07][08][05] - EAN13\r\n", "3178530403022 - EAN13\r\n"},
        {"Code 39 with a zero byte before its type", SurePosMessage("Q1", {0x00, 0x0A, 0x0B}),
         "Q1 - C39\r\n", "Q1 - C39\r\n"},
        {"type and 0x0B without the zero byte", SurePosMessage("SUREPOS-128", {0x18, 0x0B}),
         "SUREPOS-128[18] - C128\r\n", "SUREPOS-128 - C128\r\n"},
        {"Data Matrix", SurePosMessage("DM 1", {0x00, 0x32, 0x0B}), "DM 1 - Don't know\r\n",
         "DM 1 - Data Matrix\r\n"},
        {"PDF417", SurePosMessage("P4", {0x00, 0x2E, 0x0B}), "P4 - Don't know\r\n",
         "P4 - PDF417\r\n"},
        {"binary zeros in a text type are no digits",
         SurePosMessage(std::string("A\0B", 3), {0x00, 0x0A, 0x0B}), "A - C39\r\n",
         "A[00]B - C39\r\n"},
        {"a message longer than the report: what arrived, all label",
         [] {
             auto m = SurePosMessage("12", {0x16});
             m[1] = 0xF0;
             m.resize(8);
             return m;
         }(),
         "12 - Don't know\r\n", "12[16] - Don't know\r\n"},
    };
    for (const auto& c : cases) {
        CDecodingRun<CSurePosDevice> specified(Decoding::Specified);
        EXPECT_EQ(specified.Text({{c.message, 0}}), c.specified) << c.what;
        CDecodingRun<CSurePosDevice> complete(Decoding::Complete);
        EXPECT_EQ(complete.Text({{c.message, 0}}), c.complete) << c.what;
    }
}

TEST(CompleteSurePosDecoding, TheSpecifiedDecodingSuggestsItForTypesOnlyItNames) {
    CDecodingRun<CSurePosDevice> run(Decoding::Specified);
    run.Text({{SurePosMessage("3574661404264", {0x16}), 0}});
    EXPECT_TRUE(run.rig.notifier.Suggestions().empty());
    run.Text({{SurePosMessage("DM", {0x00, 0x32, 0x0B}), 0}});
    EXPECT_EQ(run.rig.notifier.Suggestions().size(), 1u);
}

} // namespace
