// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "outputwindow/COutputWindow.h"
#include "settings/CDisplaySettings.h"
#include "support/gui/DocumentRuns.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <vector>

namespace {

class COutputWindowTest : public ::testing::Test {
protected:
    COutputWindowTest() {
        m_window.SetOutputFont("Courier New", 100);
        m_window.resize(400, 200);
        m_window.show();
    }

    void Append(const char* text, COLORREF colour, bool bold = false) {
        m_window.AppendRun(text, colour, bold);
    }
    QString Text() const { return m_window.document()->toRawText(); }

    const COLORREF kNavy = RGB(0, 0, 128);
    const COLORREF kGrey = RGB(128, 128, 128);
    const COLORREF kRed = RGB(255, 0, 0);
    COutputWindow m_window;
};

TEST_F(COutputWindowTest, AppendMixedWritesOneColouredRunPerRunOfLikeBytes) {
    const uint8_t bytes[] = {0x41, 0x42, 0x02, 0x43, 0x0D, 0x0A};
    m_window.AppendMixed(bytes, sizeof bytes, OutputRole::Label, true);
    const std::vector<CRun> expected = {
        {"AB", kNavy, true}, {"[02]", kGrey, true}, {"C", kNavy, true}, {"[0D][0A]", kGrey, true}};
    EXPECT_EQ(Runs(*m_window.document()), expected);
}

TEST_F(COutputWindowTest, BytesShowAsLatin1OrAsHexGroups) {
    const uint8_t bytes[] = {0x00, 0x20, 0x7F, 0x80, 0x9F, 0xA0, 0xFF, 0x7E};
    m_window.AppendMixed(bytes, sizeof bytes, OutputRole::Label, false);
    EXPECT_EQ(Text(), QString::fromUtf8("[00] [7F][80][9F]\u00a0\u00ff~"));
    const uint8_t hex[] = {0x01, 0xAB, 0xFF};
    m_window.AppendHex(hex, sizeof hex, OutputRole::Hex, false);
    EXPECT_TRUE(Text().endsWith("[01][AB][FF]"));
}

TEST_F(COutputWindowTest, RolesTakeTheColoursOfTheSettingsAtTheMomentOfWriting) {
    CDisplaySettings colours;
    m_window.SetColours(colours);
    m_window.AppendText("label", OutputRole::Label, true);
    colours.m_colorLabel = kRed;
    colours.m_colorSymbology = kGrey;
    m_window.AppendText("label", OutputRole::Label, true);
    m_window.AppendText("name", OutputRole::Symbology, false);
    m_window.AppendText(" - ", OutputRole::Default, false);
    const std::vector<CRun> expected = {{"label", kNavy, true},
                                        {"label", kRed, true},
                                        {"name", kGrey, false},
                                        {" - ", RGB(0, 0, 0), false}};
    EXPECT_EQ(Runs(*m_window.document()), expected);
}

TEST_F(COutputWindowTest, AColourChangeAffectsOnlyLaterText) {
    Append("label", kNavy, true);
    Append("label", kRed, true);
    Append(" - ", RGB(0, 0, 0));
    const std::vector<CRun> expected = {
        {"label", kNavy, true}, {"label", kRed, true}, {" - ", RGB(0, 0, 0), false}};
    EXPECT_EQ(Runs(*m_window.document()), expected);
}

TEST_F(COutputWindowTest, AutomaticColourShowsInTheWidgetsTextColour) {
    Append("auto", CLR_DEFAULT, true);
    Append("black", RGB(0, 0, 0));
    const std::vector<CRun> expected = {{"auto", std::nullopt, true},
                                        {"black", RGB(0, 0, 0), false}};
    EXPECT_EQ(Runs(*m_window.document()), expected);
}

TEST_F(COutputWindowTest, OutputGoesAtTheEndWhateverTheUserSelectedOrClicked) {
    Append("hello world", kNavy);
    Append("\r\n", 0);
    Append("next", kNavy);
    m_window.FlushOutput();

    // A selection in the middle, then a caret there: output never lands in them.
    QTextCursor selection(m_window.document());
    selection.setPosition(6);
    selection.setPosition(11, QTextCursor::KeepAnchor);
    m_window.setTextCursor(selection);
    Append("XY", kRed, true);
    Append("!", kGrey);
    m_window.FlushOutput();
    EXPECT_EQ(m_window.textCursor().selectedText(), "world");
    selection.setPosition(1);
    m_window.setTextCursor(selection);
    Append("b", kRed);
    m_window.FlushOutput();
    EXPECT_EQ(m_window.textCursor().position(), 1);
    const std::vector<CRun> expected = {{"hello world", kNavy, false}, {"\n", std::nullopt, false},
                                        {"next", kNavy, false},        {"XY", kRed, true},
                                        {"!", kGrey, false},           {"b", kRed, false}};
    EXPECT_EQ(Runs(*m_window.document()), expected);

    // Select All, the usual way to copy the log out, then scans: the earlier output is all
    // there and the selection still holds exactly it.
    m_window.selectAll();
    const QString before = m_window.toPlainText();
    for (int i = 0; i < 3; ++i) {
        Append("scan", kNavy, true);
        m_window.AppendNewLine();
        m_window.ScrollToEnd();
    }
    m_window.FlushOutput();
    EXPECT_EQ(m_window.toPlainText(), before + "scan\nscan\nscan\n");
    EXPECT_EQ(m_window.textCursor().selectionStart(), 0);
    EXPECT_EQ(m_window.textCursor().selectionEnd(), int(before.size()));
}

TEST_F(COutputWindowTest, TheViewFollowsOutputOnlyWhileItShowsTheEnd) {
    for (int i = 0; i < 200; ++i) {
        Append("line", kNavy);
        Append("\r\n", 0);
    }
    m_window.ScrollToEnd();
    m_window.FlushOutput();
    QScrollBar* bar = m_window.verticalScrollBar();
    ASSERT_GT(bar->maximum(), 100);
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_FALSE(m_window.document()->isModified());

    Append("label", kNavy, true);
    m_window.AppendNewLine();
    m_window.ScrollToEnd();
    QApplication::processEvents();
    m_window.FlushOutput();
    EXPECT_EQ(bar->value(), bar->maximum());

    // Scrolled up, the view stays, horizontally too, however much arrives.
    bar->setValue(40);
    m_window.horizontalScrollBar()->setValue(0);
    for (int i = 0; i < 50; ++i) {
        Append("last line of a report that is much wider than the window is", kRed, true);
        m_window.AppendNewLine();
        m_window.ScrollToEnd();
        QApplication::processEvents();
    }
    m_window.FlushOutput();
    EXPECT_EQ(bar->value(), 40);
    EXPECT_EQ(m_window.horizontalScrollBar()->value(), 0);
    // A new line keeps the format of the text before it.
    const QTextBlock last = m_window.document()->lastBlock();
    EXPECT_EQ(last.text(), "");
    EXPECT_EQ(ColourOf(last.previous().charFormat()), kRed);
}

TEST_F(COutputWindowTest, EmptyTextChangesNothing) {
    Append("abc", kNavy);
    m_window.FlushOutput();
    QTextCursor selection(m_window.document());
    selection.setPosition(1);
    selection.setPosition(2, QTextCursor::KeepAnchor);
    m_window.setTextCursor(selection);
    Append("", kRed);
    m_window.AppendHex(nullptr, 0, OutputRole::Raw, false);
    EXPECT_EQ(Text(), "abc");
    EXPECT_EQ(m_window.textCursor().selectedText(), "b");
}

TEST_F(COutputWindowTest, ClearOutputEmptiesTheWindowAndOutputStartsAgain) {
    for (int i = 0; i < 50; ++i) {
        Append("line\r\n", kNavy);
    }
    m_window.SetOutputFont("DejaVu Sans Mono", 120);
    m_window.ClearOutput();
    EXPECT_EQ(Text(), "");
    EXPECT_DOUBLE_EQ(m_window.document()->defaultFont().pointSizeF(), 12.0);
    EXPECT_EQ(m_window.textCursor().position(), 0);
    Append("again", kRed);
    const std::vector<CRun> expected = {{"again", kRed, false}};
    EXPECT_EQ(Runs(*m_window.document()), expected);
}

TEST_F(COutputWindowTest, TheUserCanTypeAndTheCaretStaysWhereTheyTyped) {
    Append("scan", kNavy, true);
    // Typed keys arrive while the output is still open for more; the caret was never moved,
    // so they land at the start.
    QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, "x");
    QApplication::sendEvent(&m_window, &press);
    EXPECT_EQ(Text(), "xscan");

