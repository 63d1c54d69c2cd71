// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <mosquitto.h>

#include <arpa/inet.h>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <netinet/in.h>
#include <pwd.h>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

// A mosquitto of its own on 127.0.0.1 and a free port, with a temporary configuration and
// persistence, so that a subscriber's session outlives a restart. Stopped when destroyed;
// Running() tells whether it came up.
class CLocalBroker {
public:
    // `passwords`: "user:password" lines; empty for anonymous access.
    explicit CLocalBroker(const std::vector<std::string>& passwords = {}) {
        char dir[] = "/tmp/vantrel-brokerXXXXXX";
        m_dir = mkdtemp(dir);
        m_port = FreePort();
        std::ofstream config(m_dir + "/mosquitto.conf");
        config << "listener " << m_port << " 127.0.0.1\n"
               << "persistence true\npersistence_location " << m_dir << "/\n"
               << "log_dest file " << m_dir
               << "/log\nlog_type error\n"
               // Run as root, mosquitto would become its own user, who cannot write here.
               << "user " << getpwuid(getuid())->pw_name << "\n";
        if (passwords.empty()) {
            config << "allow_anonymous true\n";
        } else {
            config << "allow_anonymous false\npassword_file " << m_dir << "/passwords\n";
            for (const std::string& entry : passwords) {
                const size_t colon = entry.find(':');
                const std::string command = "mosquitto_passwd -b " + m_dir + "/passwords " +
                                            entry.substr(0, colon) + " " + entry.substr(colon + 1) +
                                            " 2>/dev/null";
                if (std::system(("touch " + m_dir + "/passwords && " + command).c_str()) != 0) {
                    return;
                }
            }
        }
        config.close();
        Start();
    }
    ~CLocalBroker() {
        Stop();
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }
    CLocalBroker(const CLocalBroker&) = delete;
    CLocalBroker& operator=(const CLocalBroker&) = delete;

    bool Running() const { return m_running; }
    int Port() const { return m_port; }
    std::string Url(const std::string& prefix) const {
        return "mqtt://127.0.0.1:" + std::to_string(m_port) + "/" + prefix;
    }

    bool Start() {
        m_pid = fork();
        if (m_pid == 0) {
            const int output =
                open((m_dir + "/output").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
            dup2(output, STDERR_FILENO);
            execlp("mosquitto", "mosquitto", "-c", (m_dir + "/mosquitto.conf").c_str(), nullptr);
            _exit(127);
        }
        // Ready when it accepts a connection.
        for (int i = 0; i < 200; ++i) {
            if (Accepts()) {
                m_running = true;
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
        }
        return false;
    }
    void Stop() {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
            m_pid = -1;
            m_running = false;
        }
    }

    // A port nothing listens on now.
    static int FreePort() {
        const int fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        socklen_t length = sizeof address;
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
        close(fd);
        return ntohs(address.sin_port);
    }

private:
    bool Accepts() const {
        const int fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(uint16_t(m_port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const bool ok = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        close(fd);
        return ok;
    }

    std::string m_dir;
    int m_port = 0;
    pid_t m_pid = -1;
    bool m_running = false;
};

// A subscriber to "<filter>" that keeps every message, retained ones marked; with a persistent
// session (QoS 1), so that what is published while it is away reaches it when it is back.
class CSubscriber {
public:
    struct CMessage {
        std::string topic;
        std::string payload;
        bool retained;
    };

    CSubscriber(int port, const std::string& filter) : m_filter(filter) {
        mosquitto_lib_init();
        static int s_count = 0;
        const std::string id =
            "vantrel-test-" + std::to_string(getpid()) + "-" + std::to_string(++s_count);
        m_client = mosquitto_new(id.c_str(), false, this);
        mosquitto_connect_callback_set(m_client, [](mosquitto* client, void* self, int code) {
            if (code == 0) {
                mosquitto_subscribe(client, nullptr,
                                    static_cast<CSubscriber*>(self)->m_filter.c_str(), 1);
            }
        });
        mosquitto_message_callback_set(
            m_client, [](mosquitto*, void* self, const mosquitto_message* message) {
                auto& subscriber = *static_cast<CSubscriber*>(self);
                if (subscriber.m_observer) {
                    subscriber.m_observer({message->topic,
                                           std::string(static_cast<const char*>(message->payload),
                                                       size_t(message->payloadlen)),
                                           message->retain});
                }
                {
                    std::lock_guard<std::mutex> lock(subscriber.m_mutex);
                    subscriber.m_messages.push_back(
                        {message->topic,
                         std::string(static_cast<const char*>(message->payload),
                                     size_t(message->payloadlen)),
                         message->retain});
                }
                subscriber.m_arrived.notify_all();
            });
        mosquitto_reconnect_delay_set(m_client, 1, 1, false);
        m_connected = mosquitto_connect(m_client, "127.0.0.1", port, 30) == MOSQ_ERR_SUCCESS &&
                      mosquitto_loop_start(m_client) == MOSQ_ERR_SUCCESS;
    }
    ~CSubscriber() {
        // The loop ends by itself after the disconnect; cancelling it could leave a lock held.
        mosquitto_disconnect(m_client);
        mosquitto_loop_stop(m_client, !m_connected);
        mosquitto_destroy(m_client);
    }
    CSubscriber(const CSubscriber&) = delete;
    CSubscriber& operator=(const CSubscriber&) = delete;

    // Whether the first connection was made.
    bool Connected() const { return m_connected; }
    // Called on the client's thread for each message, before it is kept.
    void OnMessage(std::function<void(const CMessage&)> observer) {
        m_observer = std::move(observer);
    }

    // Waits at most 10 s until `done` holds for the messages so far; false when it never did.
    bool WaitFor(const std::function<bool(const std::vector<CMessage>&)>& done) {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_arrived.wait_for(lock, std::chrono::seconds(10), [&] { return done(m_messages); });
    }
    // The messages whose topic ends with `suffix`.
    std::vector<CMessage> On(const std::string& suffix) {
        std::lock_guard<std::mutex> lock(m_mutex);
        return Select(m_messages, suffix);
    }
    static std::vector<CMessage> Select(const std::vector<CMessage>& messages,
                                        const std::string& suffix) {
        std::vector<CMessage> chosen;
        for (const CMessage& message : messages) {
            if (message.topic.size() >= suffix.size() &&
                message.topic.compare(message.topic.size() - suffix.size(), suffix.size(),
                                      suffix) == 0) {
                chosen.push_back(message);
            }
        }
        return chosen;
    }

private:
    std::string m_filter;
    mosquitto* m_client = nullptr;
    bool m_connected = false;
    std::function<void(const CMessage&)> m_observer;
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::vector<CMessage> m_messages;
};
