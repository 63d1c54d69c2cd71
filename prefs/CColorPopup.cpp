#include "prefs/CColorPopup.h"

#include "prefs/CColorButton.h"

#include <QApplication>
#include <QCloseEvent>
#include <QColorDialog>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QToolTip>

#include <algorithm>
#include <utility>

const std::array<CColorTableEntry, kColorTableSize> ColorTable = {{
    {RGB(0, 0, 0), "Black"},
    {RGB(165, 42, 0), "Brown"},
    {RGB(0, 64, 64), "Dark Olive Green"},
    {RGB(0, 85, 0), "Dark Green"},
    {RGB(0, 0, 94), "Dark Teal"},
    {RGB(0, 0, 139), "Dark blue"},
    {RGB(75, 0, 130), "Indigo"},
    {RGB(40, 40, 40), "Dark grey"},
    {RGB(139, 0, 0), "Dark red"},
    {RGB(255, 104, 32), "Orange"},
    {RGB(139, 139, 0), "Dark yellow"},
    {RGB(0, 147, 0), "Green"},
    {RGB(56, 142, 142), "Teal"},
    {RGB(0, 0, 255), "Blue"},
    {RGB(123, 123, 192), "Blue-grey"},
    {RGB(102, 102, 102), "Grey - 40"},
    {RGB(255, 0, 0), "Red"},
    {RGB(255, 173, 91), "Light orange"},
    {RGB(50, 205, 50), "Lime"},
    {RGB(60, 179, 113), "Sea green"},
    {RGB(127, 255, 212), "Aqua"},
    {RGB(125, 158, 192), "Light blue"},
    {RGB(128, 0, 128), "Violet"},
    {RGB(127, 127, 127), "Grey - 50"},
    {RGB(255, 192, 203), "Pink"},
    {RGB(255, 215, 0), "Gold"},
    {RGB(255, 255, 0), "Yellow"},
    {RGB(0, 255, 0), "Bright green"},
    {RGB(64, 224, 208), "Turquoise"},
    {RGB(192, 255, 255), "Skyblue"},
    {RGB(72, 0, 72), "Plum"},
    {RGB(192, 192, 192), "Light grey"},
    {RGB(255, 228, 225), "Rose"},
    {RGB(210, 180, 140), "Tan"},
    {RGB(255, 255, 224), "Light yellow"},
    {RGB(152, 251, 152), "Pale green "},
    {RGB(175, 238, 238), "Pale turquoise"},
    {RGB(104, 131, 139), "Pale blue"},
    {RGB(230, 230, 250), "Lavender"},
    {RGB(255, 255, 255), "White"},
}};

namespace {

constexpr int kFirstCell = 0;
constexpr int kLastCell = kColorTableSize - 1;

// Where an arrow key moves the hot item. A vertical rule steps one grid row in the same column,
// a horizontal one steps one index (wrapping into the next or previous grid row). The
// alternatives are tried in order; a text row that does not exist is skipped.
struct CArrowRule {
    int m_key;
    int m_rowStep;
    int m_indexStep;
    std::array<int, 3> m_fromAutomatic;
    std::array<int, 3> m_fromCustom;
    std::array<int, 3> m_pastGridEdge;
};

const CArrowRule kArrowRules[] = {
    {Qt::Key_Down,
     1,
     0,
     {kFirstCell, kFirstCell, kFirstCell},
     {CColorPopup::kAutomatic, kFirstCell, kFirstCell},
     {CColorPopup::kCustom, CColorPopup::kAutomatic, kFirstCell}},
    {Qt::Key_Up,
     -1,
     0,
     {CColorPopup::kCustom, kLastCell, kLastCell},
     {kLastCell, kLastCell, kLastCell},
     {CColorPopup::kAutomatic, CColorPopup::kCustom, kLastCell}},
    {Qt::Key_Right,
     0,
     1,
     {kFirstCell, kFirstCell, kFirstCell},
     {CColorPopup::kAutomatic, kFirstCell, kFirstCell},
     {CColorPopup::kCustom, CColorPopup::kAutomatic, kFirstCell}},
    {Qt::Key_Left,
     0,
     -1,
     {CColorPopup::kCustom, kLastCell, kLastCell},
     {kLastCell, kLastCell, kLastCell},
     {CColorPopup::kAutomatic, CColorPopup::kCustom, kLastCell}},
};

QRect FromEdges(int left, int top, int right, int bottom) {
    return QRect(left, top, right - left, bottom - top);
}

// A one-pixel 3-D border: top and left in one colour, bottom and right in the other.
void DrawBorder(QPainter& painter, const QRect& r, const QColor& topLeft,
                const QColor& bottomRight) {
    painter.setPen(topLeft);
    painter.drawLine(r.left(), r.top(), r.right() - 1, r.top());
    painter.drawLine(r.left(), r.top(), r.left(), r.bottom() - 1);
    painter.setPen(bottomRight);
    painter.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    painter.drawLine(r.right(), r.top(), r.right(), r.bottom());
}

} // namespace

