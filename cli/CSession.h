// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "cli/CReaderLookup.h"
#include "cli/CStderrNotifier.h"
#include "device/CHidDevice.h"
#include "device/CHidPort.h"
#include "device/CMessageQueueBound.h"
#include "settings/CDisplaySettings.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

class CKeyboardDevice;
class COutputSink;

// The reader messages of several sessions in one queue, each with the index of its session,
// so that one loop can wait for all of them. Each session's messages are bounded on their own
// (CMessageQueueBound), so that one fast reader neither grows the queue without end nor
// crowds out the others.
class CSessionQueue {
public:
    explicit CSessionQueue(size_t boundBytes = CMessageQueueBound::kDefaultBytes)
        : m_boundBytes(boundBytes) {}

    void Post(int session, CHidMessage&& message);
    // Takes the oldest message, waiting at most `timeoutMs`. False when none arrived in time.
    bool Wait(int& session, CHidMessage& message, int timeoutMs);
    // Reports of `session` dropped that no message has carried yet.
    uint64_t PendingDrops(int session);

private:
    CMessageQueueBound& Bound(int session);

    std::mutex m_mutex;
    std::condition_variable m_posted;
    std::deque<std::pair<int, CHidMessage>> m_messages;
    const size_t m_boundBytes;
    std::map<int, CMessageQueueBound> m_bounds;
};

// An open reader with its device type, decoding what it sends into a sink.
class CSession {
public:
    using Clock = std::chrono::steady_clock;
    // The message base the terminal tool opens its ports with, as the main window does.
    static constexpr uint32_t kMessageBase = 0x07E8;

    // `index` tells the session's messages apart in `queue`.
    CSession(CHidPlatform& platform, CSettingsStore& store, COutputSink& sink,
             CErrorReporter& errors, CSessionQueue& queue, int index);
    ~CSession();

    // Opens the chosen reader and makes its device type. False with the reason reported.
    bool Open(const CReaderLookup::CChoice& choice);
    // What a message of this session's reader is: a report, a read error (reported), or a
    // message of an earlier open.
    enum class Message { Report, Failed, Stale };
    Message Classify(const CHidMessage& message);
    // Hands a report read at `readTime` to the device type.
    void Decode(const std::vector<uint8_t>& report, Clock::time_point readTime);

    CHidPort& Port() { return m_port; }
    CHidDevice* Device() { return m_device.get(); }
    // The device of a reader in keyboard mode, else null.
    CKeyboardDevice* Keyboard();
    const std::string& Name() const { return m_name; }
    const std::string& Path() const { return m_path; }
    // How many messages the device layer showed.
    int Failures() const { return m_notifier.Count(); }

private:
    class CPoster : public CMessagePoster {
    public:
        CPoster(CSessionQueue& queue, int index) : m_queue(queue), m_index(index) {}
        void PostHidMessage(CHidMessage&& message) override {
            m_queue.Post(m_index, std::move(message));
        }

    private:
        CSessionQueue& m_queue;
        int m_index;
    };

    CPoster m_poster;
    CReaderPort m_port;
    CDisplaySettings m_settings;
    COutputSink& m_sink;
    CErrorReporter& m_errors;
    CStderrNotifier m_notifier;
    std::unique_ptr<CHidDevice> m_device;
    std::string m_name;
    std::string m_path;
};

// The message for a reader that could not be opened, with what to do about denied access.
std::string OpenFailure(const std::string& name, const std::string& path, int code);
