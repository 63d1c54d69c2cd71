// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "device/DeviceType.h"
#include "device/ReaderTypes.h"
#include "platform/ReaderUsage.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

namespace {

TEST(SelectDeviceType, ByUsagePageAndUsage) {
    struct CCase {
        uint16_t page;
        uint16_t usage;
        DeviceType type;
    };
    const CCase cases[] = {
        {0x008C, 0x0002, DeviceType::HidPos},     {0x008C, 0x0001, DeviceType::HidPos},
        {0x008C, 0xFFFF, DeviceType::HidPos},     {0xFF45, 0x4A00, DeviceType::SurePos},
        {0xFF45, 0x4B00, DeviceType::SurePos},    {0xFF45, 0x6400, DeviceType::SurePosSio},
        {0xFF45, 0x6500, DeviceType::SurePosSio}, {0xFF45, 0x6800, DeviceType::SurePosSio},
        {0xFF45, 0x6900, DeviceType::SurePosSio}, {0xFF45, 0x4C00, DeviceType::None},
        {0xFF45, 0x0000, DeviceType::None},       {0xFF45, 0x6A00, DeviceType::None},
        {0xFFA0, 0x0001, DeviceType::Quorin},     {0xFFA0, 0x1234, DeviceType::Quorin},
        {0x0001, 0x0006, DeviceType::Keyboard},   {0x0000, 0x0000, DeviceType::None},
        {0x0001, 0x0002, DeviceType::None},       {0xFF44, 0x4B00, DeviceType::None},
        {0x4B00, 0xFF45, DeviceType::None},
    };
    for (const CCase& c : cases) {
        EXPECT_EQ(SelectDeviceType(c.page, c.usage), c.type)
            << std::hex << c.page << "/" << c.usage;
    }
}

TEST(DeviceTypeName, NamesOfTheInterfaceTypes) {
    EXPECT_STREQ(DeviceTypeName(DeviceType::Quorin), "Quorin");
    EXPECT_STREQ(DeviceTypeName(DeviceType::HidPos), "Hid Pos");
    EXPECT_STREQ(DeviceTypeName(DeviceType::SurePos), "SurePos");
    EXPECT_STREQ(DeviceTypeName(DeviceType::SurePosSio), "SurePos Sio");
    EXPECT_STREQ(DeviceTypeName(DeviceType::None), "None");
}

// The listing rule by usage, as the table gives it. The selection accepts more on two pages
// (every usage of 0x008C and of 0xFFA0), but only the listed usages make an interface appear.
TEST(ReaderTypes, ListedUsagesAreExactlyTheReaderInterfaces) {
    const std::pair<uint16_t, uint16_t> listed[] = {
        {0xFF45, 0x4B00}, {0xFF45, 0x4A00}, {0xFF45, 0x6400}, {0xFF45, 0x6500},
        {0xFF45, 0x6800}, {0xFF45, 0x6900}, {0xFFA0, 0x0001}, {0x008C, 0x0002}};
    for (const auto& [page, usage] : listed) {
        EXPECT_TRUE(IsListedReaderUsage(page, usage)) << std::hex << page << "/" << usage;
        EXPECT_TRUE(IsReaderUsage(page, usage)) << std::hex << page << "/" << usage;
    }
    const std::pair<uint16_t, uint16_t> unlisted[] = {
        {0x008C, 0x0001}, {0xFFA0, 0x0002}, {0xFF45, 0x4C00}, {0xFF45, 0xA000}, {0x0001, 0x0006}};
    for (const auto& [page, usage] : unlisted) {
        EXPECT_FALSE(IsListedReaderUsage(page, usage)) << std::hex << page << "/" << usage;
    }
}

// The report-descriptor parser picks an interface's reader collection with the platform's list
// of reader usages; it must say what the table says, for every usage of every reader page.
TEST(ReaderTypes, AgreeWithThePlatformsReaderUsages) {
    for (const CReaderType& row : ReaderTypes()) {
        for (uint32_t usage = 0; usage <= 0xFFFF; ++usage) {
            const auto u = static_cast<uint16_t>(usage);
            ASSERT_EQ(IsListedReaderUsage(row.usagePage, u), IsReaderUsage(row.usagePage, u))
                << row.name << " " << std::hex << usage;
        }
    }
}

TEST(ReaderTypes, EachRowDescribesItsOwnType) {
    std::set<std::string> keys;
    for (const CReaderType& row : ReaderTypes()) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(FindReaderType(row.type), &row);
        EXPECT_EQ(FindReaderTypeByKey(row.key), &row);
        EXPECT_TRUE(keys.insert(row.key).second) << "key used twice";
        ASSERT_FALSE(row.listedUsages.empty());
        // The usual usage selects the row's own type, so a replay of a typical reader gets it.
        EXPECT_EQ(SelectDeviceType(row.usagePage, row.listedUsages.front()), row.type);
        EXPECT_GT(row.inputReportByteLength, 1);
        // A reader in keyboard mode sends key reports and takes none.
        if (row.listedByUsage) {
            EXPECT_GT(row.outputReportByteLength, 1);
        }
    }
    EXPECT_EQ(FindReaderType(DeviceType::None), nullptr);
    EXPECT_EQ(FindReaderTypeByKey("none"), nullptr);
    EXPECT_EQ(FindReaderTypeByKey(nullptr), nullptr);
}

} // namespace
