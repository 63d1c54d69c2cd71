// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "cli/CLanePump.h"

#include "cli/CMqttPublisher.h"
#include "cli/CRotatingRecording.h"
#include "cli/CTerminalText.h"
#include "cli/WallClock.h"
#include "device/CKeyboardDevice.h"
#include "device/DeviceType.h"
#include "device/ErrorText.h"
#include "device/ReaderTypes.h"
#include "settings/CSettingsStore.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <poll.h>

namespace {

constexpr int kWaitMs = 50;
// How soon a label that a reader in keyboard mode ends with a pause is shown.
constexpr int kKeyPauseCheckMs = 20;

std::string HexId(uint16_t id) {
    char text[8];
    std::snprintf(text, sizeof text, "%04x", unsigned(id));
    return text;
}

} // namespace

// One reader the lane has seen, open or not; kept after it went, for the reader list.
struct CLanePump::CLane {
    std::string name;
    std::string key;
    std::shared_ptr<const CReaderIdentity> identity;
    std::unique_ptr<CSession> session;
    const char* state = "open"; // "open", "unplugged" or "open-failed"
    CSession::Clock::time_point lastReport;
    bool idleReported = false;
    uint64_t dropped = 0; // reports the queue dropped, said once per open
    int recordIndex = -1; // the recording's device; a replugged reader keeps its own
};

// Hands the device type's output to the local sink and to a records sink whose objects are
// the scans a lane publishes; the local output gets the wall-clock time only when asked for.
class CLanePump::CTeeSink : public CTerminalSink {
public:
    CTeeSink(CTerminalSink& local, bool localWallTime)
        : CTerminalSink(m_text), m_local(local), m_records(m_text), m_localWallTime(localWallTime) {
    }
    void AppendText(const std::string& text, OutputRole role, bool bold) override {
        m_local.AppendText(text, role, bold);
        m_records.AppendText(text, role, bold);
    }
    void AppendNewLine() override {
        m_local.AppendNewLine();
        m_records.AppendNewLine();
    }
    void ScrollToEnd() override { m_local.ScrollToEnd(); }
    void AppendMixed(const uint8_t* data, size_t length, OutputRole textRole, bool bold) override {
        m_local.AppendMixed(data, length, textRole, bold);
        m_records.AppendMixed(data, length, textRole, bold);
    }
    void AppendHex(const uint8_t* data, size_t length, OutputRole role, bool bold) override {
        m_local.AppendHex(data, length, role, bold);
        m_records.AppendHex(data, length, role, bold);
    }
    void NoteIdentifier(const std::string& identifier) override {
        m_local.NoteIdentifier(identifier);
        m_records.NoteIdentifier(identifier);
    }
    void BreakLine() override { m_local.BreakLine(); }
    void BeginReport(const CReportInfo& info) override {
        CReportInfo local = info;
        local.identity.reset();
        if (!m_localWallTime) {
            local.wallTime.clear();
        }
        m_local.BeginReport(local);
        m_records.BeginReport(info);
    }
    void EndReport() override {
        m_local.EndReport();
        m_records.EndReport();
    }
    // A label shown outside a report (a reader in keyboard mode paused) becomes a scan too.
    void Flush() override {
        m_local.Flush();
        m_records.Flush();
    }

    // The object of the report that ended last, without its line end.
    std::string TakeScan() {
        std::string text = m_text.str();
        m_text.str(std::string());
        while (!text.empty() && text.back() == '\n') {
            text.pop_back();
        }
        const size_t lineStart = text.rfind('\n');
        return lineStart == std::string::npos ? text : text.substr(lineStart + 1);
    }

private:
    std::ostringstream m_text;
    CTerminalSink& m_local;
    CRecordsSink m_records;
    bool m_localWallTime;
};

std::string CLanePump::ReaderKey(const CHidInterfaceInfo& info) {
    // "?" is what a reader without a serial number gives.
    if (info.serial.empty() || info.serial == "?") {
        return CMqttPublisher::TopicLevel(info.path);
    }
    std::string key = HexId(info.attributes.vendorId) + "-" + HexId(info.attributes.productId) +
                      "-" + info.serial;
    if (!info.interfaceNumber.empty()) {
        key += "-if" + info.interfaceNumber;
    }
    return CMqttPublisher::TopicLevel(key);
}

