// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "prefs/CColorButton.h"

#include "prefs/CColorPopup.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>

#include <algorithm>

QColor ColorFromRef(COLORREF color) {
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

COLORREF RefFromColor(const QColor& color) {
    return RGB(uint8_t(color.red()), uint8_t(color.green()), uint8_t(color.blue()));
}

int EdgeMetric(const QWidget* widget) {
    // The 3-D edges drawn here take two lines, whatever thinner frames the style draws.
    constexpr int kTwoLineEdge = 2;
    return std::max(kTwoLineEdge,
                    widget->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, widget));
}

CColorButton::CColorButton(QWidget* parent)
    : QPushButton(parent), m_defaultColor(RefFromColor(palette().color(QPalette::Dark))),
      m_automaticText(QStringLiteral("Automatic")), m_customText(QStringLiteral("More Colors...")) {
    // Enter in a dialog still means its default button, also while this button has the focus.
    setAutoDefault(false);
    connect(this, &QPushButton::clicked, this, &CColorButton::OnClicked);
}

void CColorButton::SetColor(COLORREF color) {
    m_color = color;
    if (isVisible()) {
        repaint();
    }
}

void CColorButton::OnClicked() {
    m_popupOpen = true;
    update();
    // The popup parents itself to this button and deletes itself when it ends.
    new CColorPopup(mapToGlobal(QPoint(0, height())), m_color, this, m_automaticText, m_customText);
    if (parentWidget()) {
        Q_EMIT ColorPopupOpen(m_color, ControlId());
    }
}

void CColorButton::OnPopupChange(COLORREF color) {
    if (parentWidget()) {
        Q_EMIT ColorChange(color, ControlId());
    }
}

void CColorButton::OnPopupAccept(COLORREF color) {
    const COLORREF old = m_color;
    m_popupOpen = false;
    SetColor(color);
    if (!parentWidget()) {
        return;
    }
    const int id = ControlId();
    Q_EMIT ColorPopupClose(color, id);
    Q_EMIT ColorAccept(color, id);
    if (m_color != old) {
        Q_EMIT ColorChange(m_color, id);
    }
}

void CColorButton::OnPopupCancel(COLORREF color) {
    m_popupOpen = false;
    SetColor(color);
    if (!parentWidget()) {
        return;
    }
    const int id = ControlId();
    Q_EMIT ColorPopupClose(color, id);
    Q_EMIT ColorCancel(color, id);
}

void CColorButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const bool disabled = !isEnabled();
    const bool selected = isDown() || m_popupOpen;
    const bool focus = hasFocus() || m_popupOpen;
    const int edge = EdgeMetric(this);

    QStyleOptionButton frame;
    initStyleOption(&frame);
    frame.text.clear();
    frame.icon = QIcon();
    frame.state &= ~(QStyle::State_HasFocus | QStyle::State_Sunken | QStyle::State_Raised);
    frame.state |= selected ? QStyle::State_Sunken : QStyle::State_Raised;
    style()->drawPrimitive(QStyle::PE_PanelButtonCommand, &frame, &painter, this);

    // Interior edges as left/top inclusive, right/bottom exclusive.
    int left = edge, top = edge, right = width() - edge, bottom = height() - edge;
    if (selected) {
        ++left, ++top, ++right, ++bottom;
    }
    if (focus) {
        QStyleOptionFocusRect focusRect;
        focusRect.initFrom(this);
        focusRect.rect = QRect(left, top, right - 1 - left, bottom - top);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focusRect, &painter, this);
    }
    left += edge, right -= edge, top += edge, bottom -= edge;

    const int arrowRight = right - edge / 2;
    const int arrowLeft = arrowRight - 4;
    const int mid = (top + bottom) / 2;
    const QColor arrowColor =
        disabled ? palette().color(QPalette::Disabled, QPalette::Text) : QColor(Qt::black);
    const QPoint arrow[3] = {
        {arrowLeft, mid - 1}, {arrowRight, mid - 1}, {(arrowLeft + arrowRight) / 2, mid + 1}};
    painter.setPen(arrowColor);
    painter.setBrush(arrowColor);
    painter.drawPolygon(arrow, 3);

    // Etched separator on the right side of the swatch area: shadow, then highlight.
    right = arrowLeft - edge / 2;
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawLine(right - 2, top, right - 2, bottom - 1);
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(right - 1, top, right - 1, bottom - 1);
    right -= 2 * edge + 1;

    if (disabled || right <= left || bottom <= top) {
        return;
    }
    painter.setPen(Qt::black);
    painter.setBrush(ColorFromRef(m_color == CLR_DEFAULT ? m_defaultColor : m_color));
    painter.drawRect(left, top, right - left - 1, bottom - top - 1);
}

void DDX_ButtonColor(bool saveAndValidate, QWidget* dialog, int controlId, COLORREF& color) {
    auto* button = dialog->findChild<CColorButton*>(QString::number(controlId));
    if (!button) {
        return;
    }
    if (saveAndValidate) {
        color = button->GetColor();
    } else {
        button->SetColor(color);
    }
}
