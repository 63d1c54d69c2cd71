// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "recording/CRecordingOutput.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr size_t kBufferBytes = size_t{64} * 1024;
} // namespace

CRecordingOutput::CBuffer::CBuffer() : m_data(kBufferBytes) {
    setp(m_data.data(), m_data.data() + m_data.size());
}

CRecordingOutput::CBuffer::~CBuffer() {
    if (m_fd >= 0) {
        WriteOut();
        close(m_fd);
    }
}

bool CRecordingOutput::CBuffer::Open(const std::string& path, bool append) {
    // Non-blocking, so that a FIFO without a reader fails at once instead of waiting.
    m_fd =
        open(path.c_str(),
             O_WRONLY | O_CREAT | (append ? O_APPEND : O_TRUNC) | O_CLOEXEC | O_NOCTTY | O_NONBLOCK,
             0666);
    if (m_fd < 0) {
        m_error = errno;
        return false;
    }
    // What the file held already counts as whole.
    struct stat status {};
    if (append && fstat(m_fd, &status) == 0 && S_ISREG(status.st_mode)) {
        m_written = m_wholeEnd = uint64_t(status.st_size);
    }
    const int flags = fcntl(m_fd, F_GETFL);
    if (flags >= 0) {
        fcntl(m_fd, F_SETFL, flags & ~O_NONBLOCK);
    }
    return true;
}

bool CRecordingOutput::CBuffer::WriteOut() {
    const char* at = pbase();
    const char* const end = pptr();
    setp(m_data.data(), m_data.data() + m_data.size());
    if (at == end) {
        return m_error == 0;
    }
    if (m_error != 0 || m_fd < 0) {
        m_error = m_error != 0 ? m_error : EBADF;
        return false;
    }
    while (at < end) {
        const ssize_t n = ::write(m_fd, at, size_t(end - at));
        if (n > 0) {
            const void* lastLineEnd = memrchr(at, '\n', size_t(n));
            if (lastLineEnd) {
                m_wholeEnd = m_written + uint64_t(static_cast<const char*>(lastLineEnd) - at) + 1;
            }
            m_written += uint64_t(n);
            at += n;
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        m_error = n < 0 ? errno : ENOSPC;
        // Cut the torn line off; the errno of the write is what the caller hears.
        if (m_written != m_wholeEnd && ftruncate(m_fd, off_t(m_wholeEnd)) == 0) {
            m_written = m_wholeEnd;
        }
        errno = m_error;
        return false;
    }
    return true;
}

CRecordingOutput::CBuffer::int_type CRecordingOutput::CBuffer::overflow(int_type c) {
    if (!WriteOut()) {
        return traits_type::eof();
    }
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

int CRecordingOutput::CBuffer::sync() {
    return WriteOut() ? 0 : -1;
}

CRecordingOutput::CRecordingOutput() : std::ostream(nullptr) {
    rdbuf(&m_buffer);
}

CRecordingOutput::~CRecordingOutput() {
    m_buffer.pubsync();
}

bool CRecordingOutput::Open(const std::string& path, bool append) {
    if (!m_buffer.Open(path, append)) {
        setstate(std::ios::failbit);
        return false;
    }
    return true;
}
