// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "settings/CDisplaySettings.h"
#include "settings/CMemorySettingsStore.h"

#include <gtest/gtest.h>

namespace {

TEST(CDisplaySettings, EmptyStoreGivesTheDefaults) {
    CMemorySettingsStore store;
    CDisplaySettings settings(&store);
    settings.Load("Settings");
    EXPECT_EQ(settings.m_section, "Settings");
    EXPECT_EQ(settings.m_colorDefault, 0x000000u);
    EXPECT_EQ(settings.m_colorLabel, 0x800000u);
    EXPECT_EQ(settings.m_colorSymbology, 0xC00000u);
    EXPECT_EQ(settings.m_colorHex, 0x808080u);
    EXPECT_EQ(settings.m_colorRaw, 0x328080u);
    EXPECT_EQ(settings.m_colorOut, 0x000000u);
    EXPECT_EQ(settings.m_fontName, "Courier New");
    EXPECT_EQ(settings.m_fontPoints, 100);
    EXPECT_EQ(settings.m_showRaw, 0);
    EXPECT_EQ(settings.m_showOutput, 0);
    EXPECT_EQ(settings.m_showSymbology, 0);
    EXPECT_EQ(settings.m_triggerOffAtExit, 0);
}

TEST(CDisplaySettings, EachOutputRoleTakesTheColourOfItsOwnKey) {
    CMemorySettingsStore store;
    const struct {
        OutputRole role;
        const char* key;
        const char* name;
    } kRoles[] = {{OutputRole::Default, "ColorDefault", "default"},
                  {OutputRole::Label, "ColorLabel", "label"},
                  {OutputRole::Symbology, "ColorSymbology", "symbology"},
                  {OutputRole::Hex, "ColorHex", "hex"},
                  {OutputRole::Raw, "ColorRaw", "raw"},
                  {OutputRole::Out, "ColorOut", "out"}};
    int32_t colour = 1;
    for (const auto& row : kRoles) {
        store.WriteProfileInt("Settings", row.key, colour++);
    }
    CDisplaySettings settings(&store);
    settings.Load("Settings");
    colour = 1;
    for (const auto& row : kRoles) {
        EXPECT_EQ(settings.RoleColour(row.role), COLORREF(colour++)) << row.key;
        EXPECT_STREQ(OutputRoleName(row.role), row.name);
    }
}

TEST(CDisplaySettings, SaveWritesTwelveKeysInOrderWithTheirTypesInOneRewrite) {
    CMemorySettingsStore store;
    CDisplaySettings settings(&store);
    settings.Load("Settings");
    settings.m_colorLabel = RGB(1, 2, 3);
    settings.m_fontName = "Mono";
    ASSERT_TRUE(settings.Save());
    EXPECT_EQ(store.Rewrites(), 1);
    EXPECT_FALSE(store.HasUnflushedWrites());

    const std::vector<std::string> order = {"ShowRaw",          "ShowOutput", "ShowSymbology",
                                            "ColorRaw",         "ColorHex",   "ColorSymbology",
                                            "ColorLabel",       "ColorOut",   "ColorDefault",
                                            "TriggerOffAtExit", "FontName",   "FontPoints"};
    ASSERT_EQ(store.Writes().size(), order.size());
    for (size_t i = 0; i < order.size(); ++i) {
        EXPECT_EQ(store.Writes()[i].section, "Settings");
        EXPECT_EQ(store.Writes()[i].key, order[i]);
        const bool isString = std::holds_alternative<std::string>(store.Writes()[i].value);
        EXPECT_EQ(isString, order[i] == "FontName") << order[i];
    }

    CDisplaySettings reloaded(&store);
    reloaded.Load("Settings");
    EXPECT_EQ(reloaded.m_colorLabel, RGB(1, 2, 3));
    EXPECT_EQ(reloaded.m_fontName, "Mono");
}

// The output takes 31 characters of the face name, whatever their UTF-8 length.
TEST(CDisplaySettings, OutputFaceNameKeepsThirtyOneCharactersWhole) {
    CDisplaySettings settings;
    const std::string thirtyOne =
        u8"Gr\u00fcne Schrift Mono Condensed XY"; // 31 characters, 32 bytes
    ASSERT_EQ(thirtyOne.size(), 32u);
    settings.m_fontName = thirtyOne;
    EXPECT_EQ(settings.OutputFaceName(), thirtyOne);
    settings.m_fontName = thirtyOne + u8"\u00e9\u00e9";
    EXPECT_EQ(settings.OutputFaceName(), thirtyOne);
    // A cut after 31 characters never splits the sequences of the characters it keeps.
    settings.m_fontName = std::string(30, 'a') + u8"\u20ac\U0001F600";
    EXPECT_EQ(settings.OutputFaceName(), std::string(30, 'a') + u8"\u20ac");
    settings.m_fontName = "";
    EXPECT_EQ(settings.OutputFaceName(), "");
}

TEST(CDisplaySettings, NothingIsWrittenBeforeLoadAndFontChangedIsNeverStored) {
    CMemorySettingsStore store;
    CDisplaySettings settings(&store);
    settings.m_fontChanged = true;
    EXPECT_FALSE(settings.Save());
    EXPECT_TRUE(store.Writes().empty());
    settings.Load("Settings");
    settings.Save();
    for (const auto& w : store.Writes()) {
        EXPECT_EQ(w.key.find("Changed"), std::string::npos);
    }
}

TEST(CDisplaySettings, EditPreferencesTakesTheCopyBackOnlyOnOk) {
    CMemorySettingsStore store;
    CDisplaySettings settings(&store);
    settings.Load("Settings");

    settings.EditPreferences([](CDisplaySettings& copy) {
        copy.m_colorOut = RGB(9, 9, 9);
        return false;
    });
    EXPECT_EQ(settings.m_colorOut, 0u);
    EXPECT_FALSE(settings.m_fontChanged);

    settings.EditPreferences([](CDisplaySettings& copy) {
        copy.m_fontName = "courier new"; // another case is another font name
        return true;
    });
    EXPECT_TRUE(settings.m_fontChanged);
    EXPECT_EQ(settings.Store(), &store);
    EXPECT_TRUE(store.Writes().empty());
}

TEST(CDisplaySettings, EditPreferencesTakesBackOnlyTheEditedValuesAndClearsTheFontFlag) {
    CMemorySettingsStore store;
    CDisplaySettings settings(&store);
    settings.Load("Settings");
    settings.m_fontChanged = true;

    settings.EditPreferences([&settings](CDisplaySettings& copy) {
        settings.m_showRaw = 1; // the record is reloaded while the dialog runs
        copy.m_showRaw = 0;
        copy.m_colorDefault = CLR_DEFAULT;
        copy.m_triggerOffAtExit = 1;
        return true;
    });
    EXPECT_EQ(settings.m_showRaw, 1);
    EXPECT_EQ(settings.m_colorDefault, CLR_DEFAULT);
    EXPECT_EQ(settings.m_triggerOffAtExit, 1);
    EXPECT_FALSE(settings.m_fontChanged); // OK with the same font clears it

    settings.EditPreferences([](CDisplaySettings& copy) {
        copy.m_fontPoints = 120;
        return true;
    });
    EXPECT_TRUE(settings.m_fontChanged);
    EXPECT_EQ(settings.m_fontPoints, 120);
    EXPECT_EQ(settings.m_fontName, "Courier New");
}

} // namespace
