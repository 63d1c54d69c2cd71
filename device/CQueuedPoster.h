// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "device/CMessagePoster.h"
#include "device/CMessageQueueBound.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <vector>

// A poster that queues reader messages for a consumer thread (the terminal tool, tests and
// benchmarks), taken by one consumer. Posting only appends under a short lock and never waits
// for the consumer; past `boundBytes` reports are dropped and counted (CMessageQueueBound).
class CQueuedPoster : public CMessagePoster {
public:
    explicit CQueuedPoster(size_t boundBytes = CMessageQueueBound::kDefaultBytes)
        : m_bound(boundBytes) {}

    void PostHidMessage(CHidMessage&& message) override;

    // Takes the oldest message, waiting at most `timeoutMs`. False when none arrived in time.
    bool WaitForMessage(CHidMessage& message, int timeoutMs);
    // Moves every queued message, oldest first, to the end of `messages`, waiting at most
    // `timeoutMs` for the first. Returns how many were taken.
    size_t TakeAll(std::vector<CHidMessage>& messages, int timeoutMs);
    size_t Size() const;

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_posted;
    std::deque<CHidMessage> m_queue;
    CMessageQueueBound m_bound;
};
