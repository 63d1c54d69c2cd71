// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "platform/CHidPlatform.h"

#include <deque>
#include <memory>
#include <utility>
#include <vector>

// One interface that plays back a recording: it counts as open, its output reports and set
// feature reports succeed and go nowhere, and each get-feature read takes the next queued
// answer (a read with none queued fails as a real one would). Input never arrives through it:
// the replay hands the recorded reports to the device type itself.
class CReplayPlatform : public CHidPlatform {
public:
    static constexpr const char* kPath = "replay";
    // Answers queued at most, so that a recording of answers alone stays in bounded memory.
    static constexpr size_t kMaxFeatureAnswers = 1024;

    CReplayPlatform() : m_state(std::make_shared<CState>()) {}
    CReplayPlatform(const CHidCaps& caps, const CHidAttributes& attributes) : CReplayPlatform() {
        SetInterface(caps, attributes);
    }

    // What the interface reports once opened.
    void SetInterface(const CHidCaps& caps, const CHidAttributes& attributes) {
        m_state->caps = caps;
        m_state->attributes = attributes;
    }
    // The descriptor the interface declares (empty: none), for where its fields lie.
    void SetReportDescriptor(std::vector<uint8_t> descriptor) {
        m_state->reportDescriptor = std::move(descriptor);
    }
    // False when kMaxFeatureAnswers are already waiting.
    bool QueueFeatureAnswer(std::vector<uint8_t> answer) {
        if (m_state->featureAnswers.size() >= kMaxFeatureAnswers) {
            return false;
        }
        m_state->featureAnswers.push_back(std::move(answer));
        return true;
    }

    bool EnumerateInterfaces(std::vector<CHidInterfaceInfo>& interfaces, int& error) override;
    std::unique_ptr<CHidConnection> Open(const std::string& path, int& error) override;
    std::unique_ptr<CHidDeviceMonitor> CreateMonitor(int& error) override;

    struct CState {
        CHidCaps caps;
        CHidAttributes attributes;
        std::vector<uint8_t> reportDescriptor;
        std::deque<std::vector<uint8_t>> featureAnswers;
    };

private:
    std::shared_ptr<CState> m_state;
};
