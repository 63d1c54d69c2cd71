// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "layout/CGripOwner.h"

#include "layout/CSizeGripWnd.h"

CGripOwner::~CGripOwner() = default;

bool CGripOwner::CreateGrip(bool visible) {
    QWidget* owner = OwnerWindow();
    if (!owner || m_grip) {
        return false;
    }
    m_grip = new CSizeGripWnd(owner);
    m_grip->setObjectName(QStringLiteral("SizeGrip"));
    m_grip->hide();
    m_grip->SetTriangular();
    SetGripShown(visible);
    PlaceGrip();
    return true;
}

void CGripOwner::PlaceGrip() {
    if (!m_grip) {
        return;
    }
    const QRect client = OwnerWindow()->rect();
    const QSize size = m_grip->size();
    m_grip->move(client.right() + 1 - size.width(), client.bottom() + 1 - size.height());
    m_grip->lower();
    m_grip->setVisible(IsGripShown());
}

void CGripOwner::RequestGrip(uint32_t& flags, uint32_t bit) {
    if (!m_grip || (flags & bit)) {
        return;
    }
    ++m_grip->m_visibilityCount;
    flags |= bit;
}

void CGripOwner::ReleaseGrip(uint32_t& flags, uint32_t bit) {
    if (!m_grip || !(flags & bit)) {
        return;
    }
    --m_grip->m_visibilityCount;
    flags &= ~bit;
}

void CGripOwner::SetGripShown(bool shown) {
    if (m_grip) {
        m_grip->m_visibilityCount = shown ? 1 : 0;
    }
}

bool CGripOwner::IsGripShown() const {
    return m_grip && m_grip->m_visibilityCount > 0;
}
