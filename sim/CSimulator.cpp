// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "sim/CSimulator.h"

#include "platform/CReportDescriptor.h"
#include "platform/KeyReport.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr int kTickMs = 5;
constexpr uint16_t kBusVirtual = 0x06; // BUS_VIRTUAL, as uhid devices report
// Larger than any report the parser accepts, so an output report is never cut.
constexpr size_t kReceiveBufferSize = CReportDescriptor::kMaxReportBytes + 2;

void SignalEventFd(int fd) {
    const uint64_t one = 1;
    // A full counter still leaves the descriptor readable, so a failed write loses nothing.
    [[maybe_unused]] const ssize_t n = write(fd, &one, sizeof one);
}

std::unique_ptr<CSimFirmware> MakeFirmware(const CSimReaderDefinition& definition) {
    return definition.firmwareFactory ? definition.firmwareFactory()
                                      : CreateSimFirmware(definition.kind);
}

} // namespace

CSimulator::CSimulator(std::vector<CSimReaderDefinition> readers)
    : m_receiveBuffer(kReceiveBufferSize) {
    m_interfaces.reserve(readers.size());
    for (CSimReaderDefinition& definition : readers) {
        CInterface iface;
        CReportDescriptor descriptor;
        iface.info.path = definition.path;
        iface.info.attributes = definition.attributes;
        iface.info.product = definition.product;
        iface.info.serial = definition.serial;
        iface.info.interfaceNumber = definition.interfaceNumber;
        iface.info.reportDescriptor = definition.reportDescriptor;
        iface.info.hidName = definition.product;
        iface.info.physicalPath =
            "vantrel-sim" + definition.path.substr(definition.path.find(':') + 1);
        iface.info.busType = kBusVirtual;
        if (descriptor.Parse(definition.reportDescriptor)) {
            iface.info.caps = descriptor.Caps();
            for (const CReportCollection& c : descriptor.Collections()) {
                iface.info.collections.emplace_back(c.usagePage, c.usage);
            }
        }
        // A keyboard's keys come as key reports, as from a real keyboard's event node.
        iface.info.keyReports = iface.info.caps.usagePage == kKeyboardUsagePage &&
                                iface.info.caps.usage == kKeyboardUsage;
        iface.definition = std::move(definition);
        m_interfaces.push_back(std::move(iface));
    }
    for (size_t i = 0; i < m_interfaces.size(); ++i) {
        m_interfaces[i].firmware = MakeFirmware(m_interfaces[i].definition);
        m_interfaces[i].host = std::make_unique<CHost>(*this, i);
    }
    m_wakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    m_thread = std::thread([this] { Run(); });
}

CSimulator::~CSimulator() {
    m_stop = true;
    Wake();
    m_thread.join();
    for (CSession& session : m_sessions) {
        close(session.deviceFd);
    }
    if (m_wakeFd >= 0) {
        close(m_wakeFd);
    }
}

void CSimulator::Wake() {
    if (m_wakeFd >= 0) {
        SignalEventFd(m_wakeFd);
    }
}

std::vector<CHidInterfaceInfo> CSimulator::PresentInterfaces() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<CHidInterfaceInfo> present;
    present.reserve(m_interfaces.size());
    for (const CInterface& iface : m_interfaces) {
        if (iface.present) {
            present.push_back(iface.info);
        }
    }
    return present;
}

CSimulator::CInterface* CSimulator::FindLocked(const std::string& path, size_t& index) {
    for (index = 0; index < m_interfaces.size(); ++index) {
        if (m_interfaces[index].definition.path == path) {
            return &m_interfaces[index];
        }
    }
    return nullptr;
}

CSimulator::CSession* CSimulator::FindSessionLocked(uint64_t session) {
    for (CSession& s : m_sessions) {
        if (s.id == session && !s.closing) {
            return &s;
        }
    }
    return nullptr;
}

bool CSimulator::Open(const std::string& path, int& fd, uint64_t& session, CHidInterfaceInfo& info,
                      int& error) {
    std::lock_guard<std::mutex> lock(m_mutex);
    size_t index = 0;
    CInterface* iface = FindLocked(path, index);
    if (iface == nullptr || !iface->present) {
        error = ENOENT;
        return false;
    }
    if (iface->definition.accessDenied) {
        error = EACCES;
        return false;
    }
    int pair[2];
    if (socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, pair) != 0) {
        error = errno;
        return false;
    }
    session = m_nextId++;
    m_sessions.push_back({session, index, pair[1], false});
    fd = pair[0];
    info = iface->info;
    Wake();
    return true;
}

