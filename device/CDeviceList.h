// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <string>

// The device list that enumeration fills: the main dialog's combo box, or a plain list.
class CDeviceList {
public:
    virtual ~CDeviceList() = default;
    virtual int GetCount() const = 0;
    virtual void DeleteItem(int index) = 0;
    virtual void AddItem(const std::string& text) = 0;
    // Text of the selected item; empty when nothing is selected.
    virtual std::string GetCurrentText() const = 0;
    // Selects the first item that begins with `prefix`, ignoring case. False when none does.
    virtual bool SelectPrefix(const std::string& prefix) = 0;
};
