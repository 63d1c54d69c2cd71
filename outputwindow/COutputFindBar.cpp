// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "outputwindow/COutputFindBar.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>

COutputFindBar::COutputFindBar(COutputSearch& search, QWidget* parent)
    : QWidget(parent), m_search(search) {
    setObjectName("findBar");
    m_text = new QLineEdit(this);
    m_text->setPlaceholderText(tr("Find"));
    m_text->setClearButtonEnabled(true);
    m_previous = new QToolButton(this);
    m_previous->setArrowType(Qt::UpArrow);
    m_previous->setToolTip(tr("Previous match (Shift+F3)"));
    m_next = new QToolButton(this);
    m_next->setArrowType(Qt::DownArrow);
    m_next->setToolTip(tr("Next match (F3)"));
    m_matchCase = new QCheckBox(tr("Match case"), this);
    m_wrap = new QCheckBox(tr("Wrap around"), this);
    m_wrap->setChecked(true);
    m_count = new QLabel(this);
    m_close = new QToolButton(this);
    m_close->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    m_close->setToolTip(tr("Close the find bar (Esc)"));
    m_close->setAutoRaise(true);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(2, 2, 2, 2);
    row->setSpacing(4);
    row->addWidget(m_text, 1);
    row->addWidget(m_previous);
    row->addWidget(m_next);
    row->addWidget(m_matchCase);
    row->addWidget(m_wrap);
    row->addWidget(m_count, 1);
    row->addWidget(m_close);

    setAutoFillBackground(true);
    FollowApplicationPalette();
    FollowApplicationFont(*this);
    m_text->installEventFilter(this);
    connect(m_text, &QLineEdit::textChanged, this, &COutputFindBar::Restart);
    connect(m_matchCase, &QCheckBox::toggled, this, &COutputFindBar::Restart);
    connect(m_previous, &QToolButton::clicked, this, [this] { FindNext(false); });
    connect(m_next, &QToolButton::clicked, this, [this] { FindNext(true); });
    connect(m_close, &QToolButton::clicked, this, &COutputFindBar::Close);
    connect(&m_search, &COutputSearch::Changed, this, &COutputFindBar::UpdateCount);
    connect(&m_search, &COutputSearch::StepDone, this, &COutputFindBar::OnStep);
    hide();
}

void COutputFindBar::Open(int viewTop) {
    m_viewTop = viewTop;
    const bool wasHidden = isHidden();
    show();
    Q_EMIT Opened();
    m_text->setFocus(Qt::ShortcutFocusReason);
    m_text->selectAll();
    if (wasHidden) {
        Restart();
    }
}

void COutputFindBar::Close() {
    if (isHidden()) {
        return;
    }
    hide();
    // A closed bar stops following the output.
    m_search.SetText(QString(), m_matchCase->isChecked());
    Q_EMIT Closed();
}

void COutputFindBar::Restart() {
    m_search.SetText(m_text->text(), m_matchCase->isChecked());
    m_forward = true;
    OnStep(m_search.SelectFrom(m_viewTop));
}

void COutputFindBar::FindNext(bool forward) {
    if (isHidden() || m_text->text().isEmpty()) {
        return;
    }
    m_forward = forward;
    OnStep(m_search.Step(forward, m_wrap->isChecked()));
}

void COutputFindBar::OnStep(COutputSearch::CStep step) {
    m_notice.clear();
    switch (step) {
    case COutputSearch::CStep::Wrapped:
        m_notice = m_forward ? tr("continued from the top") : tr("continued from the bottom");
        break;
    case COutputSearch::CStep::EndReached:
        m_notice = m_forward ? tr("reached the end") : tr("reached the top");
        break;
    case COutputSearch::CStep::Found:
    case COutputSearch::CStep::NoMatch:
    case COutputSearch::CStep::Searching:
        break;
    }
    UpdateCount();
    // A step still searching is shown once StepDone answers it.
    if (step != COutputSearch::CStep::Searching && m_search.Current() >= 0) {
        Q_EMIT ShowCurrentMatch();
    }
}

QString COutputFindBar::CountText() const {
    return m_count->text();
}

void COutputFindBar::UpdateCount() {
    const int count = int(m_search.Matches().size());
    QString text;
    if (!m_search.Text().isEmpty()) {
        if (count == 0) {
            text = tr("No matches");
        } else if (m_search.Current() < 0) {
            text = count == 1 ? tr("1 match") : tr("%1 matches").arg(count);
        } else {
            text = tr("%1 of %2").arg(m_search.Current() + 1).arg(count);
        }
        if (count != 0 && !m_notice.isEmpty()) {
            text += QStringLiteral(", ") + m_notice;
        }
    }
    m_count->setText(text);
}

bool COutputFindBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_text && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            FindNext(!(key->modifiers() & Qt::ShiftModifier));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool COutputFindBar::event(QEvent* event) {
    // The desktop's colours and font reach the bar as changes of its parent's.
    if (event->type() == QEvent::PaletteChange) {
        FollowApplicationPalette();
    }
    if (event->type() == QEvent::FontChange || event->type() == QEvent::ApplicationFontChange) {
        FollowApplicationFont(*this);
    }
    return QWidget::event(event);
}

void COutputFindBar::FollowApplicationFont(QWidget& bar) {
    QFont desktop = QApplication::font(&bar);
    // Setting only what differs ends the change events.
    if (bar.font() == desktop && bar.font().resolveMask() == QFont::AllPropertiesResolved) {
        return;
    }
    desktop.setResolveMask(QFont::AllPropertiesResolved);
    bar.setFont(desktop);
}

void COutputFindBar::FollowApplicationPalette() {
    // The output window keeps its own base and text colours; the bar inside it follows the
    // desktop's like every other control. Setting only what differs ends the change events.
    const QPalette application = QApplication::palette(this);
    QPalette own = palette();
    for (const QPalette::ColorGroup group :
         {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        for (const QPalette::ColorRole role : {QPalette::Base, QPalette::Text}) {
            own.setBrush(group, role, application.brush(group, role));
        }
    }
    setPalette(own);
}
