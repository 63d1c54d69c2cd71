// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "cli/CCliContext.h"

#include "cli/CCommandLine.h"

int ParseCommandLine(CCliContext& context, CCommandLine& line, const CArguments& args,
                     const std::string& help) {
    std::string error;
    if (!line.Parse(args, error)) {
        return context.errors.Usage(error);
    }
    if (line.Has("help")) {
        context.out << help;
        return kExitDone;
    }
    return kContinueCommand;
}
