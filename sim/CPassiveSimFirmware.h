#pragma once

#include "sim/CSimFirmware.h"

#include <map>
#include <vector>

// Firmware that only carries reports: it accepts every output report, keeps the last feature
// report set per report id and returns it on get (zeros after the id when none was set).
class CPassiveSimFirmware : public CSimFirmware {
public:
    void OnOutputReport(const uint8_t* data, size_t length, CSimFirmwareHost& host) override;
    bool OnSetFeature(const uint8_t* data, size_t length) override;
    bool OnGetFeature(uint8_t* buffer, size_t length) override;
    bool NeedsTicks() const override { return false; }

    // Output reports received so far, oldest first.
    const std::vector<std::vector<uint8_t>>& OutputReports() const { return m_outputReports; }

private:
    // Enough for a demo session; the oldest reports are dropped beyond it.
    static constexpr size_t kMaxKeptReports = 256;

    std::vector<std::vector<uint8_t>> m_outputReports;
    std::map<uint8_t, std::vector<uint8_t>> m_features;
};
