// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "recording/CLineSource.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <unistd.h>

namespace {
constexpr size_t kChunk = size_t{128} * 1024;
constexpr int kStopCheckMs = 50;
} // namespace

CLineSource::CLineSource(int fd, const std::atomic<bool>& stop, size_t lineLimit)
    : m_fd(fd), m_stop(stop), m_limit(lineLimit), m_buffer(lineLimit + 1 + kChunk) {}

bool CLineSource::Fill() {
    if (m_ended) {
        return false;
    }
    // Keep the start of the line being read; what was consumed before it goes.
    if (m_start > 0) {
        std::memmove(m_buffer.data(), m_buffer.data() + m_start, m_end - m_start);
        m_end -= m_start;
        m_start = 0;
    }
    pollfd waiting{m_fd, POLLIN, 0};
    bool idleCalled = false;
    while (!m_stop.load(std::memory_order_relaxed)) {
        if (m_byteLimit > 0 && m_read >= m_byteLimit) {
            m_endStatus = Status::TooMuch;
            m_ended = true;
            return false;
        }
        if (m_waitLimit.count() > 0 && Clock::now() - m_lastLine > m_waitLimit) {
            m_endStatus = Status::Waited;
            m_ended = true;
            return false;
        }
        const int ready = poll(&waiting, 1, idleCalled ? kStopCheckMs : 0);
        if (ready < 0 && errno != EINTR) {
            m_error = errno;
            m_endStatus = Status::Failed;
            m_ended = true;
            return false;
        }
        if (ready <= 0) {
            if (!idleCalled && m_onIdle) {
                m_onIdle();
            }
            idleCalled = true;
            continue;
        }
        size_t room = m_buffer.size() - m_end;
        if (m_byteLimit > 0) {
            room = size_t(std::min<uint64_t>(room, m_byteLimit - m_read));
        }
        const ssize_t n = read(m_fd, m_buffer.data() + m_end, room);
        if (n > 0) {
            m_end += size_t(n);
            m_read += uint64_t(n);
            return true;
        }
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
            continue;
        }
        m_error = n < 0 ? errno : 0;
        m_endStatus = n < 0 ? Status::Failed : Status::End;
        m_ended = true;
        return false;
    }
    m_endStatus = Status::Stopped;
    return false;
}

std::string CLineSource::Peek(size_t count) {
    count = std::min(count, m_limit);
    while (m_end - m_start < count && Fill()) {
    }
    return std::string(m_buffer.data() + m_start, std::min(count, m_end - m_start));
}

CLineSource::Status CLineSource::Ended() {
    if (m_stop.load(std::memory_order_relaxed)) {
        return Status::Stopped;
    }
    return m_endStatus;
}

CLineSource::Status CLineSource::Next(std::string_view& line) {
    size_t scanned = 0; // bytes after m_start already searched for a line end
    for (;;) {
        if (m_skipLineFeed && m_start < m_end) {
            if (m_buffer[m_start] == '\n') {
                ++m_start;
            }
            m_skipLineFeed = false;
        }
        const char* begin = m_buffer.data() + m_start;
        const size_t available = m_end - m_start;
        // LF ends nearly every line; a CR before it ends a line of its own.
        const void* lf = std::memchr(begin + scanned, '\n', available - scanned);
        const size_t lfAt = lf ? size_t(static_cast<const char*>(lf) - begin) : available;
        const void* cr = std::memchr(begin + scanned, '\r', lfAt - scanned);
        const size_t end = cr ? size_t(static_cast<const char*>(cr) - begin) : lfAt;
        if (end < available) {
            m_skipLineFeed = begin[end] == '\r';
            m_start += end + 1;
            if (m_skipping || end > m_limit) {
                // The end of a line too long to take: reported once, as soon as it was seen.
                const bool reported = m_skipping;
                m_skipping = false;
                scanned = 0;
                if (reported) {
                    continue;
                }
                ++m_number;
                return Status::TooLong;
            }
            ++m_number;
            m_lastLine = Clock::now();
            line = std::string_view(begin, end);
            return Status::Line;
        }
        if (m_skipping || available > m_limit) {
            // Keep memory bounded: forget the start of an overlong line, and say so at once,
            // as the line may never end.
            m_start = m_end;
            scanned = 0;
            if (!m_skipping) {
                m_skipping = true;
                ++m_number;
                return Status::TooLong;
            }
        } else {
            scanned = available;
        }
        if (!Fill()) {
            const Status status = Ended();
            if (status != Status::End) {
                return status;
            }
            if (m_start == m_end || m_skipping) {
                return Status::End;
            }
            // The last line has no line end.
            ++m_number;
            m_unterminated = true;
            line = std::string_view(m_buffer.data() + m_start, m_end - m_start);
            m_start = m_end;
            return Status::Line;
        }
    }
}
