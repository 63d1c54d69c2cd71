// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "cli/CCliApp.h"

#include "cli/CCliContext.h"
#include "cli/CTerminalText.h"
#include "cli/Subcommands.h"
#include "recording/QuoteInput.h"

#include <cstring>
#include <iomanip>

namespace {

struct CSubcommand {
    const char* name;
    const char* summary;
    int (*run)(CCliContext& context, const CArguments& args);
};

constexpr CSubcommand kSubcommands[] = {
    {"list", "the readers that can be opened", &RunList},
    {"monitor", "show what a reader sends, decoded, until interrupted", &RunMonitor},
    {"send", "send one command to a reader", &RunSend},
    {"describe", "parse a report descriptor", &RunDescribe},
    {"replay", "decode the input reports of a recording", &RunReplay},
};

void PrintHelp(std::ostream& out) {
    out << "Usage: vantrel-cli COMMAND [OPTIONS]\n\n"
           "The bar-code readers from a terminal, live and from recordings.\n\n"
           "Commands:\n";
    for (const CSubcommand& subcommand : kSubcommands) {
        out << "  " << std::left << std::setw(11) << subcommand.name << subcommand.summary << "\n";
    }
    out << "\n\"vantrel-cli COMMAND --help\" describes each command; \"vantrel-cli --version\" "
           "gives the version.\n"
           "Exit status: 0 done, 1 the device or a command failed, 2 bad usage.\n"
           "Set VANTREL_SIMULATE=1 to use the simulated readers.\n";
}

} // namespace

CCliApp::CCliApp(CHidPlatform& platform, CSettingsStore& store, std::ostream& out,
                 std::ostream& err, const std::atomic<bool>& stop, bool outIsTerminal)
    : m_platform(platform), m_store(store), m_out(out), m_err(err), m_stop(stop),
      m_outIsTerminal(outIsTerminal) {}

void CCliApp::SetEnvironment(bool noColor, const std::string& term, int inFd) {
    m_noColor = noColor;
    m_term = term;
    m_inFd = inFd;
}

int CCliApp::Run(const std::vector<std::string>& args) {
    CErrorReporter errors(m_err);
    if (args.empty()) {
        return errors.Usage("a command is needed");
    }
    const std::string& command = args[0];
    int code = kDone;
    if (command == "--help" || command == "-h" || command == "help") {
        PrintHelp(m_out);
    } else if (command == "--version" || command == "-V") {
        m_out << "vantrel-cli " << VANTREL_VERSION << "\n";
    } else {
        const CSubcommand* chosen = nullptr;
        for (const CSubcommand& subcommand : kSubcommands) {
            if (command == subcommand.name) {
                chosen = &subcommand;
            }
        }
        if (!chosen) {
            return errors.Usage("unknown command " + QuoteInput(command));
        }
        CCliContext context{m_platform,      m_store,   m_out,  errors, m_stop,
                            m_outIsTerminal, m_noColor, m_term, m_inFd};
        code = chosen->run(context, CArguments(args.begin() + 1, args.end()));
    }
    // Output that did not reach its file is a failure, however the command ended.
    m_out.flush();
    if (!errors.CheckWritten(m_out) && code == kDone) {
        code = kExitFailed;
    }
    errors.Finish();
    return code;
}