CColorPopup::CColorPopup(QPoint topLeft, COLORREF initial, CColorButton* owner,
                         QString automaticText, QString customText)
    : QWidget(owner, Qt::Popup | Qt::FramelessWindowHint), m_margin(EdgeMetric(owner)),
      m_cellSize(18), m_automaticText(std::move(automaticText)),
      m_customText(std::move(customText)), m_initialColor(initial), m_currentChoice(initial),
      m_owner(owner) {
    if (m_cellSize - (2 * m_margin + 2) < 5)
        m_cellSize = 2 * m_margin + 7;
    setAttribute(Qt::WA_DeleteOnClose);
    setMouseTracking(true);
    ComputeLayout(topLeft);
    AddCellTips();
    MarkColor(initial);
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            &CColorPopup::OnApplicationStateChanged);
    show();
}

int CColorPopup::IndexAt(int row, int column) const {
    if ((row == kCustom || column == kCustom) && HasCustom())
        return kCustom;
    if ((row == kAutomatic || column == kAutomatic) && HasAutomatic())
        return kAutomatic;
    if (row >= 0 && row < m_rows && column >= 0 && column < m_columns &&
        row * m_columns + column < kColorTableSize)
        return row * m_columns + column;
    return kNone;
}

int CColorPopup::RowOf(int item) const {
    if (item >= 0 && item < kColorTableSize)
        return item / m_columns;
    if (item == kCustom && HasCustom())
        return kCustom;
    if (item == kAutomatic && HasAutomatic())
        return kAutomatic;
    return kNone;
}

int CColorPopup::ColumnOf(int item) const {
    if (item >= 0 && item < kColorTableSize)
        return item % m_columns;
    return RowOf(item);
}

QRect CColorPopup::CellRect(int item) const {
    if (item >= 0 && item < kColorTableSize) {
        int top = RowOf(item) * m_cellSize + m_margin;
        if (HasAutomatic())
            top += m_automaticRect.height() + m_margin;
        return QRect(ColumnOf(item) * m_cellSize + m_margin, top, m_cellSize, m_cellSize);
    }
    if (item == kCustom)
        return m_customRect;
    if (item == kAutomatic)
        return m_automaticRect;
    return QRect();
}

void CColorPopup::ComputeLayout(QPoint topLeft) {
    const int m = m_margin;
    int textWidth = 0;
    int textHeight = 0;
    if (HasAutomatic() || HasCustom()) {
        const QFontMetrics metrics(font());
        textWidth = std::max(metrics.horizontalAdvance(m_automaticText),
                             metrics.horizontalAdvance(m_customText)) +
                    2 * m;
        textHeight = metrics.height() + 4 * m + 2;
    }
    int width = m_columns * m_cellSize + 2 * m;
    int height = m_rows * m_cellSize + 2 * m;
    if (HasAutomatic()) {
        width = std::max(width, textWidth);
        m_automaticRect = FromEdges(m, m, width - m, textHeight + 2 * m);
        height += textHeight + 3 * m;
    }
    if (HasCustom()) {
        width = std::max(width, textWidth);
        m_customRect = FromEdges(m, height, width - m, height + m + textHeight);
        height += textHeight + 3 * m;
    }

    QScreen* screen = QGuiApplication::screenAt(topLeft);
    if (!screen)
        screen = m_owner->screen();
    const QRect bounds = screen->geometry();
    int x = topLeft.x();
    int y = topLeft.y();
    if (x + width > bounds.x() + bounds.width())
        x = bounds.x() + bounds.width() - width;
    if (x < bounds.x())
        x = bounds.x();
    if (y + height > bounds.y() + bounds.height())
        y -= height + m_owner->height(); // directly above the button
    setGeometry(x, y, width, height);
}

void CColorPopup::AddCellTips() {
    m_cellTips.clear();
    for (int i = 0; i < kColorTableSize; ++i)
        m_cellTips.emplace_back(CellRect(i), QString::fromLatin1(ColorTable[size_t(i)].m_name));
}

