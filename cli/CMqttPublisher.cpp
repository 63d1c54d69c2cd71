// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "cli/CMqttPublisher.h"

#include <mosquitto.h>

#include <chrono>
#include <climits>
#include <cstdlib>
#include <mutex>
#include <unistd.h>

namespace {

constexpr int kKeepAliveSeconds = 30;
constexpr unsigned kReconnectDelayMin = 1;
constexpr unsigned kReconnectDelayMax = 30;
constexpr int kQos = 1;

void InitialiseLibrary() {
    static std::once_flag once;
    std::call_once(once, [] { mosquitto_lib_init(); });
}

} // namespace

bool CMqttTarget::Parse(const std::string& url, CMqttTarget& target, std::string& error) {
    target = CMqttTarget();
    std::string rest;
    if (url.rfind("mqtt://", 0) == 0) {
        rest = url.substr(7);
    } else if (url.rfind("mqtts://", 0) == 0) {
        target.tls = true;
        target.port = 8883;
        rest = url.substr(8);
    } else {
        error = "the broker URL must start with mqtt:// or mqtts://";
        return false;
    }
    const size_t slash = rest.find('/');
    std::string authority = rest.substr(0, slash);
    target.prefix = slash == std::string::npos ? std::string() : rest.substr(slash + 1);
    while (!target.prefix.empty() && target.prefix.back() == '/') {
        target.prefix.pop_back();
    }
    if (target.prefix.empty() || target.prefix.find_first_of("+#") != std::string::npos) {
        error = "the broker URL needs a topic prefix without + or # after the host "
                "(mqtt://host/lanes)";
        return false;
    }
    const size_t at = authority.rfind('@');
    if (at != std::string::npos) {
        target.user = authority.substr(0, at);
        authority.erase(0, at + 1);
        if (target.user.find(':') != std::string::npos) {
            error = "the broker URL must not hold a password: use --mqtt-password-file";
            return false;
        }
    }
    const size_t colon = authority.rfind(':');
    if (colon != std::string::npos && authority.find(']') == std::string::npos) {
        char* end = nullptr;
        const std::string port = authority.substr(colon + 1);
        const long value = std::strtol(port.c_str(), &end, 10);
        if (port.empty() || *end != '\0' || value < 1 || value > 65535) {
            error = "the broker URL's port must be a number from 1 to 65535";
            return false;
        }
        target.port = int(value);
        authority.erase(colon);
    }
    if (authority.empty()) {
        error = "the broker URL names no host";
        return false;
    }
    target.host = authority;
    return true;
}

std::string CMqttTarget::Address() const {
    return host + ":" + std::to_string(port);
}

std::string CMqttPublisher::TopicLevel(const std::string& text) {
    std::string level = text;
    for (char& c : level) {
        if (c == '/' || c == '+' || c == '#' || static_cast<unsigned char>(c) < 0x20) {
            c = '_';
        }
    }
    return level.empty() ? std::string("_") : level;
}

CMqttPublisher::CMqttPublisher(CMqttTarget target, const std::string& hostName, size_t queueLimit)
    : m_target(std::move(target)), m_base(m_target.prefix + "/" + TopicLevel(hostName)),
      m_queueLimit(queueLimit) {
    InitialiseLibrary();
    const std::string clientId = "vantrel-" + TopicLevel(hostName) + "-" + std::to_string(getpid());
    m_client = mosquitto_new(clientId.c_str(), true, this);
}

CMqttPublisher::~CMqttPublisher() {
    if (m_client) {
        if (m_started) {
            // Connected, the loop ends after the disconnect; else it may wait for a retry and
            // is cancelled.
            mosquitto_disconnect(m_client);
            mosquitto_loop_stop(m_client, m_connectCode != 0);
        }
        mosquitto_destroy(m_client);
    }
}

std::string CMqttPublisher::Topic(const std::string& leaf) const {
    return m_base + "/" + leaf;
}

bool CMqttPublisher::Start(int waitMs, std::string& error) {
    const std::string where = "the MQTT broker " + m_target.Address();
    if (!m_client) {
        error = "cannot make an MQTT client: out of memory";
        return false;
    }
    const std::string status = Topic("status");
    mosquitto_will_set(m_client, status.c_str(), 7, "offline", kQos, true);
    if (!m_target.user.empty()) {
        mosquitto_username_pw_set(m_client, m_target.user.c_str(),
                                  m_target.password.empty() ? nullptr : m_target.password.c_str());
    }
    if (m_target.tls) {
        mosquitto_int_option(m_client, MOSQ_OPT_TLS_USE_OS_CERTS, 1);
    }
    mosquitto_reconnect_delay_set(m_client, kReconnectDelayMin, kReconnectDelayMax, true);
    mosquitto_connect_callback_set(m_client, &CMqttPublisher::OnConnect);
    mosquitto_disconnect_callback_set(m_client, &CMqttPublisher::OnDisconnect);
    mosquitto_publish_callback_set(m_client, &CMqttPublisher::OnPublish);
    const int rc =
        mosquitto_connect_async(m_client, m_target.host.c_str(), m_target.port, kKeepAliveSeconds);
    // A refused or unreachable broker is tried again by the loop; a name that does not
    // resolve or bad options are final.
    if (rc != MOSQ_ERR_SUCCESS && rc != MOSQ_ERR_ERRNO) {
        error = "cannot connect to " + where + ": " + mosquitto_strerror(rc);
        return false;
    }
    if (mosquitto_loop_start(m_client) != MOSQ_ERR_SUCCESS) {
        error = "cannot start the MQTT client's thread";
        return false;
    }
    m_started = true;
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait_for(lock, std::chrono::milliseconds(waitMs),
                       [this] { return m_connectCode >= 0; });
    if (m_connectCode < 0) {
        error = where + " did not answer within " + std::to_string(waitMs / 1000) +
                " s: check that it runs and that the URL's host and port are right "
                "(--mqtt-wait gives it longer)";
        return false;
    }
    if (m_connectCode != 0) {
        error = where + " refused the connection: " + mosquitto_connack_string(m_connectCode) +
                (m_connectCode == 4 || m_connectCode == 5
                     ? " (check the user in the URL and the --mqtt-password-file)"
                     : "");
        return false;
    }
    m_notes.clear();
    return true;
}

