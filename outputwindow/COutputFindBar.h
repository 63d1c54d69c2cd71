// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "outputwindow/COutputSearch.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QToolButton;

// The find bar at the bottom of the output window: the search text, "Match case", "Wrap
// around", previous and next, and the match count. It never takes a dialog's place and never
// moves the window's insertion point; the window shows the current match.
class COutputFindBar : public QWidget {
    Q_OBJECT
public:
    COutputFindBar(COutputSearch& search, QWidget* parent);

    // Shows the bar with the search text selected; a new search starts at `viewTop`, the first
    // position in view.
    void Open(int viewTop);
    // Hides the bar and stops searching; opening it searches afresh.
    void Close();
    // Steps to the next or previous match while the bar is open.
    void FindNext(bool forward);

    QLineEdit& TextField() { return *m_text; }
    QString CountText() const;

    // Gives `bar` the desktop's font instead of the output's, which the window passes on to
    // its children; called again on each font change.
    static void FollowApplicationFont(QWidget& bar);

Q_SIGNALS:
    // The current match should be brought into view.
    void ShowCurrentMatch();
    void Opened();
    void Closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void Restart();
    void OnStep(COutputSearch::CStep step);
    void UpdateCount();
    void FollowApplicationPalette();

    COutputSearch& m_search;
    QLineEdit* m_text = nullptr;
    QCheckBox* m_matchCase = nullptr;
    QCheckBox* m_wrap = nullptr;
    QToolButton* m_previous = nullptr;
    QToolButton* m_next = nullptr;
    QLabel* m_count = nullptr;
    QToolButton* m_close = nullptr;
    int m_viewTop = 0;
    QString m_notice;      // what the last step found: wrapped, or at an end
    bool m_forward = true; // the direction of the last step
};
