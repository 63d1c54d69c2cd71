// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "cli/CCliContext.h"
#include "cli/CCommandLine.h"
#include "device/CHidDevice.h"

#include <optional>
#include <string>

class CSession;

// What monitor sets on every reader it opens, one reader or a lane's: the decoding and, for a
// reader in keyboard mode, the layout, the pause, the keys that end a label and the grab.
// Options left out keep what the stored settings give the reader.
class CReaderSetUp {
public:
    // Reads the options of `line`; false with the exit status when one is wrong, before any
    // reader is opened.
    bool Parse(CCliContext& context, const CCommandLine& line, Decoding decoding, int& exitCode);
    // Sets them on the device of `session`; false with the reason when the reader cannot be
    // taken as --grab asks.
    bool Apply(CSession& session, std::string& error) const;

private:
    Decoding m_decoding = Decoding::Specified;
    std::optional<std::string> m_layout;
    std::optional<int> m_pauseMs;
    std::optional<bool> m_endOnEnter;
    std::optional<bool> m_endOnTab;
    bool m_grab = false;
};
