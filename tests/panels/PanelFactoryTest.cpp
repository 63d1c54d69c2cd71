// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "CPanelRig.h"
#include "PanelTestSupport.h"

#include "device/ReaderTypes.h"
#include "layout/CDialogTemplate.h"
#include "panels/CPanelFactory.h"
#include "panels/CPanelTemplate.h"

#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

TEST(PanelFactory, EachDeviceTypeGetsItsPanelLaidOverThePlaceholder) {
    const struct {
        DeviceType type;
        int templateId;
        const char* caption;
    } cases[] = {{DeviceType::SurePos, 129, "SurePos"},
                 {DeviceType::Quorin, 130, "Quorin"},
                 {DeviceType::HidPos, 131, "Hid Pos"},
                 {DeviceType::SurePosSio, 132, "SurePos Sio"},
                 {DeviceType::Keyboard, 134, "Keyboard"}};
    for (const auto& c : cases) {
        CPanelRig rig(c.type);
        QWidget placeholder(&rig.Parent());
        placeholder.setGeometry(11, 60, 459, 125);
        std::unique_ptr<CDevicePanel> panel =
            CreateDevicePanel(*rig.Device(), &rig.Store(), &rig.Parent());
        ASSERT_NE(panel, nullptr);
        EXPECT_EQ(panel->TemplateId(), c.templateId);
        EXPECT_FALSE(panel->HasWindow()) << "the window is made by Create";
        ASSERT_TRUE(panel->Create());
        panel->ShowOver(placeholder);
        EXPECT_EQ(panel->geometry(), placeholder.geometry());
        EXPECT_FALSE(panel->isWindow());
        auto* label = panel->findChild<QLabel*>();
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), c.caption);
    }
}

TEST(PanelFactory, ControlsKeepTheirNumbersAndScaleWithTheDialogFont) {
    CPanelRig rig(DeviceType::HidPos);
    std::unique_ptr<CDevicePanel> panel =
        CreateDevicePanel(*rig.Device(), &rig.Store(), &rig.Parent());
    ASSERT_TRUE(panel->Create());
    const CDialogTemplate* dialogTemplate = CPanelTemplate::Find(131);
    ASSERT_NE(dialogTemplate, nullptr);
    for (const CControlTemplate& c : dialogTemplate->controls) {
        if (c.id == IDC_STATIC) {
            continue;
        }
        QWidget* control = panel->Control(c.id);
        ASSERT_NE(control, nullptr) << c.id;
        EXPECT_EQ(control->objectName(), QString::number(c.id));
        EXPECT_EQ(control->pos() - QPoint(1, 1), panel->DialogUnitsToPixels(c.x, c.y)) << c.id;
        if (auto* button = qobject_cast<QAbstractButton*>(control)) {
            EXPECT_EQ(button->text(), c.text);
        }
        EXPECT_EQ(control->isVisibleTo(panel.get()), !(c.options & CTL_HIDDEN)) << c.id;
    }
    const QPoint size = panel->DialogUnitsToPixels(306, 74);
    EXPECT_EQ(panel->size(), QSize(size.x() + 2, size.y() + 2));
    // The dialog font's base units, widened only as far as the longest caption needs.
    const QFontMetrics metrics(panel->font());
    const QPoint unit = panel->DialogUnitsToPixels(4, 8);
    EXPECT_GE(unit.x(), CDialogUnits::FromFont(panel->font()).BaseX());
    EXPECT_EQ(unit.y(), metrics.height());
    for (const CControlTemplate& c : dialogTemplate->controls) {
        if (auto* button = qobject_cast<QPushButton*>(panel->Control(c.id))) {
            EXPECT_GE(button->width(), metrics.horizontalAdvance(button->text())) << c.id;
        }
    }
}

// A reader type added to the table needs its panel: the factory has one for every row.
TEST(PanelFactory, EveryReaderTypeOfTheTableHasAPanel) {
    for (const CReaderType& row : ReaderTypes()) {
        CPanelRig rig(row.type);
        ASSERT_NE(rig.Device(), nullptr) << row.name;
        std::unique_ptr<CDevicePanel> panel =
            CreateDevicePanel(*rig.Device(), &rig.Store(), &rig.Parent());
        ASSERT_NE(panel, nullptr) << row.name;
        ASSERT_TRUE(panel->Create());
        auto* label = panel->findChild<QLabel*>();
        ASSERT_NE(label, nullptr) << row.name;
        EXPECT_EQ(label->text(), row.name);
    }
}

} // namespace
