#include "cli/CDecodeOptions.h"
#include "cli/CRecording.h"
#include "cli/CReplayPlatform.h"
#include "cli/CSession.h"
#include "cli/CStderrNotifier.h"
#include "cli/Subcommands.h"
#include "device/CHidDeviceFactory.h"
#include "device/CHidPort.h"
#include "device/CQueuedPoster.h"
#include "platform/CReportDescriptor.h"

#include <cerrno>
#include <fstream>
#include <iostream>
#include <map>

namespace {

const char kHelp[] =
    R"(Usage: vantrel-cli replay [--type quorin|hidpos|surepos|sio] FILE|- [OPTIONS]

Decodes the input reports of a recording through a device type, without hardware. The type comes
from --type or from the recording's report descriptor ("R:" line). Writes go nowhere, so "Add Out
data" echoes appear; get-feature reads are answered by the recording's "F:" lines in file order.
Recording lines: "R: <n> <hex>" descriptor, "N: <name>", "I: <bus> <vid> <pid>",
"E: <sec.usec> <n> <hex>" input report, "F: <hex>" feature answer; plain hex lines are input
reports; '#' starts a comment. Malformed lines are reported with their number; the replay goes on
and exits 1 at the end.
)";

const std::map<std::string, DeviceType>& ReplayTypes() {
    static const std::map<std::string, DeviceType> types = {{"quorin", DeviceType::Quorin},
                                                            {"hidpos", DeviceType::HidPos},
                                                            {"surepos", DeviceType::SurePos},
                                                            {"sio", DeviceType::SurePosSio}};
    return types;
}

// Report byte lengths of a typical interface of each type, for a replay without a descriptor.
CHidCaps TypicalCaps(DeviceType type) {
    switch (type) {
    case DeviceType::Quorin:
        return {0x0001, 0xFFA0, 64, 64, 0};
    case DeviceType::HidPos:
        return {0x0002, 0x008C, 64, 64, 2};
    case DeviceType::SurePos:
        return {0x4B00, 0xFF45, 65, 12, 0};
    case DeviceType::SurePosSio:
        return {0x6400, 0xFF45, 3, 252, 250};
    case DeviceType::None:
        break;
    }
    return CHidCaps();
}

} // namespace

int RunReplay(CCliContext& context, const CArguments& args) {
    CDecodeOptions options(context.store, {}, {"type"});
    if (const int code = options.Parse(args, kHelp, context); code != CDecodeOptions::kContinue)
        return code;
    const CCommandLine& line = options.Line();
    if (line.Positional().size() != 1)
        return context.errors.Usage("replay needs one FILE (or - for standard input)");
    DeviceType type = DeviceType::None;
    if (line.Has("type")) {
        auto it = ReplayTypes().find(line.Value("type"));
        if (it == ReplayTypes().end())
            return context.errors.Usage("--type must be quorin, hidpos, surepos or sio");
        type = it->second;
    }

    const std::string& source = line.Positional()[0];
    std::ifstream file;
    if (source != "-") {
        file.open(source);
        if (!file)
            return context.errors.Fail("cannot read \"" + source + "\": " + ErrorText(errno));
    }
    CRecording recording;
    recording.Parse(source == "-" ? std::cin : file);

    CHidCaps caps = TypicalCaps(type);
    bool inputNumbered = true;
    if (recording.m_descriptor) {
        CReportDescriptor parsed;
        if (!parsed.Parse(*recording.m_descriptor))
            return context.errors.Fail("the recording's report descriptor does not parse: at "
                                       "offset " +
                                       std::to_string(parsed.ErrorOffset()) + ": " +
                                       parsed.ErrorReason());
        caps = parsed.Caps();
        inputNumbered = parsed.IsNumbered(CReportKind::Input);
        if (type == DeviceType::None)
            type = SelectDeviceType(caps.usagePage, caps.usage);
    }
    if (type == DeviceType::None) {
        const std::string problem = "the device type is unknown: give --type or a recording "
                                    "with a reader's report descriptor";
        return context.errors.Fail(problem, recording.m_descriptor ? kExitFailed : kExitUsage);
    }

    CHidAttributes attributes;
    attributes.vendorId = recording.m_vendorId.value_or(0);
    attributes.productId = recording.m_productId.value_or(0);
    CReplayPlatform platform(caps, attributes);
    CQueuedPoster poster;
    CHidPort port(platform, poster);
    if (!port.Open(CReplayPlatform::kPath, CSession::kReportMessage))
        return context.errors.Fail("the replay port cannot be opened: " +
                                   ErrorText(port.LastError()));
    CDisplaySettings settings(&options.Settings());
    settings.Load("Settings");
    CStderrNotifier notifier(context.errors);
    {
        auto device = CreateHidDevice(type, port, options.Sink(), settings, notifier);
        device->LoadSettings("Settings");
        for (const auto& item : recording.m_items) {
            if (item.kind == CRecording::CItem::Kind::Feature) {
                platform.QueueFeatureAnswer(item.bytes);
                continue;
            }
            std::vector<uint8_t> report = item.bytes;
            if (!inputNumbered)
                report.insert(report.begin(), 0x00);
            device->OnReport(report.data(), report.size());
        }
    }
    port.Close();
    for (const auto& e : recording.m_errors)
        context.errors.Report(source + ":" + std::to_string(e.line) + ": " + e.message);
    return recording.m_errors.empty() ? kExitDone : kExitFailed;
}