    // At the end, a note typed between scans stays where it was typed.
    m_window.moveCursor(QTextCursor::End);
    QKeyEvent y(QEvent::KeyPress, Qt::Key_Y, Qt::NoModifier, "y");
    QApplication::sendEvent(&m_window, &y);
    Append("more", kNavy, true);
    QApplication::sendEvent(&m_window, &y);
    EXPECT_EQ(Text(), "xscanyymore");

    m_window.selectAll();
    m_window.copy();
    EXPECT_EQ(QApplication::clipboard()->text(), "xscanyymore");
    EXPECT_FALSE(m_window.isReadOnly());
}

TEST_F(COutputWindowTest, FontComesFromTheSettingsAndBadValuesFallBack) {
    Append("kept", kRed, true);
    m_window.SetOutputFont("DejaVu Sans Mono", 85);
    EXPECT_EQ(m_window.font().family(), "DejaVu Sans Mono");
    EXPECT_DOUBLE_EQ(m_window.font().pointSizeF(), 8.5);
    EXPECT_DOUBLE_EQ(m_window.document()->defaultFont().pointSizeF(), 8.5);
    const std::vector<CRun> expected = {{"kept", kRed, true}};
    EXPECT_EQ(Runs(*m_window.document()), expected);

    m_window.SetOutputFont("", 0);
    EXPECT_DOUBLE_EQ(m_window.font().pointSizeF(), 10.0);
    EXPECT_FALSE(m_window.font().family().isEmpty());
    m_window.SetOutputFont("Courier New", 1000000);
    EXPECT_DOUBLE_EQ(m_window.font().pointSizeF(), 10.0);
}

