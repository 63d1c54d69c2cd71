// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <QSize>

// The smallest size a window may be given; unset until SetMinimumTrackSize.
class CSizeLimits {
public:
    virtual ~CSizeLimits() = default;

    void SetMinimumTrackSize(int cx, int cy) {
        m_minTrackSize = QSize(cx, cy);
        m_useMinimum = true;
    }
    // Writes the minimum into `minTrackSize` when one is set; leaves it alone otherwise.
    void ApplyLimits(QSize& minTrackSize) const {
        if (m_useMinimum) {
            minTrackSize = m_minTrackSize;
        }
    }
    bool UsesMinimum() const { return m_useMinimum; }

private:
    bool m_useMinimum = false;
    QSize m_minTrackSize;
};
