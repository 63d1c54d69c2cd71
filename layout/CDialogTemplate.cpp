#include "layout/CDialogTemplate.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTextEdit>

#include <algorithm>

CDialogUnits CDialogUnits::FromFont(const QFont& font) {
    // The average width of the 52 letters, rounded, as the dialog manager measures it.
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return CDialogUnits((letters / 26 + 1) / 2, metrics.height());
}

CDialogUnits CDialogUnits::ForTemplate(const CDialogTemplate& dialogTemplate,
                                       const QWidget& dialog) {
    const CDialogUnits font = FromFont(dialog.font());
    const QFontMetrics metrics(dialog.font());
    const QStyle* style = dialog.style();
    int baseX = font.m_baseX;
    for (const CControlTemplate& control : dialogTemplate.controls) {
        if (!control.text || control.cx <= 0) {
            continue;
        }
        int needed = 0;
        for (const QString& line : QString::fromLatin1(control.text).split(QLatin1Char('\n'))) {
            needed = std::max(needed, metrics.horizontalAdvance(line));
        }
        switch (control.kind) {
        case CControlKind::CheckBox:
            // The box, the gap and a pixel each side for the focus frame around the text.
            needed += style->pixelMetric(QStyle::PM_IndicatorWidth) +
                      style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing) + 2;
            break;
        case CControlKind::PushButton:
            needed += 2 * style->pixelMetric(QStyle::PM_ButtonMargin) +
                      2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth);
            break;
        case CControlKind::Static:
            break;
        default:
            continue;
        }
        // The smallest base unit that gives the control `needed` pixels.
        baseX = std::max(baseX, (needed * 4 + control.cx - 1) / control.cx);
    }
    return CDialogUnits(baseX, font.m_baseY);
}

QRect CDialogUnits::ToPixels(int x, int y, int cx, int cy) const {
    const int left = ToPixelsX(x);
    const int top = ToPixelsY(y);
    return QRect(left, top, ToPixelsX(x + cx) - left, ToPixelsY(y + cy) - top);
}

int CDialogUnits::MulDiv(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : (product - half) / denominator);
}

namespace {

QWidget* CreateControl(const CControlTemplate& control, QWidget& dialog) {
    const QString text = QString::fromLatin1(control.text ? control.text : "");
    switch (control.kind) {
    case CControlKind::Static: {
        auto* label = new QLabel(text, &dialog);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(control.options & CTL_CENTER ? Qt::AlignCenter
                                                         : Qt::AlignLeft | Qt::AlignTop);
        return label;
    }
    case CControlKind::Icon: {
        auto* label = new QLabel(&dialog);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setPixmap(dialog.windowIcon().pixmap(32, 32));
        return label;
    }
    case CControlKind::Frame: {
        auto* frame = new QFrame(&dialog);
        frame->setFrameShape(QFrame::Box);
        return frame;
    }
    case CControlKind::GroupBox:
        return new QGroupBox(text, &dialog);
    case CControlKind::ComboBox: {
        auto* combo = new QComboBox(&dialog);
        combo->setInsertPolicy(control.options & CTL_SORTED ? QComboBox::InsertAlphabetically
                                                            : QComboBox::InsertAtBottom);
        return combo;
    }
    case CControlKind::Edit: {
        auto* edit = new QLineEdit(text, &dialog);
        edit->setReadOnly(control.options & CTL_READONLY);
        return edit;
    }
    case CControlKind::CheckBox:
        return new QCheckBox(text, &dialog);
    case CControlKind::PushButton: {
        auto* button = new QPushButton(text, &dialog);
        button->setDefault(control.options & CTL_DEFAULT);
        return button;
    }
    case CControlKind::RichEdit:
        return new QTextEdit(text, &dialog);
    }
    return nullptr;
}

QRect ControlRect(const CDialogTemplate& dialogTemplate, const CControlTemplate& control,
                  const CDialogUnits& units, QWidget& widget) {
    QRect rect = units.ToPixels(control.x, control.y, control.cx, control.cy)
                     .translated(dialogTemplate.edge, dialogTemplate.edge);
    // A drop-down combo box's template height is its list's extent; the closed box keeps its
    // own height.
    if (control.kind == CControlKind::ComboBox && !(control.options & CTL_SIMPLE)) {
        rect.setHeight(widget.sizeHint().height());
    }
    return rect;
}

} // namespace

void CDialogBuilder::Build(const CDialogTemplate& dialogTemplate, QWidget& dialog) {
    Build(dialogTemplate, dialog, CDialogUnits::ForTemplate(dialogTemplate, dialog));
}

void CDialogBuilder::Build(const CDialogTemplate& dialogTemplate, QWidget& dialog,
                           const CDialogUnits& units) {
    dialog.setWindowTitle(QString::fromLatin1(dialogTemplate.caption));
    dialog.resize(units.ToPixelsX(dialogTemplate.cx) + 2 * dialogTemplate.edge,
                  units.ToPixelsY(dialogTemplate.cy) + 2 * dialogTemplate.edge);
    for (const CControlTemplate& control : dialogTemplate.controls) {
        if (control.options & CTL_CUSTOM) {
            continue;
        }
        QWidget* widget = CreateControl(control, dialog);
        if (!widget) {
            continue;
        }
        if (control.id != IDC_STATIC) {
            widget->setObjectName(QString::number(control.id));
        }
        widget->setGeometry(ControlRect(dialogTemplate, control, units, *widget));
        widget->setVisible(!(control.options & CTL_HIDDEN));
    }
    for (QGroupBox* group :
         dialog.findChildren<QGroupBox*>(QString(), Qt::FindDirectChildrenOnly)) {
        group->lower();
    }
}

void CDialogBuilder::PlaceControl(const CDialogTemplate& dialogTemplate, QWidget& dialog,
                                  QWidget& control, int id) {
    PlaceControl(dialogTemplate, dialog, control, id,
                 CDialogUnits::ForTemplate(dialogTemplate, dialog));
}

void CDialogBuilder::PlaceControl(const CDialogTemplate& dialogTemplate, QWidget& dialog,
                                  QWidget& control, int id, const CDialogUnits& units) {
    const CControlTemplate* entry = FindControl(dialogTemplate, id);
    if (!entry) {
        return;
    }
    control.setParent(&dialog);
    control.setObjectName(QString::number(id));
    control.setGeometry(ControlRect(dialogTemplate, *entry, units, control));
    control.setVisible(!(entry->options & CTL_HIDDEN));
}

const CControlTemplate* CDialogBuilder::FindControl(const CDialogTemplate& dialogTemplate, int id) {
    for (const CControlTemplate& control : dialogTemplate.controls) {
        if (control.id == id) {
            return &control;
        }
    }
    return nullptr;
}

void CDialogBuilder::ApplyTabOrder(const CDialogTemplate& dialogTemplate, QWidget& dialog) {
    QWidget* previous = nullptr;
    for (const CControlTemplate& control : dialogTemplate.controls) {
        if (control.id == IDC_STATIC) {
            continue;
        }
        QWidget* widget =
            dialog.findChild<QWidget*>(QString::number(control.id), Qt::FindDirectChildrenOnly);
        if (!widget || widget->focusPolicy() == Qt::NoFocus) {
            continue;
        }
        if (previous) {
            QWidget::setTabOrder(previous, widget);
        }
        previous = widget;
    }
}
