// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "cli/CDecodeOptions.h"
#include "cli/CLanePump.h"
#include "cli/CMqttPublisher.h"
#include "cli/CReaderSetUp.h"
#include "cli/CRotatingRecording.h"
#include "cli/CSession.h"
#include "cli/CSessionPump.h"
#include "cli/CTerminalText.h"
#include "cli/Subcommands.h"
#include "device/ErrorText.h"
#include "recording/QuoteInput.h"
#include "settings/CMemorySettingsStore.h"
#include "settings/CSettingsStore.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <fstream>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char kHelp[] = R"(Usage: vantrel-cli monitor [NAME...] [OPTIONS]

Opens each reader NAME (a display name or the start of one, a device path, or VID:PID in hex,
where "VID:" or ":PID" selects every reader with that id, as lsusb -d does;
by default the reader last opened in Vantrel, else the first reader listed) and shows every
report it sends, decoded as the output window shows it, until interrupted (Ctrl-C). With
several readers each line starts with its reader's name.
  --all            every listed reader
  --count N        end after N reports
  --timeout MS     fail (exit 1) when no report arrived for MS milliseconds
  --timestamps     the time of day before each report's lines; with --format json or records
                   a "timestamp" member: the wall-clock time in ISO 8601 with the time zone
  --no-settings    ignore the stored settings of Vantrel (colours, show flags, last reader)
  --record FILE    also write what was read to FILE as a recording ("-": standard output,
                   instead of the decoded reports); a file that holds something already is
                   kept unless --append (the new recording after it) or --force (overwrite)
  --record-max-size BYTES
                   once the recording reaches BYTES (a number, or with K, M or G for
                   kibibytes, mebibytes, gibibytes) it is renamed FILE.1, older ones FILE.2
                   and so on, and a new FILE begins with the readers' headers
  --record-keep N  the rotated recordings kept (default 1); the oldest beyond is removed
A lane follows its readers and can publish every scan to an MQTT broker:
  --follow         never end because a reader went: readers that come later are opened, and
                   each plug, unplug and failure to open is an event line (an object with
                   --format json or records); the run ends on Ctrl-C, SIGTERM or --count;
                   --record writes every report of every reader the lane opens
  --idle-timeout MS
                   an "idle" event when one reader sent nothing for MS milliseconds
  --mqtt URL       publish to mqtt://[user@]host[:port]/prefix (mqtts:// with TLS, checked
                   against the system's certificates): every scan to
                   prefix/HOSTNAME/READER/scan, the retained reader list to
                   prefix/HOSTNAME/readers and "online"/"offline" to prefix/HOSTNAME/status
  --mqtt-password-file FILE
                   the broker password: the first line of FILE
  --mqtt-queue N   scans held while the broker is away (default 10000); more are dropped
                   and counted
  --mqtt-wait S    fail when the broker has not answered within S seconds (default 10)
A reader in keyboard mode types its labels; each key is one report. For such readers:
  --layout L       read the keys under keyboard layout L (default: the desktop's, else us)
  --grab           take the reader for this command alone: its scans type into no window
  --pause MS       a label also ends after MS milliseconds without a key (default 50; 0: never)
  --end KEYS       the keys that end a label: enter,tab (default), enter, tab or none
)";

constexpr long long kDefaultQueue = 10000;
constexpr long long kDefaultWaitSeconds = 10;
constexpr int kStopWaitMs = 3000;
constexpr long long kMaxKeep = 1000;

