// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <QObject>
#include <QString>

#include <vector>

class QTextDocument;

// The matches of a search text in the output window's document. Every position where the
// text occurs counts, overlapping ones included, so that each match depends only on the text
// around it: an edit is answered by searching just the changed stretch again, and a window
// that keeps growing costs only what was added. A match never spans a line end.
class COutputSearch : public QObject {
    Q_OBJECT
public:
    enum class CStep { Found, Wrapped, EndReached, NoMatch };

    explicit COutputSearch(QTextDocument& document, QObject* parent = nullptr);

    // Searches the whole document for `text`; no match is current.
    void SetText(const QString& text, bool matchCase);
    const QString& Text() const { return m_text; }
    bool MatchCase() const { return m_matchCase; }

    // Start positions in ascending order; each match is Text().size() characters long.
    const std::vector<int>& Matches() const { return m_matches; }
    // Index into Matches() of the current match; -1 when there is none.
    int Current() const { return m_current; }
    int CurrentPosition() const { return m_current < 0 ? -1 : m_matches[size_t(m_current)]; }

    // Makes the first match at or after `position` current (wrapping to the first match).
    void SelectFrom(int position);
    // The next (or previous) match from the current one, or from the point where the current
    // match was edited away. At the end it wraps when `wrap` is set, else it stays.
    CStep Step(bool forward, bool wrap);

Q_SIGNALS:
    // The matches or the current one changed.
    void Changed();

private:
    void OnContentsChange(int position, int removed, int added);
    void Scan(int from, int to, std::vector<int>& found) const;

    QTextDocument& m_document;
    QString m_text;
    bool m_matchCase = false;
    std::vector<int> m_matches;
    int m_current = -1;
    int m_resumeFrom = 0; // where Step goes on when no match is current
};
