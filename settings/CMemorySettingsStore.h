#pragma once

#include "settings/CSettingsStore.h"

#include <map>
#include <variant>
#include <vector>

// An in-memory store for tests and for runs that must not touch the user's settings.
// It keeps the order of writes so that tests can check what was stored and when.
class CMemorySettingsStore : public CSettingsStore {
public:
    using Value = std::variant<int32_t, std::string>;

    struct CWrite {
        std::string section;
        std::string key;
        Value value;
    };

    int32_t GetProfileInt(const std::string& section, const std::string& key,
                          int32_t defaultValue) override;
    std::string GetProfileString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) override;
    bool WriteProfileInt(const std::string& section, const std::string& key,
                         int32_t value) override;
    bool WriteProfileString(const std::string& section, const std::string& key,
                            const std::string& value) override;
    bool Flush() override;

    // Makes every later write fail, as a store that cannot be opened would.
    void SetReadOnly(bool readOnly) { m_readOnly = readOnly; }
    bool Has(const std::string& section, const std::string& key) const;
    const std::vector<CWrite>& Writes() const { return m_writes; }
    void ClearWrites() { m_writes.clear(); }
    // The flushes that had writes to keep: what a store in a file rewrites the file for.
    int Rewrites() const { return m_rewrites; }
    // Whether writes wait for a flush.
    bool HasUnflushedWrites() const { return m_unflushed; }

private:
    std::map<std::string, std::map<std::string, Value>> m_values;
    std::vector<CWrite> m_writes;
    bool m_readOnly = false;
    bool m_unflushed = false;
    int m_rewrites = 0;
};
