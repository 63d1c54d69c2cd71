// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "layout/CDialogTemplate.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

const CDialogTemplate kPanel{
    7,
    "",
    200,
    60,
    true,
    {
        {IDC_STATIC, CControlKind::Static, "Left", 4, 4, 40, 8, CTL_NONE},
        {1001, CControlKind::PushButton, "Go", 10, 20, 40, 14, CTL_NONE},
        {1002, CControlKind::PushButton, "Hidden", 60, 20, 40, 14, CTL_HIDDEN},
        {IDC_STATIC, CControlKind::GroupBox, "Around", 5, 15, 100, 40, CTL_NONE},
        {1003, CControlKind::ComboBox, nullptr, 110, 4, 80, 50, CTL_CUSTOM},
        {1004, CControlKind::ComboBox, nullptr, 110, 20, 80, 30, CTL_SIMPLE | CTL_CUSTOM},
        {IDC_STATIC, CControlKind::Static, "one\ntwo", 4, 40, 40, 16, CTL_CENTER},
    },
    1,
};

TEST(CDialogBuilder, ChildTemplateWithEdgeHiddenGroupAndCustomControls) {
    QWidget panel;
    CDialogBuilder::Build(kPanel, panel);
    const CDialogUnits units = CDialogUnits::ForTemplate(kPanel, panel);
    // The edge lies around the client area: the size grows by it and the controls move in.
    EXPECT_EQ(panel.size(), QSize(units.ToPixelsX(200) + 2, units.ToPixelsY(60) + 2));
    auto* go = panel.findChild<QPushButton*>(QStringLiteral("1001"));
    ASSERT_TRUE(go);
    EXPECT_EQ(go->geometry(), units.ToPixels(10, 20, 40, 14).translated(1, 1));
    auto* hidden = panel.findChild<QPushButton*>(QStringLiteral("1002"));
    ASSERT_TRUE(hidden);
    EXPECT_FALSE(hidden->isVisibleTo(&panel));
    EXPECT_TRUE(go->isVisibleTo(&panel));

    // The group box is drawn below the controls inside it, whatever the template order.
    auto* group = panel.findChild<QGroupBox*>();
    ASSERT_TRUE(group);
    EXPECT_EQ(panel.children().indexOf(group), 0);

    const QList<QLabel*> labels = panel.findChildren<QLabel*>();
    ASSERT_EQ(labels.size(), 2);
    EXPECT_EQ(labels[0]->alignment(), Qt::AlignLeft | Qt::AlignTop);
    EXPECT_EQ(labels[1]->alignment(), Qt::AlignCenter);
    EXPECT_EQ(labels[1]->text(), QStringLiteral("one\ntwo"));

    // Custom controls are the dialog's: none is made, each is placed on its rectangle; a
    // drop-down keeps its own height, a simple list takes the template's.
    EXPECT_FALSE(panel.findChild<QComboBox*>());
    auto* dropDown = new QComboBox;
    CDialogBuilder::PlaceControl(kPanel, panel, *dropDown, 1003);
    EXPECT_EQ(dropDown->parentWidget(), &panel);
    EXPECT_EQ(dropDown->objectName(), QStringLiteral("1003"));
    EXPECT_EQ(dropDown->pos(), units.ToPixels(110, 4, 80, 50).topLeft() + QPoint(1, 1));
    EXPECT_EQ(dropDown->height(), dropDown->sizeHint().height());
    auto* simple = new QWidget;
    CDialogBuilder::PlaceControl(kPanel, panel, *simple, 1004);
    EXPECT_EQ(simple->geometry(), units.ToPixels(110, 20, 80, 30).translated(1, 1));
}

TEST(CDialogUnits, WidenedByTheLongestLineOfACaption) {
    QWidget dialog;
    const QFontMetrics metrics(dialog.font());
    const QString line = QStringLiteral("A much longer second line than fits");
    const QString first = QStringLiteral("first line");
    const QByteArray caption = (first + QLatin1Char('\n') + line).toLatin1();
    const CDialogTemplate narrow{
        1,     "",
        100,   40,
        false, {{IDC_STATIC, CControlKind::Static, caption.constData(), 0, 0, 20, 16, CTL_NONE}}};
    const CDialogUnits units = CDialogUnits::ForTemplate(narrow, dialog);
    EXPECT_GT(units.BaseX(), CDialogUnits::FromFont(dialog.font()).BaseX());
    EXPECT_GE(units.ToPixelsX(20), metrics.horizontalAdvance(line));
    // Only the longest line counts, not the caption read as one line.
    EXPECT_LT(units.ToPixelsX(20), metrics.horizontalAdvance(first + line));
    EXPECT_EQ(units.BaseY(), CDialogUnits::FromFont(dialog.font()).BaseY());
}

} // namespace
