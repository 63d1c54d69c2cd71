// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "app/CComboDeviceList.h"

#include <QComboBox>

int CComboDeviceList::GetCount() const {
    return m_combo.count();
}

void CComboDeviceList::DeleteItem(int index) {
    m_combo.removeItem(index);
}

void CComboDeviceList::AddItem(const std::string& text) {
    const QString item = QString::fromStdString(text);
    int position = 0;
    while (position < m_combo.count() &&
           m_combo.itemText(position).compare(item, Qt::CaseInsensitive) <= 0) {
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
