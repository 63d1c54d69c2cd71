// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "layout/CAnchor.h"

#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <vector>

// One anchored child: its anchors and its offsets from the anchor points, in pixels.
struct CAnchorEntry {
    QPointer<QWidget> window;
    CAnchor topLeft;
    QPoint topLeftOffset;
    CAnchor bottomRight;
    QPoint bottomRightOffset;
};

// Where a child goes for a layout area, and whether that moves or sizes it.
struct CChildRect {
    QRect rect;
    bool move = false;
    bool size = false;
};

// Children that follow the owner's size by anchors in percent of the layout area. Edges are
// computed product first, then divided by 100 truncating toward zero.
class CControlLayout {
public:
    virtual ~CControlLayout() = default;

    // Registers a child; with ANCHOR_NONE as the bottom-right anchor the child keeps its size.
    void AnchorControl(QWidget* child, CAnchor topLeft, CAnchor bottomRight);
    // Places every anchored child for the current layout area, all in one step; children
    // whose rectangle does not change are left alone.
    void LayoutControls();
    CChildRect ComputeChildRect(const CAnchorEntry& entry, const QRect& layoutArea) const;
    void RemoveAllAnchors() { m_entries.clear(); }
    const std::vector<CAnchorEntry>& AnchorEntries() const { return m_entries; }

protected:
    // The rectangle the anchors are measured in: the owner's client rectangle.
    virtual QRect LayoutArea() const;
    virtual QWidget* OwnerWindow() const = 0;

private:
    // The child's rectangle in the owner's client coordinates.
    QRect ChildRect(const QWidget& child) const;

    std::vector<CAnchorEntry> m_entries;
};
