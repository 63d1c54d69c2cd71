// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "recording/CLineSource.h"
#include "recording/CRecording.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

// One reading of a recording, line by line, shared by the terminal tool's replay and the
// recordings the GUI holds: each item goes to a consumer as it is read, each line that is not
// taken goes to it as a problem with its reason. Lines after a rejected "D:" belong to no
// device: they are counted and told as one problem when the next device line is taken or the
// input ends. A last line without a line end that does not parse is a cut-off end, not a
// malformed line. Reading is bounded by the limits asked for, besides the line source's own.
class CRecordingStream {
public:
    class CConsumer {
    public:
        virtual ~CConsumer() = default;
        // An item of line `line`; false ends the reading.
        virtual bool Take(const CRecordingItem& item, long line) = 0;
        // A line that is not taken. `item` is the malformed line's kind and device as far as
        // they could be read, or null for lines that are no item at all.
        virtual void Problem(long line, const std::string& reason, const CRecordingItem* item) = 0;
    };
    // Each 0 is no limit.
    struct CLimits {
        uint64_t bytes = 0;                // bytes read
        uint64_t skippedLines = 0;         // malformed, too long or of no device
        std::chrono::milliseconds wait{0}; // without a complete line
    };
    enum class End { Complete, Stopped, ReadFailed, Limit, Declined };

    CRecordingStream(CLineSource& lines, const CLimits& limits);

    // Called with the bytes read so far each time `every` more have been read.
    void SetProgress(std::function<void(uint64_t)> progress, uint64_t every) {
        m_progress = std::move(progress);
        m_progressEvery = every;
        m_nextProgress = every;
    }
    End Run(CConsumer& consumer);
    // After Limit: which limit was reached, as the end of a sentence ("... ; the rest is not
    // read" is the caller's). After ReadFailed: Error() is the errno.
    const std::string& LimitText() const { return m_limitText; }
    int Error() const { return m_lines.Error(); }
    // The number of the line read last.
    long Line() const { return m_lines.Number(); }

private:
    void Skipped(long line, bool noDevice);
    void TellNoDevice(CConsumer& consumer);

    CLineSource& m_lines;
    CLimits m_limits;
    std::function<void(uint64_t)> m_progress;
    uint64_t m_progressEvery = 0;
    uint64_t m_nextProgress = 0;
    uint64_t m_skipped = 0;
    long m_noDeviceFirst = 0; // the first line of no device not told yet, 0 when none
    long m_noDeviceLast = 0;
    uint64_t m_noDeviceCount = 0;
    std::string m_limitText;
};
