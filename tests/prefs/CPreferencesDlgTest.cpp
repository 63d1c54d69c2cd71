// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "prefs/CPreferencesDlg.h"
#include "prefs/CColorButton.h"
#include "prefs/CColorPopup.h"
#include "prefs/CSimpleComboBox.h"

#include "outputwindow/COutputWindow.h"
#include "settings/CMemorySettingsStore.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTextCursor>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

CSimpleComboBox* Combo(QWidget& dialog, const char* id) {
    return dialog.findChild<CSimpleComboBox*>(QString::fromLatin1(id));
}

void TypeInto(CSimpleComboBox* combo, const QString& text) {
    QLineEdit* edit = combo->Edit();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

void Click(QWidget& dialog, const char* id) {
    auto* button = dialog.findChild<QPushButton*>(QString::fromLatin1(id));
    ASSERT_NE(button, nullptr) << id;
    QTest::mouseClick(button, Qt::LeftButton);
}

// Picks a colour on one of the dialog's colour buttons through its popup, by keys.
void PickWithKeys(QWidget& dialog, int id, std::initializer_list<Qt::Key> keys) {
    auto* button = dialog.findChild<CColorButton*>(QString::number(id));
    ASSERT_NE(button, nullptr) << id;
    QTest::mouseClick(button, Qt::LeftButton);
    auto* popup = button->findChild<CColorPopup*>();
    ASSERT_NE(popup, nullptr);
    for (Qt::Key key : keys) {
        QTest::keyClick(popup, key);
    }
    QTest::keyClick(popup, Qt::Key_Return);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Runs EditPreferences the way the main dialog does, acting on the dialog once it is up.
void EditWith(CDisplaySettings& settings, const std::function<void(CPreferencesDlg&)>& act) {
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<CPreferencesDlg*>(QApplication::activeModalWidget());
        if (!dialog) {
            ADD_FAILURE() << "the Preferences dialog is not the active modal widget";
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (auto* d = qobject_cast<CPreferencesDlg*>(w)) {
                    d->reject();
                }
            }
            return;
        }
        act(*dialog);
    });
    settings.EditPreferences(
        [](CDisplaySettings& copy) { return CPreferencesDlg::Run(copy, nullptr); });
}

CDisplaySettings DistinctSettings() {
    CDisplaySettings s;
    s.m_colorRaw = ColorTable[1].m_color;
    s.m_colorHex = ColorTable[2].m_color;
    s.m_colorSymbology = ColorTable[3].m_color;
    s.m_colorLabel = ColorTable[4].m_color;
    s.m_colorOut = ColorTable[5].m_color;
    s.m_colorDefault = ColorTable[6].m_color;
    s.m_fontPoints = 140;
    s.m_fontName = "No Such Font";
    return s;
}

TEST(CPreferencesDlg, TemplateHasEveryControlInsideTheDialogWithoutOverlap) {
    CPreferencesDlg dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Preferences Dialog"));
    for (const char* id :
         {"1", "2", "1001", "1003", "1005", "1007", "1009", "1011", "1021", "1023", "1024"}) {
        EXPECT_NE(dialog.findChild<QWidget*>(QString::fromLatin1(id)), nullptr) << id;
    }
    EXPECT_EQ(dialog.findChild<QCheckBox*>("1021")->text(), "Untrigger before disconnect");

    QList<QWidget*> controls;
    for (QWidget* w : dialog.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        EXPECT_TRUE(dialog.rect().contains(w->geometry())) << w->objectName().toStdString();
        if (!qobject_cast<QGroupBox*>(w)) {
            controls.append(w);
        }
    }
    for (int i = 0; i < controls.size(); ++i) {
        for (int j = i + 1; j < controls.size(); ++j) {
            EXPECT_FALSE(controls[i]->geometry().intersects(controls[j]->geometry()))
                << controls[i]->objectName().toStdString() << " / "
                << controls[j]->objectName().toStdString();
        }
    }

    // The colour buttons stand from top to bottom in this order, each beside its label.
    const std::pair<int, const char*> order[] = {{1007, "default"},
                                                 {1003, "Label content"},
                                                 {1005, "Symbology name"},
                                                 {1009, "Raw data"},
                                                 {1001, "Non printable characters"},
                                                 {1011, "Out Data"}};
    int lastTop = -1;
    for (const auto& [id, label] : order) {
        const QRect button = dialog.findChild<CColorButton*>(QString::number(id))->geometry();
        EXPECT_GT(button.top(), lastTop) << id;
        lastTop = button.top();
        bool labelled = false;
        for (QLabel* l : dialog.findChildren<QLabel*>()) {
            labelled |= l->text() == label && l->geometry().right() < button.left() &&
                        l->geometry().center().y() >= button.top() &&
                        l->geometry().center().y() <= button.bottom();
        }
        EXPECT_TRUE(labelled) << label;
    }
}

