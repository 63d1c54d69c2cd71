// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "recording/CCapturePlatform.h"

#include "platform/CUniqueFd.h"
#include "recording/CReplayPlatform.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <sys/timerfd.h>

namespace {

uint64_t NowNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return uint64_t(now.tv_sec) * 1000000000U + uint64_t(now.tv_nsec);
}

// Plays one recorded device. Its timer becomes readable when the next report is due, so the
// reader thread wakes for it as for a report that hidraw holds; only the reader thread reads
// reports, and only the GUI thread writes and asks for features (through the replay
// connection, which answers them from the recording).
class CCaptureConnection : public CHidConnection {
public:
    CCaptureConnection(std::shared_ptr<const CRecordingFile> file, size_t device, bool paced,
                       std::unique_ptr<CHidConnection> replay, CUniqueFd timer)
        : m_file(std::move(file)), m_device(m_file->Devices()[device]), m_paced(paced),
          m_replay(std::move(replay)), m_timer(std::move(timer)), m_due(NowNs()) {
        Schedule();
    }

    int PollFd() const override { return m_timer.Get(); }
    long ReadReport(uint8_t* buffer, size_t capacity, int& error) override {
        if (m_next >= m_device.reports.size() || m_due > NowNs()) {
            error = EAGAIN;
            return -1;
        }
        const CRecordedReport& report = m_device.reports[m_next++];
        const size_t length = std::min(capacity, report.length);
        // A device of empty reports holds no bytes at all: there is nothing to copy from.
        if (length > 0) {
            std::memcpy(buffer, m_device.bytes.data() + report.offset, length);
        }
        Schedule();
        return long(length);
    }
    bool WriteReport(const uint8_t* data, size_t length, int timeoutMs, int& error) override {
        return m_replay->WriteReport(data, length, timeoutMs, error);
    }
    bool GetFeature(uint8_t* buffer, size_t length, int& error) override {
        return m_replay->GetFeature(buffer, length, error);
    }
    bool SetFeature(const uint8_t* data, size_t length, int& error) override {
        return m_replay->SetFeature(data, length, error);
    }
    CHidCaps Caps() const override { return m_replay->Caps(); }
    std::vector<uint8_t> ReportDescriptor() const override { return m_device.header.Descriptor(); }
    bool GetAttributes(CHidAttributes& attributes, int& error) const override {
        return m_replay->GetAttributes(attributes, error);
    }

private:
    // Arms the timer for the next report, or disarms it after the last. Setting the timer
    // also clears an expiry not yet read, so the descriptor is readable exactly while a
    // report is due.
    void Schedule() {
        itimerspec when{};
        if (m_next < m_device.reports.size()) {
            const CRecordedReport& report = m_device.reports[m_next];
            if (m_paced && report.timed) {
                if (!m_hasBase) {
                    m_base = report.microseconds;
                    m_start = m_due;
                    m_hasBase = true;
                }
                // A time before the one of the report before plays at once.
                const uint64_t offset =
                    report.microseconds > m_base ? (report.microseconds - m_base) * 1000 : 0;
                m_due = std::max(m_due, m_start + offset);
            }
            when.it_value.tv_sec = time_t(m_due / 1000000000U);
            when.it_value.tv_nsec = long(m_due % 1000000000U);
        }
        timerfd_settime(m_timer.Get(), TFD_TIMER_ABSTIME, &when, nullptr);
    }

    std::shared_ptr<const CRecordingFile> m_file;
    const CRecordedDevice& m_device;
    const bool m_paced;
    std::unique_ptr<CHidConnection> m_replay;
    CUniqueFd m_timer;
    size_t m_next = 0;
    uint64_t m_due;       // when the next report is due, CLOCK_MONOTONIC nanoseconds
    uint64_t m_start = 0; // when the first timed report was due
    uint64_t m_base = 0;  // the recorded time of the first timed report
    bool m_hasBase = false;
};

} // namespace

std::string CCapturePlatform::Add(std::shared_ptr<const CRecordingFile> file, size_t device,
                                  std::string entryName) {
    std::string path = kPathPrefix + std::to_string(m_entries.size());
    m_entries.push_back({path, std::move(entryName), std::move(file), device});
    return path;
}

bool CCapturePlatform::IsCapture(const std::string& path) const {
    return std::any_of(m_entries.begin(), m_entries.end(),
                       [&](const CEntry& entry) { return entry.path == path; });
}

bool CCapturePlatform::HasEntry(const std::string& entryName) const {
    return std::any_of(m_entries.begin(), m_entries.end(),
                       [&](const CEntry& entry) { return entry.name == entryName; });
}

bool CCapturePlatform::EnumerateInterfaces(std::vector<CHidInterfaceInfo>& interfaces, int& error) {
    const bool live = m_live.EnumerateInterfaces(interfaces, error);
    for (const CEntry& entry : m_entries) {
        const CRecordingHeader& header = entry.file->Devices()[entry.device].header;
        CHidInterfaceInfo info;
        info.path = entry.path;
        info.attributes = header.Attributes();
        info.caps = header.Caps();
        info.collections.emplace_back(info.caps.usagePage, info.caps.usage);
        info.reportDescriptor = header.Descriptor();
        info.listName = entry.name;
        info.hidName = header.Name();
        info.busType = header.Bus();
        interfaces.push_back(std::move(info));
    }
    // Recordings stay listed when the live readers cannot be enumerated.
    return live || !m_entries.empty();
}

std::unique_ptr<CHidConnection> CCapturePlatform::Open(const std::string& path, int& error) {
    const auto entry = std::find_if(m_entries.begin(), m_entries.end(),
                                    [&](const CEntry& e) { return e.path == path; });
    if (entry == m_entries.end()) {
        return m_live.Open(path, error);
    }
    const CRecordedDevice& device = entry->file->Devices()[entry->device];
    CReplayPlatform replay(device.header.Caps(), device.header.Attributes());
    for (const std::vector<uint8_t>& answer : device.featureAnswers) {
        replay.QueueFeatureAnswer(answer);
    }
    std::unique_ptr<CHidConnection> answers = replay.Open(CReplayPlatform::kPath, error);
    CUniqueFd timer(timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC | TFD_NONBLOCK));
    if (!answers || !timer.IsValid()) {
        if (!timer.IsValid()) {
            error = errno;
        }
        return nullptr;
    }
    return std::make_unique<CCaptureConnection>(entry->file, entry->device, m_paced,
                                                std::move(answers), std::move(timer));
}
