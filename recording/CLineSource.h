// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Lines from a file descriptor as they arrive, in bounded memory: a line ends at LF, CR or
// CR LF; a line longer than the limit is reported as too long as soon as it passes the limit,
// and the rest of it is skipped. Reading stops as soon as `stop` is set, also while it waits
// for a pipe, and, when asked, after a number of bytes or a time without a complete line.
// The descriptor may be non-blocking: the source waits in poll(), never in read().
class CLineSource {
public:
    static constexpr size_t kLineLimit = size_t{256} * 1024;

    CLineSource(int fd, const std::atomic<bool>& stop, size_t lineLimit = kLineLimit);

    // TooLong: the line passed the limit and is skipped. TooMuch: the byte limit is reached.
    // Waited: no complete line came within the wait limit.
    enum class Status { Line, TooLong, End, Stopped, Failed, TooMuch, Waited };
    // The next line without its end; `line` stays valid until the next call.
    Status Next(std::string_view& line);
    // The number of the line Next returned last, from 1.
    long Number() const { return m_number; }
    // Whether the line Next returned last ended the input without a line end.
    bool Unterminated() const { return m_unterminated; }
    // The errno of a failed read.
    int Error() const { return m_error; }
    // The bytes read from the descriptor so far.
    uint64_t BytesRead() const { return m_read; }
    // Up to `count` bytes (at most the line limit) from the start of the input, without
    // consuming them; fewer at its end.
    std::string Peek(size_t count);
    // Called before the source waits for more input (to flush what was written so far).
    void SetIdleHandler(std::function<void()> handler) { m_onIdle = std::move(handler); }
    // Stop with TooMuch after `bytes` read (0: never), with Waited after `wait` without a
    // complete line (0: never).
    void SetLimits(uint64_t bytes, std::chrono::milliseconds wait) {
        m_byteLimit = bytes;
        m_waitLimit = wait;
    }

private:
    using Clock = std::chrono::steady_clock;
    // Reads more input into the buffer; false at the end, on a failure, a limit or when stopped.
    bool Fill();
    Status Ended();

    int m_fd;
    const std::atomic<bool>& m_stop;
    size_t m_limit;
    std::vector<char> m_buffer;
    size_t m_start = 0; // the unread input is [m_start, m_end)
    size_t m_end = 0;
    bool m_skipLineFeed = false;
    bool m_skipping = false; // within a line reported as too long
    bool m_ended = false;
    bool m_unterminated = false;
    Status m_endStatus = Status::End;
    long m_number = 0;
    int m_error = 0;
    uint64_t m_read = 0;
    uint64_t m_byteLimit = 0;
    std::chrono::milliseconds m_waitLimit{0};
    Clock::time_point m_lastLine = Clock::now();
    std::function<void()> m_onIdle;
};