CLanePump::CLanePump(CCliContext& context, CSettingsStore& settings, CTerminalSink& sink,
                     CMqttPublisher* publisher, COptions options)
    : m_context(context), m_settings(settings), m_sink(sink), m_publisher(publisher),
      m_options(std::move(options)) {
    if (m_publisher) {
        m_tee = std::make_unique<CTeeSink>(m_sink, m_options.timestamps);
    }
}

CLanePump::~CLanePump() {
    for (auto& [path, lane] : m_lanes) {
        lane->session.reset();
    }
}

bool CLanePump::Start(int& exitCode) {
    if (m_options.follow) {
        int error = 0;
        m_monitor = m_context.platform.CreateMonitor(error);
        if (!m_monitor) {
            exitCode = m_context.errors.Fail("cannot watch for readers that come and go: " +
                                             ErrnoText(error));
            return false;
        }
    }
    if (!OpenWanted(true, exitCode)) {
        return false;
    }
    if (m_recordingFailed) {
        exitCode = kExitFailed;
        return false;
    }
    PublishReaders();
    return true;
}

bool CLanePump::OpenWanted(bool initial, int& exitCode) {
    const CReaderLookup lookup(m_context.platform);
    std::vector<std::string> names = m_options.all ? lookup.Listed() : m_options.names;
    if (names.empty() && !m_options.all) {
        names.emplace_back();
    }
    const std::string stored = m_settings.GetProfileString("Settings", "DeviceName", "");
    std::vector<CReaderLookup::CChoice> partial;
    for (const std::string& name : names) {
        if (lookup.ExpandPartialIds(name, partial)) {
            continue;
        }
        CReaderLookup::CChoice choice;
        std::string error;
        const CReaderLookup::Result result = lookup.Resolve(name, stored, choice, error);
        if (result == CReaderLookup::Result::Ambiguous && initial) {
            exitCode = m_context.errors.Usage(error);
            return false;
        }
        if (result != CReaderLookup::Result::Found) {
            if (initial && !m_options.follow) {
                exitCode = m_context.errors.Fail(error);
                return false;
            }
            continue;
        }
        // A reader named twice (by its ids and by its path) is opened once.
        const auto known = m_lanes.find(choice.path);
        if (known != m_lanes.end() && known->second->session) {
            continue;
        }
        if (!initial && !lookup.Interface(choice.path)) {
            continue;
        }
        if (!OpenLane(lookup, choice) && !m_options.follow) {
            exitCode = kExitFailed;
            return false;
        }
    }
    for (const CReaderLookup::CChoice& choice : partial) {
        const auto known = m_lanes.find(choice.path);
        if ((known == m_lanes.end() || !known->second->session) && !OpenLane(lookup, choice) &&
            !m_options.follow) {
            exitCode = kExitFailed;
            return false;
        }
    }
    return true;
}

bool CLanePump::OpenLane(const CReaderLookup& lookup, const CReaderLookup::CChoice& choice) {
    std::unique_ptr<CLane>& slot = m_lanes[choice.path];
    if (!slot) {
        slot = std::make_unique<CLane>();
    }
    CLane& lane = *slot;
    lane.name = choice.name;
    const CHidInterfaceInfo* info = lookup.Interface(choice.path);
    auto identity = std::make_shared<CReaderIdentity>();
    identity->path = choice.path;
    if (info) {
        identity->serial = info->serial;
        identity->vendorId = info->attributes.vendorId;
        identity->productId = info->attributes.productId;
        identity->physicalPath = info->physicalPath;
        const CReaderType* type =
            FindReaderType(SelectDeviceType(info->caps.usagePage, info->caps.usage));
        identity->type = type ? type->key : "";
        lane.key = ReaderKey(*info);
    } else {
        lane.key = CMqttPublisher::TopicLevel(choice.path);
    }
    lane.identity = identity;
    lane.session = std::make_unique<CSession>(m_context.platform, m_settings,
                                              m_tee ? static_cast<COutputSink&>(*m_tee)
                                                    : static_cast<COutputSink&>(m_sink),
                                              m_context.errors, m_queue, int(m_bySession.size()));
    m_bySession.push_back(&lane);
    // The session reports why it failed; following, the failure is an event as well.
    if (!lane.session->Open(choice)) {
        OpenFailed(lane, choice, lane.session->Port().LastError());
        return false;
    }
    std::string error;
    if (!m_options.setUp.Apply(*lane.session, error)) {
        m_context.errors.Report(error);
        OpenFailed(lane, choice, lane.session->Port().LastError());
        return false;
    }
    lane.state = "open";
    lane.lastReport = CSession::Clock::now();
    lane.idleReported = false;
    lane.dropped = 0;
    if (m_options.recording && lane.recordIndex < 0 && !m_recordingFailed) {
        CHidInterfaceInfo header = info ? *info : CHidInterfaceInfo();
        lane.session->Port().GetAttributes(header.attributes);
        lane.recordIndex = m_options.recording->AddDevice(header, lane.session->Name());
        if (!m_options.recording->Good()) {
            m_context.errors.Report(m_options.recording->Failure());
            m_recordingFailed = true;
        }
    }
    Event("plugged", choice.name, choice.path);
    return true;
}

