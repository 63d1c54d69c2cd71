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
#include <QPlainTextDocumentLayout>
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

TEST_F(COutputFindTest, TheCountFollowsOutputAndTheUsersTypingWhileTheBarIsOpen) {
    for (int i = 0; i < 40; ++i) {
        Line("label", i % 4 == 0 ? "ABC" : "xyz");
    }
    m_window.FlushOutput();
    m_window.verticalScrollBar()->setValue(0);

    OpenFind("abc");
    EXPECT_EQ(Count(), "1 of 10");
    QTest::keyClick(&m_window, Qt::Key_F3);
    QTest::keyClick(&m_window, Qt::Key_F3);
    EXPECT_EQ(Count(), "3 of 10");
    const int current = m_window.Search().CurrentPosition();

    // Reports arrive while the bar is open: their matches come after every other.
    Line("ABC", "");
    Line("zzz", "abc");
    QCoreApplication::processEvents();
    m_window.FlushOutput();
    EXPECT_EQ(Count(), "3 of 12");
    EXPECT_EQ(m_window.Search().CurrentPosition(), current);
    EXPECT_EQ(m_window.document()->lastBlock().previous().text(), "zzzabc - EAN");

    // The user types a match into line 3: the current match keeps its place in the text.
    QTextCursor typing(m_window.document()->findBlockByNumber(3));
    typing.insertText("abc");
    EXPECT_EQ(Count(), "4 of 13");
    EXPECT_EQ(m_window.Search().CurrentPosition(), current + 3);
    QTest::keyClick(&m_window.FindBar().TextField(), Qt::Key_Return);
    EXPECT_EQ(Count(), "5 of 13");
    EXPECT_EQ(m_window.Search().Matches(), FreshMatches());
}

TEST_F(COutputFindTest, ALongSearchCountsUpAndShowsTheFirstMatchInViewOnceFound) {
    for (int i = 0; i < 100; ++i) {
        Line(i % 10 == 3 ? "needle" : "hay", "");
    }
    m_window.FlushOutput();
    m_window.Search().SetSliceLimit(7);
    OpenFind("needle");
    ASSERT_TRUE(m_window.Search().Searching());
    EXPECT_EQ(Count(), "1 match");
    while (m_window.Search().Searching()) {
        QCoreApplication::processEvents();
    }
    // The view was at the end: the last needle is the first match in view.
    EXPECT_EQ(Count(), "10 of 10");
    const int line =
        m_window.document()->findBlock(m_window.Search().CurrentPosition()).blockNumber();
    EXPECT_EQ(line, 93);
    EXPECT_GE(line, m_window.verticalScrollBar()->value());
}

// The search alone, sliced small: matches stream in, edits on either side of the front and
// across it, and steps that wait for the end.
TEST(COutputSearchTest, ASlicedSearchEndsAsAFreshOneAndStepsWaitForTheirMatch) {
    QTextDocument document;
    // A document tells of its changes only once it has a layout.
    document.setDocumentLayout(new QPlainTextDocumentLayout(&document));
    QTextCursor end(&document);
    for (int i = 0; i < 100; ++i) {
        end.insertText(i % 10 == 3 ? "needle\n" : "hay\n");
    }
    COutputSearch search(document);
    std::vector<COutputSearch::CStep> answers;
    QObject::connect(&search, &COutputSearch::StepDone,
                     [&](COutputSearch::CStep step) { answers.push_back(step); });
    const auto settle = [&] {
        while (search.Searching()) {
            QCoreApplication::processEvents();
        }
    };
    const auto fresh = [&] {
        COutputSearch whole(document);
        whole.SetText(search.Text(), false);
        return whole.Matches();
    };
    using CStep = COutputSearch::CStep;

    search.SetSliceLimit(7);
    search.SetText("NEEDLE", false);
    EXPECT_TRUE(search.Searching());
    EXPECT_EQ(search.Matches().size(), 1u);
    const QTextCursor line50(document.findBlockByNumber(50));
    EXPECT_EQ(search.SelectFrom(line50.position()), CStep::Searching);
    QTextCursor(document.findBlockByNumber(1)).insertText("xneedle"); // behind the front
    end.insertText("needle\n");                                       // beyond it
    QTextCursor across(document.findBlockByNumber(5));
    across.setPosition(document.findBlockByNumber(9).position() + 2, QTextCursor::KeepAnchor);
    across.insertText("eedneedl");
    settle();
    const std::vector<int> all = fresh();
    EXPECT_EQ(search.Matches(), all);
    ASSERT_EQ(answers, std::vector<CStep>{CStep::Found});
    EXPECT_EQ(search.CurrentPosition(),
              *std::lower_bound(all.begin(), all.end(), line50.position()));

    // Forward from the last match waits for the end, then wraps or stays.
    search.SetText("needle", false);
    EXPECT_EQ(search.SelectFrom(document.characterCount()), CStep::Searching);
    settle();
    EXPECT_EQ(answers.back(), CStep::Found);
    EXPECT_EQ(search.Current(), 0);
    EXPECT_EQ(search.Step(false, false), CStep::EndReached);
    EXPECT_EQ(search.Step(false, true), CStep::Wrapped);
    EXPECT_EQ(search.Current(), int(all.size()) - 1);
    search.SetText("needle", false);
    EXPECT_EQ(search.Step(false, true), CStep::Searching); // the last match is known at the end
    settle();
    EXPECT_EQ(answers.back(), CStep::Wrapped);
    EXPECT_EQ(search.Current(), int(all.size()) - 1);
    EXPECT_EQ(search.Step(true, false), CStep::EndReached);
    search.SetText("straw", false);
    EXPECT_EQ(search.Step(true, true), CStep::Searching);
    settle();
    EXPECT_EQ(answers.back(), CStep::NoMatch);
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
        cursor.insertText(text);
        EXPECT_EQ(m_window.Search().Matches(), FreshMatches()) << "after " << text << " at " << at;
    }
    QTextCursor selection(m_window.document());
    selection.setPosition(3);
    selection.setPosition(20, QTextCursor::KeepAnchor);
    selection.insertText("aaaaa");
    EXPECT_EQ(m_window.Search().Matches(), FreshMatches());
    // Output goes on at the end.
    m_window.AppendRun("aa", kNavy, false);
    m_window.FlushOutput();
    EXPECT_EQ(m_window.Search().Matches(), FreshMatches());

    m_window.ClearOutput();
    EXPECT_TRUE(m_window.Search().Matches().empty());
    EXPECT_EQ(Count(), "No matches");
}

TEST_F(COutputFindTest, TheViewShowsTheCurrentMatchMarkedAndEscapeAnywhereClosesTheBar) {
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

    // Escape with the focus in the text closes the bar like Escape in its field.
    m_window.setFocus();
    QTest::keyClick(&m_window, Qt::Key_Escape);
    EXPECT_TRUE(m_window.FindBar().isHidden());
    QTest::keyClick(&m_window, Qt::Key_F3);
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
