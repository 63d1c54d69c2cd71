// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "settings/CStringHistory.h"

#include "settings/CComboList.h"
#include "settings/CSettingsStore.h"

#include <algorithm>
#include <cstdio>

namespace {

std::string EntryKey(int32_t number) {
    char key[16];
    std::snprintf(key, sizeof key, "file%03i", static_cast<int>(number));
    return key;
}

} // namespace

int32_t CStringHistory::AddUnique(const std::string& text) {
    auto found = std::find(m_entries.begin(), m_entries.end(), text);
    if (found == m_entries.end()) {
        m_entries.push_back(text);
        found = m_entries.end() - 1;
    }
    m_removed.erase(text);
    m_currentIndex = static_cast<int32_t>(found - m_entries.begin());
    return m_currentIndex;
}

void CStringHistory::Remove(const std::string& text) {
    auto found = std::find(m_entries.begin(), m_entries.end(), text);
    if (found == m_entries.end()) {
        return;
    }
    m_currentIndex = static_cast<int32_t>(found - m_entries.begin());
    m_entries.erase(found);
    m_removed.insert(text);
}

std::string CStringHistory::CurrentString() const {
    if (m_currentIndex < 0 || static_cast<size_t>(m_currentIndex) >= m_entries.size()) {
        return {};
    }
    return m_entries[static_cast<size_t>(m_currentIndex)];
}

void CStringHistory::FillComboBox(CComboList& combo, bool clearFirst) const {
    if (clearFirst) {
        combo.ResetContent();
    }
    for (const std::string& entry : m_entries) {
        if (!entry.empty()) {
            combo.AddString(entry);
        }
    }
    combo.SelectString(CurrentString());
}

void CStringHistory::Load(const std::string& section) {
    if (!m_store) {
        return;
    }
    // A "files" that is absent, negative or not a number cannot be trusted: every key that is
    // there is read, so that no stored string is lost at the next save.
    const int32_t count = m_store->GetProfileInt(section, "files", -1);
    const int32_t readable = count >= 0 ? std::min(count, kMaxLoaded) : kMaxLoaded;
    for (int32_t i = 0; i < readable; ++i) {
        const std::string text = m_store->GetProfileString(section, EntryKey(i), std::string());
        if (!text.empty()) {
            AddUnique(text);
            m_stored.insert(text);
        }
    }
    // The index applies to the list as it now stands and is bounded as "files" is: an index
    // past the keys read or the entries, or a hand-edited negative value, counts as 0.
    const int32_t bound = std::min(readable, static_cast<int32_t>(m_entries.size()));
    const int32_t last = m_store->GetProfileInt(section, "last", 0);
    m_currentIndex = (last < 0 || last >= bound) ? 0 : last;
}

void CStringHistory::Save(const std::string& section) {
    if (!m_store) {
        return;
    }
    m_store->Refresh();
    CStringHistory stored(m_store);
    stored.Load(section);
    std::vector<std::string> merged;
    const auto has = [&merged](const std::string& text) {
        return std::find(merged.begin(), merged.end(), text) != merged.end();
    };
    for (const std::string& entry : stored.m_entries) {
        if (m_removed.count(entry) == 0 && !has(entry)) {
            merged.push_back(entry);
        }
    }
    // Entries this list read from the store and the store no longer holds were dropped there.
    for (const std::string& entry : m_entries) {
        if (!entry.empty() && m_stored.count(entry) == 0 && !has(entry)) {
            merged.push_back(entry);
        }
    }
    const std::string current = CurrentString();
    if (!current.empty() && !has(current)) {
        merged.push_back(current);
    }

    const int32_t size = static_cast<int32_t>(merged.size());
    const int32_t start = std::max(size - m_maxSaved, 0);
    int32_t written = 0;
    for (int32_t i = start; i < size; ++i) {
        m_store->WriteProfileString(section, EntryKey(written++), merged[static_cast<size_t>(i)]);
    }
    const auto at = std::find(merged.begin(), merged.end(), current);
    int32_t last = 0;
    if (at != merged.end()) {
        last = static_cast<int32_t>(at - merged.begin()) - start;
        if (last < 0) {
            // The current entry is older than the written window: it goes after the newest ones.
            m_store->WriteProfileString(section, EntryKey(written), current);
            last = written++;
        }
    }
    m_store->WriteProfileInt(section, "files", written);
    m_store->WriteProfileInt(section, "last", last);
    m_store->Flush();
    m_stored = std::set<std::string>(merged.begin() + start, merged.end());
    if (at != merged.end()) {
        m_stored.insert(current);
    }
    m_removed.clear();
}
