// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "platform/CReportDescriptor.h"

#include "support/HexFile.h"

#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

CReportDescriptor MustParse(const std::vector<uint8_t>& bytes) {
    CReportDescriptor d;
    EXPECT_TRUE(d.Parse(bytes)) << "at " << d.ErrorOffset() << ": " << d.ErrorReason();
    return d;
}

void ExpectFailure(const std::vector<uint8_t>& bytes, size_t offset,
                   const std::string& reasonPart) {
    CReportDescriptor d;
    EXPECT_FALSE(d.Parse(bytes));
    EXPECT_EQ(d.ErrorOffset(), offset);
    EXPECT_NE(d.ErrorReason().find(reasonPart), std::string::npos) << d.ErrorReason();
    EXPECT_TRUE(d.Collections().empty());
    const CHidCaps caps = d.Caps();
    EXPECT_EQ(caps.usagePage, 0);
    EXPECT_EQ(caps.inputReportByteLength, 0);
}

} // namespace

TEST(CReportDescriptorTest, PushPopRestoresReportIdAndSizes) {
    // Page 0xFF00, collection; id 1 with 8x3 input; Push; id 2, 16x4 input; Pop; input 8x3 more
    // goes back to report 1.
    const std::vector<uint8_t> bytes = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x01, 0x75,
                                        0x08, 0x95, 0x03, 0x81, 0x02, 0xA4, 0x85, 0x02, 0x75, 0x10,
                                        0x95, 0x04, 0x81, 0x02, 0xB4, 0x81, 0x02, 0xC0};
    const CReportDescriptor d = MustParse(bytes);
    EXPECT_EQ(d.ReportIds(CReportKind::Input), (std::vector<uint8_t>{1, 2}));
    // Report 1: 6 bytes, report 2: 8 bytes; + id byte.
    EXPECT_EQ(d.ReportByteLength(CReportKind::Input), 9);
    EXPECT_EQ(d.ReportByteLength(CReportKind::Output), 0);
    EXPECT_EQ(d.ReportByteLength(CReportKind::Feature), 0);
}

TEST(CReportDescriptorTest, SeveralCollectionsAndExtendedUsages) {
    // TLC 1: keyboard usage, unnumbered 1-byte input. TLC 2: 32-bit usage 0xFF45:0x6400 while
    // the usage page in effect is 0x0001, with a 250-byte feature and a nested collection.
    // A long item between them is skipped.
    const std::vector<uint8_t> bytes = {
        0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x75, 0x08, 0x95, 0x01,
        0x81, 0x02, 0xC0, 0xFE, 0x02, 0x10, 0xAA, 0xBB,             // long item
        0x0B, 0x00, 0x64, 0x45, 0xFF, 0xA1, 0x01,                   // usage 0xFF45:0x6400
        0x09, 0x01, 0xA1, 0x02, 0x95, 0xF9, 0xB1, 0x02, 0xC0, 0xC0, // nested feature 249 bytes
    };
    const CReportDescriptor d = MustParse(bytes);
    ASSERT_EQ(d.Collections().size(), 2u);
    EXPECT_EQ(d.Collections()[0].usagePage, 0x0001);
    EXPECT_EQ(d.Collections()[0].usage, 0x0006);
    EXPECT_EQ(d.Collections()[0].reportByteLength[0], 2);
    EXPECT_EQ(d.Collections()[0].reportByteLength[2], 0);
    EXPECT_EQ(d.Collections()[1].usagePage, 0xFF45);
    EXPECT_EQ(d.Collections()[1].usage, 0x6400);
    EXPECT_EQ(d.Collections()[1].reportByteLength[2], 250);
    EXPECT_EQ(d.Collections()[1].reportByteLength[0], 0);
    // The caps take the reader collection even though it is not first.
    const CHidCaps caps = d.Caps();
    EXPECT_EQ(caps.usagePage, 0xFF45);
    EXPECT_EQ(caps.usage, 0x6400);
    EXPECT_EQ(caps.inputReportByteLength, 2);
    EXPECT_EQ(caps.featureReportByteLength, 250);
}

