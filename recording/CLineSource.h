// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>

// Lines from a file descriptor as they arrive, in bounded memory: a line ends at LF, CR or
// CR LF; a line longer than the limit is reported as too long as soon as it passes the limit,
// and the rest of it is skipped. Reading stops as
// soon as `stop` is set, also while it waits for a pipe.
class CLineSource {
public:
    static constexpr size_t kLineLimit = size_t{256} * 1024;

    CLineSource(int fd, const std::atomic<bool>& stop, size_t lineLimit = kLineLimit);

    enum class Status { Line, TooLong, End, Stopped, Failed };
    // The next line without its end. TooLong: the line passed the limit and is skipped.
    Status Next(std::string& line);
    // The number of the line Next returned last, from 1.
    long Number() const { return m_number; }
    // The errno of a failed read.
    int Error() const { return m_error; }
    // Up to `count` bytes from the start of the input, without consuming them; fewer at its end.
    std::string Peek(size_t count);
    // Called before the source waits for more input (to flush what was written so far).
    void SetIdleHandler(std::function<void()> handler) { m_onIdle = std::move(handler); }

private:
    // Reads more input into the buffer; false at the end, on a failure or when stopped.
    bool Fill();

    int m_fd;
    const std::atomic<bool>& m_stop;
    size_t m_limit;
    std::string m_buffer;
    size_t m_start = 0;
    bool m_skipLineFeed = false;
    bool m_skipping = false; // within a line reported as too long
    bool m_ended = false;
    bool m_stopped = false;
    long m_number = 0;
    int m_error = 0;
    std::function<void()> m_onIdle;
};
