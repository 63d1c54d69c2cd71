// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "device/CDeviceList.h"

#include <string>
#include <vector>

// A device list without widgets, for the terminal tool and tests. Keeps its items sorted
// alphabetically (ignoring case) as the main dialog's list does; a new item goes after equal ones.
class CPlainDeviceList : public CDeviceList {
public:
    int GetCount() const override { return int(m_items.size()); }
    void DeleteItem(int index) override;
    void AddItem(const std::string& text) override;
    std::string GetCurrentText() const override;
    bool SelectPrefix(const std::string& prefix) override;

    const std::vector<std::string>& Items() const { return m_items; }
    // Index of the selected item, -1 when nothing is selected.
    int CurrentIndex() const { return m_current; }

private:
    std::vector<std::string> m_items;
    int m_current = -1;
};
