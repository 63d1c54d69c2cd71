// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

class CComboList;
class CSettingsStore;

// The strings sent from the panels' send combo with the one used last. One section of the
// settings store keeps the newest entries between runs; the list in memory is not bounded.
// Another program may save the same section meanwhile: a save merges with what is stored then
// (its entries in their order, less those removed here, then the entries added here), so
// neither program's strings are lost to a stale copy.
class CStringHistory {
public:
    static constexpr int32_t kDefaultMaxSaved = 30;
    // "file%03i" has room for a thousand keys; a hand-edited "files" above that is not read.
    static constexpr int32_t kMaxLoaded = 1000;

    explicit CStringHistory(CSettingsStore* store = nullptr) : m_store(store) {}

    // Makes the first entry equal to `text` (case-sensitive) current, or appends `text` and
    // makes it current. Returns the index of the current entry.
    int32_t AddUnique(const std::string& text);
    // Removes the first entry equal to `text`; the entry that followed it becomes current.
    void Remove(const std::string& text);
    // The current entry, or an empty string when there is none.
    std::string CurrentString() const;
    // Lists every non-empty entry and selects the first item that begins with the current one.
    void FillComboBox(CComboList& combo, bool clearFirst) const;

    void Load(const std::string& section);
    void Save(const std::string& section);

    const std::vector<std::string>& Entries() const { return m_entries; }
    int32_t CurrentIndex() const { return m_currentIndex; }
    int32_t MaxSaved() const { return m_maxSaved; }
    // Another store: what it holds is read anew at the next save.
    void SetStore(CSettingsStore* store) {
        m_store = store;
        m_stored.clear();
        m_removed.clear();
    }

private:
    std::vector<std::string> m_entries;
    int32_t m_currentIndex = 0;
    int32_t m_maxSaved = kDefaultMaxSaved;
    CSettingsStore* m_store;
    // What the store held when this list last read or wrote it, and what was removed since.
    std::set<std::string> m_stored;
    std::set<std::string> m_removed;
};
