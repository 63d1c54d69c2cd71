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

// The terminal tool: the readers from a terminal, live and from recordings. Finds the subcommand
// in its table and runs it. Exit codes: 0 done, 1 the device or a command failed, 2 bad usage.
class CCliApp {
public:
    static constexpr int kDone = kExitDone;
    static constexpr int kFailed = kExitFailed;
    static constexpr int kUsage = kExitUsage;

    // `stop` ends a running command (set from a signal handler).
    CCliApp(CHidPlatform& platform, CSettingsStore& store, std::ostream& out, std::ostream& err,
            const std::atomic<bool>& stop, bool outIsTerminal);

    // The colour wishes of the environment (NO_COLOR set and not empty, TERM) and the
    // descriptor that "-" reads; by default none, no terminal type and standard input.
    void SetEnvironment(bool noColor, const std::string& term, int inFd);

    int Run(const std::vector<std::string>& args);

private:
    CHidPlatform& m_platform;
    CSettingsStore& m_store;
    std::ostream& m_out;
    std::ostream& m_err;
    const std::atomic<bool>& m_stop;
    bool m_outIsTerminal;
    bool m_noColor = false;
    std::string m_term;
    int m_inFd = 0;
};
