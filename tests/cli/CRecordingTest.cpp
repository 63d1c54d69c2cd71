#include "cli/CRecording.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

CRecording Parse(const std::string& text) {
    std::istringstream in(text);
    CRecording recording;
    recording.Parse(in);
    return recording;
}

TEST(CRecording, ReadsEveryItemKindInOrder) {
    const CRecording r = Parse("# a capture\n"
                               "N: Handheld Reader\n"
                               "I: 3 1209 0004\n"
                               "R: 3 05 8c 09   # trailing comment\n"
                               "E: 0.000100 4 02 41 42 0d\n"
                               "F: fe 01\n"
                               "02 43 44\n");
    EXPECT_TRUE(r.m_errors.empty());
    EXPECT_EQ(r.m_name, "Handheld Reader");
    EXPECT_EQ(r.m_vendorId, 0x1209);
    EXPECT_EQ(r.m_productId, 0x0004);
    ASSERT_TRUE(r.m_descriptor);
    EXPECT_EQ(*r.m_descriptor, (std::vector<uint8_t>{0x05, 0x8C, 0x09}));
    ASSERT_EQ(r.m_items.size(), 3u);
    EXPECT_EQ(r.m_items[0].kind, CRecording::CItem::Kind::Input);
    EXPECT_EQ(r.m_items[0].bytes, (std::vector<uint8_t>{0x02, 0x41, 0x42, 0x0D}));
    EXPECT_EQ(r.m_items[0].line, 5);
    EXPECT_EQ(r.m_items[1].kind, CRecording::CItem::Kind::Feature);
    EXPECT_EQ(r.m_items[2].kind, CRecording::CItem::Kind::Input);
    EXPECT_EQ(r.m_items[2].bytes, (std::vector<uint8_t>{0x02, 0x43, 0x44}));
}

TEST(CRecording, MalformedLinesAreReportedWithTheirNumberAndSkipped) {
    const CRecording r = Parse("E: 0.1 3 01 02\n"   // count disagrees
                               "E: 0.2 1 0g\n"      // not hex
                               "R: 2 05\n"          // descriptor count disagrees
                               "E: nonsense 1 01\n" // no time stamp
                               "abc\n"              // odd hex
                               "Q: 1\n"             // unknown item
                               "I: 3 12345 1\n"     // vendor out of range
                               "E: 0.3 2 41 42\n"); // fine
    ASSERT_EQ(r.m_errors.size(), 7u);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(r.m_errors[i].line, i + 1) << r.m_errors[i].message;
    EXPECT_NE(r.m_errors[0].message.find("count says 3"), std::string::npos);
    EXPECT_FALSE(r.m_descriptor);
    ASSERT_EQ(r.m_items.size(), 1u);
    EXPECT_EQ(r.m_items[0].line, 8);
}

TEST(HexBytes, FormatAndParseRoundTrip) {
    const std::vector<uint8_t> bytes = {0x00, 0x7F, 0xAB, 0xFF};
    const std::string text = FormatHexBytes(bytes.data(), bytes.size());
    EXPECT_EQ(text, "00 7f ab ff");
    std::vector<uint8_t> back;
    std::string error;
    ASSERT_TRUE(ParseHexBytes(text, back, error));
    EXPECT_EQ(back, bytes);
    EXPECT_FALSE(ParseHexBytes("123", back, error));
}

} // namespace
