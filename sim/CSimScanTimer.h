#pragma once

#include <chrono>

// When a simulated reader's next scan is due. The firmware only learns the time from OnTick,
// so a request made between ticks is timed from the next tick; that keeps tests deterministic.
class CSimScanTimer {
public:
    using CClock = std::chrono::steady_clock;

    explicit CSimScanTimer(CClock::duration delay) : m_delay(delay) {}

    // A scan `delay` after the next tick.
    void Request() {
        m_requested = true;
        m_armed = false;
    }
    void Cancel() { m_requested = false; }
    bool IsRequested() const { return m_requested; }

    // True once per request, at the first tick at least `delay` after the one that armed it.
    bool IsDue(CClock::time_point now) {
        if (!m_requested)
            return false;
        if (!m_armed) {
            m_armed = true;
            m_due = now + m_delay;
            return false;
        }
        if (now < m_due)
            return false;
        m_requested = false;
        return true;
    }

private:
    CClock::duration m_delay;
    CClock::time_point m_due{};
    bool m_requested = false;
    bool m_armed = false;
};
