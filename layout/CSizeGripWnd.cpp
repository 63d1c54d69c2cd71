// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "layout/CSizeGripWnd.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QStyle>
#include <QStyleOptionSizeGrip>
#include <QWindow>

CSizeGripWnd::CSizeGripWnd(QWidget* owner) : QWidget(owner) {
    m_size = ReadGripSize();
    resize(m_size);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::SizeFDiagCursor);
}

QSize CSizeGripWnd::ReadGripSize() const {
    const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    return QSize(extent, extent);
}

void CSizeGripWnd::SetTriangular() {
    const int w = width();
    const int h = height();
    setMask(QRegion(QPolygon({QPoint(0, h), QPoint(w, h), QPoint(w, 0)})));
    if (isVisible()) {
        update();
    }
}

Qt::Edges CSizeGripWnd::HitTestCorner() const {
    return layoutDirection() == Qt::RightToLeft ? Qt::BottomEdge | Qt::LeftEdge
                                                : Qt::BottomEdge | Qt::RightEdge;
}

void CSizeGripWnd::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOptionSizeGrip option;
    option.initFrom(this);
    option.corner =
        layoutDirection() == Qt::RightToLeft ? Qt::BottomLeftCorner : Qt::BottomRightCorner;
    style()->drawControl(QStyle::CE_SizeGrip, &option, &painter, this);
}

void CSizeGripWnd::changeEvent(QEvent* event) {
    if (event->type() == QEvent::StyleChange) {
        OnSettingChange();
    } else if (event->type() == QEvent::LayoutDirectionChange) {
        setCursor(layoutDirection() == Qt::RightToLeft ? Qt::SizeBDiagCursor : Qt::SizeFDiagCursor);
    }
    QWidget::changeEvent(event);
}

void CSizeGripWnd::OnSettingChange() {
    const QSize old = m_size;
    m_size = ReadGripSize();
    if (m_size == old) {
        return;
    }
    // The bottom-right corner stays where it is.
    const QRect rect =
        geometry().adjusted(old.width() - m_size.width(), old.height() - m_size.height(), 0, 0);
    setGeometry(rect);
    SetTriangular();
    update();
}

void CSizeGripWnd::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    QWidget* top = window();
    if (top->windowHandle() && top->windowHandle()->startSystemResize(HitTestCorner())) {
        return;
    }
    m_dragging = true;
    m_pressGlobal = event->globalPosition().toPoint();
    m_pressGeometry = top->geometry();
}

void CSizeGripWnd::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    QWidget* top = window();
    const QPoint delta = event->globalPosition().toPoint() - m_pressGlobal;
    QRect rect = m_pressGeometry;
    rect.setBottom(rect.bottom() + delta.y());
    if (HitTestCorner() & Qt::LeftEdge) {
        rect.setLeft(rect.left() + delta.x());
    } else {
        rect.setRight(rect.right() + delta.x());
    }
    const QSize size = rect.size().expandedTo(top->minimumSize()).boundedTo(top->maximumSize());
    if (HitTestCorner() & Qt::LeftEdge) {
        rect.setLeft(rect.right() + 1 - size.width());
    }
    rect.setSize(size);
    top->setGeometry(rect);
}

void CSizeGripWnd::mouseReleaseEvent(QMouseEvent* event) {
    m_dragging = false;
    QWidget::mouseReleaseEvent(event);
}
