// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "cli/CCliContext.h"
#include "cli/CJsonSink.h"
#include "cli/CReaderSetUp.h"
#include "cli/CSession.h"

#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

class CHidDeviceMonitor;
class CMqttPublisher;
class CRotatingRecording;
class CSettingsStore;

// A lane: the readers a monitor follows, opened as they come and closed as they go, each
// plug, unplug, failure to open and silence reported as an event, and, with a publisher,
// every scan and the reader list sent to the broker beside the local output.
class CLanePump {
public:
    struct COptions {
        std::vector<std::string> names; // the readers asked for; empty with `all`
        bool all = false;
        bool follow = false;     // readers that go are waited for; else the run ends with them
        bool timestamps = false; // the wall-clock time in every output
        long long count = 0;     // ends after this many reports; 0: no limit
        long long idleMs = 0;    // an event when a reader was silent this long; 0: never
        long long silenceMs = 0; // fails when no reader sent anything this long; 0: never
        std::string format;      // the local output's format, for the events
        CRotatingRecording* recording = nullptr; // every report of every reader opened
        CReaderSetUp setUp;                      // applied to every reader opened
    };

    CLanePump(CCliContext& context, CSettingsStore& settings, CTerminalSink& sink,
              CMqttPublisher* publisher, COptions options);
    ~CLanePump();
    CLanePump(const CLanePump&) = delete;
    CLanePump& operator=(const CLanePump&) = delete;

    // Opens the readers present now. False with the exit status when a name is ambiguous, or,
    // without following, when a reader is missing or does not open.
    bool Start(int& exitCode);
    // Runs until a stop signal or the count; without following, until every reader is gone.
    int Run();

    // The topic level of a reader: "1209-0106-SERIAL", its interface number when it has one,
    // or its path when it has no serial number.
    static std::string ReaderKey(const CHidInterfaceInfo& info);

private:
    struct CLane;
    class CTeeSink;

    // Opens each wanted reader that is present and not open; `initial` also tries absent paths.
    bool OpenWanted(bool initial, int& exitCode);
    bool OpenLane(const CReaderLookup& lookup, const CReaderLookup::CChoice& choice);
    // The lane's reader did not open, or not as asked: reported, and an event.
    void OpenFailed(CLane& lane, const CReaderLookup::CChoice& choice, int code);
    void Record(CLane& lane, const CHidMessage& message);
    // Shows the lane's open label first, so that nothing read is lost with the reader.
    void CloseLane(CLane& lane, const char* event);
    void TakeDeviceChanges();
    // Hands a message of the queue to its lane.
    void Take(int index, const CHidMessage& message);
    // Takes every message queued now.
    void TakeQueued();
    void Decode(CLane& lane, const CHidMessage& message);
    // Where the device types write: the local output, and the publisher's records with one.
    CTerminalSink& Output();
    void SetSource(const CLane& lane, const std::string& wallTime);
    // The output of `lane` from now on: its line prefix and JSON members, and the report the
    // records tell (without one when `info` has no report bytes).
    void BeginOutput(CLane& lane, CReportInfo info);
    void EndOutput(CLane& lane);
    // When the wait of the first open label ends; Clock::time_point::max() when none is open.
    CSession::Clock::time_point EarliestOpenLabel();
    // Shows the open labels whose wait for a next report ran out before `time`.
    void CloseOpenLabels(CSession::Clock::time_point time);
    // Shows the lane's open label with what arrived; nothing when none is open.
    void CloseOpenLabel(CLane& lane);
    // Ends the labels that readers in keyboard mode stopped typing a pause ago; whether one
    // of the open readers is in keyboard mode.
    bool EndPausedLabels();
    void Event(const char* kind, const std::string& name, const std::string& path,
               const std::string& detail = std::string());
    void PublishReaders();
    void ShowPublisherNotes();

    CCliContext& m_context;
    CSettingsStore& m_settings;
    CTerminalSink& m_sink;
    CMqttPublisher* m_publisher;
    COptions m_options;
    std::unique_ptr<CTeeSink> m_tee;
    CSessionQueue m_queue;
    std::unique_ptr<CHidDeviceMonitor> m_monitor;
    std::map<std::string, std::unique_ptr<CLane>> m_lanes; // by device path
    std::vector<CLane*> m_bySession;                       // the lane of each session index
    long long m_reports = 0;
    CSession::Clock::time_point m_first;
    CSession::Clock::time_point m_lastReport;
    bool m_failed = false;
    bool m_recordingFailed = false;
};