// The recording the --record options ask for; false with the exit status when they are wrong
// or the file holds a capture that neither --append nor --force gives up.
bool RecordingOptions(CCliContext& context, const CCommandLine& line,
                      CRotatingRecording::COptions& recording, int& exitCode) {
    recording.path = line.Value("record");
    recording.append = line.Has("append");
    long long keep = recording.keep;
    std::string error;
    if (!line.Number("record-keep", 1, kMaxKeep, 10, keep, error)) {
        exitCode = context.errors.Usage(error);
        return false;
    }
    recording.keep = int(keep);
    if (line.Has("record-max-size") &&
        !CRotatingRecording::ParseSize(line.Value("record-max-size"), recording.maxBytes)) {
        exitCode = context.errors.Usage("--record-max-size takes a size in bytes above 0, "
                                        "with K, M or G for kibi-, mebi- or gibibytes, not " +
                                        QuoteInput(line.Value("record-max-size")));
        return false;
    }
    const bool rotating = line.Has("record-max-size") || line.Has("record-keep");
    if (rotating && (!line.Has("record") || recording.path == "-")) {
        exitCode = context.errors.Usage("--record-max-size and --record-keep need --record "
                                        "with a file");
        return false;
    }
    if (line.Has("record-keep") && !line.Has("record-max-size")) {
        exitCode = context.errors.Usage("--record-keep needs --record-max-size");
        return false;
    }
    struct stat existing {};
    if (line.Has("record") && recording.path != "-" &&
        stat(recording.path.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode)) {
        // Never opened: a FIFO would block, a device would take the recording.
        exitCode =
            context.errors.Fail("cannot write the recording " + QuoteInput(recording.path, 200) +
                                ": it is not a regular file but a folder, a device, a "
                                "FIFO or a socket (- writes to standard output)");
        return false;
    }
    // A capture already made is kept unless the user says what to do with it.
    if (line.Has("record") && recording.path != "-" && !line.Has("append") && !line.Has("force") &&
        stat(recording.path.c_str(), &existing) == 0 && S_ISREG(existing.st_mode) &&
        existing.st_size > 0) {
        exitCode = context.errors.Fail("the recording " + QuoteInput(recording.path, 200) +
                                       " exists: --append adds to it, --force overwrites it");
        return false;
    }
    return true;
}

// The publisher the --mqtt options ask for, connected; null with the exit status when the
// options are wrong or the broker cannot be reached.
std::unique_ptr<CMqttPublisher> ConnectPublisher(CCliContext& context, const CCommandLine& line,
                                                 int& exitCode) {
    CMqttTarget target;
    std::string error;
    long long queue = kDefaultQueue;
    long long waitSeconds = kDefaultWaitSeconds;
    if (!CMqttTarget::Parse(line.Value("mqtt"), target, error) ||
        !line.Number("mqtt-queue", 1, 10000000, 10, queue, error) ||
        !line.Number("mqtt-wait", 1, 3600, 10, waitSeconds, error)) {
        exitCode = context.errors.Usage(error);
        return nullptr;
    }
    if (line.Has("mqtt-password-file")) {
        const std::string file = line.Value("mqtt-password-file");
        std::ifstream in(file);
        if (!in) {
            exitCode = context.errors.Fail("cannot read the MQTT password file " +
                                           QuoteInput(file, 200) + ": " + ErrnoText(errno));
            return nullptr;
        }
        std::getline(in, target.password);
        if (target.user.empty()) {
            exitCode = context.errors.Usage("a password file needs a user in the broker URL "
                                            "(mqtt://user@host/prefix)");
            return nullptr;
        }
    }
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) != 0) {
        std::snprintf(host, sizeof host, "localhost");
    }
    auto publisher = std::make_unique<CMqttPublisher>(target, host, size_t(queue));
    if (!publisher->Start(int(waitSeconds * 1000), error)) {
        exitCode = context.errors.Fail(error);
        return nullptr;
    }
    context.errors.Note("Publishing to " + target.Address() + " under " + publisher->Topic("") +
                        "#");
    return publisher;
}

