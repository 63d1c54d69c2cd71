// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "cli/CSettingsOverlay.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <set>

namespace {
const std::set<std::string> kOverridableKeys = {
    "ColorRaw", "ColorHex",   "ColorSymbology", "ColorLabel",        "ColorOut", "ColorDefault",
    "ShowRaw",  "ShowOutput", "ShowSymbology",  "StressAutoDisable", "RawOnly",  "AutoRead"};
} // namespace

bool CSettingsOverlay::Override(const std::string& assignment, std::string& error) {
    const size_t eq = assignment.find('=');
    if (eq == std::string::npos) {
        error = "--set needs KEY=VALUE, got \"" + assignment + "\"";
        return false;
    }
    const std::string key = assignment.substr(0, eq);
    const std::string text = assignment.substr(eq + 1);
    if (!kOverridableKeys.count(key)) {
        error = "--set: \"" + key + "\" is not a key of section \"Settings\" that can be set";
        return false;
    }
    // As the settings file reads numbers: decimal, or hex after "0x"; a leading 0 is no octal.
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::string digits = hex ? text.substr(2) : text;
    errno = 0;
    char* end = nullptr;
    const long long value = std::strtoll(digits.c_str(), &end, hex ? 16 : 10);
    if (digits.empty() || *end != '\0' || errno == ERANGE || value < INT32_MIN ||
        value > UINT32_MAX) {
        error = "--set " + key + ": \"" + text + "\" is not an integer";
        return false;
    }
    m_overrides[key] = int32_t(uint32_t(value));
    return true;
}

int32_t CSettingsOverlay::GetProfileInt(const std::string& section, const std::string& key,
                                        int32_t defaultValue) {
    if (section == "Settings") {
        auto it = m_overrides.find(key);
        if (it != m_overrides.end()) {
            return it->second;
        }
    }
    return m_stored.GetProfileInt(section, key, defaultValue);
}

std::string CSettingsOverlay::GetProfileString(const std::string& section, const std::string& key,
                                               const std::string& defaultValue) {
    return m_stored.GetProfileString(section, key, defaultValue);
}