// The families as the font list shows them, from the fonts this machine has.
QStringList ListedFamilies() {
    return CPreferencesDlg::FontFamilies(QFontDatabase::families());
}

TEST(CPreferencesDlg, FontFamiliesListEachFamilyOnceWithoutItsFoundries) {
    const QStringList available = {"Z003 [urw]",  "C059 [UKWN]", "Nimbus Sans [URW ]",
                                   "C059 [urw]",  "DejaVu Sans", "Nimbus Sans [UKWN]",
                                   "dejavu sans", "Monospace",   "Z003 [UKWN]"};
    EXPECT_EQ(CPreferencesDlg::FontFamilies(available),
              QStringList({"C059", "DejaVu Sans", "Monospace", "Nimbus Sans", "Z003"}));
}

TEST(CPreferencesDlg, ListsAreFilledAndTheCurrentValuesSelected) {
    const QStringList families = ListedFamilies();
    ASSERT_FALSE(families.isEmpty());
    CDisplaySettings settings = DistinctSettings();
    settings.m_fontName = families.first().toLower().toStdString();
    settings.m_fontPoints = 125; // shown as 12

    CPreferencesDlg dialog;
    dialog.SetValues(settings);
    dialog.show();

    CSimpleComboBox* sizes = Combo(dialog, "1024");
    QStringList sizeTexts;
    for (int i = 0; i < sizes->GetCount(); ++i) {
        sizeTexts << sizes->GetLBText(i);
    }
    EXPECT_EQ(sizeTexts, QStringList({"6", "7", "8", "9", "10", "11", "12", "14", "16", "18", "20",
                                      "22", "24", "26", "28"}));
    EXPECT_EQ(sizes->GetWindowText(), "12");
    EXPECT_EQ(sizes->GetCurSel(), 6);
    QTest::keyClick(sizes->Edit(), Qt::Key_Down);
    EXPECT_EQ(sizes->GetWindowText(), "14");
    TypeInto(sizes, "2"); // typing selects the first entry that begins with it
    EXPECT_EQ(sizes->GetLBText(sizes->GetCurSel()), "20");
    EXPECT_EQ(sizes->GetWindowText(), "2");

    CSimpleComboBox* fonts = Combo(dialog, "1023");
    // Each family once, in the order the sorted list keeps.
    QStringList listed;
    for (int i = 0; i < fonts->GetCount(); ++i) {
        listed << fonts->GetLBText(i);
    }
    EXPECT_EQ(listed, families);
    for (int i = 1; i < listed.size(); ++i) {
        EXPECT_LT(QString::compare(listed[i - 1], listed[i], Qt::CaseInsensitive), 0);
    }
    // Selected ignoring case, and then shown as the list writes it.
    EXPECT_EQ(fonts->GetLBText(fonts->GetCurSel()), families.first());
    EXPECT_EQ(fonts->GetWindowText(), families.first());

    EXPECT_EQ(dialog.findChild<CColorButton*>("1009")->GetColor(), settings.m_colorRaw);
    EXPECT_EQ(dialog.findChild<CColorButton*>("1007")->GetColor(), settings.m_colorDefault);
    dialog.reject();
}