// A lane: the readers followed as they come and go, and published when asked.
int RunLane(CCliContext& context, CDecodeOptions& options, const CCommandLine& line,
            const CSessionPump::COptions& pumpOptions,
            const CRotatingRecording::COptions& recordingOptions, const CReaderSetUp& setUp) {
    if (recordingOptions.path == "-") {
        return context.errors.Usage("a lane writes its events to standard output: --record "
                                    "takes a file with --follow, --idle-timeout or --mqtt");
    }
    CLanePump::COptions lane;
    lane.names = line.Positional();
    lane.all = line.Has("all");
    if (lane.all && !lane.names.empty()) {
        return context.errors.Usage("monitor takes either reader names or --all");
    }
    lane.follow = line.Has("follow");
    lane.timestamps = pumpOptions.timestamps;
    lane.count = pumpOptions.count;
    lane.silenceMs = pumpOptions.idleMs;
    lane.format = options.Format();
    lane.setUp = setUp;
    std::string error;
    if (!line.Number("idle-timeout", 1, INT_MAX, 10, lane.idleMs, error)) {
        return context.errors.Usage(error);
    }
    int exitCode = kExitDone;
    std::unique_ptr<CMqttPublisher> publisher;
    if (line.Has("mqtt")) {
        publisher = ConnectPublisher(context, line, exitCode);
        if (!publisher) {
            return exitCode;
        }
    }
    // The file is made when the first reader opens.
    std::unique_ptr<CRotatingRecording> recording;
    if (line.Has("record")) {
        CRotatingRecording::COptions several = recordingOptions;
        several.severalDevices = true;
        recording = std::make_unique<CRotatingRecording>(several, context.out);
        lane.recording = recording.get();
    }
    CLanePump pump(context, options.Settings(), options.Sink(), publisher.get(), lane);
    if (!pump.Start(exitCode)) {
        return exitCode;
    }
    context.errors.Note(lane.follow ? "Following the readers; Ctrl-C ends."
                                    : "Monitoring; Ctrl-C ends.");
    const int status = pump.Run();
    if (publisher) {
        publisher->Stop(kStopWaitMs);
        if (publisher->Undelivered() > 0) {
            context.errors.Report(std::to_string(publisher->Undelivered()) +
                                  " scans were read but not delivered: the MQTT broker " +
                                  "did not take them before the end");
        }
        if (publisher->Dropped() > 0) {
            context.errors.Report(std::to_string(publisher->Dropped()) +
                                  " scans were dropped while the MQTT broker was away "
                                  "(--mqtt-queue holds more)");
        }
    }
    return status;
}

// The readers the command line names; false with the exit status when one is not found.
bool ChooseReaders(CCliContext& context, CSettingsStore& store, const CCommandLine& line,
                   const CReaderLookup& lookup, std::vector<CReaderLookup::CChoice>& choices,
                   int& exitCode) {
    std::vector<std::string> names = line.Positional();
    if (line.Has("all")) {
        if (!names.empty()) {
            exitCode = context.errors.Usage("monitor takes either reader names or --all");
            return false;
        }
        names = lookup.Listed();
    }
    // No name: the stored reader, or the one the enumeration selects.
    if (names.empty()) {
        names.emplace_back();
    }
    for (const std::string& name : names) {
        const size_t before = choices.size();
        if (lookup.ExpandPartialIds(name, choices)) {
            if (choices.size() == before) {
                exitCode = context.errors.Fail("no listed reader has the ids " + QuoteInput(name) +
                                               " (\"vantrel-cli list\" shows the readers)");
                return false;
            }
            continue;
        }
        CReaderLookup::CChoice choice;
        const std::string stored = store.GetProfileString("Settings", "DeviceName", "");
        if (!lookup.Find(name, stored, choice, context.errors, exitCode)) {
            return false;
        }
        choices.push_back(choice);
    }
    // A reader named twice (by its ids and by its path) is opened once.
    std::vector<CReaderLookup::CChoice> once;
    for (const CReaderLookup::CChoice& choice : choices) {
        if (std::none_of(once.begin(), once.end(), [&](const CReaderLookup::CChoice& seen) {
                return seen.path == choice.path;
            })) {
            once.push_back(choice);
        }
    }
    choices.swap(once);
    return true;
}

} // namespace

