// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <cstddef>
#include <cstdint>

// A reader in keyboard mode types its labels as key events. Its interface reads key reports,
// one key event each: byte 0 the report id 0x00, the Linux input key code (16 bits), the
// value (0 release, 1 press, 2 autorepeat), then the event time in microseconds of the
// monotonic clock (64 bits), all little-endian.

// The Generic Desktop keyboard collection that such an interface declares.
constexpr uint16_t kKeyboardUsagePage = 0x0001;
constexpr uint16_t kKeyboardUsage = 0x0006;

constexpr size_t kKeyReportLength = 12;

enum class CKeyValue : uint8_t { Release = 0, Press = 1, Repeat = 2 };

struct CKeyEvent {
    uint16_t code = 0;
    CKeyValue value = CKeyValue::Release;
    uint64_t timeUs = 0;
};

inline void EncodeKeyReport(const CKeyEvent& event, uint8_t (&report)[kKeyReportLength]) {
    report[0] = 0x00;
    report[1] = uint8_t(event.code & 0xFF);
    report[2] = uint8_t(event.code >> 8);
    report[3] = uint8_t(event.value);
    for (size_t i = 0; i < 8; ++i) {
        report[4 + i] = uint8_t(event.timeUs >> (8 * i));
    }
}

// The key event of a key report's body (the bytes after the report id); false when it is too
// short or its value is unknown.
inline bool DecodeKeyEvent(const uint8_t* body, size_t length, CKeyEvent& event) {
    if (length < kKeyReportLength - 1 || body[2] > uint8_t(CKeyValue::Repeat)) {
        return false;
    }
    event.code = uint16_t(body[0] | (body[1] << 8));
    event.value = CKeyValue(body[2]);
    event.timeUs = 0;
    for (size_t i = 0; i < 8; ++i) {
        event.timeUs |= uint64_t(body[3 + i]) << (8 * i);
    }
    return true;
}
