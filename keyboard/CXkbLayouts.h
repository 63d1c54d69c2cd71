// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <string>
#include <vector>

// Which keyboard layouts there are and which one the desktop uses.
class CXkbLayouts {
public:
    static constexpr const char* kRulesList = "/usr/share/X11/xkb/rules/evdev.lst";
    static constexpr const char* kKeyboardDefaults = "/etc/default/keyboard";
    static constexpr const char* kFallback = "us";

    // The layout names of the "! layout" section of an xkeyboard-config rules list, sorted;
    // empty when the list cannot be read.
    static std::vector<std::string> List(const std::string& rulesList = kRulesList);

    // The desktop's layout: the first of XKB_DEFAULT_LAYOUT (`environment`, null when unset),
    // else the first of XKBLAYOUT in the system's keyboard defaults, else "us".
    static std::string Desktop(const char* environment,
                               const std::string& keyboardDefaults = kKeyboardDefaults);
};
