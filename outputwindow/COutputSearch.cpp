// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "outputwindow/COutputSearch.h"

#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

COutputSearch::COutputSearch(QTextDocument& document, QObject* parent)
    : QObject(parent), m_document(document) {
    connect(&m_document, &QTextDocument::contentsChange, this, &COutputSearch::OnContentsChange);
}

void COutputSearch::SetText(const QString& text, bool matchCase) {
    m_text = text;
    m_matchCase = matchCase;
    m_matches.clear();
    m_current = -1;
    m_resumeFrom = 0;
    if (!m_text.isEmpty()) {
        Scan(0, m_document.characterCount() - 1, m_matches);
    }
    Q_EMIT Changed();
}

void COutputSearch::Scan(int from, int to, std::vector<int>& found) const {
    from = std::max(from, 0);
    to = std::min(to, m_document.characterCount() - 1);
    if (to - from < m_text.size()) {
        return;
    }
    // Line ends read as U+2029, which a search text (one line) never contains.
    QTextCursor range(&m_document);
    range.setPosition(from);
    range.setPosition(to, QTextCursor::KeepAnchor);
    const QString text = range.selectedText();
    const Qt::CaseSensitivity cs = m_matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (qsizetype at = text.indexOf(m_text, 0, cs); at >= 0;
         at = text.indexOf(m_text, at + 1, cs)) {
        found.push_back(from + int(at));
    }
}

void COutputSearch::OnContentsChange(int position, int removed, int added) {
    if (m_text.isEmpty()) {
        return;
    }
    const int length = int(m_text.size());
    const int currentStart = CurrentPosition();
    // Matches that overlapped the replaced stretch are gone; those after it move.
    auto first = std::lower_bound(m_matches.begin(), m_matches.end(), position - length + 1);
    auto last = std::lower_bound(first, m_matches.end(), position + removed);
    const int shift = added - removed;
    for (auto it = last; it != m_matches.end(); ++it) {
        *it += shift;
    }
    std::vector<int> found;
    Scan(position - length + 1, position + added + length - 1, found);
    const auto at = m_matches.erase(first, last);
    m_matches.insert(at, found.begin(), found.end());

    // A current match before the change keeps its index; one after it moves with it; one that
    // the change touched is gone, and stepping goes on from where it was.
    if (currentStart >= position + removed) {
        m_current = int(std::lower_bound(m_matches.begin(), m_matches.end(), currentStart + shift) -
                        m_matches.begin());
    } else if (currentStart >= 0 && currentStart > position - length) {
        m_current = -1;
        m_resumeFrom = position;
    }
    Q_EMIT Changed(); // NOLINT(readability-misleading-indentation): Q_EMIT expands to nothing
}

void COutputSearch::SelectFrom(int position) {
    if (m_matches.empty()) {
        m_current = -1;
        m_resumeFrom = position;
    } else {
        const auto it = std::lower_bound(m_matches.begin(), m_matches.end(), position);
        m_current = it == m_matches.end() ? 0 : int(it - m_matches.begin());
    }
    Q_EMIT Changed();
}

COutputSearch::CStep COutputSearch::Step(bool forward, bool wrap) {
    if (m_matches.empty()) {
        return CStep::NoMatch;
    }
    const int count = int(m_matches.size());
    int next = 0;
    if (m_current >= 0) {
        next = m_current + (forward ? 1 : -1);
    } else {
        // From the point where the current match was, or where the search began.
        const auto it = std::lower_bound(m_matches.begin(), m_matches.end(), m_resumeFrom);
        next = int(it - m_matches.begin()) - (forward ? 0 : 1);
    }
    CStep step = CStep::Found;
    if (next < 0 || next >= count) {
        if (!wrap) {
            return CStep::EndReached;
        }
        next = next < 0 ? count - 1 : 0;
        step = CStep::Wrapped;
    }
    m_current = next;
    Q_EMIT Changed();
    return step;
}
