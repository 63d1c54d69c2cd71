// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <QString>
#include <QWidget>

class QLineEdit;
class QListWidget;

// A combo box with its list always open below the edit field. Picking a list entry puts its
// text into the edit field; typing selects the first entry that begins with the typed text,
// ignoring case, without changing what was typed. A sorted box keeps its entries in
// case-insensitive order.
class CSimpleComboBox : public QWidget {
    Q_OBJECT

public:
    explicit CSimpleComboBox(bool sorted, QWidget* parent = nullptr);

    void ResetContent();
    int AddString(const QString& text);
    // Selects the first entry that begins with the prefix (ignoring case) and shows it in the
    // edit field; returns its index, or -1 (nothing changes) when no entry matches.
    int SelectString(const QString& prefix);
    int FindString(const QString& prefix) const;
    int GetCount() const;
    int GetCurSel() const;
    QString GetLBText(int index) const;
    QString GetWindowText() const;
    void SetWindowText(const QString& text);

    QLineEdit* Edit() const { return m_edit; }
    QListWidget* List() const { return m_list; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void OnEditTextEdited(const QString& text);
    void OnListRowChanged(int row);

    bool m_sorted;
    QLineEdit* m_edit;
    QListWidget* m_list;
};
