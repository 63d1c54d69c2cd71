// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <cstdint>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

// A recording file written through a stream that never leaves a torn line: when a write fails
// or falls short (a full disk), the file is cut back to its last whole line and every later
// write fails with the same errno, so what the file holds always replays cleanly. Opening never
// waits (a FIFO without a reader is refused at once).
class CRecordingOutput : public std::ostream {
public:
    CRecordingOutput();
    ~CRecordingOutput() override;
    CRecordingOutput(const CRecordingOutput&) = delete;
    CRecordingOutput& operator=(const CRecordingOutput&) = delete;

    // Creates `path`, or empties it (adds to its end with `append`); false with Error() the
    // errno.
    bool Open(const std::string& path, bool append = false);
    // The errno of the failed open or write; 0 while all went well.
    int Error() const { return m_buffer.Error(); }
    // The bytes the file holds, with those still to be written.
    uint64_t Size() const { return m_buffer.Size(); }

private:
    class CBuffer : public std::streambuf {
    public:
        CBuffer();
        ~CBuffer() override;
        CBuffer(const CBuffer&) = delete;
        CBuffer& operator=(const CBuffer&) = delete;

        bool Open(const std::string& path, bool append);
        int Error() const { return m_error; }
        uint64_t Size() const { return m_written + uint64_t(pptr() - pbase()); }

    protected:
        int_type overflow(int_type c) override;
        int sync() override;

    private:
        // Writes what the buffer holds; false once a write failed.
        bool WriteOut();

        int m_fd = -1;
        int m_error = 0;
        std::vector<char> m_data;
        uint64_t m_written = 0;  // bytes in the file
        uint64_t m_wholeEnd = 0; // where its last whole line ends
    };

    CBuffer m_buffer;
};
