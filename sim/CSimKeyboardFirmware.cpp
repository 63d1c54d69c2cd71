// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "sim/CSimKeyboardFirmware.h"

#include "platform/KeyReport.h"

#include <linux/input-event-codes.h>

#include <vector>

namespace {

// A key of the US layout: what it types alone and with Shift.
struct CUsKey {
    uint16_t code;
    char plain;
    char shifted;
};

constexpr CUsKey kUsKeys[] = {
    {KEY_A, 'a', 'A'},          {KEY_B, 'b', 'B'},          {KEY_C, 'c', 'C'},
    {KEY_D, 'd', 'D'},          {KEY_E, 'e', 'E'},          {KEY_F, 'f', 'F'},
    {KEY_G, 'g', 'G'},          {KEY_H, 'h', 'H'},          {KEY_I, 'i', 'I'},
    {KEY_J, 'j', 'J'},          {KEY_K, 'k', 'K'},          {KEY_L, 'l', 'L'},
    {KEY_M, 'm', 'M'},          {KEY_N, 'n', 'N'},          {KEY_O, 'o', 'O'},
    {KEY_P, 'p', 'P'},          {KEY_Q, 'q', 'Q'},          {KEY_R, 'r', 'R'},
    {KEY_S, 's', 'S'},          {KEY_T, 't', 'T'},          {KEY_U, 'u', 'U'},
    {KEY_V, 'v', 'V'},          {KEY_W, 'w', 'W'},          {KEY_X, 'x', 'X'},
    {KEY_Y, 'y', 'Y'},          {KEY_Z, 'z', 'Z'},          {KEY_1, '1', '!'},
    {KEY_2, '2', '@'},          {KEY_3, '3', '#'},          {KEY_4, '4', '$'},
    {KEY_5, '5', '%'},          {KEY_6, '6', '^'},          {KEY_7, '7', '&'},
    {KEY_8, '8', '*'},          {KEY_9, '9', '('},          {KEY_0, '0', ')'},
    {KEY_MINUS, '-', '_'},      {KEY_EQUAL, '=', '+'},      {KEY_LEFTBRACE, '[', '{'},
    {KEY_RIGHTBRACE, ']', '}'}, {KEY_SEMICOLON, ';', ':'},  {KEY_APOSTROPHE, '\'', '"'},
    {KEY_GRAVE, '`', '~'},      {KEY_BACKSLASH, '\\', '|'}, {KEY_COMMA, ',', '<'},
    {KEY_DOT, '.', '>'},        {KEY_SLASH, '/', '?'},      {KEY_SPACE, ' ', ' '},
};

// Control characters typed as Ctrl with a key, as readers send them.
struct CControlKey {
    char control;
    uint16_t code;
};

constexpr CControlKey kControlKeys[] = {
    {'\x1d', KEY_RIGHTBRACE}, // <GS>: Ctrl+]
    {'\x1e', KEY_6},          // <RS>: Ctrl+^
    {'\x04', KEY_D},          // <EOT>: Ctrl+D
};

// The keys that type `c`, modifier first; empty for a character the reader cannot type.
std::vector<uint16_t> KeysFor(char c) {
    for (const CControlKey& key : kControlKeys) {
        if (key.control == c) {
            return {KEY_LEFTCTRL, key.code};
        }
    }
    for (const CUsKey& key : kUsKeys) {
        if (key.plain == c) {
            return {key.code};
        }
        if (key.shifted == c) {
            return {KEY_LEFTSHIFT, key.code};
        }
    }
    return {};
}

uint64_t MicrosecondsOf(std::chrono::steady_clock::time_point time) {
    return uint64_t(
        std::chrono::duration_cast<std::chrono::microseconds>(time.time_since_epoch()).count());
}

} // namespace

// Letters and signs that sit elsewhere on other layouts (y and z, "-" and "/" on a German one),
// a GS1 label with two group separators, and digits that every layout types alike.
const char* const CSimKeyboardFirmware::kLabels[] = {
    "Vantrel-Zyx/42",
    "0109501101020917\x1d"
    "10ABC123\x1d"
    "21SN7",
    "5901234123457",
};
const size_t CSimKeyboardFirmware::kLabelCount = std::size(kLabels);

void CSimKeyboardFirmware::OnOutputReport(const uint8_t*, size_t, CSimFirmwareHost&) {}

bool CSimKeyboardFirmware::OnSetFeature(const uint8_t*, size_t) {
    return false;
}

bool CSimKeyboardFirmware::OnGetFeature(uint8_t*, size_t) {
    return false;
}

void CSimKeyboardFirmware::OnTick(std::chrono::steady_clock::time_point now,
                                  CSimFirmwareHost& host) {
    if (!m_nextLabel.IsDue(now)) {
        return;
    }
    TypeLabel(kLabels[m_label], MicrosecondsOf(now), host);
    m_label = (m_label + 1) % kLabelCount;
    m_nextLabel = CSimScanTimer(kLabelInterval);
    m_nextLabel.Request();
}

void CSimKeyboardFirmware::TypeLabel(const std::string& text, uint64_t startUs,
                                     CSimFirmwareHost& host) {
    uint64_t time = startUs;
    const auto send = [&](uint16_t code, CKeyValue value) {
        uint8_t report[kKeyReportLength];
        EncodeKeyReport({code, value, time}, report);
        host.SendInputReport(std::vector<uint8_t>(report, report + kKeyReportLength));
        time += kEventSpacingUs;
    };
    const auto type = [&](const std::vector<uint16_t>& keys) {
        for (const uint16_t code : keys) {
            send(code, CKeyValue::Press);
        }
        for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
            send(*key, CKeyValue::Release);
        }
    };
    for (const char c : text) {
        type(KeysFor(c));
    }
    type({KEY_ENTER});
}