TEST(CReportDescriptorTest, SpecialButWellFormedInput) {
    // Empty descriptor: nothing declared.
    {
        const CReportDescriptor d = MustParse({});
        EXPECT_TRUE(d.Collections().empty());
        EXPECT_EQ(d.ReportByteLength(CReportKind::Input), 0);
    }
    // Collection without usage, bits that are not a whole byte (3 bits -> 1 byte + id),
    // reserved item type skipped, main items outside any collection counted for the interface.
    {
        const CReportDescriptor d =
            MustParse({0x75, 0x01, 0x95, 0x03, 0x91, 0x02, 0xA1, 0x01, 0x81, 0x02, 0x0C, 0xC0});
        ASSERT_EQ(d.Collections().size(), 1u);
        EXPECT_EQ(d.Collections()[0].usagePage, 0);
        EXPECT_EQ(d.Collections()[0].usage, 0);
        EXPECT_EQ(d.Collections()[0].reportByteLength[1], 0);
        EXPECT_EQ(d.ReportByteLength(CReportKind::Output), 2);
        EXPECT_EQ(d.ReportByteLength(CReportKind::Input), 2);
    }
    // A collection without a Usage item keeps the usage page in effect, with usage 0.
    {
        const CReportDescriptor d =
            MustParse({0x05, 0x01, 0xA1, 0x01, 0x75, 0x08, 0x95, 0x01, 0x81, 0x02, 0xC0});
        ASSERT_EQ(d.Collections().size(), 1u);
        EXPECT_EQ(d.Collections()[0].usagePage, 0x0001);
        EXPECT_EQ(d.Collections()[0].usage, 0);
        EXPECT_EQ(d.Caps().usagePage, 0x0001);
        EXPECT_EQ(d.Caps().usage, 0);
    }
    // The largest report accepted: 16384 bytes.
    {
        const CReportDescriptor d =
            MustParse({0xA1, 0x01, 0x75, 0x08, 0x96, 0x00, 0x40, 0x81, 0x02, 0xC0});
        EXPECT_EQ(d.ReportByteLength(CReportKind::Input), 16385);
    }
}

TEST(CReportDescriptorTest, MalformedInputFailsWithOffsetAndReason) {
    ExpectFailure({0xA1, 0x01, 0x26, 0xFF}, 2, "past the end");
    ExpectFailure({0xA1, 0x01, 0xC0, 0xFE, 0x05, 0x00, 0x01}, 3, "long item data");
    ExpectFailure({0xFE, 0x01}, 0, "truncated long item");
    ExpectFailure({0xA1, 0x01, 0xB4, 0xC0}, 2, "Pop without");
    ExpectFailure({0xC0}, 0, "End Collection");
    ExpectFailure({0xA1, 0x01, 0x81, 0x02}, 4, "not closed");
    ExpectFailure({0xA1, 0x01, 0x85, 0x00, 0xC0}, 2, "Report ID 0");
    ExpectFailure({0xA1, 0x01, 0x86, 0x00, 0x01, 0xC0}, 2, "Report ID 256");
    // Absurd Report Size x Report Count: 0xFFFFFFFF x 0xFFFFFFFF must neither overflow nor pass.
    ExpectFailure(
        {0xA1, 0x01, 0x77, 0xFF, 0xFF, 0xFF, 0xFF, 0x97, 0xFF, 0xFF, 0xFF, 0xFF, 0x81, 0x02, 0xC0},
        12, "longer than 16384");
    // Many small items that add up past the limit.
    {
        std::vector<uint8_t> bytes = {0xA1, 0x01, 0x75, 0x08, 0x96, 0x00, 0x20};
        for (int i = 0; i < 3; ++i) {
            bytes.push_back(0x81);
            bytes.push_back(0x02);
        }
        bytes.push_back(0xC0);
        ExpectFailure(bytes, 11, "longer than 16384");
    }
    // Deep nesting and a deep Push stack end cleanly.
    {
        std::vector<uint8_t> bytes;
        for (size_t i = 0; i <= CReportDescriptor::kMaxCollectionDepth; ++i) {
            bytes.push_back(0xA1);
            bytes.push_back(0x00);
        }
        ExpectFailure(bytes, 2 * CReportDescriptor::kMaxCollectionDepth, "nested deeper");
        std::vector<uint8_t> pushes(CReportDescriptor::kMaxPushDepth + 1, 0xA4);
        ExpectFailure(pushes, CReportDescriptor::kMaxPushDepth, "Push nested deeper");
    }
}

