// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "panels/CSendCombo.h"

#include <QLineEdit>

CSendCombo::CSendCombo(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    setMaxVisibleItems(12);
}

void CSendCombo::ResetContent() {
    clear();
}

void CSendCombo::AddString(const std::string& text) {
    const QString item = QString::fromStdString(text);
    int at = 0;
    while (at < count() && QString::compare(itemText(at), item, Qt::CaseInsensitive) <= 0) {
        ++at;
    }
    const QString typed = currentText();
    insertItem(at, item);
    // Inserting into an empty list would select the item; the edit field stays as it was.
    setEditText(typed);
}

int CSendCombo::SelectString(const std::string& prefix) {
    const QString start = QString::fromStdString(prefix);
    for (int i = 0; i < count(); ++i) {
        if (itemText(i).startsWith(start, Qt::CaseInsensitive)) {
            setCurrentIndex(i);
            setEditText(itemText(i));
            return i;
        }
    }
    return -1;
}

int CSendCombo::FindStringExact(const QString& text) const {
    for (int i = 0; i < count(); ++i) {
        if (QString::compare(itemText(i), text, Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return -1;
}

void CSendCombo::DeleteString(int index) {
    const QString typed = currentText();
    removeItem(index);
    setEditText(typed);
}
