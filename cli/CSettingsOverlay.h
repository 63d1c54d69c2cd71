// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "settings/CSettingsStore.h"

#include <map>

// The stored settings with some values of section "Settings" replaced for this run. Nothing is
// ever written: the terminal tool leaves the store as the GUI left it.
class CSettingsOverlay : public CSettingsStore {
public:
    explicit CSettingsOverlay(CSettingsStore& stored) : m_stored(stored) {}

    // "KEY=VALUE" with one of the keys that may be overridden and an integer value (decimal, or
    // hex after 0x, as the settings file reads them). False with a reason otherwise.
    bool Override(const std::string& assignment, std::string& error);

    int32_t GetProfileInt(const std::string& section, const std::string& key,
                          int32_t defaultValue) override;
    std::string GetProfileString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) override;
    bool WriteProfileInt(const std::string&, const std::string&, int32_t) override { return false; }
    bool WriteProfileString(const std::string&, const std::string&, const std::string&) override {
        return false;
    }
    bool Flush() override { return false; }

private:
    CSettingsStore& m_stored;
    std::map<std::string, int32_t> m_overrides;
};
