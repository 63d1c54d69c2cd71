// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "app/CComboDeviceList.h"

#include <QComboBox>

namespace {

// Compares ignoring case, numbers by their value, so that "device 2" comes before "device 10".
int CompareNaturally(const QString& a, const QString& b) {
    int i = 0;
    int j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            const int startA = i;
            const int startB = j;
            while (i < a.size() && a[i].isDigit()) {
                ++i;
            }
            while (j < b.size() && b[j].isDigit()) {
                ++j;
            }
            // Without leading zeros, the longer number is the larger one.
            QStringView numberA = QStringView(a).mid(startA, i - startA);
            QStringView numberB = QStringView(b).mid(startB, j - startB);
            while (numberA.size() > 1 && numberA.front() == u'0') {
                numberA = numberA.mid(1);
            }
            while (numberB.size() > 1 && numberB.front() == u'0') {
                numberB = numberB.mid(1);
            }
            if (numberA.size() != numberB.size()) {
                return numberA.size() < numberB.size() ? -1 : 1;
            }
            if (const int order = numberA.compare(numberB); order != 0) {
                return order;
            }
            continue;
        }
        const char16_t foldedA = a[i].toCaseFolded().unicode();
        const char16_t foldedB = b[j].toCaseFolded().unicode();
        if (foldedA != foldedB) {
            return foldedA < foldedB ? -1 : 1;
        }
        ++i;
        ++j;
    }
    return (a.size() - i) - (b.size() - j);
}

} // namespace

int CComboDeviceList::GetCount() const {
    return m_combo.count();
}

void CComboDeviceList::DeleteItem(int index) {
    m_combo.removeItem(index);
}

void CComboDeviceList::AddItem(const std::string& text) {
    const QString item = QString::fromStdString(text);
    int position = 0;
    while (position < m_combo.count() && CompareNaturally(m_combo.itemText(position), item) <= 0) {
        ++position;
    }
    const bool noneSelected = m_combo.currentIndex() < 0;
    m_combo.insertItem(position, item);
    // The combo box selects the first item it gets; the list leaves that to enumeration.
    if (noneSelected) {
        m_combo.setCurrentIndex(-1);
    }
}

std::string CComboDeviceList::GetCurrentText() const {
    const int index = m_combo.currentIndex();
    return index < 0 ? std::string() : m_combo.itemText(index).toStdString();
}

bool CComboDeviceList::SelectPrefix(const std::string& prefix) {
    const QString start = QString::fromStdString(prefix);
    for (int i = 0; i < m_combo.count(); ++i) {
        if (m_combo.itemText(i).startsWith(start, Qt::CaseInsensitive)) {
            m_combo.setCurrentIndex(i);
            return true;
        }
    }
    return false;
}
