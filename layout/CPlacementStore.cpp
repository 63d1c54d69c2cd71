#include "layout/CPlacementStore.h"

#include "settings/CWindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace {

// The placement flag of a window minimised from the maximised state.
constexpr int32_t kRestoreToMaximized = 2;

// Whether some screen shows at least part of the rectangle; offscreen and headless runs
// have a screen too.
bool OnSomeScreen(const QRect& rect) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.isEmpty()) {
        return true;
    }
    for (const QScreen* screen : screens) {
        if (screen->availableGeometry().intersects(rect)) {
            return true;
        }
    }
    return false;
}

} // namespace

bool CPlacementStore::SaveWindowPlacement(const std::string& section, bool rectOnly) {
    QWidget* window = OwnerWindow();
    if (!m_store || !window) {
        return false;
    }
    CWindowPlacement placement;
    const Qt::WindowStates state = window->windowState();
    const QRect rect = rectOnly ? window->geometry() : window->normalGeometry();
    placement.left = rect.x();
    placement.top = rect.y();
    placement.right = rect.x() + rect.width();
    placement.bottom = rect.y() + rect.height();
    if (!rectOnly) {
        if (state & Qt::WindowMinimized) {
            placement.showCmd = CWindowPlacement::kShowMinimized;
            placement.flags = state & Qt::WindowMaximized ? kRestoreToMaximized : 0;
        } else if (state & Qt::WindowMaximized) {
            placement.showCmd = CWindowPlacement::kShowMaximized;
        }
    }
    return ::SaveWindowPlacement(*m_store, section, placement, rectOnly);
}

bool CPlacementStore::LoadWindowPlacement(const std::string& section, bool rectOnly) {
    QWidget* window = OwnerWindow();
    if (!m_store || !window) {
        return false;
    }
    const std::optional<CWindowPlacement> stored = ::LoadWindowPlacement(*m_store, section);
    if (!stored) {
        return false;
    }
    const CWindowPlacement& placement = *stored;
    // A hand-edited value with an empty rectangle, or one that no screen shows any more,
    // would leave the window unusable.
    const QRect rect(placement.left, placement.top, placement.right - placement.left,
                     placement.bottom - placement.top);
    if (rect.width() <= 0 || rect.height() <= 0 || !OnSomeScreen(rect)) {
        return false;
    }
    window->setGeometry(rect);
    if (rectOnly) {
        return true;
    }
    // A window is never brought back minimised: it opens as it was before it was minimised.
    const bool maximized = placement.showCmd == CWindowPlacement::kShowMaximized ||
                           (placement.showCmd == CWindowPlacement::kShowMinimized &&
                            (placement.flags & kRestoreToMaximized));
    window->setWindowState(maximized ? Qt::WindowMaximized : Qt::WindowNoState);
    return true;
}
