// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QStringList>
#include <QTest>

#include <gtest/gtest.h>

// The texts of a menu's items in order, separators left out.
inline QStringList MenuTexts(const QMenu& menu) {
    QStringList texts;
    for (const QAction* action : menu.actions()) {
        if (!action->isSeparator()) {
            texts << action->text();
        }
    }
    return texts;
}

// The item of a menu with `text`, or null.
inline QAction* MenuItem(const QMenu& menu, const QString& text) {
    for (QAction* action : menu.actions()) {
        if (action->text() == text) {
            return action;
        }
    }
    return nullptr;
}

// Opens `viewport`'s context menu as a right click (or the menu key) would; the menu is left
// open. Null when none opened.
inline QMenu* OpenContextMenu(QWidget& viewport,
                              QContextMenuEvent::Reason reason = QContextMenuEvent::Mouse) {
    const QPoint at(20, 20);
    QContextMenuEvent click(reason, at, viewport.mapToGlobal(at));
    QApplication::sendEvent(&viewport, &click);
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

// Clicks the enabled item `text` of `viewport`'s context menu.
inline void ChooseFromContextMenu(QWidget& viewport, const QString& text) {
    QMenu* menu = OpenContextMenu(viewport);
    ASSERT_NE(menu, nullptr);
    QAction* item = MenuItem(*menu, text);
    ASSERT_NE(item, nullptr) << text.toStdString();
    ASSERT_TRUE(item->isEnabled()) << text.toStdString();
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
}
