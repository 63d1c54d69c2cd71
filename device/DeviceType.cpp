#include "device/DeviceType.h"

#include <iterator>

namespace {

// One row per usage page; a row without usages accepts every usage of its page.
struct CDeviceTypeRule {
    uint16_t usagePage;
    DeviceType type;
    uint16_t usages[4];
    int usageCount;
};

constexpr CDeviceTypeRule kRules[] = {
    {0x008C, DeviceType::HidPos, {}, 0},
    {0xFF45, DeviceType::SurePos, {0x4A00, 0x4B00}, 2},
    {0xFF45, DeviceType::SurePosSio, {0x6400, 0x6500, 0x6800, 0x6900}, 4},
    {0xFFA0, DeviceType::Quorin, {}, 0},
};

struct CDeviceTypeName {
    DeviceType type;
    const char* name;
};

constexpr CDeviceTypeName kNames[] = {
    {DeviceType::None, "None"},
    {DeviceType::Quorin, "Quorin"},
    {DeviceType::HidPos, "Hid Pos"},
    {DeviceType::SurePos, "SurePos"},
    {DeviceType::SurePosSio, "SurePos Sio"},
};

} // namespace

DeviceType SelectDeviceType(uint16_t usagePage, uint16_t usage) {
    for (const CDeviceTypeRule& rule : kRules) {
        if (rule.usagePage != usagePage)
            continue;
        if (rule.usageCount == 0)
            return rule.type;
        for (int i = 0; i < rule.usageCount; ++i) {
            if (rule.usages[i] == usage)
                return rule.type;
        }
    }
    return DeviceType::None;
}

const char* DeviceTypeName(DeviceType type) {
    for (const CDeviceTypeName& entry : kNames) {
        if (entry.type == type)
            return entry.name;
    }
    return std::begin(kNames)->name;
}
