// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <string>

// Messages the device layer shows to the user: the GUI shows a message box with an OK button,
// the terminal tool prints to standard error.
class CNotifier {
public:
    virtual ~CNotifier() = default;
    virtual void ShowMessage(const std::string& text) = 0;
    // The specified decoding showed less than the complete one would (`why` says what): the GUI
    // offers the choice in a bar above the output; elsewhere nothing is shown.
    virtual void SuggestCompleteDecoding(const std::string&) {}
};
