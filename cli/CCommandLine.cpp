// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "cli/CCommandLine.h"

#include "cli/CTerminalText.h"
#include "recording/QuoteInput.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

bool CCommandLine::Parse(const std::vector<std::string>& args, std::string& error) {
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && arg == "-h" && m_flags.count("help")) {
            m_values.emplace("help", "");
            continue;
        }
        if (!optionsEnded && arg.size() > 1 && arg[0] == '-' && arg[1] != '-') {
            // "-" alone is standard input; other single-dash words are not names.
            error = "unknown option " + QuoteInput(arg) +
                    " (a name that starts with '-' goes "
                    "after \"--\")";
            return false;
        }
        if (optionsEnded || arg.size() < 3 || arg.compare(0, 2, "--") != 0) {
            m_positional.push_back(arg);
            continue;
        }
        std::string name = arg.substr(2);
        std::string value;
        const size_t eq = name.find('=');
        const bool inlineValue = eq != std::string::npos;
        if (inlineValue) {
            value = name.substr(eq + 1);
            name.resize(eq);
        }
        if (m_flags.count(name)) {
            if (inlineValue) {
                error = "--" + name + " takes no value";
                return false;
            }
            m_values.emplace(name, "");
        } else if (m_valued.count(name)) {
            if (!inlineValue) {
                if (i + 1 >= args.size()) {
                    error = "--" + name + " needs a value";
                    return false;
                }
                value = args[++i];
            }
            m_values.emplace(name, value);
        } else {
            error = "unknown option " + QuoteInput("--" + name);
            return false;
        }
    }
    return true;
}

std::string CCommandLine::Value(const std::string& name, const std::string& fallback) const {
    auto range = m_values.equal_range(name);
    if (range.first == range.second) {
        return fallback;
    }
    return std::prev(range.second)->second;
}

std::vector<std::string> CCommandLine::Values(const std::string& name) const {
    std::vector<std::string> values;
    auto range = m_values.equal_range(name);
    for (auto it = range.first; it != range.second; ++it) {
        values.push_back(it->second);
    }
    return values;
}

bool CCommandLine::Number(const std::string& name, long long min, long long max, int base,
                          long long& value, std::string& error) const {
    if (!Has(name)) {
        return true;
    }
    const std::string text = Value(name);
    errno = 0;
    char* end = nullptr;
    const long long parsed = std::strtoll(text.c_str(), &end, base);
    const bool digitFirst = !text.empty() && std::isxdigit(static_cast<unsigned char>(text[0]));
    if (!digitFirst || *end != '\0' || errno == ERANGE || parsed < min || parsed > max) {
        error = "--" + name + " needs a " + (base == 16 ? "hexadecimal " : "") + "number from " +
                Format(min, base) + " to " + Format(max, base) + ", not " + QuoteInput(text);
        return false;
    }
    value = parsed;
    return true;
}

std::string CCommandLine::Format(long long value, int base) {
    char text[32];
    std::snprintf(text, sizeof text, base == 16 ? "%llx" : "%lld", value);
    return text;
}
