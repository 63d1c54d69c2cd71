// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "device/CMessageQueueBound.h"

bool CMessageQueueBound::Admit(CHidMessage& message) {
    // Drops of a reader that has since been replaced no longer matter: its messages are stale.
    if (message.generation != m_pendingGeneration) {
        m_pendingDrops = 0;
        m_pendingGeneration = message.generation;
    }
    const size_t cost = Cost(message);
    if (message.errorCode == 0 && m_bytes + cost > m_limit) {
        ++m_pendingDrops;
        return false;
    }
    m_bytes += cost;
    message.droppedBefore = m_pendingDrops;
    m_pendingDrops = 0;
    return true;
}

void CMessageQueueBound::Release(const CHidMessage& message) {
    const size_t cost = Cost(message);
    m_bytes = cost <= m_bytes ? m_bytes - cost : 0;
}
