// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "keyboard/CXkbKeyTranslator.h"
#include "keyboard/CEvdevConnection.h"
#include "keyboard/CXkbLayouts.h"

#include <gtest/gtest.h>

#include <linux/input-event-codes.h>

#include <cerrno>
#include <string>
#include <vector>

namespace {

// Keys held together: pressed in order, released in reverse.
using CChord = std::vector<uint16_t>;

std::string Type(CKeyTranslator& translator, const std::vector<CChord>& chords) {
    std::string typed;
    for (const CChord& chord : chords) {
        for (const uint16_t key : chord) {
            typed += translator.Feed(key, true);
        }
        for (auto key = chord.rbegin(); key != chord.rend(); ++key) {
            typed += translator.Feed(*key, false);
        }
    }
    return typed;
}

std::string DataFile(const char* name) {
    return std::string(VANTREL_TEST_DATA_DIR) + "/keyboard/" + name;
}

} // namespace

// What a reader's keys type under a desktop's layout: the characters a US reader means, and
// what a German desktop makes of the same keys.
TEST(CXkbKeyTranslatorTest, KeysTypeWhatTheLayoutPutsOnThem) {
    const struct {
        const char* layout;
        std::vector<CChord> keys;
        std::string typed;
    } cases[] = {
        {"us", {{KEY_LEFTSHIFT, KEY_A}, {KEY_B}, {KEY_1}}, "Ab1"},
        {"us", {{KEY_Y}, {KEY_Z}, {KEY_MINUS}, {KEY_SLASH}}, "yz-/"},
        {"de", {{KEY_Y}, {KEY_Z}, {KEY_MINUS}, {KEY_LEFTSHIFT, KEY_7}}, "zy\xDF/"},
        {"fr", {{KEY_Q}, {KEY_A}, {KEY_1}}, "aq&"},
        // Non-ASCII characters come as ISO-8859-1 bytes, those beyond it as "?".
        {"de", {{KEY_SEMICOLON}, {KEY_RIGHTALT, KEY_E}}, "\xF6?"},
        // Ctrl+letter types the control character: readers send <GS> as Ctrl+].
        {"us", {{KEY_LEFTCTRL, KEY_RIGHTBRACE}, {KEY_RIGHTCTRL, KEY_D}}, "\x1D\x04"},
        // On a German desktop that key is "+", and Ctrl leaves it alone.
        {"de", {{KEY_LEFTCTRL, KEY_RIGHTBRACE}}, "+"},
        {"us", {{KEY_ENTER}, {KEY_KPENTER}, {KEY_TAB}}, "\r\r\t"},
        // Caps Lock stays on until pressed again; modifiers alone type nothing.
        {"us", {{KEY_CAPSLOCK}, {KEY_A}, {KEY_CAPSLOCK}, {KEY_A}, {KEY_LEFTSHIFT}}, "Aa"},
    };
    for (const auto& c : cases) {
        int error = 0;
        auto translator = CXkbKeyTranslator::Create(c.layout, error);
        ASSERT_NE(translator, nullptr) << c.layout;
        EXPECT_EQ(translator->Layout(), c.layout);
        EXPECT_EQ(Type(*translator, c.keys), c.typed) << c.layout << " " << c.typed;
    }
}

TEST(CXkbKeyTranslatorTest, AutorepeatTypesAgainAndResetLetsGoOfModifiers) {
    int error = 0;
    auto translator = CXkbKeyTranslator::Create("us", error);
    ASSERT_NE(translator, nullptr);
    EXPECT_EQ(translator->Feed(KEY_LEFTSHIFT, true), "");
    EXPECT_EQ(translator->Feed(KEY_X, true), "X");
    EXPECT_EQ(translator->Feed(KEY_X, true), "X");
    EXPECT_EQ(translator->Feed(KEY_X, false), "");
    // A release of a key never pressed changes nothing.
    EXPECT_EQ(translator->Feed(KEY_RIGHTSHIFT, false), "");
    EXPECT_EQ(translator->Feed(KEY_X, true), "X");
    translator->Reset();
    EXPECT_EQ(translator->Feed(KEY_X, true), "x");
}

TEST(CXkbKeyTranslatorTest, AnUnknownLayoutHasNoTranslator) {
    for (const char* layout : {"", "no-such-layout"}) {
        int error = 0;
        EXPECT_EQ(CXkbKeyTranslator::Create(layout, error), nullptr) << layout;
        EXPECT_EQ(error, EINVAL) << layout;
    }
}

TEST(CXkbLayoutsTest, LayoutsComeFromTheRulesListsLayoutSection) {
    EXPECT_EQ(CXkbLayouts::List(DataFile("evdev.lst")),
              (std::vector<std::string>{"de", "fr", "us"}));
    EXPECT_TRUE(CXkbLayouts::List(DataFile("missing.lst")).empty());
}

TEST(CXkbLayoutsTest, TheDesktopsLayoutFromTheEnvironmentThenTheSystemElseUs) {
    const std::string defaults = DataFile("keyboard");
    const std::string missing = DataFile("missing");
    EXPECT_EQ(CXkbLayouts::Desktop("fr,us", defaults), "fr");
    EXPECT_EQ(CXkbLayouts::Desktop(nullptr, defaults), "de");
    EXPECT_EQ(CXkbLayouts::Desktop("", defaults), "de");
    EXPECT_EQ(CXkbLayouts::Desktop(nullptr, missing), "us");
}

TEST(CEvdevConnectionTest, OnlyAnEventNodeOpens) {
    int error = 0;
    EXPECT_EQ(CEvdevConnection::Open("/dev/null", error), nullptr);
    EXPECT_NE(error, 0);
    error = 0;
    EXPECT_EQ(CEvdevConnection::Open("/nonexistent/event0", error), nullptr);
    EXPECT_EQ(error, ENOENT);
}
