#pragma once

#include "output/COutputSink.h"

#include <QElapsedTimer>
#include <QHash>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTimer>

#include <cstdint>
#include <string>

// The output window (control 1020): an editable text area of coloured runs. Every run is one
// insertion at the current selection with the default character format plus its own colour and
// boldness. The content is never trimmed.
//
// Output arrives in bursts of small insertions (a label line is five or more runs, and a fast
// reader delivers thousands of lines a second). The document takes every insertion at once, but
// the insertions share one edit block that stays open for at most a display frame, so the text
// is laid out, scrolled and repainted once per frame instead of once per run or per line.
// Anything that reads the layout (painting, resizing, user input, FlushOutput) closes the open
// block first; a repaint of the window that comes earlier waits for the end of the frame.
class COutputWindow : public QPlainTextEdit, public COutputSink {
    Q_OBJECT
public:
    explicit COutputWindow(QWidget* parent = nullptr);
    ~COutputWindow() override;

    void AppendText(const std::string& text, uint32_t colour, bool bold) override;
    void AppendNewLine() override;
    void ScrollToEnd() override;

    // Face and size (tenths of a point) of the default character format; every run shows in
    // them. An empty face or a size out of range falls back to a fixed-pitch 10 pt.
    void SetOutputFont(const std::string& face, int32_t tenthsOfPoint);
    // "Clear Output": selects all text and deletes it.
    void ClearOutput();
    // Lays out and scrolls what was appended so far now rather than at the end of the frame.
    void FlushOutput();

    // The character format a run of `colour` and `bold` takes on top of the default format.
    static QTextCharFormat RunFormat(uint32_t colour, bool bold);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BeginOutputEdit();
    QTextCursor& InsertionCursor();
    const QTextCharFormat& CachedRunFormat(uint32_t colour, bool bold);
    void ApplyPendingScroll();
    void RepaintDeferredWindow();

    QTextCursor m_editCursor; // holds the open edit block
    QTextCursor m_insertCursor;
    QHash<quint64, QTextCharFormat> m_runFormats;
    bool m_editOpen = false;
    QTimer m_flushTimer;
    QElapsedTimer m_sinceFlush;
    QPointer<QWidget> m_deferredRepaint; // the window whose repaint waits for the next flush
    bool m_repaintOwed = false;          // that repaint has been asked for again
    // Scrolling requested since the last flush: ScrollToEnd brings the block that was last at
    // that moment into view; each run then scrolls one more line.
    bool m_scrollToEnd = false;
    int m_scrollEndBlock = 0;
    int m_pendingLineScrolls = 0;
    bool m_unmodifiedAtFlush = false; // ScrollToEnd came after the last insertion
};
