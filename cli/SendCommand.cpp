// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "cli/CDecodeOptions.h"
#include "cli/CSession.h"
#include "cli/CSessionPump.h"
#include "cli/CTerminalText.h"
#include "cli/SendCommands.h"
#include "cli/Subcommands.h"
#include "device/ErrorText.h"
#include "device/ReaderTypes.h"
#include "recording/CRecording.h"
#include "recording/QuoteInput.h"

#include <climits>

namespace {

const char kHelp[] = R"(Usage: vantrel-cli send NAME COMMAND [ARG...] [--wait MS] [OPTIONS]

Sends one command to the reader NAME (a display name or the start of one, a device path, or
VID:PID in hex), then shows for MS milliseconds what the reader answers. A command that the
reader's type does not carry out is an error. TEXT takes the escapes \r \n \t \v \a \\ \xHH
\ooo.
)";

const char kRawHelp[] = R"(Every interface, whatever its type:
  output HEX...        one output report, byte 0 the report id, padded with zeros to the
                       interface's output report length
  feature-get ID       reads feature report ID (hex) and prints its bytes
  feature-set HEX...   one feature report, byte 0 the report id, padded like output
  --wait MS        show the reader's answers for MS milliseconds (default 0)
)";

// Pads the bytes of a raw command to the interface's report length of that kind; false when
// they do not fit.
bool PadReport(uint16_t reportLength, const char* kind, std::vector<uint8_t>& bytes,
               std::string& error) {
    if (reportLength == 0) {
        error = std::string("the interface has no ") + kind + " reports";
        return false;
    }
    if (bytes.size() > reportLength) {
        error = std::string("the ") + kind + " report is " + std::to_string(reportLength) +
                " bytes long with its id, not " + std::to_string(bytes.size());
        return false;
    }
    bytes.resize(reportLength, 0);
    return true;
}

// output, feature-get and feature-set; false with the exit status when it failed.
bool RunRaw(CCliContext& context, CSession& session, const CArguments& words,
            const std::string& format, int& exitCode) {
    const std::string& command = words[1];
    const CHidCaps& caps = session.Port().GetCaps();
    std::vector<uint8_t> bytes;
    std::string error;
    bool ok = false;
    if (command == "feature-get") {
        if (!ParseHexBytes(words[2], bytes, error) || bytes.size() != 1) {
            exitCode = context.errors.Usage("feature-get needs one report id in hex, not " +
                                            QuoteInput(words[2]));
            return false;
        }
        const uint8_t id = bytes[0];
        if (caps.featureReportByteLength == 0) {
            exitCode = context.errors.Fail("\"" + session.Name() + "\" has no feature reports");
            return false;
        }
        bytes.assign(caps.featureReportByteLength, 0);
        bytes[0] = id;
        ok = session.Port().GetFeature(bytes.data(), bytes.size());
        if (ok) {
            const std::string hex = FormatHexBytes(bytes.data(), bytes.size());
            if (format == "json" || format == "records") {
                context.out << "{\"feature\": \"" << hex << "\"}\n";
            } else {
                context.out << hex << "\n";
            }
        }
    } else {
        std::string text;
        for (size_t i = 2; i < words.size(); ++i) {
            text += words[i] + " ";
        }
        if (!ParseHexBytes(text, bytes, error)) {
            exitCode = context.errors.Usage(command + " needs the report's bytes in hex: " + error);
            return false;
        }
        const bool output = command == "output";
        if (!PadReport(output ? caps.outputReportByteLength : caps.featureReportByteLength,
                       output ? "output" : "feature", bytes, error)) {
            exitCode = context.errors.Fail("\"" + session.Name() + "\": " + error);
            return false;
        }
        ok = output ? session.Port().Write(bytes.data(), bytes.size())
                    : session.Port().SetFeature(bytes.data(), bytes.size());
    }
    if (!ok) {
        exitCode = context.errors.Fail(command + " on \"" + session.Name() +
                                       "\" failed: " + ErrnoText(session.Port().LastError()));
    }
    return ok;
}

bool IsRaw(const std::string& command) {
    return command == "output" || command == "feature-get" || command == "feature-set";
}

