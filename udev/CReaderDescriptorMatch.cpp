#include "udev/CReaderDescriptorMatch.h"

#include <algorithm>
#include <iterator>

namespace {

struct CReaderUsage {
    uint16_t usagePage;
    uint16_t usage;
};

const CReaderUsage kReaderUsages[] = {
    {0xFF45, 0x4B00}, {0xFF45, 0x4A00}, {0xFF45, 0x6400}, {0xFF45, 0x6500},
    {0xFF45, 0x6800}, {0xFF45, 0x6900}, {0xFFA0, 0x0001}, {0x008C, 0x0002},
};

enum : uint8_t {
    kTypeMain = 0,
    kTypeGlobal = 1,
    kTypeLocal = 2,
    kTagCollection = 0xA,
    kTagEndCollection = 0xC,
    kTagUsagePage = 0x0,
    kTagPush = 0xA,
    kTagPop = 0xB,
    kTagUsage = 0x0,
    kLongItem = 0xFE,
};

// Deeper Push nesting than any real descriptor uses; beyond it the descriptor is refused.
constexpr size_t kMaxPushDepth = 64;

} // namespace

bool CReaderDescriptorMatch::ReadCollections(const uint8_t* data, size_t size,
                                             std::vector<CCollection>& collections) {
    collections.clear();
    uint16_t usagePage = 0;
    std::vector<uint16_t> pushed;
    bool haveUsage = false;
    uint32_t firstUsage = 0;
    int firstUsageSize = 0;
    size_t depth = 0;

    size_t pos = 0;
    while (pos < size) {
        const uint8_t prefix = data[pos];
        if (prefix == kLongItem) {
            const size_t left = size - pos;
            if (left < 3 || left - 3 < data[pos + 1])
                return false;
            pos += 3 + data[pos + 1];
            continue;
        }
        static const int kDataSizes[] = {0, 1, 2, 4};
        const int dataSize = kDataSizes[prefix & 3];
        if (size - pos - 1 < static_cast<size_t>(dataSize))
            return false;
        uint32_t value = 0;
        for (int i = 0; i < dataSize; ++i)
            value |= static_cast<uint32_t>(data[pos + 1 + i]) << (8 * i);
        pos += 1 + dataSize;

        const uint8_t type = (prefix >> 2) & 3;
        const uint8_t tag = prefix >> 4;
        if (type == kTypeMain) {
            if (tag == kTagCollection) {
                if (depth == 0) {
                    CCollection collection{0, 0};
                    if (haveUsage) {
                        collection.first = firstUsageSize == 4
                                               ? static_cast<uint16_t>(firstUsage >> 16)
                                               : usagePage;
                        collection.second = static_cast<uint16_t>(firstUsage);
                    }
                    collections.push_back(collection);
                }
                ++depth;
            } else if (tag == kTagEndCollection) {
                if (depth == 0)
                    return false;
                --depth;
            }
            haveUsage = false;
        } else if (type == kTypeGlobal) {
            if (tag == kTagUsagePage) {
                usagePage = static_cast<uint16_t>(value);
            } else if (tag == kTagPush) {
                if (pushed.size() == kMaxPushDepth)
                    return false;
                pushed.push_back(usagePage);
            } else if (tag == kTagPop) {
                if (pushed.empty())
                    return false;
                usagePage = pushed.back();
                pushed.pop_back();
            }
        } else if (type == kTypeLocal && tag == kTagUsage && !haveUsage) {
            haveUsage = true;
            firstUsage = value;
            firstUsageSize = dataSize;
        }
    }
    return depth == 0;
}

bool CReaderDescriptorMatch::IsReaderUsage(uint16_t usagePage, uint16_t usage) {
    return std::any_of(std::begin(kReaderUsages), std::end(kReaderUsages),
                       [&](const CReaderUsage& entry) {
                           return entry.usagePage == usagePage && entry.usage == usage;
                       });
}

bool CReaderDescriptorMatch::IsReaderDescriptor(const uint8_t* data, size_t size) {
    std::vector<CCollection> collections;
    if (!ReadCollections(data, size, collections))
        return false;
    return std::any_of(collections.begin(), collections.end(),
                       [](const CCollection& c) { return IsReaderUsage(c.first, c.second); });
}
