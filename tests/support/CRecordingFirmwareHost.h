#pragma once

#include "sim/CSimFirmware.h"

#include <chrono>
#include <vector>

// Keeps the input reports a firmware sends, and drives its clock by hand.
class CRecordingFirmwareHost : public CSimFirmwareHost {
public:
    using CClock = std::chrono::steady_clock;

    void SendInputReport(const std::vector<uint8_t>& report) override { reports.push_back(report); }

    void Write(CSimFirmware& firmware, const std::vector<uint8_t>& report) {
        firmware.OnOutputReport(report.data(), report.size(), *this);
    }
    // Ticks every 10 ms for `span`, as the simulator does.
    void Run(CSimFirmware& firmware, CClock::duration span) {
        const CClock::time_point end = now + span;
        for (; now < end; now += std::chrono::milliseconds(10)) {
            firmware.OnTick(now, *this);
        }
        firmware.OnTick(now, *this);
    }

    std::vector<std::vector<uint8_t>> reports;
    CClock::time_point now{};
};
