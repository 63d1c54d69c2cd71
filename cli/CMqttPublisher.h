// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_set>
#include <vector>

struct mosquitto;

// Where a lane publishes: mqtt://[user@]host[:port]/prefix or mqtts://... (TLS, checked
// against the system's CA store).
struct CMqttTarget {
    bool tls = false;
    std::string user;
    std::string password;
    std::string host;
    int port = 1883;
    std::string prefix;

    // False with the reason when `url` is not such a URL.
    static bool Parse(const std::string& url, CMqttTarget& target, std::string& error);
    // "host:port", for messages.
    std::string Address() const;
};

// A lane's connection to its broker, on the client library's own thread. Scans are published
// with QoS 1 and held by the library while the broker is away, at most `queueLimit` of them;
// the reader list and the status are retained, with "offline" as the broker's last will. No
// call waits for the network, so the readers are never held up.
class CMqttPublisher {
public:
    CMqttPublisher(CMqttTarget target, const std::string& hostName, size_t queueLimit);
    ~CMqttPublisher();
    CMqttPublisher(const CMqttPublisher&) = delete;
    CMqttPublisher& operator=(const CMqttPublisher&) = delete;

    // Connects and waits at most `waitMs` for the broker to accept. False with the reason when
    // it refused or never answered.
    bool Start(int waitMs, std::string& error);
    // "<prefix>/<hostname>/<leaf>".
    std::string Topic(const std::string& leaf) const;
    // Queues one scan of the reader `readerKey`. False (and counted) when the bound is reached.
    bool PublishScan(const std::string& readerKey, const std::string& payload);
    // The retained reader list, published again after every reconnect.
    void PublishReaders(const std::string& payload);
    // The connection changes since the last call, as lines for the user.
    std::vector<std::string> TakeNotes();
    uint64_t Dropped() const { return m_dropped.load(); }
    // Publishes "offline", waits at most `waitMs` for the queued scans, and disconnects.
    void Stop(int waitMs);
    // The scans Stop could not deliver.
    size_t Undelivered() const { return m_undelivered; }

    // A topic level made of `text`: the characters MQTT gives a meaning ('/', '+', '#') and
    // control bytes become '_'.
    static std::string TopicLevel(const std::string& text);

private:
    static void OnConnect(mosquitto* client, void* self, int code);
    static void OnDisconnect(mosquitto* client, void* self, int code);
    static void OnPublish(mosquitto* client, void* self, int mid);
    void Note(const std::string& text);
    void PublishRetained(const std::string& topic, const std::string& payload);

    CMqttTarget m_target;
    std::string m_base; // "<prefix>/<hostname>"
    size_t m_queueLimit;
    mosquitto* m_client = nullptr;
    bool m_started = false;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_connectCode = -1; // the broker's last answer; -1 none yet
    bool m_connected = false;
    std::unordered_set<int> m_pendingScans; // message ids not yet acknowledged
    int m_offlineMid = 0;                   // the last status message, until acknowledged
    size_t m_undelivered = 0;
    std::string m_readers;
    std::vector<std::string> m_notes;
    uint64_t m_droppedNoted = 0;
    std::atomic<uint64_t> m_dropped{0};
};
