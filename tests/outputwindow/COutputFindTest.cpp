// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "outputwindow/COutputFindBar.h"
#include "outputwindow/COutputSearch.h"
#include "outputwindow/COutputWindow.h"
#include "settings/CDisplaySettings.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <vector>

namespace {

const COLORREF kNavy = RGB(0, 0, 128);
const COLORREF kGrey = RGB(128, 128, 128);

class COutputFindTest : public ::testing::Test {
protected:
    COutputFindTest() {
        m_window.SetOutputFont("", 100);
        m_window.resize(500, 240);
        m_window.show();
        m_window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&m_window));
    }

    // One label line as a device writes it: the label split over runs, then " - " and a name.
    void Line(const char* first, const char* second) {
        m_window.AppendRun(first, kNavy, true);
        m_window.AppendRun(second, kGrey, false);
        m_window.AppendRun(" - ", RGB(0, 0, 0), false);
        m_window.AppendRun("EAN", RGB(0, 0, 192), false);
        m_window.AppendNewLine();
        m_window.ScrollToEnd();
    }
    void OpenFind(const QString& text) {
        QTest::keyClick(&m_window, Qt::Key_F, Qt::ControlModifier);
        ASSERT_FALSE(m_window.FindBar().isHidden());
        QLineEdit& field = m_window.FindBar().TextField();
        ASSERT_TRUE(field.hasFocus());
        QTest::keyClicks(&field, text);
    }
    QString Count() { return m_window.FindBar().CountText(); }
    QCheckBox& Box(const QString& text) {
        for (QCheckBox* box : m_window.FindBar().findChildren<QCheckBox*>()) {
            if (box->text() == text) {
                return *box;
            }
        }
        ADD_FAILURE() << "no check box " << text.toStdString();
        return *m_window.FindBar().findChild<QCheckBox*>();
    }
    // Every start position of `text`, searched afresh.
    std::vector<int> FreshMatches() {
        COutputSearch fresh(*m_window.document());
        fresh.SetText(m_window.Search().Text(), m_window.Search().MatchCase());
        return fresh.Matches();
    }

    COutputWindow m_window;
};

