// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "panels/CNoDevicePanel.h"

#include "panels/CPanelTemplate.h"

CNoDevicePanel::CNoDevicePanel(CSettingsStore* store, QWidget* parent)
    : CDevicePanel(PanelTemplateId::NoDevice, nullptr, store, parent) {}

void CNoDevicePanel::OnCommand(int controlId) {
    (void)controlId;
}
