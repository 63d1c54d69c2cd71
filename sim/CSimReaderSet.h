#pragma once

#include "platform/CHidPlatform.h"
#include "sim/CSimFirmware.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// One virtual HID interface: what enumeration reports and which firmware serves it. The caps
// and collections are parsed from the report descriptor, as for a real interface.
struct CSimReaderDefinition {
    std::string path;
    CHidAttributes attributes;
    std::string product;
    std::string serial;
    std::string interfaceNumber;
    std::vector<uint8_t> reportDescriptor;
    CSimReaderKind kind = CSimReaderKind::Passive;
    bool accessDenied = false; // opening fails with EACCES, as an unreadable hidraw node does
    // Replaces CreateSimFirmware(kind) when set, so tests can bring their own firmware.
    std::function<std::unique_ptr<CSimFirmware>()> firmwareFactory;
};

// Report descriptors of the simulated interface types, and the set the simulated platform
// offers by default.
class CSimReaderSet {
public:
    static std::vector<CSimReaderDefinition> Default();

    // 0x008C/0x0002, input 0x02 (64), output 0x04 and 0xFD (64), feature 0xFE (2).
    static std::vector<uint8_t> HidPosDescriptor();
    // 0xFFA0/0x0001, no report ids, 64-byte input and output reports.
    static std::vector<uint8_t> QuorinDescriptor();
    // 0xFF45/usage (0x4B00 or 0x4A00), no report ids, 64-byte input, 11-byte output.
    static std::vector<uint8_t> SurePosDescriptor(uint16_t usage);
    // 0xFF45/usage (0x6400...), no report ids, 2-byte notification input, 251-byte output
    // (252 with the id byte), 249-byte contents feature (250 with the id byte).
    static std::vector<uint8_t> SurePosSioDescriptor(uint16_t usage);
    // A vendor interface on 0xFF45/usage that only the supported-reader table lists.
    static std::vector<uint8_t> VendorDescriptor(uint16_t usage);
    // A boot keyboard (page 0x01, usage 0x06).
    static std::vector<uint8_t> KeyboardDescriptor();
};
