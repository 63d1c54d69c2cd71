// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "recording/CReportRecorder.h"

#include <cerrno>
#include <system_error>

CReportRecorder::CReportRecorder(std::unique_ptr<std::ostream> out, const CHidInterfaceInfo& info,
                                 const std::string& name, std::function<void()> ended,
                                 size_t maxQueuedBytes)
    : m_out(std::move(out)), m_ended(std::move(ended)), m_maxQueuedBytes(maxQueuedBytes) {
    try {
        m_writer = std::thread(&CReportRecorder::WriterThread, this, info, name);
    } catch (const std::system_error& e) {
        // No thread, no recording: it ends at once with the reason.
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_error = e.code().value() != 0 ? e.code().value() : EAGAIN;
            m_ending = true;
            m_finished = true;
        }
        m_out.reset();
        if (m_ended) {
            m_ended();
        }
    }
}

CReportRecorder::~CReportRecorder() {
    End();
    if (m_writer.joinable()) {
        m_writer.join();
    }
}

void CReportRecorder::Add(const uint8_t* report, size_t length, Clock::time_point readTime) {
    bool wake = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_ending) {
            return;
        }
        if (m_queue.bytes.size() + length > m_maxQueuedBytes) {
            m_error = ENOBUFS;
            m_ending = true;
            wake = true;
        } else {
            wake = m_queue.entries.empty();
            m_queue.bytes.insert(m_queue.bytes.end(), report, report + length);
            m_queue.entries.push_back({readTime, length});
        }
    }
    if (wake) {
        m_wake.notify_one();
    }
}

void CReportRecorder::End() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_ending = true;
    }
    m_wake.notify_one();
}

bool CReportRecorder::HasEnded() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_finished;
}

int CReportRecorder::Error() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_error;
}

uint64_t CReportRecorder::Written() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_written;
}

void CReportRecorder::WriterThread(const CHidInterfaceInfo& info, const std::string& name) {
    CRecordingWriter writer(*m_out, false);
    writer.AddDevice(info, name);
    CBatch batch;
    bool ending = false;
    while (writer.Good() && !ending) {
        batch.bytes.clear();
        batch.entries.clear();
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [this] { return m_ending || !m_queue.entries.empty(); });
            // What was added before the end is still written; a queue that overflowed is not
            // kept waiting either, since its reports came in order up to the overflow.
            std::swap(batch, m_queue);
            ending = m_ending;
        }
        size_t at = 0;
        for (const CEntry& entry : batch.entries) {
            writer.BufferInput(0, batch.bytes.data() + at, entry.length, entry.readTime);
            at += entry.length;
        }
        if (!writer.Flush()) {
            break;
        }
        std::unique_lock<std::mutex> lock(m_mutex);
        m_written += batch.entries.size();
        // The reports of a while go out together: a flooding reader costs a flush per pause,
        // not one per report. An end is not kept waiting.
        if (!ending) {
            m_wake.wait_for(lock, kBatchPause, [this] { return m_ending; });
        }
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_ending = true;
        if (m_error == 0) {
            m_error = writer.Error();
        }
        // Reports still queued after a failed write are not written.
        m_queue = CBatch();
    }
    m_out.reset();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_finished = true;
    }
    if (m_ended) {
        m_ended();
    }
}
