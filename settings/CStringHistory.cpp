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
    m_currentIndex = static_cast<int32_t>(found - m_entries.begin());
    return m_currentIndex;
}

void CStringHistory::Remove(const std::string& text) {
    auto found = std::find(m_entries.begin(), m_entries.end(), text);
    if (found == m_entries.end())
        return;
    m_currentIndex = static_cast<int32_t>(found - m_entries.begin());
    m_entries.erase(found);
}

std::string CStringHistory::CurrentString() const {
    if (m_currentIndex < 0 || static_cast<size_t>(m_currentIndex) >= m_entries.size())
        return {};
    return m_entries[static_cast<size_t>(m_currentIndex)];
}

void CStringHistory::FillComboBox(CComboList& combo, bool clearFirst) const {
    if (clearFirst)
        combo.ResetContent();
    for (const std::string& entry : m_entries) {
        if (!entry.empty())
            combo.AddString(entry);
    }
    combo.SelectString(CurrentString());
}

void CStringHistory::Load(const std::string& section) {
    if (!m_store)
        return;
    // A "files" that is absent, negative or not a number cannot be trusted: every key that is
    // there is read, so that no stored string is lost at the next save.
    const int32_t count = m_store->GetProfileInt(section, "files", -1);
    const bool trusted = count >= 0;
    const int32_t readable = trusted ? std::min(count, kMaxLoaded) : kMaxLoaded;
    for (int32_t i = 0; i < readable; ++i) {
        const std::string text = m_store->GetProfileString(section, EntryKey(i), std::string());
        if (!text.empty())
            AddUnique(text);
    }
    // The index applies to the list as it now stands; a hand-edited negative value counts as 0.
    const int32_t bound = trusted ? count : static_cast<int32_t>(m_entries.size());
    const int32_t last = m_store->GetProfileInt(section, "last", 0);
    m_currentIndex = (last < 0 || last >= bound) ? 0 : last;
}

void CStringHistory::Save(const std::string& section) const {
    if (!m_store)
        return;
    const int32_t size = static_cast<int32_t>(m_entries.size());
    const int32_t start = std::max(size - m_maxSaved, 0);
    int32_t written = 0;
    for (int32_t i = start; i < size; ++i) {
        const std::string& entry = m_entries[static_cast<size_t>(i)];
        if (!entry.empty())
            m_store->WriteProfileString(section, EntryKey(written++), entry);
    }
    int32_t last = m_currentIndex - start;
    if (m_currentIndex < start) {
        // The current entry is older than the written window: it goes after the newest ones.
        const std::string& current = m_entries[static_cast<size_t>(m_currentIndex)];
        if (!current.empty()) {
            m_store->WriteProfileString(section, EntryKey(written), current);
            last = written++;
        } else {
            last = m_currentIndex;
        }
    }
    m_store->WriteProfileInt(section, "files", written);
    m_store->WriteProfileInt(section, "last", last);
    m_store->Flush();
}
