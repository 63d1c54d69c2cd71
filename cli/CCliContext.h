// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "cli/CErrorReporter.h"

#include <atomic>
#include <ostream>
#include <string>
#include <vector>

class CHidPlatform;
class CSettingsStore;

// What every subcommand works with: the platform, the stored settings (read only), the
// standard streams, and the flag that a signal sets to end a running command.
struct CCliContext {
    CHidPlatform& platform;
    CSettingsStore& store;
    std::ostream& out;
    CErrorReporter& errors;
    const std::atomic<bool>& stop;
    bool outIsTerminal;
    // The colour wishes of the environment: NO_COLOR set (and not empty), and TERM.
    bool noColor;
    std::string term;
    // Standard input, for "-".
    int inFd;
};

using CArguments = std::vector<std::string>;

class CCommandLine;

// A ParseCommandLine result that lets the subcommand go on.
constexpr int kContinueCommand = -1;

// Parses a subcommand's `args` into `line`; a usage error is reported, --help prints `help`.
// kContinueCommand when the subcommand goes on, else its exit status.
int ParseCommandLine(CCliContext& context, CCommandLine& line, const CArguments& args,
                     const std::string& help);
