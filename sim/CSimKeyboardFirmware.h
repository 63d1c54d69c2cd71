// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "sim/CSimFirmware.h"
#include "sim/CSimScanTimer.h"

#include <cstddef>
#include <cstdint>
#include <string>

// A reader in keyboard mode, set up for a US layout: it types a label as key reports every
// moment while it is open, each ended by Enter, a GS1 label with its group separators typed
// as Ctrl+]. Its key times are spaced evenly from the tick that types the label, so the
// timing a label shows is the same on any machine. It takes no output or feature reports.
class CSimKeyboardFirmware : public CSimFirmware {
public:
    static constexpr auto kFirstLabelDelay = std::chrono::milliseconds(200);
    static constexpr auto kLabelInterval = std::chrono::milliseconds(1500);
    // Between one key event and the next: 250 key presses a second.
    static constexpr uint64_t kEventSpacingUs = 2000;

    CSimKeyboardFirmware() : m_nextLabel(kFirstLabelDelay) { m_nextLabel.Request(); }

    void OnOutputReport(const uint8_t* data, size_t length, CSimFirmwareHost& host) override;
    bool OnSetFeature(const uint8_t* data, size_t length) override;
    bool OnGetFeature(uint8_t* buffer, size_t length) override;
    void OnTick(std::chrono::steady_clock::time_point now, CSimFirmwareHost& host) override;

    // The labels in the order they are typed, as text; 0x1D is typed as Ctrl+].
    static const char* const kLabels[];
    static const size_t kLabelCount;

private:
    void TypeLabel(const std::string& text, uint64_t startUs, CSimFirmwareHost& host);

    CSimScanTimer m_nextLabel;
    size_t m_label = 0;
};