TEST(CPreferencesDlg, OkWithoutChangesGivesBackTheSameValues) {
    CDisplaySettings settings = DistinctSettings();
    settings.m_fontChanged = true; // from an earlier edit
    const CDisplaySettings before = settings;
    EditWith(settings, [](CPreferencesDlg& d) {
        EXPECT_EQ(Combo(d, "1023")->GetWindowText(), "No Such Font"); // not in the list: as is
        // Enter on a colour button is OK, not a click on the button.
        auto* button = d.findChild<CColorButton*>("1007");
        button->setFocus();
        QTest::keyClick(button, Qt::Key_Return);
        EXPECT_FALSE(button->IsPopupOpen());
    });
    EXPECT_EQ(settings.m_colorRaw, before.m_colorRaw);
    EXPECT_EQ(settings.m_colorHex, before.m_colorHex);
    EXPECT_EQ(settings.m_colorSymbology, before.m_colorSymbology);
    EXPECT_EQ(settings.m_colorLabel, before.m_colorLabel);
    EXPECT_EQ(settings.m_colorOut, before.m_colorOut);
    EXPECT_EQ(settings.m_colorDefault, before.m_colorDefault);
    EXPECT_EQ(settings.m_fontName, "No Such Font");
    EXPECT_EQ(settings.m_fontPoints, 140);
    EXPECT_FALSE(settings.m_fontChanged);
}

TEST(CPreferencesDlg, SizeTextIsReadAsAnIntegerTimesTen) {
    const struct {
        const char* m_text;
        int32_t m_expected;
    } cases[] = {
        {"12", 120}, {"10.5", 100}, {"", 140},    {"abc", 140},         {"0", 0},
        {"-3", -30}, {" 9pt", 90},  {"+16", 160}, {"99999999999", 140}, {"300000000", 140}};
    for (const auto& c : cases) {
        CDisplaySettings settings = DistinctSettings();
        EditWith(settings, [&c](CPreferencesDlg& d) {
            TypeInto(Combo(d, "1024"), QString::fromLatin1(c.m_text));
            Click(d, "1");
        });
        EXPECT_EQ(settings.m_fontPoints, c.m_expected) << '"' << c.m_text << '"';
        EXPECT_EQ(settings.m_fontChanged, c.m_expected != 140) << '"' << c.m_text << '"';
    }
}

TEST(CPreferencesDlg, FontNameIsTakenAsTypedAndOtherCaseIsAChange) {
    // A family that upper case changes ("C059" would not).
    const QStringList families = ListedFamilies();
    const auto lower = std::find_if(families.begin(), families.end(),
                                    [](const QString& f) { return f != f.toUpper(); });
    ASSERT_NE(lower, families.end());
    const QString family = *lower;
    CDisplaySettings settings = DistinctSettings();
    settings.m_fontName = family.toStdString();
    EditWith(settings, [&](CPreferencesDlg& d) {
        TypeInto(Combo(d, "1023"), family.toUpper());
        Click(d, "1");
    });
    EXPECT_EQ(settings.m_fontName, family.toUpper().toStdString());
    EXPECT_TRUE(settings.m_fontChanged);

    // Picking from the list puts the entry's text in the edit field.
    EditWith(settings, [&](CPreferencesDlg& d) {
        CSimpleComboBox* fonts = Combo(d, "1023");
        QListWidget* list = fonts->List();
        QListWidgetItem* last = list->item(fonts->GetCount() - 1);
        list->scrollToItem(last);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(last).center());
        Click(d, "1");
    });
    EXPECT_EQ(QString::fromStdString(settings.m_fontName), ListedFamilies().last());
    EXPECT_TRUE(settings.m_fontChanged);
}

