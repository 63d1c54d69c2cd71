// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "recording/CLineSource.h"

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <unistd.h>

namespace {
constexpr size_t kChunk = size_t{64} * 1024;
constexpr int kStopCheckMs = 50;
} // namespace

CLineSource::CLineSource(int fd, const std::atomic<bool>& stop, size_t lineLimit)
    : m_fd(fd), m_stop(stop), m_limit(lineLimit) {}

bool CLineSource::Fill() {
    if (m_ended) {
        return false;
    }
    pollfd waiting{m_fd, POLLIN, 0};
    bool idleCalled = false;
    while (!m_stop.load()) {
        const int ready = poll(&waiting, 1, idleCalled ? kStopCheckMs : 0);
        if (ready < 0 && errno != EINTR) {
            m_error = errno;
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
        // Drop what was consumed before growing the buffer.
        if (m_start > 0) {
            m_buffer.erase(0, m_start);
            m_start = 0;
        }
        const size_t old = m_buffer.size();
        m_buffer.resize(old + kChunk);
        const ssize_t n = read(m_fd, &m_buffer[old], kChunk);
        m_buffer.resize(old + size_t(n > 0 ? n : 0));
        if (n > 0) {
            return true;
        }
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
            continue;
        }
        m_error = n < 0 ? errno : 0;
        m_ended = true;
        return false;
    }
    m_stopped = true;
    return false;
}

std::string CLineSource::Peek(size_t count) {
    while (m_buffer.size() - m_start < count && Fill()) {
    }
    return m_buffer.substr(m_start, count);
}

CLineSource::Status CLineSource::Next(std::string& line) {
    size_t scanned = 0; // bytes after m_start already searched for a line end
    for (;;) {
        if (m_skipLineFeed && m_start < m_buffer.size()) {
            if (m_buffer[m_start] == '\n') {
                ++m_start;
            }
            m_skipLineFeed = false;
        }
        const char* begin = m_buffer.data() + m_start;
        const size_t available = m_buffer.size() - m_start;
        size_t end = scanned;
        while (end < available && begin[end] != '\n' && begin[end] != '\r') {
            ++end;
        }
        if (end < available) {
            m_skipLineFeed = begin[end] == '\r';
            m_start += end + 1;
            if (m_skipping) {
                // The end of a line already reported as too long.
                m_skipping = false;
                scanned = 0;
                continue;
            }
            ++m_number;
            line.assign(begin, end);
            return Status::Line;
        }
        if (m_skipping || available > m_limit) {
            // Keep memory bounded: forget the start of an overlong line, and say so at once,
            // as the line may never end.
            m_start = m_buffer.size();
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
            if (m_stopped) {
                return Status::Stopped;
            }
            if (m_error != 0) {
                return Status::Failed;
            }
            if (m_buffer.size() == m_start || m_skipping) {
                return Status::End;
            }
            // The last line has no line end.
            ++m_number;
            line.assign(m_buffer, m_start, std::string::npos);
            m_start = m_buffer.size();
            return Status::Line;
        }
    }
}
