#pragma once

#include <functional>
#include <utility>

// Marks a call into the current device or its panel for as long as it is on the stack. Such a
// call may open a message box, whose event loop delivers reader messages and device changes;
// none of them may replace the device, delete the panel or close the port under the call. They
// ask the counter to wait instead and resume once the last call has returned.
class CDeviceCallGuard {
public:
    class CCounter {
    public:
        // `resume` runs when the last call returns and something waited. The returning call is
        // still on the stack then, so it must post the work rather than run it.
        explicit CCounter(std::function<void()> resume) : m_resume(std::move(resume)) {}
        CCounter(const CCounter&) = delete;
        CCounter& operator=(const CCounter&) = delete;

        bool IsBusy() const { return m_depth > 0; }
        // Something has to wait until no call is on the stack.
        void Wait() { m_waiting = true; }

    private:
        friend class CDeviceCallGuard;
        int m_depth = 0;
        bool m_waiting = false;
        std::function<void()> m_resume;
    };

    // A null counter counts nothing (a panel or device used outside the main dialog).
    explicit CDeviceCallGuard(CCounter* counter) : m_counter(counter) {
        if (m_counter)
            ++m_counter->m_depth;
    }
    ~CDeviceCallGuard() {
        if (m_counter && --m_counter->m_depth == 0 && m_counter->m_waiting) {
            m_counter->m_waiting = false;
            m_counter->m_resume();
        }
    }
    CDeviceCallGuard(const CDeviceCallGuard&) = delete;
    CDeviceCallGuard& operator=(const CDeviceCallGuard&) = delete;

private:
    CCounter* const m_counter;
};