TEST(CPreferencesDlg, ColoursAndTheExitOptionComeBackOnOk) {
    CDisplaySettings settings = DistinctSettings();
    EditWith(settings, [](CPreferencesDlg& d) {
        // From no hot item: Right goes to "More Colors...", then to "Automatic", then cell 0;
        // Left goes to "Automatic", then "More Colors...", then the last cell.
        PickWithKeys(d, 1007, {Qt::Key_Right, Qt::Key_Right});
        PickWithKeys(d, 1011, {Qt::Key_Right, Qt::Key_Right, Qt::Key_Right});
        PickWithKeys(d, 1001, {Qt::Key_Left, Qt::Key_Left, Qt::Key_Left});
        QTest::mouseClick(d.findChild<QCheckBox*>("1021"), Qt::LeftButton);
        Click(d, "1");
    });
    EXPECT_EQ(settings.m_colorDefault, CLR_DEFAULT);
    EXPECT_EQ(settings.m_colorOut, ColorTable[0].m_color);
    EXPECT_EQ(settings.m_colorHex, ColorTable[39].m_color);
    EXPECT_EQ(settings.m_colorRaw, ColorTable[1].m_color);
    EXPECT_EQ(settings.m_colorSymbology, ColorTable[3].m_color);
    EXPECT_EQ(settings.m_colorLabel, ColorTable[4].m_color);
    EXPECT_EQ(settings.m_triggerOffAtExit, 1);
    EXPECT_FALSE(settings.m_fontChanged);

    // And the store gets the Automatic word unchanged when the record is saved.
    CMemorySettingsStore store;
    settings.SetStore(&store);
    settings.m_section = "Settings";
    ASSERT_TRUE(settings.Save());
    EXPECT_EQ(uint32_t(store.GetProfileInt("Settings", "ColorDefault", 0)), 0xFF000000u);

    // The output window shows text of that colour in its own text colour.
    COutputWindow output;
    output.SetColours(settings);
    output.AppendText("auto", OutputRole::Default, false);
    output.AppendText("hex", OutputRole::Hex, false);
    output.FlushOutput();
    QTextCursor cursor(output.document());
    cursor.setPosition(2);
    EXPECT_FALSE(cursor.charFormat().hasProperty(QTextFormat::ForegroundBrush));
    cursor.setPosition(6);
    EXPECT_EQ(cursor.charFormat().foreground().color(), QColor(Qt::white));
}

TEST(CPreferencesDlg, CancelKeepsEverything) {
    CDisplaySettings settings = DistinctSettings();
    settings.m_fontChanged = true;
    const CDisplaySettings before = settings;
    EditWith(settings, [](CPreferencesDlg& d) {
        PickWithKeys(d, 1003, {Qt::Key_Left, Qt::Key_Left, Qt::Key_Left});
        QTest::mouseClick(d.findChild<QCheckBox*>("1021"), Qt::LeftButton);
        TypeInto(Combo(d, "1024"), "20");
        TypeInto(Combo(d, "1023"), "Other");
        Click(d, "2");
    });
    EXPECT_EQ(settings.m_colorLabel, before.m_colorLabel);
    EXPECT_EQ(settings.m_colorDefault, before.m_colorDefault);
    EXPECT_EQ(settings.m_triggerOffAtExit, before.m_triggerOffAtExit);
    EXPECT_EQ(settings.m_fontPoints, before.m_fontPoints);
    EXPECT_EQ(settings.m_fontName, before.m_fontName);
    EXPECT_TRUE(settings.m_fontChanged);

    // Escape is Cancel too.
    EditWith(settings, [](CPreferencesDlg& d) {
        TypeInto(Combo(d, "1024"), "20");
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    EXPECT_EQ(settings.m_fontPoints, before.m_fontPoints);
}

} // namespace
