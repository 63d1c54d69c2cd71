// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "output/COutputSink.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

class CSettingsStore;

// Colour words are 0x00BBGGRR (red in the low byte); CLR_DEFAULT is the "Automatic" choice.
using COLORREF = uint32_t;
constexpr COLORREF CLR_DEFAULT = 0xFF000000u;
constexpr COLORREF RGB(uint8_t r, uint8_t g, uint8_t b) {
    return COLORREF(r) | (COLORREF(g) << 8) | (COLORREF(b) << 16);
}

// The display values cached from section "Settings": output colours, font, the three
// show flags and the exit option. Owned by value by the main dialog; devices and the
// Preferences dialog use it through a pointer or a copy.
class CDisplaySettings {
public:
    // The longest face name the output applies, in characters.
    static constexpr size_t kMaxFaceNameLength = 31;

    explicit CDisplaySettings(CSettingsStore* store = nullptr) : m_store(store) {}

    void Load(const std::string& section);
    bool Save() const;

    // Runs the Preferences dialog (given by the GUI) on a copy and takes the values back
    // when it returns true (OK).
    using CPreferencesEditor = std::function<bool(CDisplaySettings& copy)>;
    void EditPreferences(const CPreferencesEditor& runDialog);

    // The face name as the output applies it: at most kMaxFaceNameLength characters of the
    // stored one, never cut inside a UTF-8 sequence.
    std::string OutputFaceName() const;

    // The colour an output role shows in: the one place where roles become stored colours.
    COLORREF RoleColour(OutputRole role) const;

    CSettingsStore* Store() const { return m_store; }
    void SetStore(CSettingsStore* store) { m_store = store; }

    std::string m_section;
    COLORREF m_colorRaw = RGB(128, 128, 50);
    COLORREF m_colorHex = RGB(128, 128, 128);
    COLORREF m_colorSymbology = RGB(0, 0, 192);
    COLORREF m_colorLabel = RGB(0, 0, 128);
    COLORREF m_colorOut = RGB(0, 0, 0);
    COLORREF m_colorDefault = RGB(0, 0, 0);
    int32_t m_fontPoints = 100; // tenths of a point
    std::string m_fontName = "Courier New";
    bool m_fontChanged = false; // never stored
    int32_t m_showRaw = 0;
    int32_t m_showOutput = 0;
    int32_t m_showSymbology = 0;
    int32_t m_triggerOffAtExit = 0;

private:
    CSettingsStore* m_store;
};
