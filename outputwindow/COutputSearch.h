// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <optional>
#include <vector>

class QTextDocument;

// The matches of a search text in the output window's document. Every position where the
// text occurs counts, overlapping ones included, so that each match depends only on the text
// around it: an edit is answered by searching just the changed stretch again, and a window
// that keeps growing costs only what was added. A match never spans a line end.
//
// A new search text never holds up the GUI thread: the document is searched line by line from
// the top in slices of a few milliseconds, and the matches stream in (the count grows) until the
// search reaches the end. Text beyond the search's front is searched when the front gets there;
// a step that needs a match not found yet waits for it and is answered by StepDone.
class COutputSearch : public QObject {
    Q_OBJECT
public:
    enum class CStep { Found, Wrapped, EndReached, NoMatch, Searching };

    explicit COutputSearch(QTextDocument& document, QObject* parent = nullptr);

    // Starts searching the whole document for `text`; no match is current. The first slice
    // runs at once, so a small document is searched through on return.
    void SetText(const QString& text, bool matchCase);
    const QString& Text() const { return m_text; }
    bool MatchCase() const { return m_matchCase; }
    // The search has not reached the end of the document yet.
    bool Searching() const { return m_searching; }

    // At most `lines` lines per slice besides the slice's time (0: the time alone), so that a
    // search can be seen in its middle.
    void SetSliceLimit(int lines) { m_sliceLimit = lines; }

    // Start positions in ascending order; each match is Text().size() characters long.
    const std::vector<int>& Matches() const { return m_matches; }
    // Index into Matches() of the current match; -1 when there is none.
    int Current() const { return m_current; }
    int CurrentPosition() const { return m_current < 0 ? -1 : m_matches[size_t(m_current)]; }

    // Makes the first match at or after `position` current (wrapping to the first match);
    // Searching while that match may not have been found yet.
    CStep SelectFrom(int position);
    // The next (or previous) match from the current one, or from the point where the current
    // match was edited away. At the end it wraps when `wrap` is set, else it stays.
    CStep Step(bool forward, bool wrap);

Q_SIGNALS:
    // The matches or the current one changed.
    void Changed();
    // A step or selection that answered Searching has its answer.
    void StepDone(COutputSearch::CStep step);

private:
    // A step waiting for the search: the first match at or after `from`, or the last before it.
    struct CPendingStep {
        bool forward = true;
        int from = 0;
        bool wrap = true;
        CStep wrapped = CStep::Wrapped; // what a wrap answers
    };

    void OnContentsChange(int position, int removed, int added);
    void Scan(int from, int to, std::vector<int>& found) const;
    void SearchSlice();
    void SearchOnFrom(int position);
    std::optional<CStep> Answer(const CPendingStep& step);
    CStep AnswerOrWait(const CPendingStep& step);

    QTextDocument& m_document;
    QString m_text;
    bool m_matchCase = false;
    std::vector<int> m_matches;
    int m_current = -1;
    int m_resumeFrom = 0; // where Step goes on when no match is current
    bool m_searching = false;
    int m_front = 0; // while searching: the start of the first line not searched yet
    int m_sliceLimit = 0;
    QTimer m_sliceTimer;
    std::optional<CPendingStep> m_pending;
};
