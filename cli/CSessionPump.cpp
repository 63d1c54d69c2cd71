// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "cli/CSessionPump.h"

#include "cli/CRotatingRecording.h"
#include "cli/CTerminalSink.h"
#include "cli/CTerminalText.h"
#include "cli/WallClock.h"
#include "device/CKeyboardDevice.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <sys/time.h>

namespace {

// Also how soon a label that a pause ends is shown.
constexpr int kStopCheckMs = 20;

std::string TimeOfDay() {
    timeval now{};
    gettimeofday(&now, nullptr);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03ld ", local.tm_hour, local.tm_min,
                  local.tm_sec, long(now.tv_usec / 1000));
    return text;
}

} // namespace

CSessionPump::CSessionPump(std::vector<CSession*> sessions, CSessionQueue& queue,
                           CTerminalSink& sink, CErrorReporter& errors)
    : m_sessions(std::move(sessions)), m_queue(queue), m_sink(sink), m_errors(errors) {}

void CSessionPump::SetSource(const CSession& session, const COptions& options) {
    std::string prefix = options.timestamps ? TimeOfDay() : std::string();
    std::string members;
    if (options.tagReaders) {
        prefix += "[" + Latin1ToUtf8(session.Name()) + "] ";
        members = ", \"reader\": " + JsonString(session.Name());
    }
    if (options.timestamps) {
        members += ", \"timestamp\": " + JsonString(WallClockNow());
    }
    m_sink.SetSource(prefix, members);
}

CSession::Clock::time_point CSessionPump::CloseOpenLabels(CSession::Clock::time_point now,
                                                          const COptions& options, int& lastIndex) {
    CSession::Clock::time_point earliest = CSession::Clock::time_point::max();
    for (size_t i = 0; i < m_sessions.size(); ++i) {
        CHidDevice* device = m_sessions[i]->Device();
        if (!device) {
            continue;
        }
        const CSession::Clock::time_point deadline = device->OpenLabelDeadline();
        if (deadline == CSession::Clock::time_point::max() || deadline > now) {
            earliest = std::min(earliest, deadline);
            continue;
        }
        if (int(i) != lastIndex && lastIndex >= 0) {
            m_sink.BreakLine();
        }
        lastIndex = int(i);
        SetSource(*m_sessions[i], options);
        device->CloseOpenLabel();
        m_sink.Flush();
    }
    return earliest;
}

int CSessionPump::Run(const std::atomic<bool>& stop, const COptions& options) {
    using Clock = CSession::Clock;
    std::vector<bool> failed(m_sessions.size(), false);
    std::vector<uint64_t> dropped(m_sessions.size(), 0);
    size_t running = m_sessions.size();
    long long reports = 0;
    Clock::time_point first{};
    Clock::time_point lastReport = Clock::now();
    int status = kExitDone;
    int lastIndex = -1;
    CHidMessage message;
    while (!stop.load() && running > 0 && (options.count == 0 || reports < options.count)) {
        const Clock::time_point now = Clock::now();
        if (now >= options.until) {
            break;
        }
        if (options.idleMs > 0 && now - lastReport >= std::chrono::milliseconds(options.idleMs)) {
            m_errors.Report("no report arrived in " + std::to_string(options.idleMs) + " ms");
            status = kExitFailed;
            break;
        }
        // A reader in keyboard mode ends a label at a pause, which no report tells.
        for (CSession* session : m_sessions) {
            CKeyboardDevice* keyboard = session->Keyboard();
            const uint64_t nowUs = CKeyboardDevice::NowUs();
            if (keyboard && keyboard->IsPausedAt(nowUs)) {
                SetSource(*session, options);
                keyboard->OnIdle(nowUs);
                m_sink.Flush();
            }
        }
        const Clock::time_point deadline = CloseOpenLabels(now, options, lastIndex);
        int index = 0;
        // Rounded up, so that the wait does not end just before an open label's deadline.
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(
            std::min({options.until - now, Clock::duration(std::chrono::milliseconds(kStopCheckMs)),
                      deadline - now}));
        if (!m_queue.Wait(index, message, int(left.count()))) {
            continue;
        }
        if (index < 0 || size_t(index) >= m_sessions.size() || failed[size_t(index)]) {
            continue;
        }
        CSession& session = *m_sessions[size_t(index)];
        dropped[size_t(index)] += message.droppedBefore;
        const CSession::Message kind = session.Classify(message);
        if (kind == CSession::Message::Failed) {
            failed[size_t(index)] = true;
            --running;
            status = kExitFailed;
            continue;
        }
        if (kind != CSession::Message::Report) {
            continue;
        }
        lastReport = Clock::now();
        if (reports++ == 0) {
            first = lastReport;
        }
        if (options.recorder) {
            if (!options.recorder->WriteInput(options.recordIndexes[size_t(index)], message.report,
                                              message.readTime)) {
                return m_errors.Fail(options.recorder->Failure());
            }
        }
        CReportInfo info;
        info.timed = true;
        info.microseconds = uint64_t(
            std::chrono::duration_cast<std::chrono::microseconds>(lastReport - first).count());
        info.reader = session.Name();
        info.report = message.report;
        if (options.timestamps) {
            info.wallTime = WallClockNow();
        }
        if (index != lastIndex && lastIndex >= 0) {
            m_sink.BreakLine();
        }
        lastIndex = index;
        SetSource(session, options);
        m_sink.BeginReport(info);
        session.Decode(message.report, message.readTime);
        m_sink.EndReport();
        m_sink.Flush();
        // Output that cannot be written ends the command, with the reason.
        if (!m_errors.CheckWritten(m_sink.Stream())) {
            status = kExitFailed;
            break;
        }
    }
    CloseOpenLabels(Clock::time_point::max(), options, lastIndex);
    m_sink.Flush();
    ReportDrops(dropped);
    return status;
}

void CSessionPump::ReportDrops(std::vector<uint64_t>& dropped) {
    for (size_t i = 0; i < m_sessions.size(); ++i) {
        dropped[i] += m_queue.PendingDrops(int(i));
        if (dropped[i] > 0) {
            m_errors.Report(std::to_string(dropped[i]) + " reports of \"" + m_sessions[i]->Name() +
                            "\" were dropped: the reader sent them faster than they could be "
                            "written out");
        }
    }
}
