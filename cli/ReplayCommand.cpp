// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "cli/CDecodeOptions.h"
#include "cli/CInputFile.h"
#include "cli/CSession.h"
#include "cli/CStderrNotifier.h"
#include "cli/CTerminalText.h"
#include "cli/Subcommands.h"
#include "device/CHidDeviceFactory.h"
#include "device/CHidPort.h"
#include "device/CQueuedPoster.h"
#include "device/ErrorText.h"
#include "device/ReaderTypes.h"
#include "recording/CLineSource.h"
#include "recording/CRecording.h"
#include "recording/CRecordingHeader.h"
#include "recording/CRecordingStream.h"
#include "recording/CReplayPlatform.h"
#include "recording/Compression.h"
#include "recording/QuoteInput.h"

#include <map>
#include <memory>
#include <utility>

namespace {

const char kHelp[] =
    R"(Usage: vantrel-cli replay [--type quorin|hidpos|surepos|sio] [--device N] FILE|- [OPTIONS]

Decodes the input reports of a recording through a device type, without hardware, line by line
as they arrive (FILE "-" is standard input). Each device of the recording has its type from
--type or from its report descriptor ("R:" line); a recording of several devices replays them
all in file order, each line or object marked with its device, unless --device N picks one.
Writes go nowhere, so "Add Out data" echoes appear; get-feature reads are answered by the
recording's "F:" lines in file order.
Recording lines: "D: <index>" the device of the lines that follow, "R: <n> <hex>" descriptor,
"N: <name>", "P: <physical path>", "I: <bus> <vid> <pid>", "E: <sec.usec> <n> <hex>" input
report, "F: <hex>" feature answer, "B:" skipped; plain hex lines are input reports; '#' starts a
comment. Malformed lines are reported with their number; the replay goes on and exits 1 at the
end.
  --device N       replay device N of the recording alone
)";

// The report lengths of a type's usual reader, for a replay without a report descriptor.
CHidCaps TypicalCaps(const CReaderType& type) {
    return {type.listedUsages.front(), type.usagePage, type.inputReportByteLength,
            type.outputReportByteLength, type.featureReportByteLength};
}

std::string TypeKeys() {
    std::string keys;
    for (const CReaderType& type : ReaderTypes()) {
        keys += (keys.empty() ? "" : ", ") + std::string(type.key);
    }
    return keys;
}

// One device of the recording: its header as read so far and, once its first report arrives,
// the replay port and device type that decode its reports.
struct CReplayDevice {
    CRecordingHeader header;
    CReplayPlatform platform;
    CQueuedPoster poster;
    std::unique_ptr<CHidPort> port;
    std::unique_ptr<CDisplaySettings> settings;
    std::unique_ptr<CHidDevice> device;
    bool skipped = false;                   // its reports cannot be decoded; said once
    CHidDevice::Clock::time_point readTime; // of its last report, on the recording's clock
};

class CReplayer : public CRecordingStream::CConsumer {
public:
    CReplayer(CCliContext& context, CDecodeOptions& options, const CReaderType* type,
              int onlyDevice, std::string source)
        : m_context(context), m_options(options), m_type(type), m_onlyDevice(onlyDevice),
          m_source(std::move(source)), m_notifier(context.errors) {}

    ~CReplayer() override {
        for (auto& entry : m_devices) {
            entry.second->device.reset();
            if (entry.second->port) {
                entry.second->port->Close();
            }
        }
    }

    // Replays every line of `lines`; the exit status.
    int Run(CLineSource& lines);

private:
    void LineError(long line, const std::string& message) {
        m_context.errors.Report(m_source + ":" + std::to_string(line) + ": " + message);
        m_failed = true;
    }
    CReplayDevice& Device(int index);
    // Shows the label the device left open with what arrived.
    void CloseOpenLabel(CReplayDevice& device) {
        if (device.device) {
            device.device->CloseOpenLabel();
        }
    }
    // False when the replay cannot go on.
    bool Take(const CRecordingItem& item, long line) override;
    void Problem(long line, const std::string& reason, const CRecordingItem* item) override;
    void TakeDescriptor(CReplayDevice& device, const std::vector<uint8_t>& bytes, long line);
    // Makes the device type of `device`; false when its reports cannot be decoded.
    bool Start(int index, CReplayDevice& device);
    // False when the replay cannot go on at all (no type for a device without a descriptor).
    bool Replay(const CRecordingItem& item, long line);

