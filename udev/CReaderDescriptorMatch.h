#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

// Decides from a report descriptor alone whether a hidraw interface is one the reader list
// accepts by its usage, so that udev can grant access before anything opens the node. It runs
// as root on bytes a USB device supplied: every read stays inside the buffer.
class CReaderDescriptorMatch {
public:
    using CCollection = std::pair<uint16_t, uint16_t>; // (usage page, usage)

    // Every top-level collection in descriptor order. False when the descriptor is malformed
    // (truncated item, unbalanced collection, Pop without Push); `collections` then holds the
    // ones found before the fault.
    static bool ReadCollections(const uint8_t* data, size_t size,
                                std::vector<CCollection>& collections);
    // The usages by which the reader list accepts an interface whatever its vendor.
    static bool IsReaderUsage(uint16_t usagePage, uint16_t usage);
    // True when the descriptor parses and one of its top-level collections is a reader usage.
    static bool IsReaderDescriptor(const uint8_t* data, size_t size);
};
