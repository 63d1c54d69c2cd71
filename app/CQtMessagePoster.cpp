// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "app/CQtMessagePoster.h"

#include <QCoreApplication>

const QEvent::Type CQtMessagePoster::kWakeEvent =
    static_cast<QEvent::Type>(QEvent::registerEventType());

void CQtMessagePoster::PostHidMessage(CHidMessage&& message) {
    bool wake = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        // The recording sees every report, also one the window has no room for.
        if (m_tap) {
            m_tap(message);
        }
        if (!m_bound.Admit(message)) {
            return;
        }
        m_queue.push_back(std::move(message));
        wake = !m_wakePending;
        m_wakePending = true;
    }
    if (wake) {
        QCoreApplication::postEvent(m_receiver, new QEvent(kWakeEvent));
    }
}

void CQtMessagePoster::TakeAll(std::vector<CHidMessage>& messages) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (messages.empty()) {
        messages.swap(m_queue);
    } else {
        messages.insert(messages.end(), std::make_move_iterator(m_queue.begin()),
                        std::make_move_iterator(m_queue.end()));
        m_queue.clear();
    }
    m_bound.ReleaseAll();
    m_wakePending = false;
}

bool CQtMessagePoster::HasMessages() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return !m_queue.empty();
}

void CQtMessagePoster::SetTap(CTap tap) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_tap = std::move(tap);
}
