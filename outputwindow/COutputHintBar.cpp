// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "outputwindow/COutputHintBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

COutputHintBar::COutputHintBar(const QString& actionText, QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::ToolTipBase);
    m_text = new QLabel(this);
    m_text->setForegroundRole(QPalette::ToolTipText);
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
    hide();
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
