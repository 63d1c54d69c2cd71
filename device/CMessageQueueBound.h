// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "device/CMessagePoster.h"

#include <cstddef>
#include <cstdint>

// The bound of a queue of reader messages, by the bytes they hold. A reader that never blocks
// can read faster than its consumer decodes and writes; past the bound its reports are dropped
// and counted, and the next message of the same reader carries the count
// (`CHidMessage::droppedBefore`), so that the consumer shows it, never silently. Not locked: the
// queue calls it under its own lock.
class CMessageQueueBound {
public:
    // Many seconds of the fastest real reader's reports, yet a fixed share of memory.
    static constexpr size_t kDefaultBytes = size_t(64) << 20;

    explicit CMessageQueueBound(size_t bytes = kDefaultBytes) : m_limit(bytes) {}

    // Whether `message` joins the queue. A report past the bound is dropped and counted; an
    // error always joins (it ends the reader and is small). A joining message carries the
    // reports of its reader dropped before it.
    bool Admit(CHidMessage& message);
    // The consumer took `message` off the queue.
    void Release(const CHidMessage& message);
    // The consumer took every message.
    void ReleaseAll() { m_bytes = 0; }
    // Reports dropped that no message has carried yet (the reader posted nothing since).
    uint64_t PendingDrops() const { return m_pendingDrops; }
    size_t Bytes() const { return m_bytes; }

    // What a message holds in the queue.
    static size_t Cost(const CHidMessage& message) {
        return sizeof(CHidMessage) + message.report.size();
    }

private:
    size_t m_limit;
    size_t m_bytes = 0;
    uint64_t m_pendingDrops = 0;
    uint64_t m_pendingGeneration = 0;
};
