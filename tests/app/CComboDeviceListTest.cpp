// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "app/CComboDeviceList.h"
#include "app/CDeviceComboBox.h"

#include <QAbstractItemView>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QStringList Items(const QComboBox& combo) {
    QStringList items;
    for (int i = 0; i < combo.count(); ++i) {
        items << combo.itemText(i);
    }
    return items;
}

TEST(CComboDeviceList, KeepsItemsSortedIgnoringCaseAndSelectsNothingByItself) {
    QComboBox combo;
    CComboDeviceList list(combo);
    for (const char* item : {"beta", "Alpha", "alpha", "Gamma", "BETA"}) {
        list.AddItem(item);
    }
    EXPECT_EQ(Items(combo), QStringList({"Alpha", "alpha", "beta", "BETA", "Gamma"}));
    EXPECT_EQ(list.GetCount(), 5);
    EXPECT_EQ(combo.currentIndex(), -1);
    EXPECT_EQ(list.GetCurrentText(), "");

    EXPECT_TRUE(list.SelectPrefix("gam"));
    EXPECT_EQ(list.GetCurrentText(), "Gamma");
    // Adding before the selection keeps the selected item.
    list.AddItem("Delta");
    EXPECT_EQ(list.GetCurrentText(), "Gamma");
    EXPECT_FALSE(list.SelectPrefix("Omega"));
    EXPECT_EQ(list.GetCurrentText(), "Gamma");

    list.DeleteItem(0);
    EXPECT_EQ(Items(combo).first(), "alpha");
}

TEST(CComboDeviceList, NumbersSortByTheirValue) {
    QComboBox combo;
    CComboDeviceList list(combo);
    for (const char* item : {"Recording: a.txt - device 10", "Recording: a.txt - device 2",
                             "Recording: a.txt - device 1", "Recording: a.txt - device 02x",
                             "Recording: b.txt - device 0"}) {
        list.AddItem(item);
    }
    EXPECT_EQ(Items(combo),
              QStringList({"Recording: a.txt - device 1", "Recording: a.txt - device 2",
                           "Recording: a.txt - device 02x", "Recording: a.txt - device 10",
                           "Recording: b.txt - device 0"}));
}

TEST(CDeviceComboBox, DropDownBeforeTheListShowsCloseUpAfterItClosesEvenUnchanged) {
    CDeviceComboBox combo;
    combo.addItems({"One", "Two"});
    combo.setCurrentIndex(0);
    combo.show();
    QStringList order;
    QObject::connect(&combo, &CDeviceComboBox::DropDown, [&] {
        order << QStringLiteral("drop:%1").arg(combo.view()->isVisible());
        combo.addItem("Three");
    });
    QObject::connect(&combo, &CDeviceComboBox::CloseUp,
                     [&] { order << QStringLiteral("close:") + combo.currentText(); });

    combo.showPopup();
    EXPECT_EQ(combo.count(), 3);
    QTest::keyClick(static_cast<QWidget*>(combo.view()), Qt::Key_Escape);
    QCoreApplication::processEvents();
    EXPECT_EQ(order, QStringList({"drop:0", "close:One"}));

    order.clear();
    combo.showPopup();
    QTest::keyClick(static_cast<QWidget*>(combo.view()), Qt::Key_Down);
    QTest::keyClick(static_cast<QWidget*>(combo.view()), Qt::Key_Return);
    QCoreApplication::processEvents();
    ASSERT_EQ(order.size(), 2);
    EXPECT_EQ(order[1], "close:Two");
    // Hiding a list that is not shown is no close-up.
    combo.hidePopup();
    QCoreApplication::processEvents();
    EXPECT_EQ(order.size(), 2);
}

} // namespace
