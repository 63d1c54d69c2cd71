// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "cli/CCliContext.h"
#include "cli/CCommandLine.h"
#include "cli/CSettingsOverlay.h"
#include "cli/CTerminalSink.h"
#include "device/CHidDevice.h"

#include <memory>
#include <set>
#include <string>

// What every subcommand that decodes takes: its own options, the three show flags, --set and
// --format; the settings they override for this run and the sink they choose.
class CDecodeOptions {
public:
    // The help text of the options every decoding subcommand takes.
    static const char kHelp[];
    // The help text of --decoding, for the subcommands that declare it.
    static const char kDecodingHelp[];
    // A Parse result that lets the subcommand go on.
    static constexpr int kContinue = kContinueCommand;

    CDecodeOptions(CSettingsStore& store, std::set<std::string> flags,
                   std::set<std::string> valued);

    // Parses `args`; prints `help` (and the common options) for --help. kContinue when the
    // subcommand goes on, else its exit status.
    int Parse(const CArguments& args, const char* help, CCliContext& context);

    const CCommandLine& Line() const { return m_line; }
    CSettingsOverlay& Settings() { return m_overlay; }
    CTerminalSink& Sink() { return *m_sink; }
    // Sends the decoded output to `out` instead, in the same format.
    void Redirect(std::ostream& out);
    // The chosen --format.
    const std::string& Format() const { return m_format; }
    // The chosen --decoding (specified when not given).
    Decoding ChosenDecoding() const { return m_decoding; }

private:
    CCommandLine m_line;
    CSettingsOverlay m_overlay;
    std::unique_ptr<CTerminalSink> m_sink;
    std::string m_format;
    bool m_settingsPalette = false;
    Decoding m_decoding = Decoding::Specified;
};
