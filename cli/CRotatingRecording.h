// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "platform/CHidPlatform.h"
#include "recording/CRecording.h"
#include "recording/CRecordingOutput.h"

#include <memory>
#include <string>
#include <vector>

// A recording written to a file, or to standard output for "-". With a size limit the file is
// closed after the report line that reaches it and renamed FILE.1, the older ones moving up to
// FILE.<keep> and the oldest removed; the new FILE starts with the header of every reader, so
// that each file replays on its own.
class CRotatingRecording {
public:
    struct COptions {
        std::string path;            // "-": standard output, never rotated
        bool append = false;         // the recording after what the file holds
        bool severalDevices = false; // each reader with its device index
        long long maxBytes = 0;      // 0: no limit
        int keep = 1;                // rotated files kept
    };

    CRotatingRecording(COptions options, std::ostream& standardOutput);

    // False when the file cannot be made; Failure() says why.
    bool Open();
    // Writes the header of the next reader and returns its device index; opens the file first
    // when it is not open.
    int AddDevice(const CHidInterfaceInfo& info, const std::string& name);
    // Writes one report and rotates the file when it reached the limit; false once a write or
    // rotation failed.
    bool WriteInput(int device, const std::vector<uint8_t>& report,
                    CRecordingWriter::Clock::time_point readTime);
    bool Good() const { return m_failure.empty(); }
    const std::string& Failure() const { return m_failure; }

    // Parses a size in bytes with an optional K, M or G (times 1024, 1024², 1024³).
    static bool ParseSize(const std::string& text, long long& bytes);

private:
    struct CDevice {
        CHidInterfaceInfo info;
        std::string name;
    };

    bool Rotate();
    bool Check();
    std::string Rotated(int generation) const;

    COptions m_options;
    std::ostream& m_standardOutput;
    std::unique_ptr<CRecordingOutput>
        m_file; // a file cut back to its last whole line on a failed write
    std::unique_ptr<CRecordingWriter> m_writer;
    std::vector<CDevice> m_devices;
    std::string m_failure;
};