TEST(CReportDescriptorTest, ReparseAfterFailureStartsClean) {
    CReportDescriptor d;
    ASSERT_FALSE(d.Parse(std::vector<uint8_t>{0xB4}));
    ASSERT_TRUE(d.Parse(std::vector<uint8_t>{0x06, 0xA0, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x75, 0x08,
                                             0x95, 0x40, 0x81, 0x02, 0xC0}));
    EXPECT_TRUE(d.ErrorReason().empty());
    EXPECT_EQ(d.Caps().usagePage, 0xFFA0);
    EXPECT_EQ(d.Caps().inputReportByteLength, 65);
    ASSERT_FALSE(d.Parse(std::vector<uint8_t>{0xA1}));
    EXPECT_EQ(d.Caps().inputReportByteLength, 0);
}

namespace {

// A field as the tests expect it: place, flags and the usages of its first and last element.
struct CExpectedField {
    uint32_t bitOffset;
    uint32_t reportSize;
    uint32_t reportCount;
    bool constant;
    bool variable;
    uint32_t firstUsage;
    uint32_t lastUsage;
};

void ExpectFields(const std::vector<CReportField>& fields,
                  const std::vector<CExpectedField>& expected, const std::string& what) {
    ASSERT_EQ(fields.size(), expected.size()) << what;
    for (size_t i = 0; i < fields.size(); ++i) {
        const CReportField& f = fields[i];
        const CExpectedField& e = expected[i];
        EXPECT_EQ(f.bitOffset, e.bitOffset) << what << " field " << i;
        EXPECT_EQ(f.reportSize, e.reportSize) << what << " field " << i;
        EXPECT_EQ(f.reportCount, e.reportCount) << what << " field " << i;
        EXPECT_EQ(f.constant, e.constant) << what << " field " << i;
        EXPECT_EQ(f.variable, e.variable) << what << " field " << i;
        EXPECT_EQ(f.UsageAt(0), e.firstUsage) << what << " field " << i;
        EXPECT_EQ(f.UsageAt(f.reportCount - 1), e.lastUsage) << what << " field " << i;
    }
}

} // namespace

TEST(CReportDescriptorTest, InputFieldsOfARealImager) {
    const CReportDescriptor d = MustParse(
        ReadHexFile(std::string(VANTREL_TEST_DATA_DIR) + "/descriptors/hidpos-8c-0002.hex"));
    EXPECT_TRUE(d.InputFieldsComplete());
    ExpectFields(d.InputFields(0x02),
                 {{0, 8, 1, false, true, 0x0001003B, 0x0001003B},
                  {8, 8, 3, false, true, 0x008C00FB, 0x008C00FD},
                  {32, 8, 56, false, true, 0x008C00FE, 0x008C00FE},
                  {480, 8, 2, false, true, 0xFF660004, 0xFF660000},
                  {496, 1, 8, false, true, 0x008C00FF, 0x008C00FF}},
                 "report 2");
    // Output and feature items are no input fields.
    EXPECT_TRUE(d.InputFields(0x04).empty());
    EXPECT_TRUE(d.InputFields(0xFE).empty());
}

