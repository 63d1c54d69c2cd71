// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "layout/CControlLayout.h"

namespace {

// Percent of an extent, product first, truncating toward zero.
int32_t Percent(int32_t anchor, int32_t extent) {
    return anchor * extent / 100;
}

} // namespace

void CControlLayout::AnchorControl(QWidget* child, CAnchor topLeft, CAnchor bottomRight) {
    if (!child) {
        return;
    }
    const QRect area = LayoutArea();
    const int32_t width = area.width();
    const int32_t height = area.height();
    const QRect rect = ChildRect(*child).translated(-area.topLeft());
    if (bottomRight == ANCHOR_NONE) {
        bottomRight = topLeft;
    }
    CAnchorEntry entry;
    entry.window = child;
    entry.topLeft = topLeft;
    entry.bottomRight = bottomRight;
    entry.topLeftOffset =
        QPoint(rect.x() - Percent(topLeft.x, width), rect.y() - Percent(topLeft.y, height));
    entry.bottomRightOffset = QPoint(rect.x() + rect.width() - Percent(bottomRight.x, width),
                                     rect.y() + rect.height() - Percent(bottomRight.y, height));
    m_entries.push_back(entry);
}

CChildRect CControlLayout::ComputeChildRect(const CAnchorEntry& entry,
                                            const QRect& layoutArea) const {
    const int32_t width = layoutArea.width();
    const int32_t height = layoutArea.height();
    const int32_t left = entry.topLeftOffset.x() + Percent(entry.topLeft.x, width);
    const int32_t top = entry.topLeftOffset.y() + Percent(entry.topLeft.y, height);
    const int32_t right = entry.bottomRightOffset.x() + Percent(entry.bottomRight.x, width);
    const int32_t bottom = entry.bottomRightOffset.y() + Percent(entry.bottomRight.y, height);

    CChildRect result;
    result.rect = QRect(left, top, right - left, bottom - top).translated(layoutArea.topLeft());
    if (entry.window) {
        const QRect old = ChildRect(*entry.window);
        result.move = old.topLeft() != result.rect.topLeft();
        result.size = old.size() != result.rect.size();
    }
    return result;
}

void CControlLayout::LayoutControls() {
    QWidget* owner = OwnerWindow();
    const QRect area = LayoutArea();
    // Painting is held back until every child has its new place, so that the children change
    // in one step.
    const bool updates = owner->updatesEnabled();
    owner->setUpdatesEnabled(false);
    for (const CAnchorEntry& entry : m_entries) {
        if (!entry.window) {
            continue;
        }
        const CChildRect placement = ComputeChildRect(entry, area);
        if (!placement.move && !placement.size) {
            continue;
        }
        QWidget* parent = entry.window->parentWidget();
        const QPoint topLeft = parent == owner ? placement.rect.topLeft()
                                               : parent->mapFrom(owner, placement.rect.topLeft());
        entry.window->setGeometry(QRect(topLeft, placement.rect.size()));
    }
    owner->setUpdatesEnabled(updates);
}

QRect CControlLayout::LayoutArea() const {
    return OwnerWindow()->rect();
}

QRect CControlLayout::ChildRect(const QWidget& child) const {
    QWidget* owner = OwnerWindow();
    const QWidget* parent = child.parentWidget();
    if (parent == owner || !parent) {
        return child.geometry();
    }
    return QRect(parent->mapTo(owner, child.pos()), child.size());
}
