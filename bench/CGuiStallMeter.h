// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <ctime>

// The longest time the GUI thread went without running a 1 ms timer, from construction until
// Stop(): how long the window could not take input or paint in one go. On a busy machine that
// wall time also holds the time the thread waited for a processor, so the meter also gives the
// longest stretch of the thread's own processor time between two ticks: what the program's
// work cost.
class CGuiStallMeter {
public:
    CGuiStallMeter() {
        m_sinceTick.start();
        m_cpuAtTick = ThreadCpuNs();
        m_ticker.setInterval(1);
        QObject::connect(&m_ticker, &QTimer::timeout, &m_ticker, [this] {
            m_longest = std::max(m_longest, m_sinceTick.nsecsElapsed());
            m_sinceTick.restart();
            const qint64 cpu = ThreadCpuNs();
            m_longestCpu = std::max(m_longestCpu, cpu - m_cpuAtTick);
            m_cpuAtTick = cpu;
        });
        m_ticker.start();
    }
    void Stop() { m_ticker.stop(); }
    double LongestMs() const { return double(m_longest) / 1e6; }
    double LongestCpuMs() const { return double(m_longestCpu) / 1e6; }

private:
    static qint64 ThreadCpuNs() {
        timespec now{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
    }

    QTimer m_ticker;
    QElapsedTimer m_sinceTick;
    qint64 m_longest = 0;
    qint64 m_cpuAtTick = 0;
    qint64 m_longestCpu = 0;
};