void CColorPopup::MarkColor(COLORREF color) {
    if (color == CLR_DEFAULT && HasAutomatic()) {
        m_markedItem = kAutomatic;
        return;
    }
    const auto match =
        std::find_if(ColorTable.begin(), ColorTable.end(),
                     [color](const CColorTableEntry& e) { return e.m_color == color; });
    if (match != ColorTable.end())
        m_markedItem = int(match - ColorTable.begin());
    else
        m_markedItem = HasCustom() ? kCustom : kNone;
}

void CColorPopup::SetHotItem(int item) {
    if (m_hotItem != kNone) {
        const int old = m_hotItem;
        m_hotItem = kNone;
        update(CellRect(old));
    }
    m_hotItem = item;
    update(CellRect(item));

    COLORREF reported;
    if (item == kCustom) {
        reported = m_initialColor;
    } else if (item == kAutomatic) {
        m_currentChoice = reported = CLR_DEFAULT;
    } else if (item >= 0 && item < kColorTableSize) {
        m_currentChoice = reported = ColorTable[size_t(item)].m_color;
    } else {
        return;
    }
    m_owner->OnPopupChange(reported);
}

int CColorPopup::ArrowTarget(int key) const {
    const auto rule = std::find_if(std::begin(kArrowRules), std::end(kArrowRules),
                                   [key](const CArrowRule& r) { return r.m_key == key; });
    const auto firstExisting = [this](const std::array<int, 3>& alternatives) {
        for (int item : alternatives) {
            if (item >= 0 || (item == kCustom && HasCustom()) ||
                (item == kAutomatic && HasAutomatic()))
                return item;
        }
        return kFirstCell;
    };
    if (m_hotItem == kAutomatic)
        return firstExisting(rule->m_fromAutomatic);
    if (m_hotItem == kCustom)
        return firstExisting(rule->m_fromCustom);
    if (m_hotItem >= 0) {
        const int target = rule->m_rowStep != 0
                               ? IndexAt(RowOf(m_hotItem) + rule->m_rowStep, ColumnOf(m_hotItem))
                               : m_hotItem + rule->m_indexStep;
        if (target >= 0 && target < kColorTableSize)
            return target;
    }
    return firstExisting(rule->m_pastGridEdge);
}

bool CColorPopup::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    for (const auto& [rect, text] : m_cellTips) {
        if (rect.contains(help->pos())) {
            QToolTip::showText(help->globalPos(), text, this, rect);
            return true;
        }
    }
    QToolTip::hideText();
    event->ignore();
    return true;
}

void CColorPopup::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Button));
    if (HasAutomatic())
        PaintTextRow(painter, kAutomatic);
    for (int i = 0; i < kColorTableSize; ++i)
        PaintItem(painter, i);
    if (HasCustom())
        PaintTextRow(painter, kCustom);

    // Raised two-line edge around the whole popup.
    const QPalette& pal = palette();
    DrawBorder(painter, rect(), pal.color(QPalette::Midlight), pal.color(QPalette::Shadow));
    DrawBorder(painter, rect().adjusted(1, 1, -1, -1), pal.color(QPalette::Light),
               pal.color(QPalette::Dark));
}

void CColorPopup::PaintItem(QPainter& painter, int item) {
    const QPalette& pal = palette();
    const QRect cell = CellRect(item);
    const bool hot = item == m_hotItem;
    const bool marked = item == m_markedItem;
    painter.fillRect(cell, pal.color(marked && !hot ? QPalette::Light : QPalette::Button));
    if (hot)
        DrawBorder(painter, cell, pal.color(QPalette::Light), pal.color(QPalette::Dark));
    else if (marked)
        DrawBorder(painter, cell, pal.color(QPalette::Dark), pal.color(QPalette::Light));

    const int inset = m_margin + 1;
    const QRect swatch = cell.adjusted(inset, inset, -inset, -inset);
    painter.setPen(pal.color(QPalette::Dark));
    painter.setBrush(ColorFromRef(ColorTable[size_t(item)].m_color));
    painter.drawRect(swatch.adjusted(0, 0, -1, -1));
}

