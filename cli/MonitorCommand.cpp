#include "cli/CDecodeOptions.h"
#include "cli/CRecording.h"
#include "cli/CSession.h"
#include "cli/Subcommands.h"
#include "platform/CReportDescriptor.h"

#include <cerrno>
#include <fstream>

namespace {

const char kHelp[] = R"(Usage: vantrel-cli monitor [NAME] [OPTIONS]

Opens NAME (a display name or a device path; by default the reader last opened in Vantrel, else
the first reader listed) and shows every report it sends, decoded as the output window shows it,
until interrupted (Ctrl-C).
  --record FILE    also write what was read to FILE as a recording
)";

// Whether the reader's input reports carry a report id, from its descriptor.
bool InputNumbered(const std::vector<uint8_t>& descriptor) {
    CReportDescriptor parsed;
    return descriptor.empty() ||
           (parsed.Parse(descriptor) && parsed.IsNumbered(CReportKind::Input));
}

} // namespace

int RunMonitor(CCliContext& context, const CArguments& args) {
    CDecodeOptions options(context.store, {}, {"record"});
    if (const int code = options.Parse(args, kHelp, context); code != CDecodeOptions::kContinue)
        return code;
    const CCommandLine& line = options.Line();
    if (line.Positional().size() > 1)
        return context.errors.Usage("monitor takes at most one reader name");

    std::ofstream recordFile;
    if (line.Has("record")) {
        recordFile.open(line.Value("record"));
        if (!recordFile)
            return context.errors.Fail("cannot write the recording \"" + line.Value("record") +
                                       "\": " + ErrorText(errno));
    }

    const CReaderLookup lookup(context.platform);
    CReaderLookup::CChoice choice;
    std::string error;
    const std::string stored = context.store.GetProfileString("Settings", "DeviceName", "");
    if (!lookup.Resolve(line.Positional().empty() ? "" : line.Positional()[0], stored, choice,
                        error))
        return context.errors.Fail(error);
    CSession session(context.platform, options.Settings(), options.Sink(), context.errors);
    if (!session.Open(choice))
        return kExitFailed;

    std::unique_ptr<CRecordingWriter> recorder;
    if (recordFile.is_open()) {
        const CHidInterfaceInfo* info = lookup.Interface(session.Path());
        const std::vector<uint8_t> descriptor =
            info ? info->reportDescriptor : std::vector<uint8_t>();
        CHidAttributes attributes;
        session.Port().GetAttributes(attributes);
        recorder = std::make_unique<CRecordingWriter>(recordFile, InputNumbered(descriptor));
        recorder->WriteHeader(session.Name(), attributes, descriptor);
    }
    context.errors.Note("Monitoring \"" + session.Name() + "\" (" + session.Path() +
                        "); Ctrl-C ends.");
    const bool ok = session.Pump(CSession::Clock::time_point::max(), context.stop, recorder.get());
    return ok ? kExitDone : kExitFailed;
}
