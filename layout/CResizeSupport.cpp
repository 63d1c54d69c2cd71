// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "layout/CResizeSupport.h"

#include "layout/CSizeGripWnd.h"

#include <QEvent>
#include <QResizeEvent>

CResizeSupport::CResizeSupport(const CDialogTemplate& dialogTemplate, QWidget* parent,
                               CSettingsStore* store)
    : QDialog(parent), CPlacementStore(store), m_template(dialogTemplate) {
    if (dialogTemplate.child) {
        setWindowFlags(Qt::Widget);
    }
    CDialogBuilder::Build(dialogTemplate, *this);
    setSizeGripEnabled(false);
    if (isWindow()) {
        // The window cannot be made smaller than designed.
        SetMinimumTrackSize(width(), height());
        QSize minimum = minimumSize();
        ApplyLimits(minimum);
        setMinimumSize(minimum);
    }
    CreateGrip(isWindow());
}

CResizeSupport::~CResizeSupport() {
    OnDestroy();
}

bool CResizeSupport::KeepPlacement(const std::string& section, bool rectOnly) {
    m_section = section;
    m_rectOnly = rectOnly;
    m_placementKept = true;
    return LoadWindowPlacement(section, rectOnly);
}

QWidget* CResizeSupport::Control(int id) const {
    return findChild<QWidget*>(QString::number(id), Qt::FindDirectChildrenOnly);
}

QWidget* CResizeSupport::OwnerWindow() const {
    return const_cast<CResizeSupport*>(this);
}

void CResizeSupport::PlaceControl(QWidget& control, int id) {
    CDialogBuilder::PlaceControl(m_template, *this, control, id);
    if (Grip()) {
        Grip()->lower();
    }
}

void CResizeSupport::OnDestroy() {
    if (m_destroyed) {
        return;
    }
    m_destroyed = true;
    if (m_placementKept) {
        SaveWindowPlacement(m_section, m_rectOnly);
    }
    RemoveAllAnchors();
}

void CResizeSupport::done(int result) {
    QDialog::done(result);
    OnDestroy();
}

void CResizeSupport::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    OnSizeChanged();
}

void CResizeSupport::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        OnSizeChanged();
    }
}

void CResizeSupport::OnSizeChanged() {
    if (windowState() & Qt::WindowMaximized) {
        ReleaseGrip(m_gripRequestBits, kGripNotMaximized);
    } else {
        RequestGrip(m_gripRequestBits, kGripNotMaximized);
    }
    PlaceGrip();
    LayoutControls();
}
