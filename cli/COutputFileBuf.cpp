// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "cli/COutputFileBuf.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <poll.h>
#include <unistd.h>

namespace {
constexpr size_t kBufferBytes = size_t(64) * 1024;
constexpr int kStopCheckMs = 100;
} // namespace

COutputFileBuf::COutputFileBuf(int fd, const std::atomic<bool>* stop)
    : m_fd(fd), m_stop(stop), m_buffer(kBufferBytes) {
    setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
}

COutputFileBuf::~COutputFileBuf() {
    Drain();
}

bool COutputFileBuf::Drain() {
    const char* next = pbase();
    while (m_error == 0 && !m_dropping && next < pptr()) {
        // Waits for room in bounded steps, so that a stop ends a wait for a reader that does not
        // read whichever thread the signal reached; then writes no more than a pipe takes at
        // once, so that the write itself does not wait.
        pollfd fd{m_fd, POLLOUT, 0};
        if (::poll(&fd, 1, m_stop ? kStopCheckMs : -1) <= 0) {
            m_dropping = m_stop && m_stop->load();
            continue;
        }
        const size_t chunk = std::min(size_t(pptr() - next), m_stop ? size_t(PIPE_BUF) : SIZE_MAX);
        const ssize_t written = ::write(m_fd, next, chunk);
        if (written >= 0) {
            next += written;
        } else if (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK) {
            m_error = errno;
        }
    }
    setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
    return m_error == 0;
}

COutputFileBuf::int_type COutputFileBuf::overflow(int_type c) {
    if (!Drain()) {
        return traits_type::eof();
    }
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

int COutputFileBuf::sync() {
    return Drain() ? 0 : -1;
}
