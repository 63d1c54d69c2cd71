// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "settings/qt/CQSettingsStore.h"
#include "settings/CDisplaySettings.h"
#include "settings/CStringHistory.h"
#include "settings/CWindowPlacement.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace {

class CQSettingsStoreTest : public ::testing::Test {
protected:
    QString Path() const { return m_dir.filePath("Vantrel.conf"); }

    void WriteFile(const QByteArray& content) const {
        QFile file(Path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    QByteArray ReadFile() const {
        QFile file(Path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir m_dir;
};

TEST_F(CQSettingsStoreTest, EmptyStoreGivesEveryDefault) {
    CQSettingsStore store(Path());
    CDisplaySettings settings(&store);
    settings.Load("Settings");
    const CDisplaySettings defaults;
    EXPECT_EQ(settings.m_colorRaw, defaults.m_colorRaw);
    EXPECT_EQ(settings.m_colorLabel, RGB(0, 0, 128));
    EXPECT_EQ(settings.m_colorSymbology, RGB(0, 0, 192));
    EXPECT_EQ(settings.m_fontName, "Courier New");
    EXPECT_EQ(settings.m_fontPoints, 100);
    EXPECT_EQ(settings.m_showRaw, 0);
    EXPECT_EQ(store.GetProfileString("Settings", "DeviceName", ""), "");
    EXPECT_EQ(store.GetProfileInt("Settings", "StressAutoDisable", 0), 0);
    EXPECT_EQ(store.GetProfileInt("Strings", "last", 7), 7);
    EXPECT_FALSE(LoadWindowPlacement(store, "DlgSize"));
    EXPECT_FALSE(QFile::exists(Path())) << "reading must not create the file";
}

TEST_F(CQSettingsStoreTest, SectionsAreGroupsAndTypesAreKept) {
    {
        CQSettingsStore store(Path());
        EXPECT_TRUE(store.WriteProfileInt("Settings", "ColorDefault", int32_t(CLR_DEFAULT)));
        EXPECT_TRUE(store.WriteProfileInt("Settings", "ColorRaw", int32_t(RGB(128, 128, 50))));
        EXPECT_TRUE(store.WriteProfileString("Settings", "FontName", "Courier New"));
        EXPECT_TRUE(store.WriteProfileString("Settings", "DeviceName", "123"));
        EXPECT_TRUE(SaveWindowPlacement(store, "DlgSize", {10, 20, 500, 400, 1, 0}, false));
        EXPECT_TRUE(store.WriteProfileString("Strings", "file000", u8"caf\u00e9 \\x02"));
    }
    const QByteArray file = ReadFile();
    EXPECT_TRUE(file.contains("[Settings]\n")) << file.constData();
    EXPECT_TRUE(file.contains("\nColorRaw=3309696\n")) << file.constData();
    EXPECT_TRUE(file.contains("\nColorDefault=-16777216\n")) << file.constData();
    EXPECT_TRUE(file.contains("[DlgSize]\n")) << file.constData();

    CQSettingsStore reread(Path());
    EXPECT_EQ(reread.GetProfileInt("Settings", "ColorRaw", 0), 0x328080);
    EXPECT_EQ(COLORREF(reread.GetProfileInt("Settings", "ColorDefault", 0)), CLR_DEFAULT);
    EXPECT_EQ(reread.GetProfileString("Settings", "FontName", ""), "Courier New");
    EXPECT_EQ(reread.GetProfileString("Settings", "DeviceName", ""), "123");
    EXPECT_EQ(reread.GetProfileString("Strings", "file000", ""), u8"caf\u00e9 \\x02");
    EXPECT_EQ(LoadWindowPlacement(reread, "DlgSize"), (CWindowPlacement{10, 20, 500, 400, 1, 0}));
    // Keys of one section are not seen in another.
    EXPECT_EQ(reread.GetProfileInt("DlgSize", "ColorRaw", -1), -1);
}

TEST_F(CQSettingsStoreTest, DisplaySettingsRoundTrip) {
    CDisplaySettings saved;
    {
        CQSettingsStore store(Path());
        saved.SetStore(&store);
        saved.Load("Settings");
        saved.m_colorLabel = RGB(1, 2, 3);
        saved.m_colorHex = CLR_DEFAULT;
        saved.m_fontName = "DejaVu Sans Mono";
        saved.m_fontPoints = 85;
        saved.m_showSymbology = 1;
        saved.m_triggerOffAtExit = 1;
        ASSERT_TRUE(saved.Save());
    }
    CQSettingsStore store(Path());
    CDisplaySettings loaded(&store);
    loaded.Load("Settings");
    EXPECT_EQ(loaded.m_colorLabel, RGB(1, 2, 3));
    EXPECT_EQ(loaded.m_colorHex, CLR_DEFAULT);
    EXPECT_EQ(loaded.m_fontName, "DejaVu Sans Mono");
    EXPECT_EQ(loaded.m_fontPoints, 85);
    EXPECT_EQ(loaded.m_showSymbology, 1);
    EXPECT_EQ(loaded.m_triggerOffAtExit, 1);
}

TEST_F(CQSettingsStoreTest, ValuesEditedByHandGiveTheDefaultOrTheirMeaning) {
    WriteFile("[Settings]\n"
              "ColorRaw=navy\n"
              "ColorHex=\n"
              "FontPoints=99999999999\n"
              "ShowRaw=-4294967296\n"
              "ColorLabel=0xC00000\n"
              "ColorDefault=4278190080\n"
              "ShowSymbology= 1 \n"
              "ColorOut=@Rect(1 2 3 4)\n"
              "FontName=\n"
              "TriggerOffAtExit=1,2\n"
              "[DlgSize]\n"
              "WindowPlacement=10,20,500,400,1,0\n"
              "[Strings]\n"
              "file000=a,b\n"
              "file001=@Rect(1 2 3 4)\n"
              "file002=Reader X, Rev 2 - SN1\n"
              "file003=\"Reader X, Rev 2 - SN1\"\n");
    CQSettingsStore store(Path());
    ASSERT_TRUE(store.IsReadable());
    EXPECT_EQ(store.GetProfileInt("Settings", "ColorRaw", 11), 11);
    EXPECT_EQ(store.GetProfileInt("Settings", "ColorHex", 12), 12);
    EXPECT_EQ(store.GetProfileInt("Settings", "FontPoints", 100), 100);
    EXPECT_EQ(store.GetProfileInt("Settings", "ShowRaw", 0), 0);
    EXPECT_EQ(store.GetProfileInt("Settings", "ColorLabel", 0), 0xC00000);
    EXPECT_EQ(COLORREF(store.GetProfileInt("Settings", "ColorDefault", 0)), CLR_DEFAULT);
    EXPECT_EQ(store.GetProfileInt("Settings", "ShowSymbology", 0), 1);
    EXPECT_EQ(store.GetProfileInt("Settings", "ColorOut", 13), 13);
    EXPECT_EQ(store.GetProfileInt("Settings", "TriggerOffAtExit", 0), 0);
    EXPECT_EQ(store.GetProfileString("Settings", "FontName", "Courier New"), "");
    EXPECT_EQ(store.GetProfileString("Strings", "file000", ""), "a,b");
    EXPECT_EQ(store.GetProfileString("Strings", "file001", "none"), "none");
    // Unquoted commas lose the blanks around them; quoted, the text is kept as written.
    EXPECT_EQ(store.GetProfileString("Strings", "file002", ""), "Reader X,Rev 2 - SN1");
    EXPECT_EQ(store.GetProfileString("Strings", "file003", ""), "Reader X, Rev 2 - SN1");
    // An unquoted placement reads as a list of texts; it still gives the placement.
    EXPECT_EQ(LoadWindowPlacement(store, "DlgSize"), (CWindowPlacement{10, 20, 500, 400, 1, 0}));
}

TEST_F(CQSettingsStoreTest, DamagedFileKeepsItsReadableValuesAndAcceptsWrites) {
    WriteFile(QByteArray("[Settings]\nShowRaw=1\n[broken\nno equals sign\n\x01\xff\xfe=\x80\n"
                         "[Settings]\nShowOutput=1\n"));
    CQSettingsStore store(Path());
    EXPECT_EQ(store.GetProfileInt("Settings", "ShowRaw", 0), 1);
    EXPECT_EQ(store.GetProfileInt("Settings", "ShowOutput", 0), 1);
    EXPECT_TRUE(store.WriteProfileInt("Settings", "ShowSymbology", 1));
    EXPECT_TRUE(store.Flush());
    CQSettingsStore reread(Path());
    EXPECT_EQ(reread.GetProfileInt("Settings", "ShowSymbology", 0), 1);
    EXPECT_EQ(reread.GetProfileInt("Settings", "ShowRaw", 0), 1);
}

// A save of many values replaces the file once, as a whole (a new file renamed over the old
// one), and only when it is flushed; a flush without changes leaves the file alone.
TEST_F(CQSettingsStoreTest, WritesWaitForTheFlushThatReplacesTheFileOnce) {
    const auto inode = [this] {
        struct stat info {};
        return ::stat(QFile::encodeName(Path()).constData(), &info) == 0 ? info.st_ino : 0;
    };
    CQSettingsStore store(Path());
    ASSERT_TRUE(store.WriteProfileInt("Settings", "ShowRaw", 1));
    ASSERT_TRUE(store.Flush());
    const ino_t first = inode();
    ASSERT_NE(first, 0u);
    const QByteArray before = ReadFile();

    CDisplaySettings settings(&store);
    settings.Load("Settings");
    settings.m_fontName = "Replaced Face";
    for (int i = 0; i < 12; ++i) {
        ASSERT_TRUE(store.WriteProfileInt("Settings", "Key" + std::to_string(i), i));
    }
    EXPECT_EQ(ReadFile(), before);
    EXPECT_EQ(inode(), first);
    ASSERT_TRUE(settings.Save()); // the end of a save group flushes
    const ino_t second = inode();
    EXPECT_NE(second, first);
    const QByteArray after = ReadFile();
    EXPECT_TRUE(after.contains("FontName=Replaced Face")) << after.constData();
    EXPECT_TRUE(after.contains("Key11=11")) << after.constData();

    ASSERT_TRUE(store.Flush());
    EXPECT_EQ(inode(), second);
}

TEST_F(CQSettingsStoreTest, UnreadableFileGivesDefaultsAndDropsWrites) {
    // A directory where the file belongs cannot be opened, even by root.
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("Vantrel.conf"));
    CQSettingsStore store(Path());
    EXPECT_FALSE(store.IsReadable());
    CDisplaySettings settings(&store);
    settings.Load("Settings");
    EXPECT_EQ(settings.m_fontName, "Courier New");
    EXPECT_FALSE(store.WriteProfileInt("Settings", "ShowRaw", 1));
    EXPECT_FALSE(store.WriteProfileString("Settings", "FontName", "x"));
    EXPECT_FALSE(store.Flush());
    EXPECT_TRUE(settings.Save()); // nothing escapes; the values are just not kept
    EXPECT_EQ(store.GetProfileInt("Settings", "ShowRaw", 0), 0);
    EXPECT_TRUE(QFileInfo(Path()).isDir());
}

// What is no regular file is never opened (a FIFO would hang the program) nor replaced, also
// behind a link; a link to a regular file is written through and stays a link.
TEST_F(CQSettingsStoreTest, OnlyARegularFileIsReadOrWrittenAlsoBehindALink) {
    const QByteArray fifo = QFile::encodeName(m_dir.filePath("fifo"));
    ASSERT_EQ(mkfifo(fifo.constData(), 0600), 0);
    const QByteArray link = QFile::encodeName(Path());
    for (const QByteArray& target : {fifo, QByteArray("/dev/null")}) {
        ::unlink(link.constData());
        ASSERT_EQ(symlink(target.constData(), link.constData()), 0);
        for (const QString& name : {Path(), QString::fromLocal8Bit(target)}) {
            CQSettingsStore store(name);
            EXPECT_FALSE(store.IsReadable()) << target.constData();
            EXPECT_NE(store.Refusal().find(name.toStdString() + "\" is not a regular file"),
                      std::string::npos)
                << store.Refusal();
            EXPECT_EQ(store.GetProfileInt("Settings", "ShowRaw", 7), 7);
            EXPECT_FALSE(store.WriteProfileInt("Settings", "ShowRaw", 1));
            EXPECT_FALSE(store.Flush());
        }
        struct stat info {};
        ASSERT_EQ(::stat(target.constData(), &info), 0);
        EXPECT_FALSE(S_ISREG(info.st_mode)) << target.constData();
    }

    const QString real = m_dir.filePath("real.conf");
    {
        QFile file(real);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Settings]\nShowRaw=1\n");
    }
    ::unlink(link.constData());
    ASSERT_EQ(symlink(QFile::encodeName(real).constData(), link.constData()), 0);
    {
        CQSettingsStore store(Path());
        EXPECT_TRUE(store.Refusal().empty());
        EXPECT_EQ(store.GetProfileInt("Settings", "ShowRaw", 0), 1);
        ASSERT_TRUE(store.WriteProfileInt("Settings", "ShowOutput", 1));
        ASSERT_TRUE(store.Flush());
    }
    EXPECT_TRUE(QFileInfo(Path()).isSymLink());
    QFile file(real);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("ShowOutput=1"));
}

// Two programs on one file: each save writes only what that program changed, into the file as
// it is then, so neither loses what the other stored, the sent strings included.
TEST_F(CQSettingsStoreTest, TwoProgramsOnOneFileKeepWhatTheOtherStored) {
    {
        CQSettingsStore first(Path());
        CDisplaySettings settings(&first);
        settings.Save();
    }
    CQSettingsStore a(Path());
    CQSettingsStore b(Path());
    CDisplaySettings settingsA(&a);
    CDisplaySettings settingsB(&b);
    settingsA.Load("Settings");
    settingsB.Load("Settings");
    CStringHistory historyA(&a);
    CStringHistory historyB(&b);
    historyA.Load("Strings");
    historyB.Load("Strings");

    settingsA.m_showRaw = 1;
    historyA.AddUnique("sent by a");
    ASSERT_TRUE(settingsA.Save());
    historyA.Save("Strings");
    settingsB.m_fontName = "Chosen in B";
    historyB.AddUnique("sent by b");
    ASSERT_TRUE(settingsB.Save());
    historyB.Save("Strings");

    CQSettingsStore reread(Path());
    CDisplaySettings stored(&reread);
    stored.Load("Settings");
    EXPECT_EQ(stored.m_showRaw, 1);
    EXPECT_EQ(stored.m_fontName, "Chosen in B");
    CStringHistory strings(&reread);
    strings.Load("Strings");
    EXPECT_EQ(strings.Entries(), (std::vector<std::string>{"sent by a", "sent by b"}));
}

TEST(CQSettingsStoreNames, TheUsersStoreIsNamedCorvasseVantrel) {
    CQSettingsStore store;
    const QString expected =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
        "/Corvasse/Vantrel.conf";
    EXPECT_EQ(store.FileName().toStdString(), expected.toStdString());
    EXPECT_TRUE(QStandardPaths::isTestModeEnabled());
}

} // namespace
