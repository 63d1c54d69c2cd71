// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "recording/CRecordingHeader.h"
#include "recording/CReplayPlatform.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// One input report of a recorded device; its bytes lie in the device's byte store.
struct CRecordedReport {
    bool timed = false;        // from an "E:" line with its time
    uint64_t microseconds = 0; // that time
    size_t offset = 0;
    size_t length = 0;
};

// One device of a recording as read: its header, its input reports as the port reads them
// and the feature answers it gives, each in file order.
struct CRecordedDevice {
    int index = 0;
    long firstLine = 0; // where the device first appears
    CRecordingHeader header;
    std::vector<uint8_t> bytes;
    std::vector<CRecordedReport> reports;
    std::vector<std::vector<uint8_t>> featureAnswers;
};

// A malformed line and why; line 0 concerns the whole file.
struct CRecordingProblem {
    long line = 0;
    std::string reason;
};

// What a load on a worker thread obeys and tells: `cancel` stops it at once (also while a
// FIFO waits for its writer), `progress` hears of the bytes read so far and the file's size
// (0 for a FIFO) every kProgressEvery bytes, on the loading thread.
struct CRecordingLoadControl {
    const std::atomic<bool>* cancel = nullptr;
    std::function<void(uint64_t read, uint64_t size)> progress;
};

// A whole recording read into memory, for playing it again as often as asked. Reading is
// bounded: by the bytes it holds (kMaxHeldBytes, kept as a problem at the line where it
// stopped), by the bytes it reads, by the lines it skips and by the time it waits for a
// complete line (a FIFO); a device node is refused without being read. A malformed "R:" line
// does not take a descriptor read before from its device. Malformed lines are skipped and kept
// as problems, the first kMaxProblemsKept of them with their reasons.
class CRecordingFile {
public:
    // Report and answer bytes plus the bookkeeping of each report.
    static constexpr size_t kMaxHeldBytes = size_t{64} * 1024 * 1024;
    static constexpr size_t kMaxProblemsKept = 5;
    // Feature answers kept per device: as many as the replay interface queues.
    static constexpr size_t kMaxFeatureAnswers = CReplayPlatform::kMaxFeatureAnswers;
    // What is read at most: far more than kMaxHeldBytes of reports take as text.
    static constexpr uint64_t kMaxReadBytes = uint64_t{1024} * 1024 * 1024;
    static constexpr uint64_t kMaxSkippedLines = 100000;
    static constexpr std::chrono::milliseconds kMaxWait{10000};
    static constexpr uint64_t kProgressEvery = uint64_t{1024} * 1024;

    // Device: a device node or socket, refused unread. Cancelled: the control's cancel.
    enum class Failure { None, Unreadable, Directory, Compressed, Device, Cancelled };

    explicit CRecordingFile(size_t maxHeldBytes = kMaxHeldBytes) : m_maxHeld(maxHeldBytes) {}

    // False when nothing could be read: Fail() says why, Error() gives the errno of an
    // unreadable file, Format() and Tool() name a compression and what undoes it.
    bool Load(const std::string& path, const CRecordingLoadControl& control = {});
    // Reads a recording from `fd` (not closed); true unless it is compressed or cancelled.
    bool Load(int fd, const CRecordingLoadControl& control = {}, uint64_t size = 0);

    Failure Fail() const { return m_failure; }
    int Error() const { return m_error; }
    const std::string& Format() const { return m_format; }
    const std::string& Tool() const { return m_tool; }

    // By device index, ascending.
    const std::vector<CRecordedDevice>& Devices() const { return m_devices; }
    const std::vector<CRecordingProblem>& Problems() const { return m_problems; }
    size_t ProblemCount() const { return m_problemCount; }
    // Lines that were recording items (headers, reports, answers).
    size_t ItemCount() const { return m_items; }
    // A read that failed part way: its errno and the line after which it failed; 0 when none.
    int ReadError() const { return m_readError; }
    long ReadErrorLine() const { return m_readErrorLine; }

private:
    class CTaker;

    CRecordedDevice& Device(int index, long line);
    void Problem(long line, std::string reason);
    // False once the file outgrows the bytes it may hold.
    bool Take(const CRecordingItem& item, long line);
    std::string HeldLimitText() const;

    size_t m_maxHeld;
    Failure m_failure = Failure::None;
    int m_error = 0;
    std::string m_format;
    std::string m_tool;
    std::vector<CRecordedDevice> m_devices;
    std::vector<CRecordingProblem> m_problems;
    size_t m_problemCount = 0;
    size_t m_items = 0;
    size_t m_held = 0;
    int m_readError = 0;
    long m_readErrorLine = 0;
};
