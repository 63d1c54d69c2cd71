// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "settings/CDisplaySettings.h"

#include <QPushButton>
#include <QString>

class CColorPopup;

// A push button that shows a colour swatch and a drop-down arrow; a click opens a CColorPopup
// below it. Every step of a pick is reported to the parent widget by the five signals below,
// each carrying the colour and the button's control number (its objectName). Without a parent
// widget nothing is reported.
class CColorButton : public QPushButton {
    Q_OBJECT

public:
    explicit CColorButton(QWidget* parent = nullptr);

    COLORREF GetColor() const { return m_color; }
    void SetColor(COLORREF color);
    bool IsPopupOpen() const { return m_popupOpen; }
    int ControlId() const { return objectName().toInt(); }

    // What the popup tells its button.
    void OnPopupChange(COLORREF color);
    void OnPopupAccept(COLORREF color);
    void OnPopupCancel(COLORREF color);

Q_SIGNALS:
    void ColorChange(COLORREF color, int controlId);
    void ColorPopupOpen(COLORREF color, int controlId);
    void ColorPopupClose(COLORREF color, int controlId);
    void ColorAccept(COLORREF color, int controlId);
    void ColorCancel(COLORREF color, int controlId);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void OnClicked();

    COLORREF m_color = CLR_DEFAULT;
    COLORREF m_defaultColor;
    const QString m_automaticText;
    const QString m_customText;
    bool m_popupOpen = false;
};

// Moves a colour between a dialog's CColorButton (found by its control number) and a value:
// saving reads the button, loading sets it.
void DDX_ButtonColor(bool saveAndValidate, QWidget* dialog, int controlId, COLORREF& color);

// Conversions between colour words (0x00BBGGRR) and QColor.
QColor ColorFromRef(COLORREF color);
COLORREF RefFromColor(const QColor& color);

// The width of a 3-D edge in the widget's style: the margin of the palette and the insets of the
// button's drawing.
int EdgeMetric(const QWidget* widget);
