// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <string>

// The list of a combo box with an edit field, as the send history fills it. The GUI implements
// it over its combo widget; the list keeps its items sorted itself.
class CComboList {
public:
    virtual ~CComboList() = default;

    virtual void ResetContent() = 0;
    virtual void AddString(const std::string& text) = 0;
    // Selects the first item that begins with `prefix`, ignoring case, and shows it in the edit
    // field. Returns its index, or -1 (selection unchanged) when no item matches.
    virtual int SelectString(const std::string& prefix) = 0;
};
