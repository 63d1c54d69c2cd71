// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "output/COutputSink.h"
#include "settings/CDisplaySettings.h"

#include <QElapsedTimer>
#include <QHash>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTimer>

class COutputFindBar;
class COutputHintBar;
class COutputSearch;
class QAction;
class QMenu;

#include <cstdint>
#include <string>

// The output window (control 1020): an editable text area of coloured runs. Every run is
// appended at the end of the text with the default character format plus its own colour and
// boldness, wherever the user clicked or selected: the user's selection and caret stay on the
// text they were on, and the view follows new output only while it shows the last line, as a
// terminal does. The user can type anywhere. The content is never trimmed.
//
// Output arrives in bursts of small insertions (a label line is five or more runs, and a fast
// reader delivers thousands of lines a second). The document takes every insertion at once, but
// the insertions share one edit block that stays open for at most a display frame, so the text
// is laid out, scrolled and repainted once per frame instead of once per run or per line.
// Anything that reads the layout (painting, resizing, user input, FlushOutput) closes the open
// block first; a repaint of the window that comes earlier waits for the end of the frame.
//
// Its context menu copies, selects all, finds, saves and clears. The find bar at its bottom
// marks matches without touching the selection. The window keeps black text on white whatever
// the desktop's colours, as the stored colours assume.
class COutputWindow : public QPlainTextEdit, public COutputSink {
    Q_OBJECT
public:
    explicit COutputWindow(QWidget* parent = nullptr);
    ~COutputWindow() override;

    // A run of `role` in the colour the display settings give that role at this moment.
    void AppendText(const std::string& text, OutputRole role, bool bold) override;
    // A run of `colour` and `bold` on top of the default format.
    void AppendRun(const std::string& text, uint32_t colour, bool bold);
    void AppendNewLine() override;
    // Output is always appended at the end; this only marks the document unmodified.
    void ScrollToEnd() override;

    // The settings whose colours the roles take; the defaults until this is called.
    void SetColours(const CDisplaySettings& colours) { m_colours = &colours; }

    // Face and size (tenths of a point) of the default character format; every run shows in
    // them. An empty face or a size out of range falls back to a fixed-pitch 10 pt.
    void SetOutputFont(const std::string& face, int32_t tenthsOfPoint);
    // "Clear Output": selects all text and deletes it.
    void ClearOutput();
    // Lays out and scrolls what was appended so far now rather than at the end of the frame.
    void FlushOutput();

    // The character format a run of `colour` and `bold` takes on top of the default format.
    static QTextCharFormat RunFormat(uint32_t colour, bool bold);

    // Find..., Find Next, Find Previous and Save Output As... answer their shortcuts anywhere
    // in the main window.
    QAction& FindAction() { return *m_findAction; }
    QAction& FindNextAction() { return *m_findNextAction; }
    QAction& FindPreviousAction() { return *m_findPreviousAction; }
    QAction& SaveAction() { return *m_saveAction; }
    COutputFindBar& FindBar() { return *m_findBar; }
    // The bar above the output that offers "Use Complete Decoding".
    COutputHintBar& HintBar() { return *m_hintBar; }
    COutputSearch& Search() { return *m_search; }

Q_SIGNALS:
    // "Save Output As..." was chosen.
    void SaveOutputRequested();
    // The context menu is about to open: its owner may add items at its end.
    void ContextMenuOpening(QMenu& menu);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void CreateActions();
    bool ClosesFindBar(QObject* watched, const QEvent& event) const;
    void PlaceFindBar();
    int ViewTop();
    void ShowCurrentMatch();
    void ScheduleMatchMarks();
    void MarkVisibleMatches();
    void BeginOutputEdit();
    QTextCursor& InsertionCursor();
    const QTextCharFormat& CachedRunFormat(uint32_t colour, bool bold);
    void KeepUsersPlaceAfterOutput();
    void RepaintDeferredWindow();

    const CDisplaySettings* m_colours;
    QTextCursor m_editCursor; // holds the open edit block
    QTextCursor m_insertCursor;
    QHash<quint64, QTextCharFormat> m_runFormats;
    bool m_editOpen = false;
    QTimer m_flushTimer;
    QElapsedTimer m_sinceFlush;
    QPointer<QWidget> m_deferredRepaint; // the window whose repaint waits for the next flush
    bool m_repaintOwed = false;          // that repaint has been asked for again
    // Taken when an output edit opens: whether the view showed the last line, and the user's
    // selection when an end of it sat at the end of the text, where output would carry it on.
    bool m_followOutput = false;
    bool m_keepUsersPlace = false;
    int m_userAnchor = 0;
    int m_userPosition = 0;
    bool m_unmodifiedAtFlush = false; // ScrollToEnd came after the last insertion

    COutputSearch* m_search = nullptr;
    COutputFindBar* m_findBar = nullptr;
    COutputHintBar* m_hintBar = nullptr;
    QTimer m_markTimer; // marks the visible matches once the changes of a turn are in
    QAction* m_copyAction = nullptr;
    QAction* m_selectAllAction = nullptr;
    QAction* m_findAction = nullptr;
    QAction* m_findNextAction = nullptr;
    QAction* m_findPreviousAction = nullptr;
    QAction* m_saveAction = nullptr;
    QAction* m_clearAction = nullptr;
};
