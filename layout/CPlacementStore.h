// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <string>

class CSettingsStore;
class QWidget;

// Saves and restores the owner window's placement in key "WindowPlacement" of a section.
class CPlacementStore {
public:
    explicit CPlacementStore(CSettingsStore* store) : m_store(store) {}
    virtual ~CPlacementStore() = default;

    // Returns whether the value was written.
    bool SaveWindowPlacement(const std::string& section, bool rectOnly);
    // Returns whether a stored placement was applied.
    bool LoadWindowPlacement(const std::string& section, bool rectOnly);

    CSettingsStore* SettingsStore() const { return m_store; }

protected:
    virtual QWidget* OwnerWindow() const = 0;

private:
    CSettingsStore* m_store;
};
