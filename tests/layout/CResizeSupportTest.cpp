#include "layout/CResizeSupport.h"
#include "layout/CSizeGripWnd.h"
#include "settings/CMemorySettingsStore.h"
#include "settings/CWindowPlacement.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include <gtest/gtest.h>

namespace {

const CDialogTemplate kTopLevel{1,
                                "Resizable",
                                200,
                                100,
                                false,
                                {{1001, CControlKind::Edit, "", 10, 10, 100, 40, CTL_NONE},
                                 {1002, CControlKind::PushButton, "Go", 150, 80, 40, 14, CTL_NONE},
                                 {1003, CControlKind::Static, "x", 100, 60, 20, 8, CTL_NONE}}};
const CDialogTemplate kChild{
    2, "", 200, 100, true, {{1001, CControlKind::Edit, "", 10, 10, 100, 40, CTL_NONE}}};

struct CEdges {
    int left, top, right, bottom;
};

CEdges DistancesToEdges(const QWidget& child) {
    const QWidget& owner = *child.parentWidget();
    const QRect r = child.geometry();
    return {r.x(), r.y(), owner.width() - (r.x() + r.width()),
            owner.height() - (r.y() + r.height())};
}

TEST(CResizeSupport, StretchedChildKeepsItsDistancesToAllEdgesOthersStay) {
    CResizeSupport dialog(kTopLevel, nullptr);
    QWidget* edit = dialog.Control(1001);
    QWidget* button = dialog.Control(1002);
    ASSERT_TRUE(edit && button);
    dialog.AnchorControl(edit, ANCHOR_TOP_LEFT, ANCHOR_BOTTOM_RIGHT);
    const CEdges before = DistancesToEdges(*edit);
    const QRect buttonBefore = button->geometry();

    dialog.show();
    for (const QSize size :
         {dialog.size() + QSize(137, 91), dialog.size() + QSize(3, 250), dialog.minimumSize()}) {
        dialog.resize(size);
        QCoreApplication::processEvents();
        ASSERT_EQ(dialog.size(), size);
        const CEdges after = DistancesToEdges(*edit);
        EXPECT_EQ(after.left, before.left);
        EXPECT_EQ(after.top, before.top);
        EXPECT_EQ(after.right, before.right);
        EXPECT_EQ(after.bottom, before.bottom);
        EXPECT_EQ(button->geometry(), buttonBefore);
    }
}

TEST(CResizeSupport, TopCenterWithoutSecondAnchorMovesByHalfAndKeepsItsSize) {
    CResizeSupport dialog(kTopLevel, nullptr);
    QWidget* label = dialog.Control(1003);
    dialog.AnchorControl(label, ANCHOR_TOP_CENTER, ANCHOR_NONE);
    const QRect before = label->geometry();
    dialog.show();
    dialog.resize(dialog.width() + 40, dialog.height() + 30);
    QCoreApplication::processEvents();
    EXPECT_EQ(label->geometry(), before.translated(20, 0));
}

// A plain owner of a known width, to check the percent arithmetic edge by edge.
class CTestLayout : public CControlLayout {
public:
    QWidget owner;
    QWidget* OwnerWindow() const override { return const_cast<QWidget*>(&owner); }
};

TEST(CControlLayout, PercentsAreFormedProductFirstAndTruncated) {
    CTestLayout layout;
    layout.owner.resize(100, 100);
    auto* child = new QWidget(&layout.owner);
    child->setGeometry(60, 10, 20, 20);
    layout.AnchorControl(child, ANCHOR_TOP_CENTER, ANCHOR_BOTTOM_CENTER);

    // 50 * 103 = 5150, / 100 = 51: the edges anchored at 50 % move by one pixel.
    layout.owner.resize(103, 100);
    layout.LayoutControls();
    EXPECT_EQ(child->geometry(), QRect(61, 10, 20, 20));
    // 50 * 101 = 5050 -> 50: no movement at all, so the child is left out.
    layout.owner.resize(101, 100);
    CChildRect placement = layout.ComputeChildRect(layout.AnchorEntries()[0], layout.owner.rect());
    EXPECT_EQ(placement.rect, QRect(60, 10, 20, 20));
    layout.LayoutControls();
    EXPECT_EQ(child->geometry(), QRect(60, 10, 20, 20));
    placement = layout.ComputeChildRect(layout.AnchorEntries()[0], layout.owner.rect());
    EXPECT_FALSE(placement.move);
    EXPECT_FALSE(placement.size);
    // Height 199: 100 * 199 / 100 moves the bottom edge (anchored at 100 %) by 99, the top
    // (anchored at 0 %) not at all.
    layout.owner.resize(101, 199);
    placement = layout.ComputeChildRect(layout.AnchorEntries()[0], layout.owner.rect());
    EXPECT_EQ(placement.rect, QRect(60, 10, 20, 119));
    EXPECT_FALSE(placement.move);
    EXPECT_TRUE(placement.size);
}

TEST(CControlLayout, ChildrenOfChildrenAreMeasuredInTheOwnersCoordinates) {
    CTestLayout layout;
    layout.owner.resize(200, 200);
    auto* group = new QWidget(&layout.owner);
    group->setGeometry(20, 30, 150, 150);
    auto* child = new QWidget(group);
    child->setGeometry(10, 10, 50, 50);
    layout.AnchorControl(child, ANCHOR_TOP_LEFT, ANCHOR_BOTTOM_RIGHT);
    layout.owner.resize(210, 220);
    layout.LayoutControls();
    EXPECT_EQ(child->geometry(), QRect(10, 10, 60, 70));
}

TEST(CResizeSupport, TopLevelCannotShrinkBelowItsDesignChildHasNoMinimum) {
    CResizeSupport dialog(kTopLevel, nullptr);
    const QSize designed = dialog.size();
    EXPECT_TRUE(dialog.UsesMinimum());
    dialog.show();
    dialog.resize(designed.width() - 50, designed.height() - 20);
    QCoreApplication::processEvents();
    EXPECT_EQ(dialog.size(), designed);
    dialog.resize(designed + QSize(50, 20));
    EXPECT_EQ(dialog.size(), designed + QSize(50, 20));

    QWidget parent;
    CResizeSupport child(kChild, &parent);
    EXPECT_FALSE(child.isWindow());
    EXPECT_FALSE(child.UsesMinimum());
    EXPECT_EQ(child.minimumSize(), QSize(0, 0));
    child.resize(10, 10);
    EXPECT_EQ(child.size(), QSize(10, 10));
}

TEST(CResizeSupport, MaximisingHidesTheGripRestoringShowsItAndLaysOutBoth) {
    CResizeSupport dialog(kTopLevel, nullptr);
    QWidget* edit = dialog.Control(1001);
    dialog.AnchorControl(edit, ANCHOR_TOP_LEFT, ANCHOR_BOTTOM_RIGHT);
    dialog.show();
    QCoreApplication::processEvents();
    CSizeGripWnd* grip = dialog.Grip();
    ASSERT_TRUE(grip);
    EXPECT_TRUE(grip->isVisible());
    const QSize normalSize = dialog.size();
    const CEdges distances = DistancesToEdges(*edit);

    dialog.showMaximized();
    QCoreApplication::processEvents();
    ASSERT_TRUE(dialog.windowState() & Qt::WindowMaximized);
    EXPECT_FALSE(grip->isVisible());
    EXPECT_EQ(grip->m_visibilityCount, 0);
    EXPECT_GT(dialog.width(), normalSize.width());
    EXPECT_EQ(DistancesToEdges(*edit).right, distances.right);
    EXPECT_EQ(DistancesToEdges(*edit).bottom, distances.bottom);

    dialog.showNormal();
    QCoreApplication::processEvents();
    EXPECT_TRUE(grip->isVisible());
    EXPECT_EQ(grip->m_visibilityCount, 1);
    EXPECT_EQ(dialog.size(), normalSize);
    EXPECT_EQ(DistancesToEdges(*edit).right, distances.right);
    EXPECT_EQ(grip->geometry().bottomRight(), dialog.rect().bottomRight());
}

TEST(CResizeSupport, ChildDialogNeverShowsItsGrip) {
    QWidget parent;
    parent.resize(400, 400);
    CResizeSupport child(kChild, &parent);
    parent.show();
    child.resize(300, 300);
    QCoreApplication::processEvents();
    ASSERT_TRUE(child.Grip());
    EXPECT_FALSE(child.Grip()->isVisible());
    EXPECT_EQ(child.GripRequestBits() & CResizeSupport::kGripNotMaximized, 1u);
}

TEST(CResizeSupport, PlacementRoundTripsThroughTheStore) {
    CMemorySettingsStore store;
    store.WriteProfileString("DlgSize", "WindowPlacement", "10,20,500,400,1,0");
    {
        CResizeSupport dialog(kTopLevel, nullptr, &store);
        EXPECT_TRUE(dialog.KeepPlacement("DlgSize", false));
        EXPECT_EQ(dialog.geometry(), QRect(10, 20, 490, 380));
        store.ClearWrites();
    }
    ASSERT_EQ(store.Writes().size(), 1u);
    EXPECT_EQ(store.Writes()[0].section, "DlgSize");
    EXPECT_EQ(store.GetProfileString("DlgSize", "WindowPlacement", ""), "10,20,500,400,1,0");
}

TEST(CResizeSupport, PlacementIsSavedWhenTheDialogFinishesWithItsMaximisedState) {
    CMemorySettingsStore store;
    CResizeSupport dialog(kTopLevel, nullptr, &store);
    EXPECT_FALSE(dialog.KeepPlacement("DlgSize", false));
    dialog.setGeometry(30, 40, dialog.width() + 10, dialog.height() + 10);
    const QRect normal = dialog.geometry();
    dialog.show();
    dialog.showMaximized();
    QCoreApplication::processEvents();
    dialog.accept();
    const std::string expected = std::to_string(normal.x()) + "," + std::to_string(normal.y()) +
                                 "," + std::to_string(normal.x() + normal.width()) + "," +
                                 std::to_string(normal.y() + normal.height()) + ",3,0";
    EXPECT_EQ(store.GetProfileString("DlgSize", "WindowPlacement", ""), expected);

    CResizeSupport second(kTopLevel, nullptr, &store);
    EXPECT_TRUE(second.KeepPlacement("DlgSize", false));
    EXPECT_TRUE(second.windowState() & Qt::WindowMaximized);
}

TEST(CResizeSupport, MalformedOrUnusablePlacementsAreIgnored) {
    for (const char* text :
         {"10,20,500,400,1", "", "10,20,500,400,1,x", "a,20,500,400,1,0", "500,20,10,400,1,0",
          "99999999999,20,500,400,1,0", "-9000,-9000,-8000,-8000,1,0"}) {
        CMemorySettingsStore store;
        store.WriteProfileString("DlgSize", "WindowPlacement", text);
        CResizeSupport dialog(kTopLevel, nullptr, &store);
        const QRect designed = dialog.geometry();
        EXPECT_FALSE(dialog.KeepPlacement("DlgSize", false)) << text;
        EXPECT_EQ(dialog.geometry(), designed) << text;
    }
}

// Hand-edited rectangles larger than the screen, also ones whose width overflows 32 bits, are
// cut to the screen they land on, and the value stored back fits it.
TEST(CResizeSupport, PlacementLargerThanTheScreenIsCutToIt) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    for (const char* text : {"0,0,2147483647,2147483647,1,0", "-100,-100,100000,100000,3,0",
                             "-2147483648,-2147483648,2147483647,2147483647,1,0"}) {
        CMemorySettingsStore store;
        store.WriteProfileString("DlgSize", "WindowPlacement", text);
        {
            CResizeSupport dialog(kTopLevel, nullptr, &store);
            EXPECT_TRUE(dialog.KeepPlacement("DlgSize", false)) << text;
            EXPECT_EQ(dialog.normalGeometry(), screen) << text;
        }
        const std::optional<CWindowPlacement> stored = LoadWindowPlacement(store, "DlgSize");
        ASSERT_TRUE(stored) << text;
        EXPECT_EQ(stored->left, screen.x()) << text;
        EXPECT_EQ(stored->top, screen.y()) << text;
        EXPECT_EQ(stored->Width(), screen.width()) << text;
        EXPECT_EQ(stored->Height(), screen.height()) << text;
    }
    // Only the side that does not fit is cut.
    CMemorySettingsStore store;
    store.WriteProfileString("DlgSize", "WindowPlacement", "10,20,100000,420,1,0");
    CResizeSupport dialog(kTopLevel, nullptr, &store);
    ASSERT_GE(screen.height(), 400);
    EXPECT_TRUE(dialog.KeepPlacement("DlgSize", false));
    EXPECT_EQ(dialog.geometry(), QRect(screen.x(), 20, screen.width(), 400));
}

TEST(CResizeSupport, RectOnlyStoresTheRectangleShownNormally) {
    CMemorySettingsStore store;
    store.WriteProfileString("S", "WindowPlacement", "10,20,500,400,3,0");
    {
        CResizeSupport dialog(kTopLevel, nullptr, &store);
        EXPECT_TRUE(dialog.KeepPlacement("S", true));
        EXPECT_FALSE(dialog.windowState() & Qt::WindowMaximized);
        EXPECT_EQ(dialog.geometry(), QRect(10, 20, 490, 380));
    }
    EXPECT_EQ(store.GetProfileString("S", "WindowPlacement", ""), "10,20,500,400,1,0");
}

} // namespace
