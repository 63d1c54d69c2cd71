// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "panels/CQuorinPanel.h"

#include "panels/CPanelTemplate.h"

const CCommandEntry<CQuorinPanel> CQuorinPanel::kMessageMap[] = {
    {PanelControl::Beep, &CQuorinPanel::OnBeep},
    {PanelControl::ErrorBeep, &CQuorinPanel::OnErrorBeep},
    {PanelControl::Disable, &CQuorinPanel::OnDisable},
    {PanelControl::Enable, &CQuorinPanel::OnEnable},
    {PanelControl::TriggerDevice, &CQuorinPanel::OnTriggerDevice},
    {PanelControl::BeeperOff, &CQuorinPanel::OnBeeperOff},
    {PanelControl::BeeperOn, &CQuorinPanel::OnBeeperOn},
    {PanelControl::Send, &CQuorinPanel::OnSend},
    {PanelControl::Delete, &CQuorinPanel::OnDelete},
};

CQuorinPanel::CQuorinPanel(CHidDevice* device, CSettingsStore* store, QWidget* parent)
    : CDevicePanel(PanelTemplateId::Quorin, device, store, parent) {}

bool CQuorinPanel::OnInitDialog() {
    CDevicePanel::OnInitDialog();
    FillSendCombo();
    return true;
}

void CQuorinPanel::ShowTriggerState(int state) {
    SetTriggerButtonPressed(state);
    CDevicePanel::ShowTriggerState(state);
}

void CQuorinPanel::OnCommand(int controlId) {
    DispatchCommand(*this, kMessageMap, controlId);
}
