// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "device/CMessagePoster.h"
#include "platform/CHidPlatform.h"
#include "platform/CUniqueFd.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CDeviceList;

// The one open HID interface: opened by display name, read on a reader thread that posts one
// message per report, written with a bounded wait, closed through a bounded handshake.
class CHidPort {
public:
    static constexpr int kReadyTimeoutMs = 1000;
    static constexpr int kStopTimeoutMs = 1000;
    static constexpr int kWriteTimeoutMs = 5000;

    CHidPort(CHidPlatform& platform, CMessagePoster& poster);
    virtual ~CHidPort();
    CHidPort(const CHidPort&) = delete;
    CHidPort& operator=(const CHidPort&) = delete;

    // Whether an interface is listed; the base lists every interface.
    virtual bool IsSupported(const CHidAttributes& attributes, const CHidCaps& caps) const;

    // Fills the name table and, when given, the device list (see the listing rule).
    void Enumerate(CDeviceList* list, const std::string& nameToSelect, bool clearFirst);

    // Opens by display name (a name not in the table is taken as the path) and starts the reader.
    // The port must be closed. False on failure; LastError() then tells why.
    bool Open(const std::string& displayName, uint32_t messageBase);
    void Close();
    bool Write(const uint8_t* data, size_t length);
    bool WriteWithHeader(const uint8_t* payload, size_t payloadLength, const uint8_t* header,
                         size_t headerLength);
    bool GetFeature(uint8_t* buffer, size_t length);
    bool SetFeature(const uint8_t* data, size_t length);
    bool GetAttributes(CHidAttributes& attributes) const;
    // Takes the open interface exclusively or gives it back (keyboard-mode readers only);
    // false with LastError() otherwise.
    bool SetGrab(bool grab);
    // Where the port's interfaces come from, for what the platform offers beside them (the
    // keyboard layouts).
    CHidPlatform& Platform() const { return m_platform; }

    // A reader that a write or feature request found gone takes no more commands: its port
    // counts as closed from then on, so one unplug fails one command, not every one after it.
    bool IsOpen() const { return m_connection != nullptr && !m_deviceGone; }
    bool CanRead() const { return m_messageBase != 0 && IsOpen(); }
    bool IsRunning() const { return m_running.load(std::memory_order_acquire); }
    // True when `message` comes from the reader of the current open: the port has been neither
    // closed nor opened again since that reader posted it. Reports read before a read error
    // stay current, so they and the error itself still reach the device and the dialog.
    bool IsCurrent(const CHidMessage& message) const;
    // The generation the messages of the current open carry; 0 when closed.
    uint64_t Generation() const { return m_openGeneration; }

    const CHidCaps& GetCaps() const { return m_caps; }
    // The open interface's report descriptor; empty when closed or unknown.
    const std::vector<uint8_t>& ReportDescriptor() const { return m_reportDescriptor; }
    uint32_t MessageBase() const { return m_messageBase; }
    int LastError() const { return m_lastError; }
    const std::map<std::string, std::string>& NameTable() const { return m_nameTable; }

    // Tests shorten the bounded waits.
    void SetWriteTimeout(int ms) { m_writeTimeoutMs = ms; }

private:
    enum class CReaderState { Idle, Starting, Ready, Ended };
    // What one reader needs; fixed for the reader's life, so it never reads the port's fields.
    struct CReaderContext {
        uint64_t generation = 0;
        CHidConnection* connection = nullptr;
        int stopFd = -1;
        uint32_t messageBase = 0;
        size_t readCapacity = 0;
    };

    void ReaderThread(CReaderContext context);
    void SetReaderState(CReaderState state, int error);
    bool WriteBytes(const uint8_t* data, size_t length);
    void DrainStopSignal();

    CHidPlatform& m_platform;
    CMessagePoster& m_poster;
    std::unique_ptr<CHidConnection> m_connection;
    std::map<std::string, std::string> m_nameTable;
    CHidCaps m_caps;
    std::vector<uint8_t> m_reportDescriptor;
    uint32_t m_messageBase = 0;
    std::atomic<bool> m_running{false};
    std::atomic<uint64_t> m_generation{0};
    std::vector<uint8_t> m_outputBuffer;
    std::thread m_reader;
    // Start and end of the reader: Open waits for Ready, Close for Ended. Never taken per report.
    std::mutex m_stateMutex;
    std::condition_variable m_stateChanged;
    CReaderState m_readerState = CReaderState::Idle;
    int m_readerError = 0;
    bool m_readerWasReady = false;
    uint64_t m_openGeneration = 0; // generation of the current open; 0 when closed
    CUniqueFd m_stopFd;
    int m_stopFdError = 0;
    int m_lastError = 0;
    bool m_deviceGone = false;
    int m_writeTimeoutMs = kWriteTimeoutMs;
};

// The port of the main dialog: lists only the interfaces of supported readers.
class CReaderPort : public CHidPort {
public:
    using CHidPort::CHidPort;
    bool IsSupported(const CHidAttributes& attributes, const CHidCaps& caps) const override;
};
