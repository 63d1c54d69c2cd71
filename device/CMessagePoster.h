// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <chrono>
#include <cstdint>
#include <vector>

// A message from a port's reader thread to the thread that owns the port: one input report
// (a copy of its bytes) or the error code of a failed read. `generation` tells which reader
// (which Open of the port) sent it, so that a message from a stopped or replaced reader can be
// dropped before it reaches a device object.
// The two messages of a port, by their offset from the message base the port was opened with.
enum class CHidMessageKind : uint32_t { Report = 0, Error = 1 };

constexpr uint32_t HidMessageId(uint32_t messageBase, CHidMessageKind kind) {
    return messageBase + static_cast<uint32_t>(kind);
}

struct CHidMessage {
    uint32_t messageId = 0; // HidMessageId(the port's message base, the kind)
    uint64_t generation = 0;
    int errorCode = 0;
    std::vector<uint8_t> report; // byte 0 is the report id
    // When the reader thread read the report, for recordings timed as the reports came.
    std::chrono::steady_clock::time_point readTime;
    // Reports of the same reader that the queue dropped just before this message, because its
    // consumer fell behind (see CMessageQueueBound).
    uint64_t droppedBefore = 0;
};

// Carries reader-thread messages to the owner thread, in order, without making the reader wait.
class CMessagePoster {
public:
    virtual ~CMessagePoster() = default;
    virtual void PostHidMessage(CHidMessage&& message) = 0;
};
