// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "device/CHidPosLayout.h"

#include "platform/CReportDescriptor.h"
#include "sim/CSimReaderSet.h"
#include "support/HexFile.h"
#include "support/HidPosDescriptors.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

// Failures show the offsets, not the bytes of the struct.
void PrintTo(const CHidPosLayout& l, std::ostream* out) {
    *out << "count " << l.count << ", identifier " << l.identifier << ", data " << l.data << "+"
         << l.dataLength << ", continued " << l.continued << " bit " << int(l.continuedBit);
}

namespace {

constexpr size_t kNone = CHidPosLayout::kNone;

CHidPosLayout Layout(size_t count, size_t identifier, size_t data, size_t dataLength,
                     size_t continued, uint8_t continuedBit) {
    return {count, identifier, data, dataLength, continued, continuedBit};
}

// The descriptor of the other-order fields with one of them replaced.
std::vector<uint8_t> OtherOrderWith(size_t index, CDescriptorField field) {
    std::vector<CDescriptorField> fields = OtherOrderHidPosFields();
    fields[index] = std::move(field);
    return HidPosInputDescriptor(fields);
}

TEST(CHidPosLayout, TakesThePositionsTheDescriptorDeclaresAndFallsBackOtherwise) {
    const CHidPosLayout first = CHidPosLayout::First();
    const struct {
        const char* what;
        std::vector<uint8_t> descriptor;
        CHidPosLayout layout;
    } cases[] = {
        {"the real imager: the first layout, declared",
         ReadHexFile(std::string(VANTREL_TEST_DATA_DIR) + "/descriptors/hidpos-8c-0002.hex"),
         first},
        {"the simulated readers declare what they send", CSimReaderSet::HidPosDescriptor(), first},
        {"fields in another order", HidPosInputDescriptor(OtherOrderHidPosFields()),
         Layout(0, 57, 1, 56, 62, 0)},
        {"no identifier usages: a reader that sends none",
         HidPosInputDescriptor({{8, 1, 0x01, {0x3B}},
                                {8, 56, 0x8C, {0xFE}},
                                {8, 5, 0xFF66, {1}},
                                {1, 8, 0x8C, {0xFF}}}),
         Layout(0, kNone, 1, 56, 62, 0)},
        {"no continued usage: labels never go on",
         HidPosInputDescriptor(
             {{8, 1, 0x01, {0x3B}}, {8, 3, 0x8C, {0xFB, 0xFC, 0xFD}}, {8, 20, 0x8C, {0xFE}}}),
         Layout(0, 1, 4, 20, kNone, 0)},
        {"continued in bit 3 after three padding bits",
         HidPosInputDescriptor({{8, 1, 0x01, {0x3B}},
                                {8, 10, 0x8C, {0xFE}},
                                {1, 3, 0x8C, {}, 0x03},
                                {1, 5, 0x8C, {0xFF}}}),
         Layout(0, kNone, 1, 10, 11, 3)},
        // Descriptors that do not declare the usages, or not usably: the first layout.
        {"no descriptor", {}, first},
        {"a descriptor that does not parse", {0xA1, 0x01}, first},
        {"a vendor descriptor without the usages", CSimReaderSet::QuorinDescriptor(), first},
        {"the usages in another report", HidPosInputDescriptor(OtherOrderHidPosFields(), 0x03),
         first},
        {"no byte count", OtherOrderWith(0, {8, 1, 0xFF66, {0x01}}), first},
        {"a byte count of 16 bits", OtherOrderWith(0, {16, 1, 0x01, {0x3B}}), first},
        {"a byte count that is not byte-aligned",
         HidPosInputDescriptor({{4, 1, 0x8C, {}, 0x03},
                                {8, 1, 0x01, {0x3B}},
                                {8, 8, 0x8C, {0xFE}},
                                {4, 1, 0x8C, {}, 0x03}}),
         first},
        {"data of 4-bit elements", OtherOrderWith(1, {4, 112, 0x8C, {0xFE}}), first},
        {"data in two pieces",
         HidPosInputDescriptor({{8, 1, 0x01, {0x3B}},
                                {8, 8, 0x8C, {0xFE}},
                                {8, 1, 0xFF66, {1}},
                                {8, 8, 0x8C, {0xFE}}}),
         first},
        {"the identifier bytes out of order", OtherOrderWith(2, {8, 3, 0x8C, {0xFD, 0xFC, 0xFB}}),
         first},
        {"only two identifier bytes", OtherOrderWith(2, {8, 3, 0x8C, {0xFB, 0xFC, 0x01}}), first},
        {"the data usage on padding", OtherOrderWith(1, {8, 56, 0x8C, {0xFE}, 0x03}), first},
        {"the data usage as an array index", OtherOrderWith(1, {8, 56, 0x8C, {0xFE}, 0x00}), first},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CHidPosLayout::FromDescriptor(c.descriptor), c.layout) << c.what;
    }
}

TEST(CHidPosLayout, HostileDescriptorsFallBackInBoundedWork) {
    // More Input items than the parser keeps: the fields it kept cannot tell the whole layout.
    std::vector<CDescriptorField> many = OtherOrderHidPosFields();
    many.insert(many.begin(), CReportDescriptor::kMaxInputFields, {0, 1, 0x8C, {}, 0x03});
    EXPECT_EQ(CHidPosLayout::FromDescriptor(HidPosInputDescriptor(many)), CHidPosLayout::First());
    // Elements of no bits, four billion of them, place nothing and take no time.
    std::vector<uint8_t> empty = HidPosInputDescriptor(OtherOrderHidPosFields());
    empty.insert(empty.end() - 1,
                 {0x75, 0x00, 0x97, 0xFF, 0xFF, 0xFF, 0xFF, 0x0A, 0xFE, 0x00, 0x81, 0x02});
    EXPECT_EQ(CHidPosLayout::FromDescriptor(empty), Layout(0, 57, 1, 56, 62, 0));
}

} // namespace
