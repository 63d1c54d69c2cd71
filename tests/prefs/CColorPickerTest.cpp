// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "prefs/CColorButton.h"
#include "prefs/CColorPopup.h"

#include <QApplication>
#include <QColorDialog>
#include <QHelpEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QToolTip>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

struct CNote {
    std::string m_what;
    COLORREF m_color;
    int m_id;
    bool operator==(const CNote& o) const {
        return m_what == o.m_what && m_color == o.m_color && m_id == o.m_id;
    }
};

std::ostream& operator<<(std::ostream& os, const CNote& n) {
    return os << n.m_what << "(0x" << std::hex << n.m_color << std::dec << ", " << n.m_id << ")";
}

void FlushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void SendMouse(QWidget* widget, QEvent::Type type, QPoint local) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
    QMouseEvent event(type, QPointF(local), QPointF(widget->mapToGlobal(local)), button, held,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

class ColorPicker : public ::testing::Test {
protected:
    void SetUp() override {
        m_parent = std::make_unique<QWidget>();
        m_parent->setGeometry(100, 100, 300, 200);
        m_button = new CColorButton(m_parent.get());
        m_button->setObjectName(QStringLiteral("1003"));
        m_button->setGeometry(10, 10, 60, 22);
        const auto record = [this](const char* what) {
            return [this, what](COLORREF c, int id) { m_notes.push_back({what, c, id}); };
        };
        QObject::connect(m_button, &CColorButton::ColorChange, record("change"));
        QObject::connect(m_button, &CColorButton::ColorPopupOpen, record("open"));
        QObject::connect(m_button, &CColorButton::ColorPopupClose, record("close"));
        QObject::connect(m_button, &CColorButton::ColorAccept, record("accept"));
        QObject::connect(m_button, &CColorButton::ColorCancel, record("cancel"));
        m_parent->show();
    }
    void TearDown() override {
        m_parent.reset();
        FlushDeletes();
    }

    CColorPopup* Open(COLORREF initial) {
        m_button->SetColor(initial);
        QTest::mouseClick(m_button, Qt::LeftButton);
        auto* popup = m_button->findChild<CColorPopup*>();
        EXPECT_NE(popup, nullptr);
        EXPECT_TRUE(popup && popup->isVisible());
        return popup;
    }
    void Hover(CColorPopup* popup, int item) {
        SendMouse(popup, QEvent::MouseMove, popup->CellRect(item).center());
    }
    void Key(CColorPopup* popup, Qt::Key key) { QTest::keyClick(popup, key); }

    std::unique_ptr<QWidget> m_parent;
    CColorButton* m_button = nullptr;
    std::vector<CNote> m_notes;
};

constexpr COLORREF kNavy = 0x00800000; // in no table row
constexpr COLORREF kBlue = 0x00FF0000; // cell 13
constexpr COLORREF kRed = 0x000000FF;  // cell 16

TEST_F(ColorPicker, ArrowKeysMoveTheHotItemByTheTable) {
    CColorPopup* popup = Open(kNavy);
    Hover(popup, 7);
    ASSERT_EQ(popup->HotItem(), 7);

    struct CStep {
        Qt::Key m_key;
        int m_expected;
    };
    const CStep steps[] = {
        {Qt::Key_Right, 8},
        {Qt::Key_Left, 7},
        {Qt::Key_Down, 15},
        {Qt::Key_Down, 23},
        {Qt::Key_Down, 31},
        {Qt::Key_Down, 39},
        {Qt::Key_Down, CColorPopup::kCustom},    // no cell below
        {Qt::Key_Up, 39},                        // custom row up: last cell
        {Qt::Key_Right, CColorPopup::kCustom},   // past the last cell
        {Qt::Key_Down, CColorPopup::kAutomatic}, // wraps to the top
        {Qt::Key_Down, 0},
        {Qt::Key_Left, CColorPopup::kAutomatic}, // from the first cell
        {Qt::Key_Right, 0},
        {Qt::Key_Right, 1},
        {Qt::Key_Right, 2},
        {Qt::Key_Right, 3},
        {Qt::Key_Up, CColorPopup::kAutomatic}, // from the first grid row
        {Qt::Key_Up, CColorPopup::kCustom},
        {Qt::Key_Left, 39},
        {Qt::Key_Left, 38},
    };
    for (const CStep& step : steps) {
        const int from = popup->HotItem();
        Key(popup, step.m_key);
        EXPECT_EQ(popup->HotItem(), step.m_expected) << "key " << step.m_key << " from " << from;
    }
    // Each move reported the new highlight: the cell's colour, the initial colour for the custom
    // row, CLR_DEFAULT for Automatic.
    ASSERT_GE(m_notes.size(), 9u);
    EXPECT_EQ(m_notes[2], (CNote{"change", ColorTable[8].m_color, 1003}));
    EXPECT_EQ(m_notes[8], (CNote{"change", kNavy, 1003}));
    EXPECT_EQ(m_notes.back(), (CNote{"change", ColorTable[38].m_color, 1003}));
    EXPECT_EQ(m_button->GetColor(), kNavy); // the button does not follow the highlight
}

TEST_F(ColorPicker, ArrowKeysWithoutTextRowsStayInTheGrid) {
    const QPointer<CColorPopup> popup = new CColorPopup(QPoint(50, 50), kBlue, m_button);
    EXPECT_EQ(popup->MarkedItem(), 13);
    const struct {
        Qt::Key m_key;
        int m_expected;
    } steps[] = {{Qt::Key_Up, 39},   {Qt::Key_Down, 0}, {Qt::Key_Left, 39},
                 {Qt::Key_Right, 0}, {Qt::Key_Up, 39},  {Qt::Key_Right, 0}};
    for (const auto& step : steps) {
        QTest::keyClick(popup.data(), step.m_key);
        EXPECT_EQ(popup->HotItem(), step.m_expected);
    }
    QTest::keyClick(popup.data(), Qt::Key_Escape);
    FlushDeletes();
    EXPECT_TRUE(popup.isNull());
}

TEST_F(ColorPicker, EnterRightAfterOpeningAcceptsTheInitialColourWithoutChange) {
    const QPointer<CColorPopup> popup = Open(kBlue);
    EXPECT_TRUE(m_button->IsPopupOpen());
    EXPECT_EQ(popup->MarkedItem(), 13);
    EXPECT_EQ(popup->HotItem(), CColorPopup::kNone);
    Key(popup, Qt::Key_Return);
    const std::vector<CNote> expected = {
        {"open", kBlue, 1003}, {"close", kBlue, 1003}, {"accept", kBlue, 1003}};
    EXPECT_EQ(m_notes, expected);
    EXPECT_EQ(m_button->GetColor(), kBlue);
    EXPECT_FALSE(m_button->IsPopupOpen());
    FlushDeletes();
    EXPECT_TRUE(popup.isNull());
}

TEST_F(ColorPicker, EscapeOrReleaseOutsideCancelsWithTheInitialColour) {
    for (const bool byEscape : {true, false}) {
        m_notes.clear();
        const QPointer<CColorPopup> popup = Open(kNavy);
        EXPECT_EQ(popup->MarkedItem(), CColorPopup::kCustom); // not in the table
        Hover(popup, 0);
        Hover(popup, 9);
        if (byEscape) {
            Key(popup, Qt::Key_Escape);
        } else {
            SendMouse(popup, QEvent::MouseButtonRelease, QPoint(-5, popup->height() + 5));
        }
        const std::vector<CNote> expected = {{"open", kNavy, 1003},
                                             {"change", ColorTable[0].m_color, 1003},
                                             {"change", ColorTable[9].m_color, 1003},
                                             {"close", kNavy, 1003},
                                             {"cancel", kNavy, 1003}};
        EXPECT_EQ(m_notes, expected) << (byEscape ? "Escape" : "release outside");
        EXPECT_EQ(m_button->GetColor(), kNavy);
        EXPECT_FALSE(m_button->IsPopupOpen());
        FlushDeletes();
        EXPECT_TRUE(popup.isNull());
    }
}

TEST_F(ColorPicker, ReleaseInsideAcceptsTheHotCellAlsoOnAMargin) {
    CColorPopup* popup = Open(kBlue);
    SendMouse(popup, QEvent::MouseButtonPress, popup->CellRect(16).center());
    Hover(popup, 16);
    SendMouse(popup, QEvent::MouseMove, QPoint(1, popup->height() - 1)); // margin: no change
    EXPECT_EQ(popup->HotItem(), 16);
    SendMouse(popup, QEvent::MouseButtonRelease, QPoint(1, popup->height() - 1));
    const std::vector<CNote> expected = {{"open", kBlue, 1003},
                                         {"change", kRed, 1003},
                                         {"close", kRed, 1003},
                                         {"accept", kRed, 1003},
                                         {"change", kRed, 1003}};
    EXPECT_EQ(m_notes, expected);
    EXPECT_EQ(m_button->GetColor(), kRed);
}

TEST_F(ColorPicker, AutomaticStoresClrDefaultAndIsMarkedNextTime) {
    CColorPopup* popup = Open(kRed);
    SendMouse(popup, QEvent::MouseMove, popup->CellRect(CColorPopup::kAutomatic).center());
    EXPECT_EQ(popup->HotItem(), CColorPopup::kAutomatic);
    EXPECT_EQ(m_notes.back(), (CNote{"change", CLR_DEFAULT, 1003}));
    SendMouse(popup, QEvent::MouseButtonRelease, popup->CellRect(CColorPopup::kAutomatic).center());
    EXPECT_EQ(m_button->GetColor(), 0xFF000000u);
    EXPECT_EQ(m_notes.back(), (CNote{"change", CLR_DEFAULT, 1003}));
    FlushDeletes();

    popup = Open(CLR_DEFAULT);
    EXPECT_EQ(popup->MarkedItem(), CColorPopup::kAutomatic);
    Key(popup, Qt::Key_Escape);
    EXPECT_EQ(m_button->GetColor(), CLR_DEFAULT);
}

TEST_F(ColorPicker, LayoutAndHitTestingAgree) {
    const QPointer<CColorPopup> bare = new CColorPopup(QPoint(20, 20), kBlue, m_button);
    ASSERT_EQ(bare->Margin(), 2);
    ASSERT_EQ(bare->CellSize(), 18);
    EXPECT_EQ(bare->size(), QSize(148, 94));
    bare->close();
    FlushDeletes();

    CColorPopup* popup = Open(kBlue);
    const int textRow = popup->fontMetrics().height() + 4 * 2 + 2;
    EXPECT_EQ(popup->size(), QSize(148, 94 + 2 * (textRow + 6)));
    EXPECT_EQ(popup->CellRect(0).topLeft(), QPoint(2, textRow + 6));
    EXPECT_EQ(popup->CellRect(CColorPopup::kCustom).bottom() + 1, popup->height() - 2 * 2);
    for (int i = 0; i < kColorTableSize; ++i) {
        Hover(popup, i);
        EXPECT_EQ(popup->HotItem(), i);
        EXPECT_EQ(popup->CurrentChoice(), ColorTable[size_t(i)].m_color);
    }
    SendMouse(popup, QEvent::MouseMove, popup->CellRect(CColorPopup::kCustom).center());
    EXPECT_EQ(popup->HotItem(), CColorPopup::kCustom);
    EXPECT_EQ(popup->CurrentChoice(), ColorTable[39].m_color); // the custom row keeps the choice
    // Far outside the grid the highlight stays where it was.
    SendMouse(popup, QEvent::MouseMove, QPoint(popup->width() + 40, popup->height() / 2));
    EXPECT_EQ(popup->HotItem(), CColorPopup::kCustom);
}

TEST_F(ColorPicker, PopupIsClampedToTheScreen) {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();

    // Off the right edge: shifted left to end at the screen's edge, below the button.
    m_parent->move(screen.right() - 40, screen.top() + 50);
    CColorPopup* popup = Open(kBlue);
    const QRect button(m_button->mapToGlobal(QPoint(0, 0)), m_button->size());
    EXPECT_EQ(popup->geometry().right(), screen.right());
    EXPECT_EQ(popup->geometry().top(), button.bottom() + 1);
    Key(popup, Qt::Key_Escape);
    FlushDeletes();

    // Off the bottom: directly above the button.
    m_parent->move(screen.left() + 50, screen.bottom() - 60);
    popup = Open(kBlue);
    const QRect lowButton(m_button->mapToGlobal(QPoint(0, 0)), m_button->size());
    EXPECT_EQ(popup->geometry().bottom() + 1, lowButton.top());
    EXPECT_EQ(popup->geometry().left(), lowButton.left());
    Key(popup, Qt::Key_Escape);
    FlushDeletes();

    // Never past the left edge.
    const QPointer<CColorPopup> left =
        new CColorPopup(QPoint(screen.left() - 50, screen.top() + 10), kBlue, m_button);
    EXPECT_EQ(left->geometry().left(), screen.left());
    left->close();
}

TEST_F(ColorPicker, MoreColorsRunsTheColourDialog) {
    for (const bool ok : {false, true}) {
        m_notes.clear();
        CColorPopup* popup = Open(kBlue);
        SendMouse(popup, QEvent::MouseMove, popup->CellRect(CColorPopup::kCustom).center());
        bool sawDialog = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
            sawDialog = dialog != nullptr;
            if (!dialog) {
                return;
            }
            EXPECT_EQ(dialog->currentColor(), ColorFromRef(kBlue));
            dialog->setCurrentColor(QColor(1, 2, 3));
            // Switching away meanwhile does not end the pick: the dialog's result does.
            Q_EMIT qApp->applicationStateChanged(Qt::ApplicationInactive);
            if (ok) {
                dialog->accept();
            } else {
                dialog->reject();
            }
        });
        Key(popup, Qt::Key_Return);
        EXPECT_TRUE(sawDialog);
        const COLORREF result = ok ? RGB(1, 2, 3) : kBlue;
        std::vector<CNote> expected = {{"open", kBlue, 1003},
                                       {"change", kBlue, 1003},
                                       {"close", result, 1003},
                                       {ok ? "accept" : "cancel", result, 1003}};
        if (ok) {
            expected.push_back({"change", result, 1003});
        }
        EXPECT_EQ(m_notes, expected);
        EXPECT_EQ(m_button->GetColor(), result);
        FlushDeletes();
    }
    // A colour in no table row marks "More Colors...".
    CColorPopup* popup = Open(m_button->GetColor());
    EXPECT_EQ(popup->MarkedItem(), CColorPopup::kCustom);
    Key(popup, Qt::Key_Escape);
}

