// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "CPanelRig.h"

#include "device/CHidPosDevice.h"
#include "device/CKeyboardDevice.h"
#include "device/CQuorinDevice.h"
#include "device/CSurePosDevice.h"
#include "device/CSurePosSioDevice.h"
#include "sim/CSimReaderSet.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

constexpr char kRigPath[] = "sim:/panel-rig";
// A report no panel command produces: everything written before it has arrived once it has.
constexpr uint8_t kFenceByte = 0xEE;

bool IsFence(const CReport& report) {
    return report.size() > 2 && report[1] == kFenceByte && report[2] == kFenceByte;
}

// The reader's own firmware, with what reaches it recorded on the way.
class CRecordingFirmware : public CSimFirmware {
public:
    CRecordingFirmware(CSimReaderKind kind, std::shared_ptr<CRigReader> reader)
        : m_inner(CreateSimFirmware(kind)), m_reader(std::move(reader)) {}

    void OnOutputReport(const uint8_t* data, size_t length, CSimFirmwareHost& host) override {
        m_reader->AddWrite(data, length);
        if (!IsFence(CReport(data, data + length))) {
            m_inner->OnOutputReport(data, length, host);
        }
    }
    bool OnSetFeature(const uint8_t* data, size_t length) override {
        m_reader->AddFeatureSet(data, length);
        return m_reader->FeatureSupported() && m_inner->OnSetFeature(data, length);
    }
    bool OnGetFeature(uint8_t* buffer, size_t length) override {
        if (!m_reader->FeatureSupported()) {
            return false;
        }
        const CReport contents = m_reader->Contents();
        if (contents.empty()) {
            return m_inner->OnGetFeature(buffer, length);
        }
        std::fill(buffer, buffer + length, uint8_t(0));
        std::copy_n(contents.begin(), std::min(length, contents.size()), buffer);
        return true;
    }
    void OnTick(std::chrono::steady_clock::time_point now, CSimFirmwareHost& host) override {
        m_inner->OnTick(now, host);
    }

private:
    std::unique_ptr<CSimFirmware> m_inner;
    std::shared_ptr<CRigReader> m_reader;
};

} // namespace

CSimReaderDefinition RigReaderDefinition(DeviceType type, std::shared_ptr<CRigReader> reader,
                                         const std::string& path) {
    CSimReaderDefinition definition;
    definition.path = path;
    definition.attributes = {0x1234, 0x5678, 0x0100};
    definition.product = std::string("Panel rig ") + DeviceTypeName(type);
    definition.serial = "R1";
    switch (type) {
    case DeviceType::Quorin:
        definition.kind = CSimReaderKind::Quorin;
        definition.reportDescriptor = CSimReaderSet::QuorinDescriptor();
        break;
    case DeviceType::HidPos:
        definition.kind = CSimReaderKind::HidPos;
        definition.reportDescriptor = CSimReaderSet::HidPosDescriptor();
        break;
    case DeviceType::SurePos:
        definition.kind = CSimReaderKind::SurePos;
        definition.reportDescriptor = CSimReaderSet::SurePosDescriptor(0x4A00);
        break;
    case DeviceType::SurePosSio:
        definition.kind = CSimReaderKind::SurePosSio;
        definition.reportDescriptor = CSimReaderSet::SurePosSioDescriptor(0x6400);
        break;
    case DeviceType::Keyboard:
        definition.kind = CSimReaderKind::Keyboard;
        definition.reportDescriptor = CSimReaderSet::KeyboardDescriptor();
        break;
    case DeviceType::None:
        break;
    }
    const CSimReaderKind kind = definition.kind;
    definition.firmwareFactory = [kind, reader] {
        return std::make_unique<CRecordingFirmware>(kind, reader);
    };
    return definition;
}

void CRigReader::AddWrite(const uint8_t* data, size_t length) {
    std::lock_guard<std::mutex> lock(m_mutex);
    CReport report(data, data + length);
    if (IsFence(report)) {
        ++m_fences;
    } else {
        m_writes.push_back(std::move(report));
    }
}

size_t CRigReader::Fences() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_fences;
}

void CRigReader::AddFeatureSet(const uint8_t* data, size_t length) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_featureSets.emplace_back(data, data + length);
}

std::vector<CReport> CRigReader::Writes() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_writes;
}

size_t CRigReader::WriteCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_writes.size();
}

std::vector<CReport> CRigReader::FeatureSets() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_featureSets;
}

void CRigReader::ClearWrites() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_writes.clear();
    m_featureSets.clear();
}

void CRigReader::SetFeatureSupported(bool supported) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_featureSupported = supported;
}

bool CRigReader::FeatureSupported() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_featureSupported;
}

void CRigReader::SetContents(const CReport& contents) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_contents = contents;
}

CReport CRigReader::Contents() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_contents;
}

CPanelRig::CPanelRig(DeviceType type, CMemorySettingsStore* sharedStore)
    : m_store(sharedStore ? sharedStore : &m_ownStore), m_reader(std::make_shared<CRigReader>()),
      m_platform(std::vector<CSimReaderDefinition>{RigReaderDefinition(type, m_reader, kRigPath)}),
      m_port(m_platform, m_poster), m_settings(m_store), m_notifier(&m_output) {
    m_port.Open(kRigPath, 0x07E8);
    switch (type) {
    case DeviceType::Quorin:
        m_device = std::make_unique<CQuorinDevice>(m_port, m_output, m_settings, m_notifier);
        break;
    case DeviceType::HidPos:
        m_device = std::make_unique<CHidPosDevice>(m_port, m_output, m_settings, m_notifier);
        break;
    case DeviceType::SurePos:
        m_device = std::make_unique<CSurePosDevice>(m_port, m_output, m_settings, m_notifier);
        break;
    case DeviceType::SurePosSio:
        m_device = std::make_unique<CSurePosSioDevice>(m_port, m_output, m_settings, m_notifier);
        break;
    case DeviceType::Keyboard:
        m_device = std::make_unique<CKeyboardDevice>(m_port, m_output, m_settings, m_notifier);
        break;
    case DeviceType::None:
        break;
    }
    if (m_device) {
        m_device->LoadSettings("Settings");
    }
    m_parent.resize(700, 200);
}

CPanelRig::~CPanelRig() {
    m_device.reset();
    m_port.Close();
}

std::vector<CReport> CPanelRig::SettledWrites() {
    CReport fence(std::max<size_t>(OutputReportLength(), 3), 0);
    fence[1] = kFenceByte;
    fence[2] = kFenceByte;
    const size_t target = m_reader->Fences() + 1;
    if (m_port.Write(fence.data(), fence.size())) {
        // Reports arrive in the order they were written: once the fence is in, so is the rest.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (m_reader->Fences() < target && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    return m_reader->Writes();
}
