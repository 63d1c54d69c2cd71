// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// The reader's side of a simulated interface: what the firmware sends back.
class CSimFirmwareHost {
public:
    virtual ~CSimFirmwareHost() = default;
    // Queues one input report for the host, byte 0 = report id (0x00 when the interface uses
    // no report ids), at most the input report byte length.
    virtual void SendInputReport(const std::vector<uint8_t>& report) = 0;
};

// Behaviour of a simulated reader. Called on the simulator's thread, one call at a time.
class CSimFirmware {
public:
    virtual ~CSimFirmware() = default;
    // An output report written by the host, byte 0 = report id.
    virtual void OnOutputReport(const uint8_t* data, size_t length, CSimFirmwareHost& host) = 0;
    // Feature reports, byte 0 = report id. False makes the host's request fail.
    virtual bool OnSetFeature(const uint8_t* data, size_t length) = 0;
    virtual bool OnGetFeature(uint8_t* buffer, size_t length) = 0;
    // Called regularly (every few milliseconds) while the interface is open, for timed behaviour
    // such as a scan a moment after a trigger.
    virtual void OnTick(std::chrono::steady_clock::time_point now, CSimFirmwareHost& host) {
        (void)now;
        (void)host;
    }
    // Whether OnTick has anything to do now; the simulator sleeps while no open interface's
    // firmware needs ticks. Asked again after every call into the firmware.
    virtual bool NeedsTicks() const { return true; }
};

// The kinds of simulated readers whose firmware behaves like a device type.
enum class CSimReaderKind { Passive, Quorin, HidPos, HidPos2D, SurePos, SurePosSio, Keyboard };

std::unique_ptr<CSimFirmware> CreateSimFirmware(CSimReaderKind kind);