TEST_F(COutputFindTest, MatchesSpanRunsAndStepWithWrapOrStopAtTheEnd) {
    Line("ab", "C1");  // "abC1" in two runs
    Line("xa", "bc2"); // "xabc2"
    Line("AB", "C3");
    m_window.FlushOutput();
    const int caret = m_window.textCursor().position();

    OpenFind("abc");
    EXPECT_EQ(Count(), "1 of 3");
    QLineEdit& field = m_window.FindBar().TextField();
    QTest::keyClick(&field, Qt::Key_Return);
    EXPECT_EQ(Count(), "2 of 3");
    EXPECT_EQ(m_window.Search().CurrentPosition(),
              m_window.document()->findBlockByNumber(1).position() + 1);
    QTest::keyClick(&m_window, Qt::Key_F3);
    EXPECT_EQ(Count(), "3 of 3");
    QTest::keyClick(&field, Qt::Key_Return);
    EXPECT_EQ(Count(), "1 of 3, continued from the top");
    QTest::keyClick(&field, Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(Count(), "3 of 3, continued from the bottom");

    QTest::mouseClick(&Box("Wrap around"), Qt::LeftButton);
    QTest::keyClick(&m_window, Qt::Key_F3);
    EXPECT_EQ(Count(), "3 of 3, reached the end");
    QTest::keyClick(&m_window, Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(Count(), "2 of 3");

    QTest::mouseClick(&Box("Match case"), Qt::LeftButton);
    EXPECT_EQ(Count(), "1 of 1");
    field.clear();
    QTest::keyClicks(&field, "ab");
    EXPECT_EQ(Count(), "1 of 2");
    QTest::keyClicks(&field, "z");
    EXPECT_EQ(Count(), "No matches");

    // Searching never touched the caret, and finding selected nothing.
    EXPECT_EQ(m_window.textCursor().position(), caret);
    EXPECT_FALSE(m_window.textCursor().hasSelection());
}

TEST_F(COutputFindTest, OutputGoesOnAtTheCaretWhileTheCountFollowsIt) {
    for (int i = 0; i < 40; ++i) {
        Line("label", i % 4 == 0 ? "ABC" : "xyz");
    }
    m_window.FlushOutput();
    // The user clicked into line 3: output is inserted there from now on.
    QTextCursor caret(m_window.document()->findBlockByNumber(3));
    m_window.setTextCursor(caret);
    const int insertAt = caret.position();
    m_window.verticalScrollBar()->setValue(0);

    OpenFind("abc");
    EXPECT_EQ(Count(), "1 of 10");
    QTest::keyClick(&m_window, Qt::Key_F3);
    QTest::keyClick(&m_window, Qt::Key_F3);
    EXPECT_EQ(Count(), "3 of 10");
    const int current = m_window.Search().CurrentPosition();

    // Reports arrive while the bar is open: two matches land before the current one, which
    // keeps its place in the text.
    Line("ABC", "");
    Line("zzz", "abc");
    QCoreApplication::processEvents();
    m_window.FlushOutput();
    EXPECT_EQ(Count(), "5 of 12");
    const int inserted = m_window.document()->findBlockByNumber(5).position() - insertAt;
    EXPECT_EQ(m_window.Search().CurrentPosition(), current + inserted);
    EXPECT_EQ(m_window.document()->findBlockByNumber(3).text(), "ABC - EAN");
    EXPECT_EQ(m_window.textCursor().position(), insertAt + inserted);

    // Stepping on goes through the new matches too.
    QTest::keyClick(&m_window.FindBar().TextField(), Qt::Key_Return);
    EXPECT_EQ(Count(), "6 of 12");
    EXPECT_EQ(m_window.Search().Matches(), FreshMatches());
}

TEST_F(COutputFindTest, EditsAnywhereKeepTheMatchesThoseOfAFreshSearch) {
    for (int i = 0; i < 10; ++i) {
        Line("aa", "aa");
    }
    OpenFind("aaa");
    ASSERT_EQ(m_window.Search().Matches(), FreshMatches());
    // Insertions that split, join, extend and replace matches, and a selection replaced.
    const std::vector<std::pair<int, const char*>> edits = {
        {2, "b"}, {0, "a"}, {5, "aaaa"}, {30, "x"}, {1, "a\r\naa"}};
    for (const auto& [at, text] : edits) {
        QTextCursor cursor(m_window.document());
        cursor.setPosition(at);
        m_window.setTextCursor(cursor);
        m_window.AppendRun(text, kNavy, false);
        m_window.FlushOutput();
        EXPECT_EQ(m_window.Search().Matches(), FreshMatches()) << "after " << text << " at " << at;
    }
    QTextCursor selection(m_window.document());
    selection.setPosition(3);
    selection.setPosition(20, QTextCursor::KeepAnchor);
    m_window.setTextCursor(selection);
    m_window.AppendRun("aaaaa", kNavy, false);
    m_window.FlushOutput();
    EXPECT_EQ(m_window.Search().Matches(), FreshMatches());

    m_window.ClearOutput();
    EXPECT_TRUE(m_window.Search().Matches().empty());
    EXPECT_EQ(Count(), "No matches");
}

TEST_F(COutputFindTest, TheViewShowsTheCurrentMatchMarkedAndEscapeClosesTheBar) {
    for (int i = 0; i < 200; ++i) {
        Line(i == 20 || i == 150 ? "needle" : "hay", "");
    }
    m_window.FlushOutput();
    ASSERT_GT(m_window.verticalScrollBar()->value(), 150); // output scrolled to the end

    const auto inView = [this](int line) {
        const int top = m_window.verticalScrollBar()->value();
        return top <= line &&
               line < top + m_window.viewport()->height() / m_window.fontMetrics().lineSpacing();
    };
    // No match below the view: the search begins again at the top.
    OpenFind("needle");
    EXPECT_EQ(Count(), "1 of 2");
    EXPECT_TRUE(inView(20));
    QTest::keyClick(&m_window.FindBar().TextField(), Qt::Key_Return);
    EXPECT_EQ(Count(), "2 of 2");
    EXPECT_TRUE(inView(150));
    QTest::keyClick(&m_window.FindBar().TextField(), Qt::Key_Return);
    EXPECT_EQ(Count(), "1 of 2, continued from the top");
    EXPECT_TRUE(inView(20));
    QCoreApplication::processEvents();
    const QList<QTextEdit::ExtraSelection> marks = m_window.extraSelections();
    ASSERT_EQ(marks.size(), 1);
    EXPECT_EQ(marks[0].cursor.selectionStart(), m_window.Search().CurrentPosition());
    EXPECT_EQ(marks[0].cursor.selectedText(), "needle");
    // The bar sits below the text, inside the window.
    const QRect bar = m_window.FindBar().geometry();
    EXPECT_GE(bar.top(), m_window.viewport()->geometry().bottom());
    EXPECT_LE(bar.bottom(), m_window.height());

    QTest::keyClick(&m_window.FindBar().TextField(), Qt::Key_Escape);
    EXPECT_TRUE(m_window.FindBar().isHidden());
    EXPECT_TRUE(m_window.hasFocus());
    EXPECT_TRUE(m_window.extraSelections().isEmpty());
    EXPECT_EQ(m_window.viewport()->geometry().bottom(),
              m_window.height() - m_window.frameWidth() - 1 -
                  (m_window.horizontalScrollBar()->isVisible()
                       ? m_window.horizontalScrollBar()->height()
                       : 0));
    // F3 opens it again on the first match in view, searched afresh.
    QTest::keyClick(&m_window, Qt::Key_F3);
    EXPECT_FALSE(m_window.FindBar().isHidden());
    EXPECT_EQ(Count(), "1 of 2");
}

} // namespace
