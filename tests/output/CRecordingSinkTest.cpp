// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "support/CRecordingSink.h"

#include <gtest/gtest.h>

namespace {

using Ins = CRecordingSink::CInsertion;

TEST(AppendMixed, EachRunOfLikeBytesIsOneInsertion) {
    CRecordingSink sink;
    const uint8_t bytes[] = {0x41, 0x42, 0x02, 0x43, 0x0D, 0x0A};
    sink.AppendMixed(bytes, sizeof bytes, OutputRole::Label, true);
    const std::vector<Ins> expected = {{"AB", OutputRole::Label, true},
                                       {"[02]", OutputRole::Hex, true},
                                       {"C", OutputRole::Label, true},
                                       {"[0D][0A]", OutputRole::Hex, true}};
    EXPECT_EQ(sink.Insertions(), expected);
}

TEST(AppendMixed, ControlClassCoversC0DelAndC1) {
    CRecordingSink sink;
    const uint8_t bytes[] = {0x00, 0x1F, 0x20, 0x7E, 0x7F, 0x80, 0x9F, 0xA0, 0xFF};
    sink.AppendMixed(bytes, sizeof bytes, OutputRole::Raw, false);
    EXPECT_EQ(sink.Text(), std::string("[00][1F] ~[7F][80][9F]\xA0\xFF"));
}

TEST(AppendHex, UpperCaseTwoDigitGroupsAsOneInsertion) {
    CRecordingSink sink;
    const uint8_t bytes[] = {0x01, 0xAB, 0xFF};
    sink.AppendHex(bytes, sizeof bytes, OutputRole::Out, false);
    ASSERT_EQ(sink.Insertions().size(), 1u);
    EXPECT_EQ(sink.Insertions()[0], (Ins{"[01][AB][FF]", OutputRole::Out, false}));
}

TEST(AppendText, EmptyTextInsertsNothing) {
    CRecordingSink sink;
    sink.AppendText("", OutputRole::Default, false);
    sink.AppendHex(nullptr, 0, OutputRole::Hex, false);
    EXPECT_TRUE(sink.Insertions().empty());
}

} // namespace