int RunMonitor(CCliContext& context, const CArguments& args) {
    // Read before the options, which take their defaults from the store.
    CMemorySettingsStore noStore;
    const bool noSettings = std::find(args.begin(), args.end(), "--no-settings") != args.end();
    CSettingsStore& store = noSettings ? static_cast<CSettingsStore&>(noStore) : context.store;
    CDecodeOptions options(
        store, {"all", "timestamps", "follow", "no-settings", "append", "force", "grab"},
        {"record", "record-max-size", "record-keep", "count", "timeout", "idle-timeout", "mqtt",
         "mqtt-password-file", "mqtt-queue", "mqtt-wait", "layout", "pause", "end", "decoding"});
    if (const int code = options.Parse(
            args, (std::string(kHelp) + CDecodeOptions::kDecodingHelp).c_str(), context);
        code != CDecodeOptions::kContinue) {
        return code;
    }
    const CCommandLine& line = options.Line();
    CSessionPump::COptions pumpOptions;
    std::string error;
    if (!line.Number("count", 1, LLONG_MAX, 10, pumpOptions.count, error) ||
        !line.Number("timeout", 1, INT_MAX, 10, pumpOptions.idleMs, error)) {
        return context.errors.Usage(error);
    }
    pumpOptions.timestamps = line.Has("timestamps");
    int exitCode = kExitDone;
    CRotatingRecording::COptions recordingOptions;
    if (!RecordingOptions(context, line, recordingOptions, exitCode)) {
        return exitCode;
    }
    CReaderSetUp setUp;
    if (!setUp.Parse(context, line, options.ChosenDecoding(), exitCode)) {
        return exitCode;
    }
    if (line.Has("follow") || line.Has("mqtt") || line.Has("idle-timeout")) {
        return RunLane(context, options, line, pumpOptions, recordingOptions, setUp);
    }

    const CReaderLookup lookup(context.platform);
    std::vector<CReaderLookup::CChoice> choices;
    if (!ChooseReaders(context, store, line, lookup, choices, exitCode)) {
        return exitCode;
    }

    const bool toStandardOutput = line.Value("record") == "-";
    std::ostream discarded(nullptr);
    if (toStandardOutput) {
        options.Redirect(discarded);
    }
    CSessionQueue queue;
    std::vector<std::unique_ptr<CSession>> sessions;
    std::vector<CSession*> open;
    for (const CReaderLookup::CChoice& choice : choices) {
        sessions.push_back(std::make_unique<CSession>(context.platform, options.Settings(),
                                                      options.Sink(), context.errors, queue,
                                                      int(sessions.size())));
        if (!sessions.back()->Open(choice)) {
            return kExitFailed;
        }
        if (!setUp.Apply(*sessions.back(), error)) {
            return context.errors.Fail(error);
        }
        open.push_back(sessions.back().get());
    }
    pumpOptions.tagReaders = open.size() > 1;

    // The file is made only now, so that a reader that does not open leaves it as it was.
    std::unique_ptr<CRotatingRecording> recorder;
    if (line.Has("record")) {
        recordingOptions.severalDevices = open.size() > 1;
        recorder = std::make_unique<CRotatingRecording>(recordingOptions, context.out);
        if (!recorder->Open()) {
            return context.errors.Fail(recorder->Failure());
        }
        for (CSession* session : open) {
            const CHidInterfaceInfo* info = lookup.Interface(session->Path());
            CHidInterfaceInfo header = info ? *info : CHidInterfaceInfo();
            session->Port().GetAttributes(header.attributes);
            pumpOptions.recordIndexes.push_back(recorder->AddDevice(header, session->Name()));
        }
        if (!recorder->Good()) {
            return context.errors.Fail(recorder->Failure());
        }
        pumpOptions.recorder = recorder.get();
    }
    for (CSession* session : open) {
        context.errors.Note("Monitoring \"" + session->Name() + "\" (" + session->Path() + ")" +
                            (open.size() > 1 ? "" : "; Ctrl-C ends."));
    }
    if (open.size() > 1) {
        context.errors.Note("Ctrl-C ends.");
    }
    CSessionPump pump(open, queue, options.Sink(), context.errors);
    return pump.Run(context.stop, pumpOptions);
}
