#include "layout/CPlacementStore.h"

#include "settings/CSettingsStore.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

namespace {

const char* const kPlacementKey = "WindowPlacement";

// One decimal number as %d reads it: leading blanks, an optional sign, digits; out-of-range
// values are refused rather than wrapped.
bool ReadNumber(const char*& cursor, int& value) {
    char* end = nullptr;
    errno = 0;
    const long number = std::strtol(cursor, &end, 10);
    if (end == cursor || errno == ERANGE || number < INT_MIN || number > INT_MAX) {
        return false;
    }
    value = static_cast<int>(number);
    cursor = end;
    return true;
}

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

std::string CStoredPlacement::Format() const {
    char text[6 * 12 + 6];
    std::snprintf(text, sizeof text, "%d,%d,%d,%d,%d,%d", left, top, right, bottom, showCmd, flags);
    return text;
}

bool CStoredPlacement::Parse(const std::string& text, CStoredPlacement& placement) {
    int values[6];
    const char* cursor = text.c_str();
    for (int i = 0; i < 6; ++i) {
        if (i > 0) {
            if (*cursor != ',') {
                return false;
            }
            ++cursor;
        }
        if (!ReadNumber(cursor, values[i])) {
            return false;
        }
    }
    placement.left = values[0];
    placement.top = values[1];
    placement.right = values[2];
    placement.bottom = values[3];
    placement.showCmd = values[4];
    placement.flags = values[5];
    return true;
}

bool CPlacementStore::SaveWindowPlacement(const std::string& section, bool rectOnly) {
    QWidget* window = OwnerWindow();
    if (!m_store || !window) {
        return false;
    }
    CStoredPlacement placement;
    const Qt::WindowStates state = window->windowState();
    const QRect rect = rectOnly ? window->geometry() : window->normalGeometry();
    placement.left = rect.x();
    placement.top = rect.y();
    placement.right = rect.x() + rect.width();
    placement.bottom = rect.y() + rect.height();
    if (!rectOnly) {
        if (state & Qt::WindowMinimized) {
            placement.showCmd = CStoredPlacement::SW_SHOWMINIMIZED;
            placement.flags =
                state & Qt::WindowMaximized ? CStoredPlacement::WPF_RESTORETOMAXIMIZED : 0;
        } else if (state & Qt::WindowMaximized) {
            placement.showCmd = CStoredPlacement::SW_SHOWMAXIMIZED;
        }
    }
    return m_store->WriteProfileString(section, kPlacementKey, placement.Format());
}

bool CPlacementStore::LoadWindowPlacement(const std::string& section, bool rectOnly) {
    QWidget* window = OwnerWindow();
    if (!m_store || !window) {
        return false;
    }
    const std::string text = m_store->GetProfileString(section, kPlacementKey, "");
    CStoredPlacement placement;
    if (text.empty() || !CStoredPlacement::Parse(text, placement)) {
        return false;
    }
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
    const bool maximized = placement.showCmd == CStoredPlacement::SW_SHOWMAXIMIZED ||
                           (placement.showCmd == CStoredPlacement::SW_SHOWMINIMIZED &&
                            (placement.flags & CStoredPlacement::WPF_RESTORETOMAXIMIZED));
    window->setWindowState(maximized ? Qt::WindowMaximized : Qt::WindowNoState);
    return true;
}