bool CSimulator::IsOpen(uint64_t session) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const CSession& s : m_sessions) {
        if (s.id == session && !s.closing) {
            return true;
        }
    }
    return false;
}

bool CSimulator::SetGrab(uint64_t session, bool grab, int& error) {
    std::lock_guard<std::mutex> lock(m_mutex);
    CSession* own = nullptr;
    for (CSession& s : m_sessions) {
        if (s.id == session && !s.closing) {
            own = &s;
        }
    }
    if (own == nullptr) {
        error = ENODEV;
        return false;
    }
    if (!m_interfaces[own->index].info.keyReports) {
        error = ENOTSUP;
        return false;
    }
    for (const CSession& s : m_sessions) {
        if (grab && s.id != session && s.index == own->index && s.grabbed && !s.closing) {
            error = EBUSY;
            return false;
        }
    }
    own->grabbed = grab;
    return true;
}

bool CSimulator::GetFeature(uint64_t session, uint8_t* buffer, size_t length, int& error) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const CSession* s = FindSessionLocked(session);
    if (s == nullptr) {
        error = ENODEV;
        return false;
    }
    if (!m_interfaces[s->index].firmware->OnGetFeature(buffer, length)) {
        error = EPIPE; // the device rejected the request, as a stalled control transfer
        return false;
    }
    return true;
}

bool CSimulator::SetFeature(uint64_t session, const uint8_t* data, size_t length, int& error) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const CSession* s = FindSessionLocked(session);
    if (s == nullptr) {
        error = ENODEV;
        return false;
    }
    if (!m_interfaces[s->index].firmware->OnSetFeature(data, length)) {
        error = EPIPE;
        return false;
    }
    // The firmware may need ticks now.
    Wake();
    return true;
}

bool CSimulator::Unplug(const std::string& path) {
    std::lock_guard<std::mutex> lock(m_mutex);
    size_t index = 0;
    CInterface* iface = FindLocked(path, index);
    if (iface == nullptr || !iface->present) {
        return false;
    }
    iface->present = false;
    for (CSession& s : m_sessions) {
        if (s.index == index && !s.closing) {
            // The open end sees POLLHUP at once and reads what was queued, then end of file.
            shutdown(s.deviceFd, SHUT_RDWR);
            s.closing = true;
        }
    }
    NotifyLocked(CHidDeviceChange::Kind::Removal, path);
    Wake();
    return true;
}

bool CSimulator::Plug(const std::string& path) {
    std::lock_guard<std::mutex> lock(m_mutex);
    size_t index = 0;
    CInterface* iface = FindLocked(path, index);
    if (iface == nullptr || iface->present) {
        return false;
    }
    iface->present = true;
    iface->firmware = MakeFirmware(iface->definition);
    NotifyLocked(CHidDeviceChange::Kind::Arrival, path);
    return true;
}

bool CSimulator::InjectInputReport(const std::string& path, const std::vector<uint8_t>& report) {
    std::lock_guard<std::mutex> lock(m_mutex);
    size_t index = 0;
    CInterface* iface = FindLocked(path, index);
    if (iface == nullptr || !iface->present) {
        return false;
    }
    SendInputLocked(index, report.data(), report.size());
    return true;
}

void CSimulator::CHost::SendInputReport(const std::vector<uint8_t>& report) {
    // Firmware runs under the simulator's mutex, so this is always called with it held.
    m_simulator.SendInputLocked(m_index, report.data(), report.size());
}

void CSimulator::SendInputLocked(size_t index, const uint8_t* data, size_t length) {
    if (length == 0 || !m_interfaces[index].present) {
        return;
    }
    const bool grabbed = std::any_of(m_sessions.begin(), m_sessions.end(), [&](const CSession& s) {
        return s.index == index && s.grabbed && !s.closing;
    });
    for (const CSession& s : m_sessions) {
        if (s.index == index && !s.closing && (s.grabbed || !grabbed)) {
            // A full queue drops the newest report, as hidraw does.
            send(s.deviceFd, data, length, MSG_DONTWAIT | MSG_NOSIGNAL);
        }
    }
}