TEST_F(ColorPicker, DeactivatingTheApplicationCancels) {
    const QPointer<CColorPopup> popup = Open(kBlue);
    Hover(popup, 16);
    Q_EMIT qApp->applicationStateChanged(Qt::ApplicationInactive);
    EXPECT_EQ(m_notes.back(), (CNote{"cancel", kBlue, 1003}));
    EXPECT_EQ(m_button->GetColor(), kBlue);
    FlushDeletes();
    EXPECT_TRUE(popup.isNull());
}

TEST_F(ColorPicker, CellsCarryTheirNamesAsToolTips) {
    CColorPopup* popup = Open(kBlue);
    const auto tipAt = [popup](QPoint local) {
        QHelpEvent help(QEvent::ToolTip, local, popup->mapToGlobal(local));
        QApplication::sendEvent(popup, &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    EXPECT_EQ(tipAt(popup->CellRect(CColorPopup::kAutomatic).center()), QString());
    EXPECT_EQ(tipAt(popup->CellRect(35).center()), QStringLiteral("Pale green "));
    EXPECT_EQ(tipAt(popup->CellRect(1).center()), QStringLiteral("Brown"));
    Key(popup, Qt::Key_Escape);
}

TEST_F(ColorPicker, ButtonDrawsItsSwatchUnlessDisabled) {
    const QPoint swatch(12, 11); // left part of the swatch, clear of the frame and the arrow
    m_button->SetColor(kRed);
    EXPECT_EQ(m_button->grab().toImage().pixelColor(swatch), QColor(255, 0, 0));
    m_button->SetColor(CLR_DEFAULT);
    EXPECT_EQ(m_button->grab().toImage().pixel(swatch),
              m_button->palette().color(QPalette::Dark).rgb());
    m_button->SetColor(kRed);
    m_button->setEnabled(false);
    EXPECT_NE(m_button->grab().toImage().pixelColor(swatch), QColor(255, 0, 0));
}

TEST_F(ColorPicker, ButtonWithoutParentReportsNothing) {
    CColorButton orphan;
    orphan.setObjectName(QStringLiteral("1005"));
    int notes = 0;
    QObject::connect(&orphan, &CColorButton::ColorPopupOpen, [&] { ++notes; });
    QObject::connect(&orphan, &CColorButton::ColorAccept, [&] { ++notes; });
    orphan.show();
    QTest::mouseClick(&orphan, Qt::LeftButton);
    auto* popup = orphan.findChild<CColorPopup*>();
    ASSERT_NE(popup, nullptr);
    SendMouse(popup, QEvent::MouseMove, popup->CellRect(16).center());
    QTest::keyClick(popup, Qt::Key_Space);
    EXPECT_EQ(orphan.GetColor(), kRed);
    EXPECT_EQ(notes, 0);
    FlushDeletes();
}

} // namespace
