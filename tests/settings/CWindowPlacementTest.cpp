// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "settings/CWindowPlacement.h"
#include "settings/CMemorySettingsStore.h"

#include <gtest/gtest.h>

namespace {

TEST(CWindowPlacement, ParsesTheSixNumbers) {
    const auto placement = CWindowPlacement::Parse("10,20,500,400,1,0");
    ASSERT_TRUE(placement);
    EXPECT_EQ(*placement, (CWindowPlacement{10, 20, 500, 400, 1, 0}));
    EXPECT_EQ(placement->Width(), 490);
    EXPECT_EQ(placement->Height(), 380);
}

TEST(CWindowPlacement, FormatAndParseRoundTrip) {
    const CWindowPlacement placement{-1920, -8, 2147483647, -2147483647 - 1, 3, 2};
    EXPECT_EQ(placement.Format(), "-1920,-8,2147483647,-2147483648,3,2");
    EXPECT_EQ(CWindowPlacement::Parse(placement.Format()), placement);
}

TEST(CWindowPlacement, ReadsLikeTheFormatDoes) {
    // Blanks before a number and text after the sixth number are accepted, as "%d" does.
    EXPECT_EQ(CWindowPlacement::Parse(" 10, +20,500,400,1,0 trailing"),
              (CWindowPlacement{10, 20, 500, 400, 1, 0}));
}

TEST(CWindowPlacement, FewerThanSixNumbersOrGarbageIsIgnored) {
    for (const char* text : {"", "10,20,500,400,1", "10,20,500,400,1,", "10 20 500 400 1 0",
                             "10,20,500,400,1,x", "a,20,500,400,1,0", "10,,500,400,1,0",
                             "10,20,500,400,1,+-1", "10,20,500,400,1,99999999999"}) {
        EXPECT_FALSE(CWindowPlacement::Parse(text)) << '"' << text << '"';
    }
}

TEST(WindowPlacementStore, SaveWritesTheStringAndLoadReadsItBack) {
    CMemorySettingsStore store;
    EXPECT_FALSE(LoadWindowPlacement(store, "DlgSize"));

    const CWindowPlacement maximised{10, 20, 500, 400, CWindowPlacement::kShowMaximized, 2};
    ASSERT_TRUE(SaveWindowPlacement(store, "DlgSize", maximised, false));
    EXPECT_EQ(store.GetProfileString("DlgSize", "WindowPlacement", ""), "10,20,500,400,3,2");
    EXPECT_EQ(LoadWindowPlacement(store, "DlgSize"), maximised);

    // Rectangle only: shown normally, no flags.
    ASSERT_TRUE(SaveWindowPlacement(store, "Other", maximised, true));
    EXPECT_EQ(store.GetProfileString("Other", "WindowPlacement", ""), "10,20,500,400,1,0");
}

TEST(WindowPlacementStore, FiveNumbersAreIgnoredAndAFailedWriteIsReported) {
    CMemorySettingsStore store;
    store.WriteProfileString("DlgSize", "WindowPlacement", "10,20,500,400,1");
    EXPECT_FALSE(LoadWindowPlacement(store, "DlgSize"));

    store.SetReadOnly(true);
    EXPECT_FALSE(SaveWindowPlacement(store, "DlgSize", CWindowPlacement{}, false));
}

} // namespace
