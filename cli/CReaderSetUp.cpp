// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "cli/CReaderSetUp.h"

#include "cli/CSession.h"
#include "device/CKeyboardDevice.h"
#include "device/ErrorText.h"
#include "platform/CKeyTranslator.h"
#include "recording/QuoteInput.h"

#include <algorithm>
#include <iterator>

bool CReaderSetUp::Parse(CCliContext& context, const CCommandLine& line, Decoding decoding,
                         int& exitCode) {
    m_decoding = decoding;
    if (line.Has("layout") && !line.Value("layout").empty()) {
        // Checked now: a lane may open its first reader in keyboard mode long after the start.
        int error = 0;
        if (!context.platform.CreateKeyTranslator(line.Value("layout"), error)) {
            exitCode = context.errors.Usage("there is no keymap for the keyboard layout " +
                                            QuoteInput(line.Value("layout"), 40) +
                                            " (xkeyboard-config names them: us, de, fr, ...)");
            return false;
        }
    }
    if (line.Has("layout")) {
        m_layout = line.Value("layout");
    }
    if (line.Has("pause")) {
        long long pause = 0;
        std::string error;
        if (!line.Number("pause", 0, 60000, 10, pause, error)) {
            exitCode = context.errors.Usage(error);
            return false;
        }
        m_pauseMs = int(pause);
    }
    if (line.Has("end")) {
        const std::string keys = line.Value("end");
        static const char* const kEnds[] = {"enter,tab", "tab,enter", "enter", "tab", "none"};
        if (std::find(std::begin(kEnds), std::end(kEnds), keys) == std::end(kEnds)) {
            exitCode = context.errors.Usage("--end must be enter,tab, enter, tab or none");
            return false;
        }
        m_endOnEnter = keys.find("enter") != std::string::npos;
        m_endOnTab = keys.find("tab") != std::string::npos;
    }
    m_grab = line.Has("grab");
    return true;
}

bool CReaderSetUp::Apply(CSession& session, std::string& error) const {
    if (CHidDevice* device = session.Device()) {
        device->SetDecoding(m_decoding);
    }
    CKeyboardDevice* keyboard = session.Keyboard();
    if (!keyboard) {
        return true;
    }
    if (m_layout && !keyboard->SetLayout(*m_layout)) {
        error = "\"" + session.Name() + "\" cannot type under the keyboard layout " +
                QuoteInput(*m_layout, 40) + ": its keymap did not load";
        return false;
    }
    if (m_pauseMs) {
        keyboard->SetPauseMs(*m_pauseMs);
    }
    if (m_endOnEnter) {
        keyboard->SetEndOnEnter(*m_endOnEnter);
        keyboard->SetEndOnTab(*m_endOnTab);
    }
    if (m_grab && !keyboard->SetGrab(true)) {
        error = "\"" + session.Name() +
                "\" cannot be grabbed: " + ErrnoText(session.Port().LastError()) +
                "; its scans still type into the focused window";
        return false;
    }
    return true;
}
