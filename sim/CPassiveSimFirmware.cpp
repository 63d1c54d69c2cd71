#include "sim/CPassiveSimFirmware.h"

#include <algorithm>
#include <cstring>

void CPassiveSimFirmware::OnOutputReport(const uint8_t* data, size_t length,
                                         CSimFirmwareHost& host) {
    (void)host;
    if (m_outputReports.size() == kMaxKeptReports) {
        m_outputReports.erase(m_outputReports.begin());
    }
    m_outputReports.emplace_back(data, data + length);
}

bool CPassiveSimFirmware::OnSetFeature(const uint8_t* data, size_t length) {
    if (length == 0) {
        return false;
    }
    m_features[data[0]].assign(data, data + length);
    return true;
}

bool CPassiveSimFirmware::OnGetFeature(uint8_t* buffer, size_t length) {
    if (length == 0) {
        return false;
    }
    const uint8_t id = buffer[0];
    std::memset(buffer + 1, 0, length - 1);
    const auto it = m_features.find(id);
    if (it != m_features.end()) {
        const size_t n = std::min(length, it->second.size());
        std::memcpy(buffer + 1, it->second.data() + 1, n - 1);
    }
    return true;
}
