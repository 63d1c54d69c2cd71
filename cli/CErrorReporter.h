// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <ostream>
#include <string>

// The exit status of every subcommand.
enum ExitCode : int { kExitDone = 0, kExitFailed = 1, kExitUsage = 2 };

// Reports the terminal tool's errors on standard error, each with the tool's name in front, and
// gives the exit status that goes with it. After kShownLimit messages the rest are only
// counted, so that a hostile input cannot flood the terminal; Finish says how many there were.
class CErrorReporter {
public:
    static constexpr int kShownLimit = 20;

    explicit CErrorReporter(std::ostream& err) : m_err(err) {}

    // The device or a command failed; returns `code`.
    int Fail(const std::string& message, int code = kExitFailed);
    // The command line is wrong; adds where the usage is described.
    int Usage(const std::string& problem);
    // A message that does not end the command by itself (a device message, a bad line).
    void Report(const std::string& message);
    // A line for the user that is not an error ("Monitoring ...").
    void Note(const std::string& text) { m_err << text << "\n"; }
    // The count of the messages that were not shown.
    void Finish();
    // How many messages were reported, failures included.
    int Count() const { return m_count; }
    // Whether everything written to `out` so far went out; the first failure is reported once,
    // with the reason, so that a full disk or a closed pipe ends the command with exit status 1.
    bool CheckWritten(std::ostream& out);

private:
    std::ostream& m_err;
    int m_count = 0;
    bool m_writeFailed = false;
};
