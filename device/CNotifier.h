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
};