    CCliContext& m_context;
    CDecodeOptions& m_options;
    const CReaderType* m_type;
    int m_onlyDevice;
    std::string m_source;
    CStderrNotifier m_notifier;
    std::map<int, std::unique_ptr<CReplayDevice>> m_devices;
    bool m_failed = false;
    bool m_usage = false;
    bool m_sawOnlyDevice = false;
    int m_lastDevice = -1;   // the device of the report before
    int m_sourceDevice = -1; // the device the sink marks its output with, -1 for none
    CReportInfo m_info;      // reused for each report, so that its bytes keep their room
};

CReplayDevice& CReplayer::Device(int index) {
    auto& slot = m_devices[index];
    if (!slot) {
        slot = std::make_unique<CReplayDevice>();
    }
    return *slot;
}

bool CReplayer::Start(int index, CReplayDevice& device) {
    const std::string which =
        m_source + ": " + (m_devices.size() > 1 ? "device " + std::to_string(index) + ": " : "");
    CHidCaps caps = m_type ? TypicalCaps(*m_type) : CHidCaps();
    DeviceType type = m_type ? m_type->type : DeviceType::None;
    if (device.header.HasDescriptor()) {
        caps = device.header.Caps();
        if (!m_type) {
            type = SelectDeviceType(caps.usagePage, caps.usage);
        }
        if (type == DeviceType::None) {
            m_context.errors.Report(which + "not a reader interface: usage page " +
                                    HexWord(caps.usagePage) + " usage " + HexWord(caps.usage) +
                                    "; give --type to decode its reports as a reader's");
            return false;
        }
    } else if (!m_type) {
        if (device.header.BrokenDescriptorLine() > 0) {
            m_context.errors.Report(which +
                                    "the device type is unknown: its report descriptor "
                                    "(line " +
                                    std::to_string(device.header.BrokenDescriptorLine()) +
                                    ") is malformed; give --type");
            return false;
        }
        m_context.errors.Report(which + "the device type is unknown: give --type or a recording "
                                        "with a reader's report descriptor");
        m_usage = true;
        return false;
    }
    device.platform.SetInterface(caps, device.header.Attributes());
    device.platform.SetReportDescriptor(device.header.Descriptor());
    device.port = std::make_unique<CHidPort>(device.platform, device.poster);
    if (!device.port->Open(CReplayPlatform::kPath, CSession::kMessageBase)) {
        m_context.errors.Report("the replay port cannot be opened: " +
                                ErrnoText(device.port->LastError()));
        return false;
    }
    device.settings = std::make_unique<CDisplaySettings>(&m_options.Settings());
    device.settings->Load("Settings");
    device.device =
        CreateHidDevice(type, *device.port, m_options.Sink(), *device.settings, m_notifier);
    device.device->LoadSettings("Settings");
    device.device->SetDecoding(m_options.ChosenDecoding());
    return true;
}

void CReplayer::TakeDescriptor(CReplayDevice& device, const std::vector<uint8_t>& bytes,
                               long line) {
    // A new header starts the device afresh.
    CloseOpenLabel(device);
    device.device.reset();
    device.port.reset();
    device.skipped = false;
    std::string error;
    if (!device.header.TakeDescriptor(bytes, line, error)) {
        LineError(line, error);
    }
}

bool CReplayer::Replay(const CRecordingItem& item, long line) {
    CReplayDevice& device = Device(item.device);
    if (item.kind == CRecordingItem::Kind::Feature) {
        if (!device.platform.QueueFeatureAnswer(item.bytes)) {
            LineError(line, "more than " + std::to_string(CReplayPlatform::kMaxFeatureAnswers) +
                                " feature answers wait for a read; this one is dropped");
        }
        return true;
    }
    if (device.skipped) {
        return true;
    }
    if (!device.device && !Start(item.device, device)) {
        device.skipped = true;
        m_failed = true;
        return !m_usage;
    }
    CTerminalSink& sink = m_options.Sink();
    const bool several = m_onlyDevice < 0 && m_devices.size() > 1;
    if (item.device != m_lastDevice && m_lastDevice >= 0) {
        sink.BreakLine();
    }
    m_lastDevice = item.device;
    const int source = several ? item.device : -1;
    if (source != m_sourceDevice) {
        m_sourceDevice = source;
        sink.SetSource(several ? "[device " + std::to_string(item.device) + "] " : std::string(),
                       several ? ", \"device\": " + std::to_string(item.device) : std::string());
    }
    CReportInfo& info = m_info;
    info.timed = item.timed;
    info.microseconds = item.microseconds;
    info.reader = device.header.Name().empty() ? m_source : device.header.Name();
    info.device = source;
    info.report.clear();
    device.header.AppendReportAsRead(item.bytes, info.report);
    // Reports are as far apart as the recording says; untimed lines follow each other at once.
    if (item.timed) {
        device.readTime =
            CHidDevice::Clock::time_point() + std::chrono::microseconds(item.microseconds);
    }
    if (device.device->OpenLabelDeadline() < device.readTime) {
        device.device->CloseOpenLabel();
    }
    sink.BeginReport(info);
    device.device->OnReportAt(info.report.data(), info.report.size(), device.readTime);
    sink.EndReport();
    return true;
}

