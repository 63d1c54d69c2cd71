// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <cstdint>
#include <string>

// The per-user settings store: section, then key, to a 32-bit integer or a string.
// Absent values (and a store that cannot be read) yield the caller's default; writes to a
// store that cannot be written are dropped and reported by the result only. Writes may be
// held in memory until Flush, which whoever saves a group of values calls once at its end.
class CSettingsStore {
public:
    virtual ~CSettingsStore() = default;

    virtual int32_t GetProfileInt(const std::string& section, const std::string& key,
                                  int32_t defaultValue) = 0;
    virtual std::string GetProfileString(const std::string& section, const std::string& key,
                                         const std::string& defaultValue) = 0;
    virtual bool WriteProfileInt(const std::string& section, const std::string& key,
                                 int32_t value) = 0;
    virtual bool WriteProfileString(const std::string& section, const std::string& key,
                                    const std::string& value) = 0;
    // Makes the writes so far lasting. Returns whether they were kept.
    virtual bool Flush() = 0;
    // Takes in what another program stored since this one read the store, before a save that
    // merges with it. A store that only this program uses has nothing to take in.
    virtual void Refresh() {}
};
