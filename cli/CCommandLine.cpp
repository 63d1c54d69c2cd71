#include "cli/CCommandLine.h"

bool CCommandLine::Parse(const std::vector<std::string>& args, std::string& error) {
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 3 || arg.compare(0, 2, "--") != 0) {
            if (arg == "--") {
                optionsEnded = true;
                continue;
            }
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
            error = "unknown option --" + name;
            return false;
        }
    }
    return true;
}

std::string CCommandLine::Value(const std::string& name, const std::string& fallback) const {
    auto range = m_values.equal_range(name);
    if (range.first == range.second)
        return fallback;
    return std::prev(range.second)->second;
}

std::vector<std::string> CCommandLine::Values(const std::string& name) const {
    std::vector<std::string> values;
    auto range = m_values.equal_range(name);
    for (auto it = range.first; it != range.second; ++it)
        values.push_back(it->second);
    return values;
}
