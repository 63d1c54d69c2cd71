// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "cli/CDescriptorItems.h"

#include <cstdio>
#include <string>

namespace {

struct CName {
    uint32_t value;
    const char* name;
};

template <size_t N> const char* Find(const CName (&table)[N], uint32_t value) {
    for (const CName& row : table) {
        if (row.value == value) {
            return row.name;
        }
    }
    return nullptr;
}

constexpr CName kPages[] = {
    {0x01, "Generic Desktop"},
    {0x02, "Simulation Controls"},
    {0x06, "Generic Device Controls"},
    {0x07, "Keyboard"},
    {0x08, "LED"},
    {0x09, "Button"},
    {0x0C, "Consumer"},
    {0x8C, "Bar Code Scanner"},
    {0x8D, "Scale"},
    {0x8E, "Magnetic Stripe Reader"},
};

constexpr CName kGenericDesktop[] = {
    {0x01, "Pointer"},
    {0x02, "Mouse"},
    {0x04, "Joystick"},
    {0x05, "Game Pad"},
    {0x06, "Keyboard"},
    {0x07, "Keypad"},
    {0x08, "Multi-axis Controller"},
    {0x30, "X"},
    {0x31, "Y"},
    {0x32, "Z"},
    {0x33, "Rx"},
    {0x34, "Ry"},
    {0x35, "Rz"},
    {0x36, "Slider"},
    {0x37, "Dial"},
    {0x38, "Wheel"},
    {0x39, "Hat Switch"},
    {0x3A, "Counted Buffer"},
    {0x3B, "Byte Count"},
    {0x3C, "Motion Wakeup"},
    {0x80, "System Control"},
    {0x81, "System Power Down"},
    {0x82, "System Sleep"},
    {0x83, "System Wake Up"},
};

constexpr CName kLed[] = {
    {0x01, "Num Lock"}, {0x02, "Caps Lock"}, {0x03, "Scroll Lock"},
    {0x04, "Compose"},  {0x05, "Kana"},      {0x06, "Power"},
};

constexpr CName kKeyboard[] = {
    {0x00, "No Event"},    {0x01, "Error Roll Over"},
    {0x02, "POST Fail"},   {0x03, "Error Undefined"},
    {0x28, "Return"},      {0x29, "Escape"},
    {0x2A, "Backspace"},   {0x2B, "Tab"},
    {0x2C, "Space"},       {0x39, "Caps Lock"},
    {0x4F, "Right Arrow"}, {0x50, "Left Arrow"},
    {0x51, "Down Arrow"},  {0x52, "Up Arrow"},
    {0x53, "Num Lock"},    {0x58, "Keypad Enter"},
    {0x65, "Application"}, {0xE0, "Left Control"},
    {0xE1, "Left Shift"},  {0xE2, "Left Alt"},
    {0xE3, "Left GUI"},    {0xE4, "Right Control"},
    {0xE5, "Right Shift"}, {0xE6, "Right Alt"},
    {0xE7, "Right GUI"},
};

constexpr CName kBarCodeScanner[] = {
    {0x01, "Bar Code Badge Reader"},
    {0x02, "Bar Code Scanner"},
    {0x03, "Dumb Bar Code Scanner"},
    {0x04, "Cordless Scanner Base"},
    {0x05, "Bar Code Scanner Cradle"},
    {0x10, "Attribute Report"},
    {0x11, "Settings Report"},
    {0x12, "Scanned Data Report"},
    {0x13, "Raw Scanned Data Report"},
    {0x14, "Trigger Report"},
    {0x15, "Status Report"},
    {0x16, "UPC/EAN Control Report"},
    {0x17, "EAN 2/3 Label Control Report"},
    {0x18, "Code 39 Control Report"},
    {0x19, "Interleaved 2 of 5 Control Report"},
    {0x1A, "Standard 2 of 5 Control Report"},
    {0x1B, "MSI Plessey Control Report"},
    {0x1C, "Codabar Control Report"},
    {0x1D, "Code 128 Control Report"},
    {0x1E, "Misc 1D Control Report"},
    {0x1F, "2D Control Report"},
    {0x5F, "Prevent Read of Barcodes"},
    {0x60, "Initiate Barcode Read"},
    {0x85, "Sound Error Beep"},
    {0x86, "Sound Good Read Beep"},
    {0xFB, "Symbology Identifier 1"},
    {0xFC, "Symbology Identifier 2"},
    {0xFD, "Symbology Identifier 3"},
    {0xFE, "Decoded Data"},
    {0xFF, "Decode Data Continued"},
};

constexpr CName kCollections[] = {
    {0x00, "Physical"},    {0x01, "Application"},  {0x02, "Logical"},        {0x03, "Report"},
    {0x04, "Named Array"}, {0x05, "Usage Switch"}, {0x06, "Usage Modifier"},
};

// Item tags by type (main, global, local) and tag.
constexpr CName kMainItems[] = {{0x8, "Input"},
                                {0x9, "Output"},
                                {0xA, "Collection"},
                                {0xB, "Feature"},
                                {0xC, "End Collection"}};
constexpr CName kGlobalItems[] = {
    {0x0, "Usage Page"},
    {0x1, "Logical Minimum"},
    {0x2, "Logical Maximum"},
    {0x3, "Physical Minimum"},
    {0x4, "Physical Maximum"},
    {0x5, "Unit Exponent"},
    {0x6, "Unit"},
    {0x7, "Report Size"},
    {0x8, "Report ID"},
    {0x9, "Report Count"},
    {0xA, "Push"},
    {0xB, "Pop"},
};
constexpr CName kLocalItems[] = {
    {0x0, "Usage"},
    {0x1, "Usage Minimum"},
    {0x2, "Usage Maximum"},
    {0x3, "Designator Index"},
    {0x4, "Designator Minimum"},
    {0x5, "Designator Maximum"},
    {0x7, "String Index"},
    {0x8, "String Minimum"},
    {0x9, "String Maximum"},
    {0xA, "Delimiter"},
};

std::string Hex(uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

std::string PageName(uint32_t page) {
    if (const char* name = Find(kPages, page)) {
        return name;
    }
    if (page >= 0xFF00 && page <= 0xFFFF) {
        return "Vendor Defined " + Hex(page, 4);
    }
    return Hex(page, 4);
}

// The name of a usage of `page`; its number when the page is not one of the named ones.
std::string UsageName(uint32_t page, uint32_t usage) {
    const char* name = nullptr;
    switch (page) {
    case 0x01:
        name = Find(kGenericDesktop, usage);
        break;
    case 0x07:
        if (usage >= 0x04 && usage <= 0x1D) {
            return std::string(1, char('a' + usage - 0x04));
        }
        if (usage >= 0x1E && usage <= 0x27) {
            return std::string(1, "1234567890"[usage - 0x1E]);
        }
        if (usage >= 0x3A && usage <= 0x45) {
            return "F" + std::to_string(usage - 0x39);
        }
        name = Find(kKeyboard, usage);
        break;
    case 0x08:
        name = Find(kLed, usage);
        break;
    case 0x09:
        return usage == 0 ? "No Button" : "Button " + std::to_string(usage);
    case 0x8C:
        name = Find(kBarCodeScanner, usage);
        break;
    default:
        break;
    }
    return name ? name : Hex(usage, 4);
}

// The flags of an Input, Output or Feature item.
std::string MainFlags(uint32_t value, bool input) {
    std::string text = value & 0x01 ? "Cnst" : "Data";
    text += value & 0x02 ? ",Var" : ",Arr";
    text += value & 0x04 ? ",Rel" : ",Abs";
    const CName optional[] = {{0x08, "Wrap"}, {0x10, "NLin"}, {0x20, "NPrf"},
                              {0x40, "Null"}, {0x80, "Vol"},  {0x100, "Buf"}};
    for (const CName& flag : optional) {
        if ((value & flag.value) && !(input && flag.value == 0x80)) {
            text += std::string(",") + flag.name;
        }
    }
    return text;
}

int32_t Signed(uint32_t value, size_t size) {
    if (size == 1) {
        return int8_t(value);
    }
    if (size == 2) {
        return int16_t(value);
    }
    return int32_t(value);
}

} // namespace

void PrintDescriptorItems(std::ostream& out, const std::vector<uint8_t>& descriptor) {
    uint32_t page = 0;
    int depth = 0;
    size_t at = 0;
    while (at < descriptor.size()) {
        const uint8_t prefix = descriptor[at];
        size_t size = prefix & 0x03;
        if (size == 3) {
            size = 4;
        }
        size_t header = 1;
        const bool isLong = prefix == 0xFE;
        if (isLong) {
            size = at + 1 < descriptor.size() ? descriptor[at + 1] : 0;
            header = 3;
        }
        char offset[32];
        std::snprintf(offset, sizeof offset, "%5zu  ", at);
        if (at + header + size > descriptor.size()) {
            out << offset << "the descriptor ends inside this item (" << descriptor.size() - at
                << " of " << header + size << " bytes)\n";
            return;
        }
        std::string bytes;
        for (size_t i = 0; i < header + size && i < 5; ++i) {
            char group[4];
            std::snprintf(group, sizeof group, "%02x ", descriptor[at + i]);
            bytes += group;
        }
        if (header + size > 5) {
            bytes += "...";
        }
        uint32_t value = 0;
        for (size_t i = 0; i < size && !isLong; ++i) {
            value |= uint32_t(descriptor[at + 1 + i]) << (8 * i);
        }
        const int type = (prefix >> 2) & 0x03;
        const int tag = prefix >> 4;
        if (type == 0 && tag == 0xC && depth > 0) {
            --depth;
        }
        std::string text;
        if (isLong) {
            text = "Long Item (" + std::to_string(size) + " bytes)";
        } else if (type == 0) {
            const char* name = Find(kMainItems, uint32_t(tag));
            text = name ? name : "Main Item " + Hex(uint32_t(tag), 1);
            if (tag == 0x8 || tag == 0x9 || tag == 0xB) {
                text += " (" + MainFlags(value, tag == 0x8) + ")";
            } else if (tag == 0xA) {
                const char* kind = Find(kCollections, value);
                text += std::string(" (") +
                        (kind            ? kind
                         : value >= 0x80 ? "Vendor Defined"
                                         : Hex(value, 2).c_str()) +
                        ")";
            }
        } else if (type == 1) {
            const char* name = Find(kGlobalItems, uint32_t(tag));
            text = name ? name : "Global Item " + Hex(uint32_t(tag), 1);
            if (tag == 0x0) {
                page = value;
                text += " (" + PageName(value) + ")";
            } else if (tag >= 0x1 && tag <= 0x5) {
                text += " (" + std::to_string(Signed(value, size)) + ")";
            } else if (tag == 0x6) {
                text += " (" + Hex(value, 2) + ")";
            } else if (tag != 0xA && tag != 0xB) {
                text += " (" + std::to_string(value) + ")";
            }
        } else if (type == 2) {
            const char* name = Find(kLocalItems, uint32_t(tag));
            text = name ? name : "Local Item " + Hex(uint32_t(tag), 1);
            // A four-byte usage carries its own page in the high half.
            const uint32_t usagePage = size == 4 ? value >> 16 : page;
            const uint32_t usage = size == 4 ? value & 0xFFFF : value;
            if (tag <= 0x2) {
                text += " (" + (size == 4 ? PageName(usagePage) + ": " : std::string()) +
                        UsageName(usagePage, usage) + ")";
            } else {
                text += " (" + std::to_string(value) + ")";
            }
        } else {
            text = "Reserved Item " + Hex(prefix, 2);
        }
        char line[64];
        std::snprintf(line, sizeof line, "%-16s", bytes.c_str());
        out << offset << line << std::string(size_t(depth) * 2, ' ') << text << "\n";
        if (type == 0 && tag == 0xA) {
            ++depth;
        }
        at += header + size;
    }
}
