#include "device/DeviceType.h"

#include <gtest/gtest.h>

#include <string>

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
        {0x0001, 0x0006, DeviceType::None},       {0x0000, 0x0000, DeviceType::None},
        {0xFF44, 0x4B00, DeviceType::None},       {0x4B00, 0xFF45, DeviceType::None},
    };
    for (const CCase& c : cases)
        EXPECT_EQ(SelectDeviceType(c.page, c.usage), c.type)
            << std::hex << c.page << "/" << c.usage;
}

TEST(DeviceTypeName, NamesOfTheInterfaceTypes) {
    EXPECT_STREQ(DeviceTypeName(DeviceType::Quorin), "Quorin");
    EXPECT_STREQ(DeviceTypeName(DeviceType::HidPos), "Hid Pos");
    EXPECT_STREQ(DeviceTypeName(DeviceType::SurePos), "SurePos");
    EXPECT_STREQ(DeviceTypeName(DeviceType::SurePosSio), "SurePos Sio");
    EXPECT_STREQ(DeviceTypeName(DeviceType::None), "None");
}

} // namespace
