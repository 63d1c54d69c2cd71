// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "device/CQueuedPoster.h"

#include <chrono>
#include <iterator>

void CQueuedPoster::PostHidMessage(CHidMessage&& message) {
    bool wasEmpty;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_bound.Admit(message)) {
            return;
        }
        wasEmpty = m_queue.empty();
        m_queue.push_back(std::move(message));
    }
    // A consumer only waits on an empty queue.
    if (wasEmpty) {
        m_posted.notify_one();
    }
}

bool CQueuedPoster::WaitForMessage(CHidMessage& message, int timeoutMs) {
    std::unique_lock<std::mutex> lock(m_mutex);
    if (!m_posted.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                           [this] { return !m_queue.empty(); })) {
        return false;
    }
    m_bound.Release(m_queue.front());
    message = std::move(m_queue.front());
    m_queue.pop_front();
    return true;
}

size_t CQueuedPoster::TakeAll(std::vector<CHidMessage>& messages, int timeoutMs) {
    std::deque<CHidMessage> taken;
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_posted.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                          [this] { return !m_queue.empty(); });
        taken.swap(m_queue);
        m_bound.ReleaseAll();
    }
    messages.insert(messages.end(), std::make_move_iterator(taken.begin()),
                    std::make_move_iterator(taken.end()));
    return taken.size();
}

size_t CQueuedPoster::Size() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_queue.size();
}
