#include "cli/CDecodeOptions.h"
#include "cli/CSession.h"
#include "cli/SendCommands.h"
#include "cli/Subcommands.h"
#include "settings/CSettingsStore.h"

#include <cstdlib>

namespace {

const char kHelp[] = R"(Usage: vantrel-cli send NAME COMMAND [ARG] [--wait MS] [OPTIONS]

Sends one command to the reader NAME (a display name or a device path), then shows for MS
milliseconds what the reader answers.
Commands of every reader: trigger-on, trigger-off, beep, error-beep, enable, disable, beeper-on,
  beeper-off, redirect 0|1, string TEXT (with \r \n \t \v \a \\ \xHH \ooo escapes), get-contents
SurePos: test, status-request, reset, configure, report-configuration, 2-label-cfg,
  report-2-label-cfg, direct-io-cmd
SurePos Sio: test, status-request, reset, setup, channel-control, read-status, receive-buffer
  --wait MS        show the reader's answers for MS milliseconds (default 0)
)";

} // namespace

int RunSend(CCliContext& context, const CArguments& args) {
    CDecodeOptions options(context.store, {}, {"wait"});
    if (const int code = options.Parse(args, kHelp, context); code != CDecodeOptions::kContinue)
        return code;
    const CCommandLine& line = options.Line();
    const auto& words = line.Positional();
    if (words.size() < 2)
        return context.errors.Usage("send needs a reader NAME and a COMMAND");
    const std::string& commandName = words[1];
    const CSendCommandRow* known = FindAnySendCommand(commandName);
    if (!known)
        return context.errors.Usage("unknown command \"" + commandName +
                                    "\" (\"vantrel-cli send --help\")");
    const bool takesArgument = known->takesArgument;
    if (takesArgument != (words.size() == 3) || words.size() > 3)
        return context.errors.Usage(takesArgument ? "\"" + commandName + "\" needs one argument"
                                                  : "\"" + commandName + "\" takes no argument");
    if (commandName == "redirect" && words[2] != "0" && words[2] != "1")
        return context.errors.Usage("redirect takes 0 or 1");
    char* end = nullptr;
    const std::string waitText = line.Value("wait", "0");
    const long waitMs = std::strtol(waitText.c_str(), &end, 10);
    if (waitText.empty() || *end != '\0' || waitMs < 0)
        return context.errors.Usage("--wait needs a number of milliseconds");

    const CReaderLookup lookup(context.platform);
    CReaderLookup::CChoice choice;
    std::string error;
    if (!lookup.Resolve(words[0], "", choice, error))
        return context.errors.Fail(error);
    CSession session(context.platform, options.Settings(), options.Sink(), context.errors);
    if (!session.Open(choice))
        return kExitFailed;
    CHidDevice* device = session.Device();
    if (!device)
        return context.errors.Fail("\"" + session.Name() +
                                   "\" is not of a reader type that takes commands");
    const CSendCommandRow* chosen = FindSendCommand(commandName, device->Type());
    if (!chosen)
        return context.errors.Usage("\"" + commandName + "\" is not a command of a " +
                                    DeviceTypeName(device->Type()) + " reader");
    const int32_t result = chosen->run(*device, takesArgument ? words[2] : "");
    if (session.Failures() > 0)
        return kExitFailed;
    if (commandName == "redirect" && result == 0)
        return context.errors.Fail("\"" + session.Name() +
                                   "\" did not confirm the redirect to interface " + words[2]);
    const bool ok = session.Pump(CSession::Clock::now() + std::chrono::milliseconds(waitMs),
                                 context.stop, nullptr);
    return ok ? kExitDone : kExitFailed;
}
