// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "recording/CRecordingFile.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

// Reads one recording on threads of its own, so that the window that asked stays painted and
// takes input: one thread reads the file and hands its whole lines over a socket pair to the
// other, which parses them into a CRecordingFile. Only regular files are read; a device, FIFO
// or socket is refused before a byte is read, and the file is opened without blocking, so a
// FIFO with no writer is never waited on. Cancel stops the reading at once, and what was read
// until then stays in the file as read so far.
class CRecordingLoader {
public:
    enum class Outcome { Running, Read, Unreadable, Directory, NotRegular };

    // Starts reading `path`; `done` is called once, on a reading thread, when it has ended.
    CRecordingLoader(const std::string& path, std::function<void()> done);
    // Cancels and waits for both threads.
    ~CRecordingLoader();
    CRecordingLoader(const CRecordingLoader&) = delete;
    CRecordingLoader& operator=(const CRecordingLoader&) = delete;

    void Cancel() { m_cancel = true; }
    bool Cancelled() const { return m_cancel; }

    // Bytes read so far and the size of the file (0 until it is known).
    uint64_t BytesRead() const { return m_read; }
    uint64_t Size() const { return m_size; }

    // Once `done` was called: how it ended, the errno of an unreadable file or of a read that
    // failed part way, and what was read.
    Outcome Result() const { return m_outcome; }
    int Error() const { return m_error; }
    const std::shared_ptr<CRecordingFile>& File() const { return m_file; }

private:
    void Read(const std::string& path);
    // Reads the open file `fd` into `socket` until its end, a cancel or a parser that stopped.
    void Pump(int fd, int socket);

    std::function<void()> m_done;
    std::shared_ptr<CRecordingFile> m_file = std::make_shared<CRecordingFile>();
    std::atomic<bool> m_cancel{false};
    std::atomic<uint64_t> m_read{0};
    std::atomic<uint64_t> m_size{0};
    std::atomic<Outcome> m_outcome{Outcome::Running};
    std::atomic<int> m_error{0};
    std::thread m_thread;
};
