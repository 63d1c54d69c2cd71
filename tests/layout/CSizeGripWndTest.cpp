// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "layout/CSizeGripWnd.h"
#include "layout/CResizeSupport.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QProxyStyle>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

const CDialogTemplate kDialog{
    1,   "Grip", 200,
    100, false,  {{1002, CControlKind::PushButton, "Corner", 150, 80, 50, 20, CTL_NONE}}};

TEST(CGripOwner, EachRequestBitCountsOnce) {
    CResizeSupport dialog(kDialog, nullptr);
    CSizeGripWnd* grip = dialog.Grip();
    ASSERT_TRUE(grip);
    EXPECT_EQ(grip->m_visibilityCount, 1);
    uint32_t flags = 0;
    dialog.RequestGrip(flags, 4);
    dialog.RequestGrip(flags, 4);
    EXPECT_EQ(grip->m_visibilityCount, 2);
    EXPECT_EQ(flags, 4u);
    dialog.ReleaseGrip(flags, 8);
    EXPECT_EQ(grip->m_visibilityCount, 2);
    dialog.ReleaseGrip(flags, 4);
    dialog.ReleaseGrip(flags, 4);
    EXPECT_EQ(grip->m_visibilityCount, 1);
    EXPECT_EQ(flags, 0u);
    dialog.SetGripShown(false);
    EXPECT_FALSE(dialog.IsGripShown());
}

TEST(CGripOwner, GripSitsInTheCornerBehindItsSiblings) {
    CResizeSupport dialog(kDialog, nullptr);
    dialog.show();
    dialog.resize(dialog.width() + 33, dialog.height() + 17);
    QCoreApplication::processEvents();
    CSizeGripWnd* grip = dialog.Grip();
    EXPECT_EQ(grip->geometry().bottomRight(), dialog.rect().bottomRight());
    EXPECT_EQ(grip->size(), grip->GripSize());
    // The button overlapping the corner is stacked above the grip.
    const QObjectList children = dialog.children();
    EXPECT_LT(children.indexOf(grip), children.indexOf(dialog.Control(1002)));
    QWidget* corner = dialog.Control(1002);
    corner->move(dialog.width() - corner->width(), dialog.height() - corner->height());
    EXPECT_EQ(dialog.childAt(dialog.rect().bottomRight() - QPoint(1, 1)), corner);
}

TEST(CSizeGripWnd, OnlyTheLowerRightTriangleBelongsToTheGrip) {
    CResizeSupport dialog(kDialog, nullptr);
    CSizeGripWnd* grip = dialog.Grip();
    const QRegion mask = grip->mask();
    const int w = grip->width();
    const int h = grip->height();
    EXPECT_TRUE(mask.contains(QPoint(w - 2, h - 2)));
    EXPECT_FALSE(mask.contains(QPoint(1, 1)));
    EXPECT_FALSE(mask.contains(QPoint(w / 4, h / 4)));
}

TEST(CSizeGripWnd, RightToLeftDragsTheBottomLeftCorner) {
    CResizeSupport dialog(kDialog, nullptr);
    EXPECT_EQ(dialog.Grip()->HitTestCorner(), Qt::BottomEdge | Qt::RightEdge);
    dialog.Grip()->setLayoutDirection(Qt::RightToLeft);
    EXPECT_EQ(dialog.Grip()->HitTestCorner(), Qt::BottomEdge | Qt::LeftEdge);
}

class CWideScrollBars : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        if (metric == PM_ScrollBarExtent) {
            return 31;
        }
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

TEST(CSizeGripWnd, NewScrollBarMetricsResizeTheGripInPlace) {
    CResizeSupport dialog(kDialog, nullptr);
    dialog.show();
    QCoreApplication::processEvents();
    CSizeGripWnd* grip = dialog.Grip();
    ASSERT_NE(grip->width(), 31);
    CWideScrollBars style;
    grip->setStyle(&style);
    EXPECT_EQ(grip->size(), QSize(31, 31));
    EXPECT_EQ(grip->geometry().bottomRight(), dialog.rect().bottomRight());
    EXPECT_TRUE(grip->mask().contains(QPoint(29, 29)));
    EXPECT_FALSE(grip->mask().contains(QPoint(2, 2)));
    grip->setStyle(nullptr);
}

TEST(CSizeGripWnd, DraggingResizesTheWindowButNotBelowItsMinimum) {
    CResizeSupport dialog(kDialog, nullptr);
    dialog.show();
    QCoreApplication::processEvents();
    const QSize designed = dialog.size();
    CSizeGripWnd* grip = dialog.Grip();
    const QPoint inside(grip->width() - 2, grip->height() - 2);
    const QPoint pressed = grip->mapToGlobal(inside);
    QMouseEvent press(QEvent::MouseButtonPress, inside, pressed, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(grip, &press);
    QMouseEvent move(QEvent::MouseMove, inside + QPoint(40, 25), pressed + QPoint(40, 25),
                     Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(grip, &move);
    EXPECT_EQ(dialog.size(), designed + QSize(40, 25));
    QMouseEvent shrink(QEvent::MouseMove, inside - QPoint(200, 200), pressed - QPoint(200, 200),
                       Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(grip, &shrink);
    EXPECT_EQ(dialog.size(), designed);
}

} // namespace
