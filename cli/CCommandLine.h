// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

// The arguments of one subcommand: positional words and "--name" / "--name VALUE" /
// "--name=VALUE" options. Which options take a value is declared up front, so that a missing
// value or an unknown option is a usage error with a clear reason. "-h" is "--help"; any other
// word that starts with a single '-' (except "-" itself) is an error, never a name; "--" ends
// the options.
class CCommandLine {
public:
    CCommandLine(std::set<std::string> flags, std::set<std::string> valued)
        : m_flags(std::move(flags)), m_valued(std::move(valued)) {}

    bool Parse(const std::vector<std::string>& args, std::string& error);

    bool Has(const std::string& name) const { return m_values.count(name) != 0; }
    // The last value given for a valued option, or `fallback`.
    std::string Value(const std::string& name, const std::string& fallback = "") const;
    // Every value given for a repeatable option, in order.
    std::vector<std::string> Values(const std::string& name) const;
    const std::vector<std::string>& Positional() const { return m_positional; }
    // The value of a number option in [min, max] (in `base`, without sign or prefix). Leaves
    // `value` alone when the option is absent; false with a reason when it is no such number.
    bool Number(const std::string& name, long long min, long long max, int base, long long& value,
                std::string& error) const;

private:
    static std::string Format(long long value, int base);

    std::set<std::string> m_flags;
    std::set<std::string> m_valued;
    std::multimap<std::string, std::string> m_values;
    std::vector<std::string> m_positional;
};
