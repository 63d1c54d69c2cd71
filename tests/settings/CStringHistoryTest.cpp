// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "settings/CStringHistory.h"
#include "settings/CComboList.h"
#include "settings/CMemorySettingsStore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>

namespace {

const std::string kTermId = "\\x16M\\rTERMID?.";
const std::string kBeepCmd = "\\x16\\x07\\r";

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// A sorted combo list as the GUI's combo keeps it (ASCII case folding is enough here).
class CFakeComboList : public CComboList {
public:
    void ResetContent() override {
        items.clear();
        ++resets;
    }
    void AddString(const std::string& text) override {
        auto at = std::upper_bound(
            items.begin(), items.end(), text,
            [](const std::string& a, const std::string& b) { return Lower(a) < Lower(b); });
        items.insert(at, text);
    }
    int SelectString(const std::string& prefix) override {
        for (size_t i = 0; i < items.size(); ++i) {
            if (Lower(items[i]).compare(0, prefix.size(), Lower(prefix)) == 0) {
                selected = static_cast<int>(i);
                return selected;
            }
        }
        return -1;
    }

    std::vector<std::string> items;
    int selected = -1;
    int resets = 0;
};

// What a panel does when it starts: the two defaults, then the stored list.
CStringHistory StartedHistory(CMemorySettingsStore& store) {
    CStringHistory history(&store);
    history.AddUnique(kTermId);
    history.AddUnique(kBeepCmd);
    history.Load("Strings");
    return history;
}

TEST(CStringHistory, FirstRunHoldsTheTwoDefaultsWithTheFirstCurrent) {
    CMemorySettingsStore store;
    CStringHistory history = StartedHistory(store);
    EXPECT_EQ(history.Entries(), (std::vector<std::string>{kTermId, kBeepCmd}));
    EXPECT_EQ(history.CurrentString(), kTermId);

    CFakeComboList combo;
    history.FillComboBox(combo, false);
    EXPECT_EQ(combo.items, (std::vector<std::string>{kBeepCmd, kTermId}));
    EXPECT_EQ(combo.items[static_cast<size_t>(combo.selected)], kTermId);
    EXPECT_EQ(combo.resets, 0);

    history.Save("Strings");
    EXPECT_EQ(store.GetProfileInt("Strings", "files", -1), 2);
    EXPECT_EQ(store.GetProfileInt("Strings", "last", -1), 0);
    EXPECT_EQ(store.GetProfileString("Strings", "file000", ""), kTermId);
    EXPECT_EQ(store.GetProfileString("Strings", "file001", ""), kBeepCmd);
}

TEST(CStringHistory, AddUniqueIsCaseSensitiveAndMovesTheCurrentEntry) {
    CStringHistory history;
    EXPECT_EQ(history.AddUnique("abc"), 0);
    EXPECT_EQ(history.AddUnique("ABC"), 1);
    EXPECT_EQ(history.AddUnique("x"), 2);
    EXPECT_EQ(history.AddUnique("abc"), 0);
    EXPECT_EQ(history.Entries().size(), 3u);
    EXPECT_EQ(history.CurrentString(), "abc");
}

TEST(CStringHistory, RemoveMakesTheFollowingEntryCurrent) {
    CStringHistory history;
    for (const char* text : {"a", "b", "c"}) {
        history.AddUnique(text);
    }
    history.Remove("B");
    EXPECT_EQ(history.Entries().size(), 3u) << "removal is case-sensitive";
    EXPECT_EQ(history.CurrentString(), "c");

    history.Remove("a");
    EXPECT_EQ(history.Entries(), (std::vector<std::string>{"b", "c"}));
    EXPECT_EQ(history.CurrentString(), "b");

    history.Remove("c");
    EXPECT_EQ(history.CurrentIndex(), 1);
    EXPECT_EQ(history.CurrentString(), "");
}

TEST(CStringHistory, EmptyEntriesAreNeverListedNorWritten) {
    CMemorySettingsStore store;
    CStringHistory history(&store);
    history.AddUnique("a");
    history.AddUnique("");
    history.AddUnique("b");

    CFakeComboList combo;
    combo.items = {"kept"};
    history.FillComboBox(combo, false);
    EXPECT_EQ(combo.items, (std::vector<std::string>{"a", "b", "kept"}));
    EXPECT_EQ(combo.items[static_cast<size_t>(combo.selected)], "b");
    history.FillComboBox(combo, true);
    EXPECT_EQ(combo.items, (std::vector<std::string>{"a", "b"}));

    history.Save("Strings");
    EXPECT_EQ(store.GetProfileInt("Strings", "files", -1), 2);
    EXPECT_EQ(store.GetProfileString("Strings", "file001", ""), "b");
    // The index counts the entries written, as "files" does.
    EXPECT_EQ(store.GetProfileInt("Strings", "last", -1), 1);
}

TEST(CStringHistory, SaveWritesTheNewestThirtyAndAnOlderCurrentEntryAsTheThirtyFirst) {
    CMemorySettingsStore store;
    CStringHistory history(&store);
    for (int i = 0; i < 35; ++i) {
        history.AddUnique("s" + std::to_string(i));
    }
    history.AddUnique("s2");
    history.Save("Strings");

    EXPECT_EQ(store.GetProfileInt("Strings", "files", -1), 31);
    EXPECT_EQ(store.GetProfileInt("Strings", "last", -1), 30);
    EXPECT_EQ(store.GetProfileString("Strings", "file000", ""), "s5");
    EXPECT_EQ(store.GetProfileString("Strings", "file029", ""), "s34");
    EXPECT_EQ(store.GetProfileString("Strings", "file030", ""), "s2");
    EXPECT_EQ(store.Writes().back().key, "last");
    EXPECT_EQ(store.Writes()[store.Writes().size() - 2].key, "files");
    EXPECT_EQ(store.Rewrites(), 1); // 33 writes, kept at once
    EXPECT_FALSE(store.HasUnflushedWrites());

    CMemorySettingsStore recent;
    history.SetStore(&recent);
    history.AddUnique("s33");
    history.Save("Strings");
    EXPECT_EQ(recent.GetProfileInt("Strings", "files", -1), 30);
    EXPECT_EQ(recent.GetProfileInt("Strings", "last", -1), 28);
    EXPECT_FALSE(recent.Has("Strings", "file030"));
}

TEST(CStringHistory, AnEmptyOlderCurrentEntryKeepsItsIndex) {
    CMemorySettingsStore store;
    CStringHistory history(&store);
    history.AddUnique("");
    for (int i = 0; i < 31; ++i) {
        history.AddUnique("s" + std::to_string(i));
    }
    history.AddUnique("");
    history.Save("Strings");
    EXPECT_EQ(store.GetProfileInt("Strings", "files", -1), 30);
    EXPECT_EQ(store.GetProfileInt("Strings", "last", -1), 0);
}

TEST(CStringHistory, HistoryPersistsAcrossRunsBehindTheDefaults) {
    CMemorySettingsStore store;
    {
        CStringHistory first = StartedHistory(store);
        first.AddUnique("one");
        first.AddUnique("two");
        first.Remove(kTermId);
        first.AddUnique("two");
        first.Save("Strings");
    }
    // Saved: \x16\x07\r, one, two with "two" current (last = 2). The default deleted in the
    // first run comes back in front, so "last" now names "one".
    CStringHistory second = StartedHistory(store);
    EXPECT_EQ(second.Entries(), (std::vector<std::string>{kTermId, kBeepCmd, "one", "two"}));
    EXPECT_EQ(second.CurrentString(), "one");
}

TEST(CStringHistory, LoadTakesEachStoredStringOnceAndSkipsMissingKeys) {
    CMemorySettingsStore store;
    store.WriteProfileInt("Strings", "files", 4);
    store.WriteProfileString("Strings", "file000", "x");
    store.WriteProfileString("Strings", "file001", "x");
    store.WriteProfileString("Strings", "file003", "y");
    store.WriteProfileString("Strings", "file004", "beyond files");
    store.WriteProfileInt("Strings", "last", 1);
    CStringHistory history(&store);
    history.Load("Strings");
    EXPECT_EQ(history.Entries(), (std::vector<std::string>{"x", "y"}));
    EXPECT_EQ(history.CurrentString(), "y");
}

TEST(CStringHistory, OutOfRangeOrMalformedLastSelectsTheFirstEntry) {
    struct Case {
        const char* name;
        CMemorySettingsStore::Value last;
    };
    const Case cases[] = {{"equal to files", int32_t(2)},
                          {"above files", int32_t(7)},
                          {"negative", int32_t(-3)},
                          {"minimum", int32_t(INT32_MIN)},
                          {"not a number", std::string("abc")}};
    for (const Case& c : cases) {
        CMemorySettingsStore store;
        store.WriteProfileInt("Strings", "files", 2);
        store.WriteProfileString("Strings", "file000", "a");
        store.WriteProfileString("Strings", "file001", "b");
        if (const auto* i = std::get_if<int32_t>(&c.last)) {
            store.WriteProfileInt("Strings", "last", *i);
        } else {
            store.WriteProfileString("Strings", "last", std::get<std::string>(c.last));
        }
        CStringHistory history(&store);
        history.AddUnique("z");
        history.Load("Strings");
        EXPECT_EQ(history.CurrentIndex(), 0) << c.name;
        EXPECT_EQ(history.CurrentString(), "z") << c.name;
    }
}

TEST(CStringHistory, HandEditedHugeCountReadsAtMostAThousandKeys) {
    class CCountingStore : public CMemorySettingsStore {
    public:
        std::string GetProfileString(const std::string& section, const std::string& key,
                                     const std::string& defaultValue) override {
            ++reads;
            return CMemorySettingsStore::GetProfileString(section, key, defaultValue);
        }
        int reads = 0;
    } store;
    store.WriteProfileInt("Strings", "files", INT32_MAX);
    store.WriteProfileString("Strings", "file999", "last key");
    store.WriteProfileInt("Strings", "last", 0);
    CStringHistory history(&store);
    history.Load("Strings");
    EXPECT_EQ(store.reads, CStringHistory::kMaxLoaded);
    EXPECT_EQ(history.Entries(), (std::vector<std::string>{"last key"}));
}

// A "files" that cannot be trusted loses no stored string: every key there is read and
// written back at the next save.
TEST(CStringHistory, NegativeOrMalformedCountReadsEveryStoredKey) {
    for (const CMemorySettingsStore::Value& files :
         {CMemorySettingsStore::Value(int32_t(-5)), CMemorySettingsStore::Value("abc")}) {
        CMemorySettingsStore store;
        if (const auto* i = std::get_if<int32_t>(&files)) {
            store.WriteProfileInt("Strings", "files", *i);
        } else {
            store.WriteProfileString("Strings", "files", std::get<std::string>(files));
        }
        std::vector<std::string> stored;
        for (int i = 0; i < 40; ++i) {
            stored.push_back("entry " + std::to_string(i));
            char key[16];
            std::snprintf(key, sizeof key, "file%03d", i);
            store.WriteProfileString("Strings", key, stored.back());
        }
        store.WriteProfileString("Strings", "file500", "far away");
        stored.push_back("far away");
        store.WriteProfileInt("Strings", "last", 35);
        CStringHistory history(&store);
        history.Load("Strings");
        EXPECT_EQ(history.Entries(), stored);
        EXPECT_EQ(history.CurrentString(), "entry 35");

        history.Save("Strings");
        CStringHistory reloaded(&store);
        reloaded.Load("Strings");
        EXPECT_EQ(reloaded.CurrentString(), "entry 35");
        EXPECT_EQ(std::count(reloaded.Entries().begin(), reloaded.Entries().end(), "far away"), 1);
    }
}

// A huge "files" and "last" are both bounded by what was read; the next save writes them as
// they now are.
TEST(CStringHistory, AHugeStoredLastIsNormalisedLikeFiles) {
    CMemorySettingsStore store;
    store.WriteProfileInt("Strings", "files", 2000000);
    store.WriteProfileInt("Strings", "last", 1999999);
    store.WriteProfileString("Strings", "file000", "a");
    store.WriteProfileString("Strings", "file001", "b");
    CStringHistory history(&store);
    history.Load("Strings");
    EXPECT_EQ(history.CurrentString(), "a");
    history.Save("Strings");
    EXPECT_EQ(store.GetProfileInt("Strings", "files", -1), 2);
    EXPECT_EQ(store.GetProfileInt("Strings", "last", -1), 0);
}

// Two programs on one store, each saving at its own time: the strings each added stay, one
// removed in either stays removed, and neither brings back what the other dropped.
TEST(CStringHistory, TwoProgramsSavingOneStoreKeepEachOthersStrings) {
    CMemorySettingsStore store;
    {
        CStringHistory first(&store);
        for (const char* text : {"shared", "old", "dropped"}) {
            first.AddUnique(text);
        }
        first.Save("Strings");
    }
    CStringHistory a(&store);
    a.Load("Strings");
    CStringHistory b(&store);
    b.Load("Strings");

    a.AddUnique("from a");
    a.Remove("dropped");
    a.Save("Strings");
    b.AddUnique("from b");
    b.Remove("old");
    b.AddUnique("shared");
    b.Save("Strings");

    CStringHistory reread(&store);
    reread.Load("Strings");
    EXPECT_EQ(reread.Entries(), (std::vector<std::string>{"shared", "from a", "from b"}));
    EXPECT_EQ(reread.CurrentString(), "shared");

    // A later save of the first one keeps the list; "last" is the string it used last.
    a.Save("Strings");
    CStringHistory again(&store);
    again.Load("Strings");
    EXPECT_EQ(again.Entries(), reread.Entries());
    EXPECT_EQ(again.CurrentString(), "from a");
}

} // namespace
