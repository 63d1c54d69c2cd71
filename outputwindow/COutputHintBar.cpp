// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "outputwindow/COutputHintBar.h"

#include "outputwindow/COutputFindBar.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

#include <algorithm>

COutputHintBar::COutputHintBar(const QString& actionText, QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::ToolTipBase);
    m_text = new QLabel(this);
    m_text->setForegroundRole(QPalette::ToolTipText);
    // Wrapped, so that the narrowest window still shows all of it beside the buttons.
    m_text->setWordWrap(true);
    m_text->setTextFormat(Qt::PlainText);
    m_action = new QPushButton(actionText, this);
    m_close = new QToolButton(this);
    m_close->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    m_close->setToolTip(tr("Close this bar"));
    m_close->setAutoRaise(true);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(6, 2, 2, 2);
    row->addWidget(m_text, 1);
    row->addWidget(m_action);
    row->addWidget(m_close);
    connect(m_action, &QPushButton::clicked, this, [this] {
        Dismiss();
        Q_EMIT Accepted();
    });
    connect(m_close, &QToolButton::clicked, this, &COutputHintBar::Dismiss);
    COutputFindBar::FollowApplicationFont(*this);
    hide();
}

bool COutputHintBar::event(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::ApplicationFontChange) {
        COutputFindBar::FollowApplicationFont(*this);
    }
    return QWidget::event(event);
}

int COutputHintBar::HeightAt(int width) const {
    return std::max(heightForWidth(width), minimumSizeHint().height());
}

void COutputHintBar::Offer(const QString& text) {
    m_text->setText(text);
    show();
    Q_EMIT Opened();
}

QString COutputHintBar::Text() const {
    return m_text->text();
}

void COutputHintBar::Dismiss() {
    hide();
    Q_EMIT Closed();
}
