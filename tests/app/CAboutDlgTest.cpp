// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "app/CAboutDlg.h"
#include "app/CAppIcon.h"
#include "app/CVersionInfo.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Swaps the version block for one test and puts the executable's back.
class CScopedResource {
public:
    explicit CScopedResource(CVersionResource resource)
        : m_previous(CVersionInfo::SetResource(resource)) {}
    ~CScopedResource() { CVersionInfo::SetResource(m_previous); }

private:
    CVersionResource m_previous;
};

QString LabelText(const CAboutDlg& dialog, int id) {
    const QLabel* label = dialog.findChild<QLabel*>(QString::number(id));
    return label ? label->text() : QStringLiteral("<missing>");
}

TEST(CVersionInfo, ExecutableBlockIsUsEnglishUnicodeFromTheProjectVersion) {
    EXPECT_EQ(CVersionInfo::GetVersionString("ProductName"), "Vantrel");
    EXPECT_EQ(CVersionInfo::GetVersionString("ProductVersion"), VANTREL_VERSION);
    EXPECT_EQ(CVersionInfo::GetVersionString("ProductVersion"), "2.0.0.29");
    EXPECT_EQ(CVersionInfo::GetVersionString("FileDescription"), "Vantrel");
    EXPECT_EQ(CVersionInfo::GetVersionString("InternalName"), "Vantrel");
    EXPECT_EQ(CVersionInfo::GetVersionString("OriginalFilename"), "VANTREL.EXE");
    EXPECT_EQ(CVersionInfo::GetVersionString("CompanyName"), "Corvasse");
    EXPECT_FALSE(CVersionInfo::GetVersionString("LegalCopyright").empty());
    EXPECT_EQ(CVersionInfo::GetVersionString("Comments"), "");
}

TEST(CVersionInfo, LanguagesAreTriedGermanThenUsEnglishThenNeutral) {
    static const char block[] = "\\StringFileInfo\\000004b0\\ProductName\0Neutral\0"
                                "\\StringFileInfo\\040904b0\\ProductName\0English\0"
                                "\\StringFileInfo\\040704b0\\ProductName\0Deutsch\0"
                                "\\StringFileInfo\\040904b0\\CompanyName\0Company\0"
                                "\\StringFileInfo\\000004b0\\LegalCopyright\0Legal\0"
                                "\\StringFileInfo\\040904e4\\ProductVersion\0WrongCodePage\0";
    CScopedResource swap({block, sizeof block});
    EXPECT_EQ(CVersionInfo::GetVersionString("ProductName"), "Deutsch");
    EXPECT_EQ(CVersionInfo::GetVersionString("CompanyName"), "Company");
    EXPECT_EQ(CVersionInfo::GetVersionString("LegalCopyright"), "Legal");
    EXPECT_EQ(CVersionInfo::GetVersionString("ProductVersion"), "");
}

TEST(CVersionInfo, AnOpenEndedBlockIsReadWithinItsBounds) {
    static const char block[] = {'\\', 'S', 't', 'r'};
    CScopedResource swap({block, sizeof block});
    EXPECT_EQ(CVersionInfo::GetVersionString("ProductName"), "");
    static const char keyOnly[] = {'\\', 'S', 't', 'r', '\0', 'V', 'a'};
    CScopedResource swapKeyOnly({keyOnly, sizeof keyOnly});
    EXPECT_EQ(CVersionInfo::GetVersionString("ProductName"), "");
}

TEST(CAboutDlg, ShowsTheVersionStringsOfTheExecutable) {
    CAboutDlg dialog;
    EXPECT_EQ(dialog.windowTitle(), "About");
    EXPECT_EQ(LabelText(dialog, 12007), "Vantrel");
    EXPECT_EQ(LabelText(dialog, 12009), "2.0.0.29");
    EXPECT_EQ(LabelText(dialog, 12010), "Corvasse");
    EXPECT_EQ(LabelText(dialog, 12008),
              QString::fromStdString(CVersionInfo::GetVersionString("LegalCopyright")));
    EXPECT_FALSE(CAppIcon::Get().pixmap(32, 32).isNull());
}

TEST(CAboutDlg, BlockOfAnotherLanguageGivesFourEmptyFields) {
    static const char block[] = "\\StringFileInfo\\040c04b0\\ProductName\0Vantrel\0"
                                "\\StringFileInfo\\040c04b0\\ProductVersion\0"
                                "2.0\0"
                                "\\StringFileInfo\\040c04b0\\LegalCopyright\0Droits\0"
                                "\\StringFileInfo\\040c04b0\\CompanyName\0Corvasse\0";
    CScopedResource swap({block, sizeof block});
    CAboutDlg dialog;
    for (int id : {12007, 12008, 12009, 12010}) {
        EXPECT_EQ(LabelText(dialog, id), "") << id;
    }
}

TEST(CAboutDlg, WithoutVersionInformationEveryFieldSaysBadResourceData) {
    CScopedResource swap({nullptr, 0});
    CAboutDlg dialog;
    for (int id : {12007, 12008, 12009, 12010}) {
        EXPECT_EQ(LabelText(dialog, id), "Bad resource data") << id;
    }
}

TEST(CAboutDlg, OkAndEscapeCloseIt) {
    {
        CAboutDlg dialog;
        dialog.show();
        auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("1"));
        ASSERT_TRUE(ok);
        EXPECT_TRUE(ok->isDefault());
        QTest::mouseClick(ok, Qt::LeftButton);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_FALSE(dialog.isVisible());
    }
    {
        CAboutDlg dialog;
        dialog.show();
        QTest::keyClick(&dialog, Qt::Key_Escape);
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        EXPECT_FALSE(dialog.isVisible());
    }
}

} // namespace
