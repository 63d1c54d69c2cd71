#include "CPanelRig.h"

#include "device/CHidPosDevice.h"
#include "device/CQuorinDevice.h"
#include "device/CSurePosDevice.h"
#include "device/CSurePosSioDevice.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/eventfd.h>
#include <unistd.h>

namespace {

constexpr uint8_t kRedirectReportId = 0xFE;

class CRigConnection : public CHidConnection {
public:
    CRigConnection(const CHidCaps& caps, std::shared_ptr<CRigReader> reader)
        : m_caps(caps), m_reader(std::move(reader)), m_fd(eventfd(0, EFD_CLOEXEC)) {}
    ~CRigConnection() override { ::close(m_fd); }

    int PollFd() const override { return m_fd; }
    long ReadReport(uint8_t*, size_t, int& error) override {
        error = EAGAIN;
        return -1;
    }
    bool WriteReport(const uint8_t* data, size_t length, int, int&) override {
        m_reader->AddWrite(data, length);
        return true;
    }
    bool GetFeature(uint8_t* buffer, size_t length, int& error) override {
        if (m_reader->GetFeature(buffer, length))
            return true;
        error = EPIPE;
        return false;
    }
    bool SetFeature(const uint8_t* data, size_t length, int& error) override {
        if (m_reader->SetFeature(data, length))
            return true;
        error = EPIPE;
        return false;
    }
    CHidCaps Caps() const override { return m_caps; }
    bool GetAttributes(CHidAttributes& attributes, int&) const override {
        attributes = {0x1234, 0x5678, 0x0100};
        return true;
    }

private:
    CHidCaps m_caps;
    std::shared_ptr<CRigReader> m_reader;
    int m_fd;
};

} // namespace

void CRigReader::AddWrite(const uint8_t* data, size_t length) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_writes.emplace_back(data, data + length);
}

std::vector<CReport> CRigReader::Writes() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_writes;
}

void CRigReader::ClearWrites() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_writes.clear();
    m_featureSets.clear();
}

size_t CRigReader::WriteCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_writes.size();
}

bool CRigReader::SetFeature(const uint8_t* data, size_t length) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_featureSets.emplace_back(data, data + length);
    if (length < 2 || data[0] != kRedirectReportId || !m_featureSupported)
        return false;
    m_redirect = data[1];
    return true;
}

bool CRigReader::GetFeature(uint8_t* buffer, size_t length) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (length >= 2 && buffer[0] == kRedirectReportId) {
        if (!m_featureSupported)
            return false;
        buffer[1] = m_redirect;
        return true;
    }
    std::fill(buffer, buffer + length, uint8_t(0));
    std::copy_n(m_contents.begin(), std::min(length, m_contents.size()), buffer);
    return true;
}

std::vector<CReport> CRigReader::FeatureSets() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_featureSets;
}

void CRigReader::SetFeatureSupported(bool supported) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_featureSupported = supported;
}

void CRigReader::SetContents(const CReport& contents) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_contents = contents;
}

bool CRigPlatform::EnumerateInterfaces(std::vector<CHidInterfaceInfo>& interfaces, int&) {
    CHidInterfaceInfo info;
    info.path = "/dev/rig";
    info.caps = m_caps;
    interfaces = {info};
    return true;
}

std::unique_ptr<CHidConnection> CRigPlatform::Open(const std::string&, int&) {
    return std::make_unique<CRigConnection>(m_caps, m_reader);
}

std::unique_ptr<CHidDeviceMonitor> CRigPlatform::CreateMonitor(int& error) {
    error = ENOSYS;
    return nullptr;
}

CHidCaps RigCaps(DeviceType type) {
    switch (type) {
    case DeviceType::Quorin:
        return {0x0001, 0xFFA0, 64, 64, 0};
    case DeviceType::HidPos:
        return {0x0002, 0x008C, 64, 64, 3};
    case DeviceType::SurePos:
        return {0x4A00, 0xFF45, 64, 12, 0};
    case DeviceType::SurePosSio:
        return {0x6400, 0xFF45, 64, 252, 250};
    case DeviceType::None:
        break;
    }
    return {};
}

CPanelRig::CPanelRig(DeviceType type, CMemorySettingsStore* sharedStore)
    : m_store(sharedStore ? sharedStore : &m_ownStore), m_reader(std::make_shared<CRigReader>()),
      m_platform(std::make_unique<CRigPlatform>(RigCaps(type), m_reader)),
      m_port(std::make_unique<CHidPort>(*m_platform, m_poster)), m_settings(m_store) {
    m_port->Open("/dev/rig", 0x7E8);
    switch (type) {
    case DeviceType::Quorin:
        m_device = std::make_unique<CQuorinDevice>(*m_port, m_output, m_settings, m_notifier);
        break;
    case DeviceType::HidPos:
        m_device = std::make_unique<CHidPosDevice>(*m_port, m_output, m_settings, m_notifier);
        break;
    case DeviceType::SurePos:
        m_device = std::make_unique<CSurePosDevice>(*m_port, m_output, m_settings, m_notifier);
        break;
    case DeviceType::SurePosSio:
        m_device = std::make_unique<CSurePosSioDevice>(*m_port, m_output, m_settings, m_notifier);
        break;
    case DeviceType::None:
        break;
    }
    if (m_device)
        m_device->LoadSettings("Settings");
    m_parent.resize(700, 200);
}

CPanelRig::~CPanelRig() {
    m_device.reset();
    m_port->Close();
}
