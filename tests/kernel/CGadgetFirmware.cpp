#include "CGadgetFirmware.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

CGadgetFirmware::CGadgetFirmware(std::string node, std::unique_ptr<CSimFirmware> firmware,
                                 CLayout layout)
    : m_node(std::move(node)), m_firmware(std::move(firmware)), m_layout(std::move(layout)) {}

CGadgetFirmware::~CGadgetFirmware() {
    Stop();
}

bool CGadgetFirmware::Start() {
    m_fd = open(m_node.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0)
        return false;
    m_stop = false;
    m_partial.clear();
    m_thread = std::thread([this] { Serve(); });
    return true;
}

void CGadgetFirmware::Stop() {
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_fd >= 0)
        close(m_fd);
    m_fd = -1;
}

long CGadgetFirmware::SendWire(const uint8_t* data, size_t length, int timeoutMs) {
    std::lock_guard<std::mutex> lock(m_writeMutex);
    // The function holds one report until the host polls it; POLLOUT says it is free again.
    pollfd p{m_fd, POLLOUT, 0};
    if (poll(&p, 1, timeoutMs) <= 0 || !(p.revents & POLLOUT))
        return -1;
    return write(m_fd, data, length);
}

bool CGadgetFirmware::Send(const Bytes& report, int timeoutMs) {
    if (report.empty())
        return false;
    Bytes wire(m_layout.numbered ? report.begin() : report.begin() + 1, report.end());
    if (wire.size() < m_layout.inputLength)
        wire.resize(m_layout.inputLength, 0);
    return SendWire(wire.data(), wire.size(), timeoutMs) == long(wire.size());
}

void CGadgetFirmware::SendInputReport(const std::vector<uint8_t>& report) {
    Send(report, 200);
}

std::vector<guest::Bytes> CGadgetFirmware::TakeReceived() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return std::move(m_received);
}

size_t CGadgetFirmware::ReceivedCount() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_received.size();
}

std::vector<guest::Bytes> CGadgetFirmware::TakeFeatures() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return std::move(m_features);
}

void CGadgetFirmware::Deliver(const Bytes& wire) {
    // The firmware sees reports as the host's buffers are laid out: byte 0 the report id.
    Bytes report = wire;
    if (!m_layout.numbered)
        report.insert(report.begin(), 0x00);
    const bool feature = m_layout.numbered && m_layout.featureIds.count(wire[0]) != 0;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        (feature ? m_features : m_received).push_back(wire);
    }
    if (feature)
        m_firmware->OnSetFeature(report.data(), report.size());
    else
        m_firmware->OnOutputReport(report.data(), report.size(), *this);
}

void CGadgetFirmware::Serve() {
    uint8_t buffer[4096];
    while (!m_stop) {
        pollfd p{m_fd, POLLIN, 0};
        if (poll(&p, 1, 5) > 0 && (p.revents & POLLIN)) {
            const ssize_t n = read(m_fd, buffer, sizeof buffer);
            if (n > 0) {
                if (!m_layout.outEndpoint) {
                    // SET_REPORT hands over one whole report per control transfer.
                    Deliver(Bytes(buffer, buffer + n));
                } else {
                    // The OUT endpoint hands over one packet per read: a transfer ends with
                    // a short packet or at the longest output report.
                    m_partial.insert(m_partial.end(), buffer, buffer + n);
                    if (size_t(n) < m_layout.packetLength ||
                        m_partial.size() >= m_layout.outputLength) {
                        Deliver(m_partial);
                        m_partial.clear();
                    }
                }
            }
        }
        if (m_ticking)
            m_firmware->OnTick(guest::Clock::now(), *this);
    }
}
