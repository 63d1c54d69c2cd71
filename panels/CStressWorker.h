// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <atomic>
#include <functional>
#include <thread>

// The "50 Disable/Enable" stress test: a worker thread that only posts clicks (Disable,
// Beeper Off, Enable, Beeper On, each followed by 10 ms, 50 times) and touches nothing else.
// Its owner cancels and joins it on destruction, so it never posts to a panel that is gone.
class CStressWorker {
public:
    static constexpr int kCycles = 50;
    static constexpr int kPauseMs = 10;
    static const int kCycleClicks[4];

    using CPostClick = std::function<void(int controlId)>;

    // Starts posting at once. `postClick` must be safe to call from another thread.
    explicit CStressWorker(CPostClick postClick);
    ~CStressWorker();
    CStressWorker(const CStressWorker&) = delete;
    CStressWorker& operator=(const CStressWorker&) = delete;

    bool IsFinished() const { return m_finished.load(std::memory_order_acquire); }

private:
    void Run();

    CPostClick m_postClick;
    std::atomic<bool> m_cancelled{false};
    std::atomic<bool> m_finished{false};
    std::thread m_thread;
};
