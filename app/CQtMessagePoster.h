// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "device/CMessagePoster.h"
#include "device/CMessageQueueBound.h"

#include <QEvent>

#include <functional>
#include <mutex>
#include <vector>

class QObject;

// Carries reader messages to a QObject on its own thread: the reader appends under a short lock
// and posts one wake-up event when the queue turns non-empty; the receiver takes the whole
// queue at once, in order. Past `boundBytes` reports are dropped and counted
// (CMessageQueueBound): a reader that never blocks cannot grow the queue without end.
class CQtMessagePoster : public CMessagePoster {
public:
    static const QEvent::Type kWakeEvent;

    explicit CQtMessagePoster(QObject* receiver,
                              size_t boundBytes = CMessageQueueBound::kDefaultBytes)
        : m_receiver(receiver), m_bound(boundBytes) {}

    void PostHidMessage(CHidMessage&& message) override;
    // Moves every queued message, oldest first, to the end of `messages`.
    void TakeAll(std::vector<CHidMessage>& messages);
    // Whether messages wait to be taken.
    bool HasMessages() const;
    // Shows every message to `tap` on the reader thread as it is posted, before it is queued;
    // an empty tap ends that. Once SetTap returns, the previous tap is not called any more.
    using CTap = std::function<void(const CHidMessage&)>;
    void SetTap(CTap tap);

private:
    QObject* const m_receiver;
    mutable std::mutex m_mutex;
    std::vector<CHidMessage> m_queue;
    CTap m_tap;
    CMessageQueueBound m_bound;
    bool m_wakePending = false;
};
