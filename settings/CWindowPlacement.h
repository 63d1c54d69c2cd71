#pragma once

#include <cstdint>
#include <optional>
#include <string>

class CSettingsStore;

// A window's stored placement: its normal (restored) rectangle, show state and placement flags,
// kept as the string "%d,%d,%d,%d,%d,%d" under the key "WindowPlacement".
struct CWindowPlacement {
    // Show states as the stored value carries them.
    static constexpr int32_t kShowNormal = 1;
    static constexpr int32_t kShowMinimized = 2;
    static constexpr int32_t kShowMaximized = 3;

    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    int32_t showCmd = kShowNormal;
    int32_t flags = 0;

    // In 64 bits: a hand-edited value may span more than 32 bits hold.
    int64_t Width() const { return int64_t(right) - left; }
    int64_t Height() const { return int64_t(bottom) - top; }

    std::string Format() const;
    // The six numbers of "%d,%d,%d,%d,%d,%d"; nothing when fewer than six can be read (text
    // after the sixth number is ignored).
    static std::optional<CWindowPlacement> Parse(const std::string& text);

    bool operator==(const CWindowPlacement& other) const;
    bool operator!=(const CWindowPlacement& other) const { return !(*this == other); }
};

// Writes `placement` to `section`/"WindowPlacement". With `rectOnly` the caller passes the
// window's current screen rectangle, and the value is stored as shown normally with no flags.
// Returns the store's result.
bool SaveWindowPlacement(CSettingsStore& store, const std::string& section,
                         const CWindowPlacement& placement, bool rectOnly);
// The placement stored in `section`, or nothing when it is absent, empty or has fewer than six
// numbers. With `rectOnly` the caller only moves and sizes the window to the rectangle;
// otherwise it applies rectangle, show state and flags together.
std::optional<CWindowPlacement> LoadWindowPlacement(CSettingsStore& store,
                                                    const std::string& section);
