// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "settings/CComboList.h"

#include <QComboBox>

// Combo 1036: an edit field over a list that keeps itself sorted ignoring case. It never adds
// items by itself and never completes what is typed: the text is sent exactly as typed.
class CSendCombo : public QComboBox, public CComboList {
    Q_OBJECT
public:
    explicit CSendCombo(QWidget* parent = nullptr);

    void ResetContent() override;
    void AddString(const std::string& text) override;
    int SelectString(const std::string& prefix) override;

    // The first item equal to `text` ignoring case, or -1.
    int FindStringExact(const QString& text) const;
    // Removes an item; the edit field keeps its text.
    void DeleteString(int index);
    QString WindowText() const { return currentText(); }
};
