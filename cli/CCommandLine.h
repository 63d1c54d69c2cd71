#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

// The arguments of one subcommand: positional words and "--name" / "--name VALUE" /
// "--name=VALUE" options. Which options take a value is declared up front, so that a missing
// value or an unknown option is a usage error with a clear reason.
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

private:
    std::set<std::string> m_flags;
    std::set<std::string> m_valued;
    std::multimap<std::string, std::string> m_values;
    std::vector<std::string> m_positional;
};
