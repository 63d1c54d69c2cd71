// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "cli/CErrorReporter.h"
#include "cli/CSession.h"

#include <atomic>
#include <vector>

class CRotatingRecording;
class CTerminalSink;

// Decodes what a set of open readers sends, until a deadline, a number of reports, a time
// without reports, or a stop signal.
class CSessionPump {
public:
    struct COptions {
        CSession::Clock::time_point until = CSession::Clock::time_point::max();
        long long count = 0;     // ends after this many reports; 0: no limit
        long long idleMs = 0;    // fails when no report arrived for this long; 0: no limit
        bool timestamps = false; // the time of day before each report's lines
        bool tagReaders = false; // the reader's name before each report's lines
        CRotatingRecording* recorder = nullptr;
        std::vector<int> recordIndexes; // the recorder's device index of each session
    };

    CSessionPump(std::vector<CSession*> sessions, CSessionQueue& queue, CTerminalSink& sink,
                 CErrorReporter& errors);

    // The exit status: done, or failed when a reader failed, the recording could not be
    // written or the idle time ran out.
    int Run(const std::atomic<bool>& stop, const COptions& options);

private:
    // The line prefix and JSON members of a report from `session`.
    void SetSource(const CSession& session, const COptions& options);
    // One line for each reader whose reports the queue dropped, with their count.
    void ReportDrops(std::vector<uint64_t>& dropped);
    // Shows the labels whose wait for a next report ended by `now`; the earliest wait still
    // running (CSession::Clock::time_point::max() when none).
    CSession::Clock::time_point CloseOpenLabels(CSession::Clock::time_point now,
                                                const COptions& options, int& lastIndex);

    std::vector<CSession*> m_sessions;
    CSessionQueue& m_queue;
    CTerminalSink& m_sink;
    CErrorReporter& m_errors;
};