TEST_F(COutputWindowTest, ManyLinesInOneTurnAreAllKept) {
    CDisplaySettings colours;
    for (int i = 0; i < 5000; ++i) {
        const uint8_t label[] = {'0', uint8_t('0' + i % 10), 0x0D};
        m_window.AppendMixed(label, sizeof label, OutputRole::Label, true);
        Append("\r\n", colours.m_colorDefault);
        m_window.ScrollToEnd();
    }
    QApplication::processEvents();
    m_window.FlushOutput();
    EXPECT_EQ(m_window.document()->blockCount(), 5001);
    EXPECT_EQ(m_window.document()->findBlockByNumber(4999).text(), "09[0D]");
    EXPECT_EQ(m_window.verticalScrollBar()->value(), m_window.verticalScrollBar()->maximum());
}

// Counts the paint events of one widget.
class CPaintCounter : public QObject {
public:
    explicit CPaintCounter(QWidget* widget) : m_widget(widget) { widget->installEventFilter(this); }
    int Count() const { return m_count; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_widget && event->type() == QEvent::Paint) {
            ++m_count;
        }
        return false;
    }

private:
    QWidget* m_widget;
    int m_count = 0;
};

TEST_F(COutputWindowTest, AStreamOfOutputIsStillPainted) {
    QApplication::processEvents();
    CPaintCounter paints(m_window.viewport());
    QElapsedTimer waited;
    waited.start();
    // Output in every turn holds the window's repaint back for a frame at most.
    while (paints.Count() < 3 && waited.elapsed() < 5000) {
        Append("line", kNavy);
        Append("\r\n", 0);
        m_window.ScrollToEnd();
        QApplication::processEvents();
    }
    EXPECT_GE(paints.Count(), 3);
}

} // namespace