void CLanePump::OpenFailed(CLane& lane, const CReaderLookup::CChoice& choice, int code) {
    m_bySession.back() = nullptr;
    lane.session.reset();
    lane.state = "open-failed";
    Event("open-failed", choice.name, choice.path, ErrnoText(code));
    m_failed = m_failed || !m_options.follow;
}

void CLanePump::CloseLane(CLane& lane, const char* event) {
    CloseOpenLabel(lane);
    for (CLane*& owner : m_bySession) {
        if (owner == &lane) {
            owner = nullptr;
        }
    }
    const std::string path = lane.identity ? lane.identity->path : std::string();
    lane.session.reset();
    lane.state = "unplugged";
    Event(event, lane.name, path);
    PublishReaders();
}

void CLanePump::TakeDeviceChanges() {
    pollfd fd{m_monitor->PollFd(), POLLIN, 0};
    if (poll(&fd, 1, 0) <= 0) {
        return;
    }
    bool arrived = false;
    bool taken = false;
    for (const CHidDeviceChange& change : m_monitor->ReadChanges()) {
        if (change.kind == CHidDeviceChange::Kind::Arrival) {
            arrived = true;
            continue;
        }
        // What a reader sent before it went is shown before it is closed.
        if (!taken) {
            TakeQueued();
            taken = true;
        }
        const auto lane = m_lanes.find(change.path);
        if (lane != m_lanes.end() && lane->second->session) {
            CloseLane(*lane->second, "unplugged");
        }
    }
    if (arrived) {
        int exitCode = 0;
        OpenWanted(false, exitCode);
        PublishReaders();
    }
}

void CLanePump::Event(const char* kind, const std::string& name, const std::string& path,
                      const std::string& detail) {
    m_sink.BreakLine();
    m_sink.Flush();
    const std::string time = WallClockNow();
    std::ostream& out = m_context.out;
    if (m_options.format == "json" || m_options.format == "records") {
        out << "{\"event\": \"" << kind << "\", \"reader\": " << JsonString(name)
            << ", \"path\": " << JsonString(path) << ", \"time\": " << JsonString(time);
        if (!detail.empty()) {
            out << ", \"detail\": " << JsonString(detail);
        }
        out << "}\n";
    } else {
        out << time << " " << kind << " \"" << Latin1ToUtf8(name) << "\" (" << Latin1ToUtf8(path)
            << ")" << (detail.empty() ? "" : ": " + Latin1ToUtf8(detail)) << "\n";
    }
    out.flush();
}

void CLanePump::PublishReaders() {
    if (!m_publisher) {
        return;
    }
    std::string list = "[";
    for (const auto& [path, lane] : m_lanes) {
        const CReaderIdentity& reader = *lane->identity;
        list +=
            std::string(list.size() > 1 ? ", " : "") + "{\"name\": " + JsonString(lane->name) +
            ", \"key\": " + JsonString(lane->key) + ", \"serial\": " + JsonString(reader.serial) +
            ", \"vid\": \"" + HexId(reader.vendorId) + "\", \"pid\": \"" + HexId(reader.productId) +
            "\", \"path\": " + JsonString(path) +
            ", \"type\": " + (reader.type.empty() ? std::string("null") : JsonString(reader.type)) +
            ", \"state\": \"" + lane->state + "\"}";
    }
    m_publisher->PublishReaders(list + "]");
}

