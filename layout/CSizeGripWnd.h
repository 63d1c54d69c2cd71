// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <QSize>
#include <QWidget>

// The size grip: the platform's size-grip drawing, cut to the lower-right triangle, which
// resizes its window from the corner when dragged. Shown while its visibility count is above 0.
class CSizeGripWnd : public QWidget {
    Q_OBJECT
public:
    explicit CSizeGripWnd(QWidget* owner);

    // Takes the grip's shape to the lower-right half of its square.
    void SetTriangular();
    // The corner of the window that dragging the grip moves: bottom-left for right-to-left
    // layouts, bottom-right otherwise.
    Qt::Edges HitTestCorner() const;
    QSize GripSize() const { return m_size; }

    int m_visibilityCount = 0;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QSize ReadGripSize() const;
    void OnSettingChange();

    QSize m_size;
    // Where a drag started, when the window system does not resize the window itself.
    QPoint m_pressGlobal;
    QRect m_pressGeometry;
    bool m_dragging = false;
};
