// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <atomic>
#include <streambuf>
#include <vector>

// The terminal tool's standard output: a buffer over a file descriptor that keeps why a write
// failed (a full disk, a broken connection), which a standard stream forgets. After a failure
// nothing more is written and the stream goes bad. Once `stop` is set (Ctrl-C), a write that
// waits for a reader that does not read is given up and the rest of the output dropped, so that
// the tool still ends.
class COutputFileBuf : public std::streambuf {
public:
    explicit COutputFileBuf(int fd, const std::atomic<bool>* stop = nullptr);
    ~COutputFileBuf() override;
    COutputFileBuf(const COutputFileBuf&) = delete;
    COutputFileBuf& operator=(const COutputFileBuf&) = delete;

    // The errno of the failed write; 0 while every write went out.
    int Error() const { return m_error; }

protected:
    int_type overflow(int_type c) override;
    int sync() override;

private:
    // Writes what the buffer holds; false once a write failed.
    bool Drain();

    int m_fd;
    const std::atomic<bool>* m_stop;
    std::vector<char> m_buffer;
    int m_error = 0;
    bool m_dropping = false;
};
