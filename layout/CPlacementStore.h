#pragma once

#include <QRect>

#include <string>

class CSettingsStore;
class QWidget;

// A window's placement as it is stored: the normal (restored) rectangle as left, top, right,
// bottom, the show state and the placement flags.
struct CStoredPlacement {
    static constexpr int SW_SHOWNORMAL = 1;
    static constexpr int SW_SHOWMINIMIZED = 2;
    static constexpr int SW_SHOWMAXIMIZED = 3;
    static constexpr int WPF_RESTORETOMAXIMIZED = 2;

    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int showCmd = SW_SHOWNORMAL;
    int flags = 0;

    // "%d,%d,%d,%d,%d,%d".
    std::string Format() const;
    // False, leaving `placement` alone, unless the text starts with six such numbers.
    static bool Parse(const std::string& text, CStoredPlacement& placement);
};

// Saves and restores the owner window's placement in key "WindowPlacement" of a section.
class CPlacementStore {
public:
    explicit CPlacementStore(CSettingsStore* store) : m_store(store) {}
    virtual ~CPlacementStore() = default;

    // Returns whether the value was written.
    bool SaveWindowPlacement(const std::string& section, bool rectOnly);
    // Returns whether a stored placement was applied.
    bool LoadWindowPlacement(const std::string& section, bool rectOnly);

    CSettingsStore* SettingsStore() const { return m_store; }

protected:
    virtual QWidget* OwnerWindow() const = 0;

private:
    CSettingsStore* m_store;
};
