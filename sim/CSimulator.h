// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "platform/CHidPlatform.h"
#include "sim/CSimFirmware.h"
#include "sim/CSimReaderSet.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// The device side of the simulated readers. Every open of an interface is a SOCK_SEQPACKET
// socket pair: the caller gets one end, the simulator's thread serves the other, passing output
// reports to the interface's firmware, ticking it while the interface is open and the firmware
// needs ticks, and sending its input reports to every open end. Firmware is called under one
// mutex, so feature requests from other threads and the thread's own calls never overlap.
class CSimulator {
public:
    explicit CSimulator(std::vector<CSimReaderDefinition> readers);
    ~CSimulator();
    CSimulator(const CSimulator&) = delete;
    CSimulator& operator=(const CSimulator&) = delete;

    std::vector<CHidInterfaceInfo> PresentInterfaces() const;

    // A new open of a present interface: the caller owns `fd`.
    bool Open(const std::string& path, int& fd, uint64_t& session, CHidInterfaceInfo& info,
              int& error);
    bool IsOpen(uint64_t session) const;
    bool GetFeature(uint64_t session, uint8_t* buffer, size_t length, int& error);
    bool SetFeature(uint64_t session, const uint8_t* data, size_t length, int& error);
    // Takes a keyboard for one open end alone, as EVIOCGRAB does: while taken, its reports go
    // to that end only. EBUSY when another end holds it, ENOTSUP for an interface that is no
    // keyboard, ENODEV when the session has gone.
    bool SetGrab(uint64_t session, bool grab, int& error);

    // The interface disappears (every open end sees POLLHUP) or comes back with fresh firmware.
    // False when the path is unknown or already in that state.
    bool Unplug(const std::string& path);
    bool Plug(const std::string& path);
    // Sends an input report from a present interface to every open end, as its firmware would.
    bool InjectInputReport(const std::string& path, const std::vector<uint8_t>& report);

    // Device-change listeners: `eventFd` is made readable when changes are pending.
    uint64_t AddMonitor(int eventFd);
    void RemoveMonitor(uint64_t monitor);
    std::vector<CHidDeviceChange> TakeChanges(uint64_t monitor);

    // How often the thread has woken up, so that tests can check that it sleeps between ticks.
    uint64_t WakeUps() const { return m_wakeUps.load(std::memory_order_relaxed); }

private:
    struct CInterface;
    class CHost : public CSimFirmwareHost {
    public:
        CHost(CSimulator& simulator, size_t index) : m_simulator(simulator), m_index(index) {}
        void SendInputReport(const std::vector<uint8_t>& report) override;

    private:
        CSimulator& m_simulator;
        size_t m_index;
    };
    struct CInterface {
        CSimReaderDefinition definition;
        CHidInterfaceInfo info;
        std::unique_ptr<CSimFirmware> firmware;
        std::unique_ptr<CHost> host;
        bool present = true;
    };
    struct CSession {
        uint64_t id = 0;
        size_t index = 0;
        int deviceFd = -1;
        bool closing = false; // the thread closes it; until then the descriptor stays valid
        bool grabbed = false;
    };
    struct CMonitor {
        uint64_t id = 0;
        int eventFd = -1;
        std::vector<CHidDeviceChange> pending;
    };

    void Run();
    void ServeSession(CSession& session, short revents);
    void SendInputLocked(size_t index, const uint8_t* data, size_t length);
    CInterface* FindLocked(const std::string& path, size_t& index);
    CSession* FindSessionLocked(uint64_t session);
    void NotifyLocked(CHidDeviceChange::Kind kind, const std::string& path);
    void Wake();

    mutable std::mutex m_mutex;
    std::vector<CInterface> m_interfaces;
    std::vector<CSession> m_sessions;
    std::vector<CMonitor> m_monitors;
    uint64_t m_nextId = 1;
    std::vector<uint8_t> m_receiveBuffer;
    int m_wakeFd = -1;
    std::atomic<bool> m_stop{false};
    std::atomic<uint64_t> m_wakeUps{0};
    std::thread m_thread;
};
