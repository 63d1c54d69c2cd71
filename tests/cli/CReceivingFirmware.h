// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "sim/CSimFirmware.h"
#include "sim/CSimReaderSet.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

// What a simulated reader received from the host, in order.
class CReceived {
public:
    enum class Kind { Output, SetFeature, GetFeature };
    struct CReport {
        Kind kind;
        std::vector<uint8_t> bytes; // for GetFeature: the requested id alone
    };

    void Add(Kind kind, const uint8_t* data, size_t length) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_reports.push_back({kind, std::vector<uint8_t>(data, data + length)});
        }
        m_changed.notify_all();
    }
    // Every report received so far, waiting a generous bound for at least `count`.
    std::vector<CReport> Wait(size_t count) {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait_for(lock, std::chrono::seconds(5),
                           [&] { return m_reports.size() >= count; });
        return m_reports;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<CReport> m_reports;
};

// A simulated reader's own firmware that also keeps what it received.
class CReceivingFirmware : public CSimFirmware {
public:
    CReceivingFirmware(CSimReaderKind kind, std::shared_ptr<CReceived> received)
        : m_inner(CreateSimFirmware(kind)), m_received(std::move(received)) {}

    void OnOutputReport(const uint8_t* data, size_t length, CSimFirmwareHost& host) override {
        m_received->Add(CReceived::Kind::Output, data, length);
        m_inner->OnOutputReport(data, length, host);
    }
    bool OnSetFeature(const uint8_t* data, size_t length) override {
        m_received->Add(CReceived::Kind::SetFeature, data, length);
        return m_inner->OnSetFeature(data, length);
    }
    bool OnGetFeature(uint8_t* buffer, size_t length) override {
        m_received->Add(CReceived::Kind::GetFeature, buffer, length > 0 ? 1 : 0);
        return m_inner->OnGetFeature(buffer, length);
    }
    void OnTick(std::chrono::steady_clock::time_point now, CSimFirmwareHost& host) override {
        m_inner->OnTick(now, host);
    }

private:
    std::unique_ptr<CSimFirmware> m_inner;
    std::shared_ptr<CReceived> m_received;
};

// The default simulated set, each reader keeping what it received in `received`.
inline std::vector<CSimReaderDefinition> ReceivingReaderSet(std::shared_ptr<CReceived> received) {
    std::vector<CSimReaderDefinition> readers = CSimReaderSet::Default();
    for (CSimReaderDefinition& reader : readers) {
        const CSimReaderKind kind = reader.kind;
        reader.firmwareFactory = [kind, received] {
            return std::make_unique<CReceivingFirmware>(kind, received);
        };
    }
    return readers;
}