void CLanePump::ShowPublisherNotes() {
    if (m_publisher) {
        for (const std::string& note : m_publisher->TakeNotes()) {
            m_context.errors.Note(note);
        }
    }
}

void CLanePump::Decode(CLane& lane, const CHidMessage& message) {
    CSession& session = *lane.session;
    if (!session.Port().IsCurrent(message)) {
        return;
    }
    const bool error =
        message.messageId == HidMessageId(CSession::kMessageBase, CHidMessageKind::Error);
    if (error && message.errorCode == ENODEV) {
        CloseLane(lane, "unplugged");
        return;
    }
    if (session.Classify(message) == CSession::Message::Failed) {
        m_failed = true;
        CloseLane(lane, "unplugged");
        return;
    }
    if (message.droppedBefore > 0 && lane.dropped == 0) {
        m_context.errors.Report(std::to_string(message.droppedBefore) + " reports of \"" +
                                session.Name() +
                                "\" were dropped: the reader sent them faster than they could "
                                "be written out (further drops of this reader are not reported)");
    }
    lane.dropped += message.droppedBefore;
    const CSession::Clock::time_point now = CSession::Clock::now();
    if (m_reports == 0) {
        m_first = now;
    }
    Record(lane, message);
    lane.lastReport = now;
    lane.idleReported = false;
    m_lastReport = now;
    ++m_reports;
    CReportInfo info;
    info.timed = true;
    info.microseconds =
        uint64_t(std::chrono::duration_cast<std::chrono::microseconds>(now - m_first).count());
    info.report = message.report;
    BeginOutput(lane, std::move(info));
    session.Decode(message.report, message.readTime);
    EndOutput(lane);
}

CTerminalSink& CLanePump::Output() {
    return m_tee ? static_cast<CTerminalSink&>(*m_tee) : m_sink;
}

void CLanePump::SetSource(const CLane& lane, const std::string& wallTime) {
    const std::string& name = lane.session->Name();
    std::string prefix;
    std::string members = ", \"reader\": " + JsonString(name);
    if (m_options.timestamps) {
        prefix = wallTime.substr(11, 12) + " ";
        members += ", \"timestamp\": " + JsonString(wallTime);
    }
    m_sink.SetSource(prefix + "[" + Latin1ToUtf8(name) + "] ", members);
}

void CLanePump::BeginOutput(CLane& lane, CReportInfo info) {
    info.reader = lane.session->Name();
    info.identity = lane.identity;
    const std::string wallTime = WallClockNow();
    if (m_options.timestamps || m_publisher) {
        info.wallTime = wallTime;
    }
    SetSource(lane, wallTime);
    Output().BeginReport(info);
}

void CLanePump::EndOutput(CLane& lane) {
    Output().EndReport();
    Output().Flush();
    if (m_tee) {
        m_publisher->PublishScan(lane.key, m_tee->TakeScan());
    }
}

CSession::Clock::time_point CLanePump::EarliestOpenLabel() {
    CSession::Clock::time_point earliest = CSession::Clock::time_point::max();
    for (auto& [path, lane] : m_lanes) {
        if (CHidDevice* device = lane->session ? lane->session->Device() : nullptr) {
            earliest = std::min(earliest, device->OpenLabelDeadline());
        }
    }
    return earliest;
}

void CLanePump::CloseOpenLabels(CSession::Clock::time_point time) {
    for (auto& [path, lane] : m_lanes) {
        CHidDevice* device = lane->session ? lane->session->Device() : nullptr;
        if (device && device->OpenLabelDeadline() < time) {
            CloseOpenLabel(*lane);
        }
    }
}

void CLanePump::CloseOpenLabel(CLane& lane) {
    CHidDevice* device = lane.session ? lane.session->Device() : nullptr;
    if (!device || device->OpenLabelDeadline() == CSession::Clock::time_point::max()) {
        return;
    }
    // The records name the reader of the label, and no report: its reports came before.
    BeginOutput(lane, CReportInfo());
    device->CloseOpenLabel();
    EndOutput(lane);
}

