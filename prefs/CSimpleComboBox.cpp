// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "prefs/CSimpleComboBox.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>

#include <algorithm>

CSimpleComboBox::CSimpleComboBox(bool sorted, QWidget* parent)
    : QWidget(parent), m_sorted(sorted), m_edit(new QLineEdit(this)),
      m_list(new QListWidget(this)) {
    // The edit field keeps the focus; Up and Down there move through the list.
    m_list->setFocusPolicy(Qt::NoFocus);
    m_edit->installEventFilter(this);
    m_list->setUniformItemSizes(true);
    setFocusProxy(m_edit);
    connect(m_edit, &QLineEdit::textEdited, this, &CSimpleComboBox::OnEditTextEdited);
    connect(m_list, &QListWidget::currentRowChanged, this, &CSimpleComboBox::OnListRowChanged);
}

void CSimpleComboBox::ResetContent() {
    const QSignalBlocker blocker(m_list);
    m_list->clear();
}

int CSimpleComboBox::AddString(const QString& text) {
    int index = m_list->count();
    if (m_sorted) {
        // After the entries that compare equal, like a sorted list box.
        int low = 0;
        int high = m_list->count();
        while (low < high) {
            const int mid = (low + high) / 2;
            if (QString::compare(m_list->item(mid)->text(), text, Qt::CaseInsensitive) <= 0) {
                low = mid + 1;
            } else {
                high = mid;
            }
        }
        index = low;
    }
    const QSignalBlocker blocker(m_list);
    m_list->insertItem(index, text);
    return index;
}

int CSimpleComboBox::FindString(const QString& prefix) const {
    for (int i = 0; i < m_list->count(); ++i) {
        if (m_list->item(i)->text().startsWith(prefix, Qt::CaseInsensitive)) {
            return i;
        }
    }
    return -1;
}

int CSimpleComboBox::SelectString(const QString& prefix) {
    const int index = FindString(prefix);
    if (index < 0) {
        return -1;
    }
    m_list->setCurrentRow(index);
    m_edit->setText(m_list->item(index)->text());
    return index;
}

int CSimpleComboBox::GetCount() const {
    return m_list->count();
}

int CSimpleComboBox::GetCurSel() const {
    return m_list->currentRow();
}

QString CSimpleComboBox::GetLBText(int index) const {
    const QListWidgetItem* item = m_list->item(index);
    return item ? item->text() : QString();
}

QString CSimpleComboBox::GetWindowText() const {
    return m_edit->text();
}

void CSimpleComboBox::SetWindowText(const QString& text) {
    m_edit->setText(text);
}

bool CSimpleComboBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_edit || event->type() != QEvent::KeyPress) {
        return QWidget::eventFilter(watched, event);
    }
    const int key = static_cast<QKeyEvent*>(event)->key();
    if ((key != Qt::Key_Up && key != Qt::Key_Down) || m_list->count() == 0) {
        return false;
    }
    const int row =
        std::clamp(m_list->currentRow() + (key == Qt::Key_Down ? 1 : -1), 0, m_list->count() - 1);
    m_list->setCurrentRow(row);
    m_edit->setText(m_list->item(row)->text());
    return true;
}

void CSimpleComboBox::resizeEvent(QResizeEvent*) {
    const int editHeight = std::min(m_edit->sizeHint().height(), height());
    m_edit->setGeometry(0, 0, width(), editHeight);
    m_list->setGeometry(0, editHeight, width(), height() - editHeight);
}

void CSimpleComboBox::OnEditTextEdited(const QString& text) {
    const int index = FindString(text);
    if (index < 0) {
        return;
    }
    const QSignalBlocker blocker(m_list);
    m_list->setCurrentRow(index);
    m_list->scrollToItem(m_list->item(index), QAbstractItemView::PositionAtTop);
}

void CSimpleComboBox::OnListRowChanged(int row) {
    if (row >= 0) {
        m_edit->setText(m_list->item(row)->text());
    }
}
