#pragma once

#include "settings/CDisplaySettings.h"

#include <QRect>
#include <QString>
#include <QWidget>

#include <array>
#include <vector>

class CColorButton;

// One row of the palette: the colour word and the name shown as the cell's tool tip.
struct CColorTableEntry {
    COLORREF m_color;
    const char* m_name;
};

constexpr int kColorTableSize = 40;
extern const std::array<CColorTableEntry, kColorTableSize> ColorTable;

// The palette that a CColorButton opens below itself: 40 named cells, an optional "Automatic"
// row above and an optional custom row ("More Colors...") below. It holds the mouse and the
// keyboard while open, reports every highlight move to its button and deletes itself when it
// ends with accept or cancel.
class CColorPopup : public QWidget {
    Q_OBJECT

public:
    // Item codes besides the cells 0 to 39.
    static constexpr int kNone = -1;
    static constexpr int kCustom = -2;
    static constexpr int kAutomatic = -3;

    CColorPopup(QPoint topLeft, COLORREF initial, CColorButton* owner,
                QString automaticText = QString(), QString customText = QString());

    int HotItem() const { return m_hotItem; }
    int MarkedItem() const { return m_markedItem; }
    COLORREF CurrentChoice() const { return m_currentChoice; }
    int CellSize() const { return m_cellSize; }
    int Margin() const { return m_margin; }
    QRect CellRect(int item) const;
    int IndexAt(int row, int column) const;
    int RowOf(int item) const;
    int ColumnOf(int item) const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    enum class CEnding { Accept, Cancel };

    bool HasAutomatic() const { return !m_automaticText.isEmpty(); }
    bool HasCustom() const { return !m_customText.isEmpty(); }
    void ComputeLayout(QPoint topLeft);
    void AddCellTips();
    void MarkColor(COLORREF color);
    void SetHotItem(int item);
    int ArrowTarget(int key) const;
    void PaintItem(QPainter& painter, int item);
    void PaintTextRow(QPainter& painter, int item);
    void Finish(CEnding ending);
    void Report(CEnding ending);
    void OnApplicationStateChanged(Qt::ApplicationState state);

    int m_columns = 8;
    int m_rows = (kColorTableSize + 7) / 8;
    int m_margin;
    int m_cellSize;
    int m_hotItem = kNone;
    int m_markedItem = kNone;
    QString m_automaticText;
    QString m_customText;
    QRect m_customRect;
    QRect m_automaticRect;
    COLORREF m_initialColor;
    COLORREF m_currentChoice;
    std::vector<std::pair<QRect, QString>> m_cellTips;
    CColorButton* m_owner;
    bool m_dialogOpen = false;
    bool m_finished = false;
};