void CColorPopup::PaintTextRow(QPainter& painter, int item) {
    const QPalette& pal = palette();
    const int m = m_margin;
    const bool hot = item == m_hotItem;
    const bool marked = item == m_markedItem;
    const QRect row = CellRect(item);
    QRect body = row;
    if (item == kCustom) {
        body.setTop(row.top() + 2 * m);
        const int x1 = row.left() + 2 * m;
        const int x2 = row.left() + row.width() - 2 * m - 1;
        painter.setPen(pal.color(QPalette::Dark));
        painter.drawLine(x1, row.top(), x2, row.top());
        painter.setPen(pal.color(QPalette::Light));
        painter.drawLine(x1, row.top() + 1, x2, row.top() + 1);
    }
    painter.fillRect(body, pal.color(QPalette::Button));
    const QRect inner = body.adjusted(1, 1, -1, -1);
    painter.fillRect(inner, pal.color(marked && !hot ? QPalette::Midlight : QPalette::Button));
    if (item == kAutomatic) {
        painter.setPen(pal.color(QPalette::Dark));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(inner.adjusted(2 * m, 2 * m, -2 * m - 1, -2 * m - 1));
    }
    if (hot)
        DrawBorder(painter, inner, pal.color(QPalette::Light), pal.color(QPalette::Dark));
    else if (marked)
        DrawBorder(painter, inner, pal.color(QPalette::Dark), pal.color(QPalette::Light));
    painter.setPen(pal.color(QPalette::ButtonText));
    painter.drawText(inner, Qt::AlignCenter | Qt::TextSingleLine,
                     item == kCustom ? m_customText : m_automaticText);
}

void CColorPopup::mousePressEvent(QMouseEvent* event) {
    // A press outside must not close the popup: the release decides.
    event->accept();
}

void CColorPopup::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pt = event->position().toPoint();
    int item;
    if (HasCustom() && m_customRect.contains(pt)) {
        item = kCustom;
    } else if (HasAutomatic() && m_automaticRect.contains(pt)) {
        item = kAutomatic;
    } else {
        const int gridTop = m_margin + (HasAutomatic() ? m_automaticRect.height() + m_margin : 0);
        item = IndexAt((pt.y() - gridTop) / m_cellSize, (pt.x() - m_margin) / m_cellSize);
        if (item < 0)
            return;
    }
    if (item != m_hotItem)
        SetHotItem(item);
}

void CColorPopup::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    Finish(geometry().contains(event->globalPosition().toPoint()) ? CEnding::Accept
                                                                  : CEnding::Cancel);
}

void CColorPopup::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        Finish(CEnding::Accept);
        break;
    case Qt::Key_Escape:
        m_currentChoice = m_initialColor;
        Finish(CEnding::Cancel);
        break;
    case Qt::Key_Down:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Left:
        SetHotItem(ArrowTarget(event->key()));
        break;
    default:
        break;
    }
    // The popup holds the keyboard: no key reaches the dialog below it.
    event->accept();
}

void CColorPopup::closeEvent(QCloseEvent* event) {
    if (m_dialogOpen) {
        event->ignore();
        return;
    }
    // Closed from outside (the system closing popups): that is a cancel.
    if (!m_finished) {
        m_currentChoice = m_initialColor;
        Report(CEnding::Cancel);
    }
    event->accept();
}

void CColorPopup::OnApplicationStateChanged(Qt::ApplicationState state) {
    // While the colour dialog runs, its own result decides.
    if (state != Qt::ApplicationActive && !m_dialogOpen)
        Finish(CEnding::Cancel);
}

void CColorPopup::Finish(CEnding ending) {
    if (m_finished || m_dialogOpen)
        return;
    if (ending == CEnding::Cancel)
        m_currentChoice = m_initialColor;
    if (ending == CEnding::Accept && m_hotItem == kCustom) {
        // The popup lets go of mouse and keyboard so that the dialog can have them.
        hide();
        m_dialogOpen = true;
        const QPointer<CColorPopup> self(this);
        const QPointer<QColorDialog> dialog =
            new QColorDialog(ColorFromRef(m_initialColor), m_owner->window());
        const int result = dialog->exec();
        const QColor chosen = dialog ? dialog->selectedColor() : QColor();
        delete dialog.data();
        if (!self)
            return;
        m_dialogOpen = false;
        if (result == QDialog::Accepted && chosen.isValid()) {
            m_currentChoice = RefFromColor(chosen);
        } else {
            ending = CEnding::Cancel;
            m_currentChoice = m_initialColor;
        }
    }
    Report(ending);
    close();
}

void CColorPopup::Report(CEnding ending) {
    m_finished = true;
    if (ending == CEnding::Accept)
        m_owner->OnPopupAccept(m_currentChoice);
    else
        m_owner->OnPopupCancel(m_currentChoice);
}