bool CReplayer::Take(const CRecordingItem& item, long line) {
    if (m_onlyDevice >= 0 && item.device != m_onlyDevice) {
        return true;
    }
    m_sawOnlyDevice = true;
    CReplayDevice& device = Device(item.device);
    switch (item.kind) {
    case CRecordingItem::Kind::Device:
    case CRecordingItem::Kind::Physical:
        return true;
    case CRecordingItem::Kind::Descriptor:
        TakeDescriptor(device, item.bytes, line);
        return true;
    case CRecordingItem::Kind::Name:
    case CRecordingItem::Kind::Identity: {
        std::string error;
        return device.header.Take(item, line, error);
    }
    case CRecordingItem::Kind::Input:
    case CRecordingItem::Kind::Feature:
        return Replay(item, line);
    }
    return true;
}

void CReplayer::Problem(long line, const std::string& reason, const CRecordingItem* item) {
    LineError(line, reason);
    // As in the recordings the GUI opens: a malformed "R:" is noted for a device that has no
    // descriptor yet; one that has keeps it, so that what could be read stays playable.
    if (item && item->kind == CRecordingItem::Kind::Descriptor &&
        (m_onlyDevice < 0 || item->device == m_onlyDevice) &&
        !Device(item->device).header.HasDescriptor()) {
        TakeDescriptor(Device(item->device), {}, line);
    }
}

int CReplayer::Run(CLineSource& lines) {
    lines.SetIdleHandler([this] { m_options.Sink().Flush(); });
    CRecordingStream stream(lines, {});
    const CRecordingStream::End end = stream.Run(*this);
    for (auto& entry : m_devices) {
        CloseOpenLabel(*entry.second);
    }
    m_options.Sink().Flush();
    if (end == CRecordingStream::End::Declined) {
        return kExitUsage;
    }
    if (end == CRecordingStream::End::ReadFailed) {
        return m_context.errors.Fail("reading " + QuoteInput(m_source, 200) +
                                     " failed: " + ErrnoText(stream.Error()));
    }
    if (m_onlyDevice >= 0 && !m_sawOnlyDevice) {
        return m_context.errors.Fail("the recording has no device " + std::to_string(m_onlyDevice));
    }
    return m_failed ? kExitFailed : kExitDone;
}

} // namespace

int RunReplay(CCliContext& context, const CArguments& args) {
    CDecodeOptions options(context.store, {}, {"type", "device", "decoding"});
    if (const int code = options.Parse(
            args, (std::string(kHelp) + CDecodeOptions::kDecodingHelp).c_str(), context);
        code != CDecodeOptions::kContinue) {
        return code;
    }
    const CCommandLine& line = options.Line();
    if (line.Positional().size() != 1) {
        return context.errors.Usage("replay needs one FILE (or - for standard input)");
    }
    const CReaderType* type = nullptr;
    if (line.Has("type") && !(type = FindReaderTypeByKey(line.Value("type").c_str()))) {
        return context.errors.Usage("--type must be one of " + TypeKeys());
    }
    long long onlyDevice = -1;
    std::string error;
    if (!line.Number("device", 0, CRecordingReader::kMaxDevices - 1, 10, onlyDevice, error)) {
        return context.errors.Usage(error);
    }

    const std::string& source = line.Positional()[0];
    CInputFile input;
    if (!input.Open(source, context.inFd, error)) {
        return context.errors.Fail(error);
    }
    CLineSource lines(input.Fd(), context.stop);
    std::string format;
    std::string tool;
    if (IsCompressed(lines.Peek(8), format, tool)) {
        return context.errors.Fail(QuoteInput(source, 200) + " is compressed (" + format +
                                   "); replay what it holds: " + tool +
                                   " FILE | vantrel-cli "
                                   "replay -");
    }
    CReplayer replayer(context, options, type, int(onlyDevice), source == "-" ? "-" : source);
    return replayer.Run(lines);
}
