// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "device/CPlainDeviceList.h"

#include <algorithm>
#include <cctype>

namespace {

int CompareNoCase(const std::string& a, const std::string& b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const int ca = std::tolower(static_cast<unsigned char>(a[i]));
        const int cb = std::tolower(static_cast<unsigned char>(b[i]));
        if (ca != cb) {
            return ca < cb ? -1 : 1;
        }
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() &&
           CompareNoCase(text.substr(0, prefix.size()), prefix) == 0;
}

} // namespace

void CPlainDeviceList::DeleteItem(int index) {
    if (index < 0 || index >= GetCount()) {
        return;
    }
    m_items.erase(m_items.begin() + index);
    if (m_current == index) {
        m_current = -1;
    } else if (m_current > index) {
        --m_current;
    }
}

void CPlainDeviceList::AddItem(const std::string& text) {
    const auto at = std::upper_bound(
        m_items.begin(), m_items.end(), text,
        [](const std::string& a, const std::string& b) { return CompareNoCase(a, b) < 0; });
    const int index = int(at - m_items.begin());
    m_items.insert(at, text);
    if (m_current >= index) {
        ++m_current;
    }
}

std::string CPlainDeviceList::GetCurrentText() const {
    return m_current >= 0 ? m_items[size_t(m_current)] : std::string();
}

bool CPlainDeviceList::SelectPrefix(const std::string& prefix) {
    for (size_t i = 0; i < m_items.size(); ++i) {
        if (StartsWithNoCase(m_items[i], prefix)) {
            m_current = int(i);
            return true;
        }
    }
    return false;
}