uint64_t CSimulator::AddMonitor(int eventFd) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const uint64_t id = m_nextId++;
    m_monitors.push_back({id, eventFd, {}});
    return id;
}

void CSimulator::RemoveMonitor(uint64_t monitor) {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto it = m_monitors.begin(); it != m_monitors.end(); ++it) {
        if (it->id == monitor) {
            m_monitors.erase(it);
            return;
        }
    }
}

std::vector<CHidDeviceChange> CSimulator::TakeChanges(uint64_t monitor) {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (CMonitor& m : m_monitors) {
        if (m.id == monitor) {
            return std::exchange(m.pending, {});
        }
    }
    return {};
}

void CSimulator::NotifyLocked(CHidDeviceChange::Kind kind, const std::string& path) {
    for (CMonitor& m : m_monitors) {
        CHidDeviceChange change;
        change.kind = kind;
        change.path = path;
        m.pending.push_back(std::move(change));
        SignalEventFd(m.eventFd);
    }
}

void CSimulator::ServeSession(CSession& session, short revents) {
    if ((revents & POLLIN) != 0) {
        for (;;) {
            const ssize_t n = recv(session.deviceFd, m_receiveBuffer.data(), m_receiveBuffer.size(),
                                   MSG_DONTWAIT);
            if (n > 0) {
                CInterface& iface = m_interfaces[session.index];
                iface.firmware->OnOutputReport(m_receiveBuffer.data(), static_cast<size_t>(n),
                                               *iface.host);
                continue;
            }
            if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
                session.closing = true; // the application closed its end
            }
            break;
        }
    } else if ((revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
        session.closing = true;
    }
}

void CSimulator::Run() {
    using Clock = std::chrono::steady_clock;
    Clock::time_point nextTick = Clock::now();
    std::vector<pollfd> fds;
    std::vector<uint64_t> ids;
    for (;;) {
        bool anyTicking = false;
        fds.clear();
        ids.clear();
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_stop) {
                return;
            }
            for (auto it = m_sessions.begin(); it != m_sessions.end();) {
                if (it->closing) {
                    close(it->deviceFd);
                    it = m_sessions.erase(it);
                } else {
                    fds.push_back({it->deviceFd, POLLIN, 0});
                    ids.push_back(it->id);
                    const CInterface& iface = m_interfaces[it->index];
                    anyTicking = anyTicking || (iface.present && iface.firmware->NeedsTicks());
                    ++it;
                }
            }
        }
        fds.push_back({m_wakeFd, POLLIN, 0});

        int timeout = -1;
        if (anyTicking) {
            // Rounded up: a wait cut to whole milliseconds below would end before the tick is
            // due and spin through its last fraction.
            const auto wait = std::chrono::ceil<std::chrono::milliseconds>(nextTick - Clock::now());
            timeout = static_cast<int>(std::max<long long>(0, wait.count()));
        }
        const int ready = poll(fds.data(), fds.size(), timeout);
        m_wakeUps.fetch_add(1, std::memory_order_relaxed);
        if (ready < 0 && errno != EINTR) {
            return;
        }
        if ((fds.back().revents & POLLIN) != 0) {
            uint64_t count = 0;
            [[maybe_unused]] const ssize_t n = read(m_wakeFd, &count, sizeof count);
        }

        std::lock_guard<std::mutex> lock(m_mutex);
        for (size_t i = 0; i + 1 < fds.size(); ++i) {
            if (fds[i].revents == 0) {
                continue;
            }
            if (CSession* session = FindSessionLocked(ids[i])) {
                ServeSession(*session, fds[i].revents);
            }
        }
        const Clock::time_point now = Clock::now();
        if (anyTicking && now >= nextTick) {
            nextTick = now + std::chrono::milliseconds(kTickMs);
            for (size_t index = 0; index < m_interfaces.size(); ++index) {
                CInterface& iface = m_interfaces[index];
                if (!iface.present) {
                    continue;
                }
                for (const CSession& s : m_sessions) {
                    if (s.index == index && !s.closing) {
                        iface.firmware->OnTick(now, *iface.host);
                        break;
                    }
                }
            }
        } else if (!anyTicking) {
            nextTick = now;
        }
    }
}