// Checks the words of a command against its row; false with the exit status.
bool CheckWords(CCliContext& context, const CArguments& words, int& exitCode) {
    const std::string& name = words[1];
    if (IsRaw(name)) {
        const bool one = name == "feature-get";
        if (words.size() < 3 || (one && words.size() != 3)) {
            exitCode = context.errors.Usage("\"" + name + "\" needs " +
                                            (one ? "one report id" : "the report's bytes"));
            return false;
        }
        return true;
    }
    const CSendCommandRow* known = FindAnySendCommand(name);
    if (!known) {
        exitCode = context.errors.Usage("unknown command " + QuoteInput(name) +
                                        " (\"vantrel-cli send --help\")");
        return false;
    }
    if (known->TakesArgument() != (words.size() == 3) || words.size() > 3) {
        exitCode =
            context.errors.Usage(known->TakesArgument() ? "\"" + name + "\" needs one argument"
                                                        : "\"" + name + "\" takes no argument");
        return false;
    }
    if (name == "redirect" && words[2] != "0" && words[2] != "1") {
        exitCode = context.errors.Usage("redirect takes 0 or 1");
        return false;
    }
    return true;
}

std::string Help() {
    std::string help = kHelp;
    help += "Commands by reader type:\n";
    for (DeviceType type :
         {DeviceType::Quorin, DeviceType::HidPos, DeviceType::SurePos, DeviceType::SurePosSio}) {
        help += "  " + std::string(DeviceTypeName(type)) + ": " + SendCommandList(type) + "\n";
    }
    return help + kRawHelp;
}

} // namespace

int RunSend(CCliContext& context, const CArguments& args) {
    CDecodeOptions options(context.store, {}, {"wait"});
    const std::string help = Help();
    if (const int code = options.Parse(args, help.c_str(), context);
        code != CDecodeOptions::kContinue) {
        return code;
    }
    const CCommandLine& line = options.Line();
    const auto& words = line.Positional();
    if (words.size() < 2) {
        return context.errors.Usage("send needs a reader NAME and a COMMAND");
    }
    int exitCode = kExitDone;
    if (!CheckWords(context, words, exitCode)) {
        return exitCode;
    }
    long long waitMs = 0;
    std::string error;
    if (!line.Number("wait", 0, INT_MAX, 10, waitMs, error)) {
        return context.errors.Usage(error);
    }

    const CReaderLookup lookup(context.platform);
    CReaderLookup::CChoice choice;
    if (!lookup.Find(words[0], "", choice, context.errors, exitCode)) {
        return exitCode;
    }
    CSessionQueue queue;
    CSession session(context.platform, options.Settings(), options.Sink(), context.errors, queue,
                     0);
    if (!session.Open(choice)) {
        return kExitFailed;
    }
    const std::string& commandName = words[1];
    if (IsRaw(commandName)) {
        if (!RunRaw(context, session, words, options.Format(), exitCode)) {
            return exitCode;
        }
    } else {
        CHidDevice* device = session.Device();
        if (!device) {
            return context.errors.Fail("\"" + session.Name() +
                                           "\" is not of a reader type that takes commands; "
                                           "output, feature-get and feature-set work on every "
                                           "interface",
                                       kExitUsage);
        }
        if (device->Type() == DeviceType::Keyboard) {
            return context.errors.Fail(
                "\"" + session.Name() +
                "\" is a reader in keyboard mode and takes no commands; scanning the \"USB HID "
                "POS\" configuration code from its manual switches it to a Hid Pos reader");
        }
        const CSendCommandRow* chosen = FindSendCommand(commandName, device->Type());
        const std::string typeName = DeviceTypeName(device->Type());
        if (!chosen) {
            return context.errors.Usage("\"" + commandName + "\" is not a command of a " +
                                        typeName + " reader; a " + typeName +
                                        " reader has: " + SendCommandList(device->Type()));
        }
        const int32_t result = chosen->run(*device, chosen->TakesArgument() ? words[2] : "");
        options.Sink().Flush();
        if (session.Failures() > 0) {
            return kExitFailed;
        }
        if (commandName == "redirect" && result == 0) {
            return context.errors.Fail("\"" + session.Name() +
                                       "\" did not confirm the redirect to interface " + words[2]);
        }
    }
    CSessionPump::COptions pumpOptions;
    pumpOptions.until = CSession::Clock::now() + std::chrono::milliseconds(waitMs);
    CSessionPump pump({&session}, queue, options.Sink(), context.errors);
    return pump.Run(context.stop, pumpOptions);
}
