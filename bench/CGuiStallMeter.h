// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>

// The longest time the GUI thread went without running a 1 ms timer, from construction until
// Stop(): how long the window could not take input or paint in one go.
class CGuiStallMeter {
public:
    CGuiStallMeter() {
        m_sinceTick.start();
        m_ticker.setInterval(1);
        QObject::connect(&m_ticker, &QTimer::timeout, &m_ticker, [this] {
            m_longest = std::max(m_longest, m_sinceTick.nsecsElapsed());
            m_sinceTick.restart();
        });
        m_ticker.start();
    }
    void Stop() { m_ticker.stop(); }
    double LongestMs() const { return double(m_longest) / 1e6; }

private:
    QTimer m_ticker;
    QElapsedTimer m_sinceTick;
    qint64 m_longest = 0;
};