TEST(CReportDescriptorTest, InputFieldUsagesFollowTheHidRules) {
    const struct {
        const char* what;
        std::vector<uint8_t> bytes;
        std::vector<CExpectedField> fields; // of report 0: these descriptors have no ids
    } cases[] = {
        {"a range counted out, its last usage repeating",
         {0x05, 0x8C, 0xA1, 0x01, 0x75, 0x08, 0x95, 0x05, 0x19, 0xFB, 0x29, 0xFD, 0x81, 0x02, 0xC0},
         {{0, 8, 5, false, true, 0x008C00FB, 0x008C00FD}}},
        {"offsets count input items only; padding and arrays are flagged",
         {0x05, 0x8C, 0xA1, 0x01, 0x75, 0x08, 0x95, 0x02, 0x09, 0xFE, 0x91, 0x02,
          0x81, 0x03, 0x75, 0x04, 0x95, 0x03, 0x09, 0xFF, 0x81, 0x00, 0xC0},
         {{0, 8, 2, true, true, 0, 0}, {16, 4, 3, false, false, 0x008C00FF, 0x008C00FF}}},
        {"a four-byte usage names its own page",
         {0x05, 0x01, 0xA1, 0x01, 0x75, 0x08, 0x95, 0x01, 0x0B, 0xFE, 0x00, 0x8C, 0x00, 0x81, 0x02,
          0xC0},
         {{0, 8, 1, false, true, 0x008C00FE, 0x008C00FE}}},
        {"a Usage Page after the usages applies to them, one before keeps its own",
         {0xA1, 0x01, 0x75, 0x08, 0x95, 0x02, 0x05, 0x01, 0x09, 0x3B, 0x05, 0x8C,
          0x09, 0xFE, 0x81, 0x02, 0x09, 0xFB, 0x05, 0x8C, 0x81, 0x02, 0xC0},
         {{0, 8, 2, false, true, 0x0001003B, 0x008C00FE},
          {16, 8, 2, false, true, 0x008C00FB, 0x008C00FB}}},
        {"a range running backwards declares nothing",
         {0x05, 0x8C, 0xA1, 0x01, 0x75, 0x08, 0x95, 0x01, 0x19, 0xFD, 0x29, 0xFB, 0x81, 0x02, 0xC0},
         {{0, 8, 1, false, true, 0, 0}}},
    };
    for (const auto& c : cases) {
        const CReportDescriptor d = MustParse(c.bytes);
        ExpectFields(d.InputFields(0), c.fields, c.what);
    }
}

TEST(CReportDescriptorTest, HostileInputFieldsStayBounded) {
    // One range over a whole page is kept as one range, not 65536 usages.
    {
        const CReportDescriptor d = MustParse({0x05, 0x8C, 0xA1, 0x01, 0x75, 0x01, 0x96, 0x00, 0x00,
                                               0x19, 0x00, 0x2A, 0xFF, 0xFF, 0x81, 0x02, 0xC0});
        ASSERT_EQ(d.InputFields(0).size(), 1u);
        EXPECT_EQ(d.InputFields(0)[0].usages.size(), 1u);
        EXPECT_EQ(d.InputFields(0)[0].UsageAt(0x1234), 0x008C1234u);
    }
    // More Input items than are kept: the descriptor parses as before, the fields say so.
    {
        std::vector<uint8_t> bytes = {0xA1, 0x01, 0x75, 0x01, 0x95, 0x01};
        for (size_t i = 0; i <= CReportDescriptor::kMaxInputFields; ++i) {
            bytes.insert(bytes.end(), {0x81, 0x02});
        }
        bytes.push_back(0xC0);
        const CReportDescriptor d = MustParse(bytes);
        EXPECT_FALSE(d.InputFieldsComplete());
        EXPECT_EQ(d.InputFields(0).size(), CReportDescriptor::kMaxInputFields);
        EXPECT_EQ(d.ReportByteLength(CReportKind::Input), 130);
    }
    // More usages before one item than are kept.
    {
        std::vector<uint8_t> bytes = {0xA1, 0x01, 0x75, 0x08, 0x95, 0x01};
        for (size_t i = 0; i <= CReportDescriptor::kMaxUsageRanges; ++i) {
            bytes.insert(bytes.end(), {0x09, 0x01});
        }
        bytes.insert(bytes.end(), {0x81, 0x02, 0xC0});
        const CReportDescriptor d = MustParse(bytes);
        EXPECT_FALSE(d.InputFieldsComplete());
        EXPECT_EQ(d.InputFields(0).size(), 1u);
    }
}
