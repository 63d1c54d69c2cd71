// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "cli/CDecodeOptions.h"
#include "cli/CSession.h"
#include "cli/CSessionPump.h"
#include "cli/CTerminalText.h"
#include "cli/Subcommands.h"
#include "device/ErrorText.h"
#include "recording/CRecording.h"
#include "recording/QuoteInput.h"
#include "settings/CSettingsStore.h"

#include <cerrno>
#include <climits>
#include <fstream>
#include <memory>

namespace {

const char kHelp[] = R"(Usage: vantrel-cli monitor [NAME...] [OPTIONS]

Opens each reader NAME (a display name or the start of one, a device path, or VID:PID in hex;
by default the reader last opened in Vantrel, else the first reader listed) and shows every
report it sends, decoded as the output window shows it, until interrupted (Ctrl-C). With
several readers each line starts with its reader's name.
  --all            every listed reader
  --count N        end after N reports
  --timeout MS     fail (exit 1) when no report arrived for MS milliseconds
  --timestamps     the time of day before each report's lines
  --record FILE    also write what was read to FILE as a recording ("-": standard output,
                   instead of the decoded reports)
)";

// The readers the command line names; false with the exit status when one is not found.
bool ChooseReaders(CCliContext& context, const CCommandLine& line, const CReaderLookup& lookup,
                   std::vector<CReaderLookup::CChoice>& choices, int& exitCode) {
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
        CReaderLookup::CChoice choice;
        const std::string stored = context.store.GetProfileString("Settings", "DeviceName", "");
        if (!lookup.Find(name, stored, choice, context.errors, exitCode)) {
            return false;
        }
        choices.push_back(choice);
    }
    return true;
}

} // namespace

int RunMonitor(CCliContext& context, const CArguments& args) {
    CDecodeOptions options(context.store, {"all", "timestamps"}, {"record", "count", "timeout"});
    if (const int code = options.Parse(args, kHelp, context); code != CDecodeOptions::kContinue) {
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

    const CReaderLookup lookup(context.platform);
    std::vector<CReaderLookup::CChoice> choices;
    int exitCode = kExitDone;
    if (!ChooseReaders(context, line, lookup, choices, exitCode)) {
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
        open.push_back(sessions.back().get());
    }
    pumpOptions.tagReaders = open.size() > 1;

    // The file is made only now, so that a reader that does not open leaves it as it was.
    std::ofstream recordFile;
    std::unique_ptr<CRecordingWriter> recorder;
    if (line.Has("record")) {
        if (!toStandardOutput) {
            recordFile.open(line.Value("record"));
            if (!recordFile) {
                return context.errors.Fail("cannot write the recording " +
                                           QuoteInput(line.Value("record"), 200) + ": " +
                                           ErrnoText(errno));
            }
        }
        recorder = std::make_unique<CRecordingWriter>(
            toStandardOutput ? context.out : static_cast<std::ostream&>(recordFile),
            open.size() > 1);
        for (CSession* session : open) {
            const CHidInterfaceInfo* info = lookup.Interface(session->Path());
            CHidInterfaceInfo header = info ? *info : CHidInterfaceInfo();
            session->Port().GetAttributes(header.attributes);
            pumpOptions.recordIndexes.push_back(recorder->AddDevice(header, session->Name()));
        }
        if (!recorder->Good()) {
            return context.errors.Fail("cannot write the recording " +
                                       QuoteInput(line.Value("record"), 200) + ": " +
                                       ErrnoText(recorder->Error()));
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
