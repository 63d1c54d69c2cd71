// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "outputwindow/COutputSearch.h"

#include <QElapsedTimer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace {

// A slice of the search leaves the GUI thread to its input and painting after this long.
constexpr qint64 kSliceMs = 8;
// Lines searched between looks at the clock.
constexpr int kLinesPerClockLook = 64;
// An edit adding more than this is searched by slices, like a new search text.
constexpr int kLargestEditSearchedAtOnce = 1 << 16;

} // namespace

COutputSearch::COutputSearch(QTextDocument& document, QObject* parent)
    : QObject(parent), m_document(document) {
    connect(&m_document, &QTextDocument::contentsChange, this, &COutputSearch::OnContentsChange);
    m_sliceTimer.setSingleShot(true);
    connect(&m_sliceTimer, &QTimer::timeout, this, &COutputSearch::SearchSlice);
}

void COutputSearch::SetText(const QString& text, bool matchCase) {
    m_text = text;
    m_matchCase = matchCase;
    m_matches.clear();
    m_current = -1;
    m_resumeFrom = 0;
    m_pending.reset();
    m_searching = false;
    m_sliceTimer.stop();
    if (m_text.isEmpty()) {
        Q_EMIT Changed();
        return;
    }
    SearchOnFrom(0);
    SearchSlice();
}

void COutputSearch::SearchOnFrom(int position) {
    m_front = position;
    m_searching = true;
    m_sliceTimer.start(0);
}

void COutputSearch::SearchSlice() {
    m_sliceTimer.stop();
    if (!m_searching) {
        return;
    }
    QElapsedTimer slice;
    slice.start();
    const Qt::CaseSensitivity cs = m_matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    QTextBlock block = m_document.findBlock(m_front);
    for (int lines = 1; block.isValid(); ++lines) {
        const int start = block.position();
        const QString line = block.text();
        for (qsizetype at = line.indexOf(m_text, 0, cs); at >= 0;
             at = line.indexOf(m_text, at + 1, cs)) {
            m_matches.push_back(start + int(at));
        }
        block = block.next();
        if (lines == m_sliceLimit ||
            (lines % kLinesPerClockLook == 0 && slice.elapsed() >= kSliceMs)) {
            break;
        }
    }
    if (block.isValid()) {
        m_front = block.position();
        m_sliceTimer.start(0);
    } else {
        m_searching = false;
    }
    if (m_pending) {
        if (const std::optional<CStep> step = Answer(*m_pending)) {
            m_pending.reset();
            Q_EMIT StepDone(*step);
        }
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
    // Text beyond the front is searched when the front gets there.
    if (m_text.isEmpty() || (m_searching && position >= m_front)) {
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
    if (m_pending && m_pending->from >= position + removed) {
        m_pending->from += shift;
    }
    // An edit that reaches the front, or a large one, is searched again by slices from the
    // start of its first line.
    const bool bySlices =
        (m_searching && position + removed >= m_front) || added > kLargestEditSearchedAtOnce;
    std::vector<int> found;
    if (!bySlices) {
        if (m_searching) {
            m_front += shift;
        }
        const int end = m_searching ? m_front : m_document.characterCount() - 1;
        Scan(position - length + 1, std::min(position + added + length - 1, end), found);
    }
    const auto at = m_matches.erase(first, last);
    m_matches.insert(at, found.begin(), found.end());
    if (bySlices) {
        const int lineStart = m_document.findBlock(position).position();
        m_matches.erase(std::lower_bound(m_matches.begin(), m_matches.end(), lineStart),
                        m_matches.end());
        SearchOnFrom(lineStart);
    }

    // A current match before the change keeps its place; one after it moves with it; one that
    // the change touched is gone, and stepping goes on from where it was.
    int kept = -1;
    if (currentStart >= position + removed) {
        kept = currentStart + shift;
    } else if (currentStart >= 0 && currentStart > position - length) {
        m_resumeFrom = position;
    } else {
        kept = currentStart;
    }
    m_current = -1;
    if (kept >= 0) {
        const auto it = std::lower_bound(m_matches.begin(), m_matches.end(), kept);
        if (it != m_matches.end() && *it == kept) {
            m_current = int(it - m_matches.begin());
        } else {
            m_resumeFrom = kept;
        }
    }
    Q_EMIT Changed(); // NOLINT(readability-misleading-indentation): Q_EMIT expands to nothing
}

std::optional<COutputSearch::CStep> COutputSearch::Answer(const CPendingStep& step) {
    const auto from = std::lower_bound(m_matches.begin(), m_matches.end(), step.from);
    int next = -1;
    if (step.forward && from != m_matches.end()) {
        next = int(from - m_matches.begin());
    } else if (!step.forward && (!m_searching || m_front > step.from) &&
               from != m_matches.begin()) {
        next = int(from - m_matches.begin()) - 1;
    }
    if (next >= 0) {
        m_current = next;
        return CStep::Found;
    }
    // Whether a match lies beyond the front is known only at the end, and so is the last one.
    if (step.forward ? m_searching : (m_searching && (step.wrap || m_front <= step.from))) {
        return std::nullopt;
    }
    if (m_matches.empty()) {
        return CStep::NoMatch;
    }
    if (!step.wrap) {
        return CStep::EndReached;
    }
    m_current = step.forward ? 0 : int(m_matches.size()) - 1;
    return step.wrapped;
}

COutputSearch::CStep COutputSearch::AnswerOrWait(const CPendingStep& step) {
    m_pending.reset();
    const std::optional<CStep> answer = Answer(step);
    if (!answer) {
        m_pending = step;
        return CStep::Searching;
    }
    Q_EMIT Changed();
    return *answer;
}

COutputSearch::CStep COutputSearch::SelectFrom(int position) {
    m_current = -1;
    m_resumeFrom = position;
    return AnswerOrWait({true, position, true, CStep::Found});
}

COutputSearch::CStep COutputSearch::Step(bool forward, bool wrap) {
    // From the current match, or from the point where the current match was or the search
    // began.
    const int current = CurrentPosition();
    const int from = current < 0 ? m_resumeFrom : current + (forward ? 1 : 0);
    return AnswerOrWait({forward, from, wrap, CStep::Wrapped});
}
