// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "settings/CDisplaySettings.h"

#include "settings/CSettingsStore.h"

namespace {
const CDisplaySettings kDefaults;

// The colour of each output role, in the order of OutputRole.
constexpr COLORREF CDisplaySettings::*kRoleColours[kOutputRoleCount] = {
    &CDisplaySettings::m_colorDefault,   &CDisplaySettings::m_colorLabel,
    &CDisplaySettings::m_colorSymbology, &CDisplaySettings::m_colorHex,
    &CDisplaySettings::m_colorRaw,       &CDisplaySettings::m_colorOut,
};
} // namespace

COLORREF CDisplaySettings::RoleColour(OutputRole role) const {
    return this->*kRoleColours[size_t(role)];
}

void CDisplaySettings::Load(const std::string& section) {
    m_section = section;
    if (!m_store) {
        return;
    }
    CSettingsStore& s = *m_store;
    m_showRaw = s.GetProfileInt(section, "ShowRaw", kDefaults.m_showRaw);
    m_showOutput = s.GetProfileInt(section, "ShowOutput", kDefaults.m_showOutput);
    m_showSymbology = s.GetProfileInt(section, "ShowSymbology", kDefaults.m_showSymbology);
    m_colorRaw = COLORREF(s.GetProfileInt(section, "ColorRaw", int32_t(kDefaults.m_colorRaw)));
    m_colorHex = COLORREF(s.GetProfileInt(section, "ColorHex", int32_t(kDefaults.m_colorHex)));
    m_colorSymbology =
        COLORREF(s.GetProfileInt(section, "ColorSymbology", int32_t(kDefaults.m_colorSymbology)));
    m_colorLabel =
        COLORREF(s.GetProfileInt(section, "ColorLabel", int32_t(kDefaults.m_colorLabel)));
    m_colorOut = COLORREF(s.GetProfileInt(section, "ColorOut", int32_t(kDefaults.m_colorOut)));
    m_colorDefault =
        COLORREF(s.GetProfileInt(section, "ColorDefault", int32_t(kDefaults.m_colorDefault)));
    m_triggerOffAtExit = s.GetProfileInt(section, "TriggerOffAtExit", kDefaults.m_triggerOffAtExit);
    m_fontName = s.GetProfileString(section, "FontName", kDefaults.m_fontName);
    m_fontPoints = s.GetProfileInt(section, "FontPoints", kDefaults.m_fontPoints);
}

bool CDisplaySettings::Save() const {
    if (m_section.empty() || !m_store) {
        return false;
    }
    CSettingsStore& s = *m_store;
    s.WriteProfileInt(m_section, "ShowRaw", m_showRaw);
    s.WriteProfileInt(m_section, "ShowOutput", m_showOutput);
    s.WriteProfileInt(m_section, "ShowSymbology", m_showSymbology);
    s.WriteProfileInt(m_section, "ColorRaw", int32_t(m_colorRaw));
    s.WriteProfileInt(m_section, "ColorHex", int32_t(m_colorHex));
    s.WriteProfileInt(m_section, "ColorSymbology", int32_t(m_colorSymbology));
    s.WriteProfileInt(m_section, "ColorLabel", int32_t(m_colorLabel));
    s.WriteProfileInt(m_section, "ColorOut", int32_t(m_colorOut));
    s.WriteProfileInt(m_section, "ColorDefault", int32_t(m_colorDefault));
    s.WriteProfileInt(m_section, "TriggerOffAtExit", m_triggerOffAtExit);
    s.WriteProfileString(m_section, "FontName", m_fontName);
    s.WriteProfileInt(m_section, "FontPoints", m_fontPoints);
    s.Flush();
    return true;
}

std::string CDisplaySettings::OutputFaceName() const {
    size_t characters = 0;
    for (size_t i = 0; i < m_fontName.size(); ++i) {
        // Every byte but a continuation byte (10xxxxxx) starts a character.
        if ((static_cast<unsigned char>(m_fontName[i]) & 0xC0) != 0x80 &&
            characters++ == kMaxFaceNameLength) {
            return m_fontName.substr(0, i);
        }
    }
    return m_fontName;
}

void CDisplaySettings::EditPreferences(const CPreferencesEditor& runDialog) {
    if (!runDialog) {
        return;
    }
    CDisplaySettings copy = *this;
    if (!runDialog(copy)) {
        return;
    }
    // Only what the dialog edits comes back: the rest of the record may have been reloaded
    // while the dialog ran.
    m_colorRaw = copy.m_colorRaw;
    m_colorHex = copy.m_colorHex;
    m_colorSymbology = copy.m_colorSymbology;
    m_colorLabel = copy.m_colorLabel;
    m_colorOut = copy.m_colorOut;
    m_colorDefault = copy.m_colorDefault;
    m_triggerOffAtExit = copy.m_triggerOffAtExit;
    m_fontChanged = false;
    if (copy.m_fontPoints != m_fontPoints || copy.m_fontName != m_fontName) {
        m_fontChanged = true;
        m_fontName = copy.m_fontName;
        m_fontPoints = copy.m_fontPoints;
    }
}
