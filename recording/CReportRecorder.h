// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "platform/CHidPlatform.h"
#include "recording/CRecording.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

// Writes one reader's input reports to a recording on a thread of its own, so that whoever hands
// them over (the reader thread) only copies: it never waits for the disk. Reports queue in order
// with the time they were read; the writer takes the whole queue at once, writes it, flushes once
// per batch and lets the next batch gather for a short pause.
//
// The queue is bounded: a writer that falls more than `maxQueuedBytes` behind (a disk that has
// stalled) ends the recording with ENOBUFS instead of holding an ever-growing backlog. A write
// error ends it too. Either way what was written before is a complete recording, and the error
// is kept for the owner to tell the user.
class CReportRecorder {
public:
    using Clock = std::chrono::steady_clock;
    // About two minutes of a reader sending 8000 reports of 64 bytes a second.
    static constexpr size_t kDefaultMaxQueuedBytes = size_t(64) << 20;
    // How long the writer lets reports gather after writing a batch.
    static constexpr std::chrono::milliseconds kBatchPause{10};

    // Writes the header of `info` (named `name` in a comment) and then every report added.
    // `ended` is called once, on the writer thread, after the last line has been flushed (on the
    // calling thread, with the error, when no thread could be started).
    CReportRecorder(std::unique_ptr<std::ostream> out, const CHidInterfaceInfo& info,
                    const std::string& name, std::function<void()> ended,
                    size_t maxQueuedBytes = kDefaultMaxQueuedBytes);
    // Ends the recording and waits until everything added has been written.
    ~CReportRecorder();
    CReportRecorder(const CReportRecorder&) = delete;
    CReportRecorder& operator=(const CReportRecorder&) = delete;

    // Any thread; never waits for the disk. Ignored once the recording is ending.
    void Add(const uint8_t* report, size_t length, Clock::time_point readTime);
    // Any thread; returns at once. The writer writes what was added before, flushes and ends.
    void End();

    // Whether the writer has finished: every report it accepted is in the file.
    bool HasEnded() const;
    // The errno that ended the recording early; 0 when it ended as asked.
    int Error() const;
    // Reports written so far.
    uint64_t Written() const;

private:
    struct CEntry {
        Clock::time_point readTime;
        size_t length = 0;
    };
    // The reports waiting for the writer: their bytes end to end, and one entry per report.
    struct CBatch {
        std::vector<uint8_t> bytes;
        std::vector<CEntry> entries;
    };

    // `info` and `name` are the thread's own copies.
    void WriterThread(const CHidInterfaceInfo& info, const std::string& name);

    std::unique_ptr<std::ostream> m_out;
    std::function<void()> m_ended;
    const size_t m_maxQueuedBytes;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    CBatch m_queue;
    bool m_ending = false;
    bool m_finished = false;
    int m_error = 0;
    uint64_t m_written = 0;
    std::thread m_writer;
};
