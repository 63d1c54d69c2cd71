// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "cli/CCliContext.h"

// The subcommands, one file each. Each parses its own arguments and returns its exit status.
int RunList(CCliContext& context, const CArguments& args);
int RunMonitor(CCliContext& context, const CArguments& args);
int RunSend(CCliContext& context, const CArguments& args);
int RunDescribe(CCliContext& context, const CArguments& args);
int RunReplay(CCliContext& context, const CArguments& args);
