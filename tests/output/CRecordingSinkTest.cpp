#include "support/CRecordingSink.h"

#include <gtest/gtest.h>

namespace {

using Ins = CRecordingSink::CInsertion;

TEST(AppendMixed, EachRunOfLikeBytesIsOneInsertion) {
    CRecordingSink sink;
    const uint8_t bytes[] = {0x41, 0x42, 0x02, 0x43, 0x0D, 0x0A};
    sink.AppendMixed(bytes, sizeof bytes, 0x800000, 0x808080, true);
    const std::vector<Ins> expected = {{"AB", 0x800000u, true},
                                       {"[02]", 0x808080u, true},
                                       {"C", 0x800000u, true},
                                       {"[0D][0A]", 0x808080u, true}};
    EXPECT_EQ(sink.Insertions(), expected);
}

TEST(AppendMixed, ControlClassCoversC0DelAndC1) {
    CRecordingSink sink;
    const uint8_t bytes[] = {0x00, 0x1F, 0x20, 0x7E, 0x7F, 0x80, 0x9F, 0xA0, 0xFF};
    sink.AppendMixed(bytes, sizeof bytes, 1, 2, false);
    EXPECT_EQ(sink.Text(), std::string("[00][1F] ~[7F][80][9F]\xA0\xFF"));
}

TEST(AppendHex, UpperCaseTwoDigitGroupsAsOneInsertion) {
    CRecordingSink sink;
    const uint8_t bytes[] = {0x01, 0xAB, 0xFF};
    sink.AppendHex(bytes, sizeof bytes, 7, false);
    ASSERT_EQ(sink.Insertions().size(), 1u);
    EXPECT_EQ(sink.Insertions()[0], (Ins{"[01][AB][FF]", 7u, false}));
}

TEST(AppendText, EmptyTextInsertsNothing) {
    CRecordingSink sink;
    sink.AppendText("", 0, false);
    sink.AppendHex(nullptr, 0, 0, false);
    EXPECT_TRUE(sink.Insertions().empty());
}

} // namespace
