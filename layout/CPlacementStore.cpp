#include "layout/CPlacementStore.h"

#include "settings/CWindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cstdint>
#include <optional>

namespace {

// The placement flag of a window minimised from the maximised state.
constexpr int32_t kRestoreToMaximized = 2;

// The available geometry of the screen that shows the largest part of the rectangle, or
// nothing when no screen shows any of it. The rectangle may be a hand-edited one of any size,
// so it is intersected in 64 bits; offscreen and headless runs have a screen too.
std::optional<QRect> LandingScreenArea(int64_t left, int64_t top, int64_t right, int64_t bottom) {
    std::optional<QRect> best;
    int64_t bestArea = 0;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect area = screen->availableGeometry();
        const int64_t width = std::min<int64_t>(right, int64_t(area.x()) + area.width()) -
                              std::max<int64_t>(left, area.x());
        const int64_t height = std::min<int64_t>(bottom, int64_t(area.y()) + area.height()) -
                               std::max<int64_t>(top, area.y());
        if (width > 0 && height > 0 && width * height > bestArea) {
            bestArea = width * height;
            best = area;
        }
    }
    return best;
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
    // would leave the window unusable; one larger than the screen it lands on is cut to it.
    const int64_t width = placement.Width();
    const int64_t height = placement.Height();
    if (width <= 0 || height <= 0) {
        return false;
    }
    const std::optional<QRect> area =
        LandingScreenArea(placement.left, placement.top, placement.right, placement.bottom);
    if (!area) {
        return false;
    }
    const bool cutWidth = width > area->width();
    const bool cutHeight = height > area->height();
    const QRect rect(cutWidth ? area->x() : placement.left, cutHeight ? area->y() : placement.top,
                     cutWidth ? area->width() : int(width),
                     cutHeight ? area->height() : int(height));
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