bool CLanePump::EndPausedLabels() {
    bool keyboards = false;
    for (auto& [path, lane] : m_lanes) {
        CKeyboardDevice* keyboard = lane->session ? lane->session->Keyboard() : nullptr;
        if (!keyboard) {
            continue;
        }
        keyboards = true;
        const uint64_t nowUs = CKeyboardDevice::NowUs();
        if (!keyboard->IsPausedAt(nowUs)) {
            continue;
        }
        SetSource(*lane, WallClockNow());
        keyboard->OnIdle(nowUs);
        Output().Flush();
        if (m_tee) {
            const std::string scan = m_tee->TakeScan();
            if (!scan.empty()) {
                m_publisher->PublishScan(lane->key, scan);
            }
        }
    }
    return keyboards;
}

void CLanePump::Take(int index, const CHidMessage& message) {
    // A report read after an open label's wait ran out ends that label first, whichever
    // reader sent it, so that one busy reader does not hold another's label back.
    CloseOpenLabels(message.readTime);
    if (index >= 0 && size_t(index) < m_bySession.size() && m_bySession[size_t(index)]) {
        Decode(*m_bySession[size_t(index)], message);
    }
}

void CLanePump::TakeQueued() {
    int index = 0;
    CHidMessage message;
    while ((m_options.count == 0 || m_reports < m_options.count) &&
           m_queue.Wait(index, message, 0)) {
        Take(index, message);
    }
}

void CLanePump::Record(CLane& lane, const CHidMessage& message) {
    if (!m_options.recording || m_recordingFailed || lane.recordIndex < 0) {
        return;
    }
    if (!m_options.recording->WriteInput(lane.recordIndex, message.report, message.readTime)) {
        m_context.errors.Report(m_options.recording->Failure());
        m_recordingFailed = true;
    }
}

int CLanePump::Run() {
    using Clock = CSession::Clock;
    CHidMessage message;
    m_lastReport = Clock::now();
    while (!m_context.stop.load() && !m_recordingFailed &&
           (m_options.count == 0 || m_reports < m_options.count)) {
        ShowPublisherNotes();
        if (m_options.silenceMs > 0 &&
            Clock::now() - m_lastReport >= std::chrono::milliseconds(m_options.silenceMs)) {
            m_context.errors.Report("no report arrived in " + std::to_string(m_options.silenceMs) +
                                    " ms");
            m_failed = true;
            break;
        }
        if (m_monitor) {
            TakeDeviceChanges();
        } else if (std::none_of(m_lanes.begin(), m_lanes.end(),
                                [](const auto& lane) { return bool(lane.second->session); })) {
            break;
        }
        if (m_options.idleMs > 0) {
            const Clock::time_point now = Clock::now();
            for (auto& [path, lane] : m_lanes) {
                if (lane->session && !lane->idleReported &&
                    now - lane->lastReport >= std::chrono::milliseconds(m_options.idleMs)) {
                    lane->idleReported = true;
                    Event("idle", lane->name, path,
                          "no report for " + std::to_string(m_options.idleMs) + " ms");
                }
            }
        }
        const int checkMs = EndPausedLabels() ? kKeyPauseCheckMs : kWaitMs;
        // Woken in time for the earliest open label; rounded up, so that the wait does not end
        // just before it.
        const Clock::time_point now = Clock::now();
        const Clock::time_point deadline = EarliestOpenLabel();
        const long long waitMs =
            deadline <= now
                ? 0
                : std::min<long long>(
                      checkMs,
                      std::chrono::ceil<std::chrono::milliseconds>(deadline - now).count());
        int index = 0;
        if (!m_queue.Wait(index, message, int(waitMs))) {
            // Nothing more came in time: no label left open now gets a next report.
            CloseOpenLabels(Clock::now());
            continue;
        }
        Take(index, message);
        // Output that cannot be written ends the lane, with the reason.
        if (!m_context.errors.CheckWritten(m_sink.Stream())) {
            m_failed = true;
            break;
        }
    }
    for (auto& [path, lane] : m_lanes) {
        CloseOpenLabel(*lane);
    }
    m_sink.Flush();
    ShowPublisherNotes();
    return m_failed || m_recordingFailed ? kExitFailed : kExitDone;
}
