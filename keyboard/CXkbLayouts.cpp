// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "keyboard/CXkbLayouts.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace {

// The first of a comma-separated list of layouts, without blanks and quotes.
std::string FirstLayout(std::string text) {
    text.erase(
        std::remove_if(text.begin(), text.end(),
                       [](char c) { return c == '"' || c == '\'' || c == ' ' || c == '\t'; }),
        text.end());
    return text.substr(0, text.find(','));
}

} // namespace

std::vector<std::string> CXkbLayouts::List(const std::string& rulesList) {
    std::vector<std::string> layouts;
    std::ifstream in(rulesList);
    std::string line;
    bool inLayouts = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line[0] == '!') {
            inLayouts = line.find("layout") != std::string::npos;
            continue;
        }
        std::istringstream words(line);
        std::string name;
        if (inLayouts && words >> name) {
            layouts.push_back(name);
        }
    }
    std::sort(layouts.begin(), layouts.end());
    layouts.erase(std::unique(layouts.begin(), layouts.end()), layouts.end());
    return layouts;
}

std::string CXkbLayouts::Desktop(const char* environment, const std::string& keyboardDefaults) {
    if (environment != nullptr && !FirstLayout(environment).empty()) {
        return FirstLayout(environment);
    }
    std::ifstream in(keyboardDefaults);
    std::string line;
    const std::string key = "XKBLAYOUT=";
    while (std::getline(in, line)) {
        if (line.compare(0, key.size(), key) == 0 &&
            !FirstLayout(line.substr(key.size())).empty()) {
            return FirstLayout(line.substr(key.size()));
        }
    }
    return kFallback;
}