void CMqttPublisher::PublishRetained(const std::string& topic, const std::string& payload) {
    mosquitto_publish(m_client, nullptr, topic.c_str(), int(payload.size()), payload.data(), kQos,
                      true);
}

bool CMqttPublisher::PublishScan(const std::string& readerKey, const std::string& payload) {
    const std::string topic = Topic(TopicLevel(readerKey) + "/scan");
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_pendingScans.size() >= m_queueLimit) {
        if (m_dropped.fetch_add(1) == m_droppedNoted) {
            m_notes.push_back("the MQTT queue holds " + std::to_string(m_queueLimit) +
                              " scans: further scans are dropped until " + m_target.Address() +
                              " takes them");
        }
        return false;
    }
    int mid = 0;
    // While the broker is away the library keeps the message and sends it after reconnecting.
    const int rc = mosquitto_publish(m_client, &mid, topic.c_str(), int(payload.size()),
                                     payload.data(), kQos, false);
    if (rc != MOSQ_ERR_SUCCESS && rc != MOSQ_ERR_NO_CONN) {
        m_dropped.fetch_add(1);
        m_notes.push_back(std::string("a scan could not be queued for MQTT: ") +
                          mosquitto_strerror(rc));
        return false;
    }
    m_pendingScans.insert(mid);
    return true;
}

void CMqttPublisher::PublishReaders(const std::string& payload) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_readers = payload;
    }
    PublishRetained(Topic("readers"), payload);
}

std::vector<std::string> CMqttPublisher::TakeNotes() {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<std::string> notes;
    notes.swap(m_notes);
    return notes;
}

void CMqttPublisher::Stop(int waitMs) {
    if (!m_started) {
        return;
    }
    const std::string status = Topic("status");
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        // Without the broker nothing more can be delivered: the will says offline for us.
        if (m_connected) {
            int mid = 0;
            mosquitto_publish(m_client, &mid, status.c_str(), 7, "offline", kQos, true);
            m_offlineMid = mid;
            m_changed.wait_for(lock, std::chrono::milliseconds(waitMs),
                               [this] { return m_pendingScans.empty() && m_offlineMid == 0; });
        }
        m_undelivered = m_pendingScans.size();
    }
    mosquitto_disconnect(m_client);
    mosquitto_loop_stop(m_client, false);
    m_started = false;
}

void CMqttPublisher::Note(const std::string& text) {
    m_notes.push_back(text);
}

void CMqttPublisher::OnConnect(mosquitto*, void* self, int code) {
    auto& publisher = *static_cast<CMqttPublisher*>(self);
    std::string readers;
    {
        std::lock_guard<std::mutex> lock(publisher.m_mutex);
        const bool again = publisher.m_connectCode == 0 || publisher.m_connected;
        publisher.m_connectCode = code;
        publisher.m_connected = code == 0;
        const std::string where = "the MQTT broker " + publisher.m_target.Address();
        if (code != 0) {
            publisher.Note(where + " refused the connection: " + mosquitto_connack_string(code));
        } else if (again) {
            std::string text = "connected to " + where + " again";
            const uint64_t dropped = publisher.m_dropped.load();
            if (dropped > publisher.m_droppedNoted) {
                text += "; " + std::to_string(dropped - publisher.m_droppedNoted) +
                        " scans were dropped while it was away";
                publisher.m_droppedNoted = dropped;
            }
            publisher.Note(text);
        }
        readers = publisher.m_readers;
    }
    publisher.m_changed.notify_all();
    if (code == 0) {
        publisher.PublishRetained(publisher.Topic("status"), "online");
        if (!readers.empty()) {
            publisher.PublishRetained(publisher.Topic("readers"), readers);
        }
    }
}

void CMqttPublisher::OnDisconnect(mosquitto*, void* self, int code) {
    auto& publisher = *static_cast<CMqttPublisher*>(self);
    {
        std::lock_guard<std::mutex> lock(publisher.m_mutex);
        const bool was = publisher.m_connected;
        publisher.m_connected = false;
        if (code != 0 && was) {
            publisher.Note("lost the connection to the MQTT broker " +
                           publisher.m_target.Address() + "; reconnecting, holding at most " +
                           std::to_string(publisher.m_queueLimit) + " scans");
        }
    }
    publisher.m_changed.notify_all();
}

void CMqttPublisher::OnPublish(mosquitto*, void* self, int mid) {
    auto& publisher = *static_cast<CMqttPublisher*>(self);
    {
        std::lock_guard<std::mutex> lock(publisher.m_mutex);
        publisher.m_pendingScans.erase(mid);
        if (mid == publisher.m_offlineMid) {
            publisher.m_offlineMid = 0;
        }
    }
    publisher.m_changed.notify_all();
}
