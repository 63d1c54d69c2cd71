#include "settings/CMemorySettingsStore.h"

int32_t CMemorySettingsStore::GetProfileInt(const std::string& section, const std::string& key,
                                            int32_t defaultValue) {
    auto s = m_values.find(section);
    if (s == m_values.end())
        return defaultValue;
    auto k = s->second.find(key);
    if (k == s->second.end())
        return defaultValue;
    if (const auto* i = std::get_if<int32_t>(&k->second))
        return *i;
    return defaultValue;
}

std::string CMemorySettingsStore::GetProfileString(const std::string& section,
                                                   const std::string& key,
                                                   const std::string& defaultValue) {
    auto s = m_values.find(section);
    if (s == m_values.end())
        return defaultValue;
    auto k = s->second.find(key);
    if (k == s->second.end())
        return defaultValue;
    if (const auto* text = std::get_if<std::string>(&k->second))
        return *text;
    return defaultValue;
}

bool CMemorySettingsStore::WriteProfileInt(const std::string& section, const std::string& key,
                                           int32_t value) {
    if (m_readOnly)
        return false;
    m_values[section][key] = value;
    m_writes.push_back({section, key, value});
    m_unflushed = true;
    return true;
}

bool CMemorySettingsStore::WriteProfileString(const std::string& section, const std::string& key,
                                              const std::string& value) {
    if (m_readOnly)
        return false;
    m_values[section][key] = value;
    m_writes.push_back({section, key, value});
    m_unflushed = true;
    return true;
}

bool CMemorySettingsStore::Flush() {
    if (m_readOnly)
        return false;
    if (m_unflushed)
        ++m_rewrites;
    m_unflushed = false;
    return true;
}

bool CMemorySettingsStore::Has(const std::string& section, const std::string& key) const {
    auto s = m_values.find(section);
    return s != m_values.end() && s->second.count(key) != 0;
}
