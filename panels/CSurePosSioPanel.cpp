// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "panels/CSurePosSioPanel.h"

#include "device/CSurePosSioDevice.h"
#include "panels/CPanelTemplate.h"

const CCommandEntry<CSurePosSioPanel> CSurePosSioPanel::kMessageMap[] = {
    {PanelControl::Test, &CSurePosSioPanel::OnTest},
    {PanelControl::StatusRequest, &CSurePosSioPanel::OnStatusRequest},
    {PanelControl::Reset, &CSurePosSioPanel::OnReset},
    {PanelControl::Setup, &CSurePosSioPanel::OnSetup},
    {PanelControl::ChannelControl, &CSurePosSioPanel::OnChannelControl},
    {PanelControl::ReadStatus, &CSurePosSioPanel::OnReadStatus},
    {PanelControl::ReceiveBuffer, &CSurePosSioPanel::OnReceiveBuffer},
    {PanelControl::GetContents, &CSurePosSioPanel::OnGetContents},
    {PanelControl::RawOnly, &CSurePosSioPanel::OnCheckBox},
    {PanelControl::AutoRead, &CSurePosSioPanel::OnCheckBox},
    {PanelControl::Send, &CSurePosSioPanel::OnSend},
    {PanelControl::Delete, &CSurePosSioPanel::OnDelete},
};

CSurePosSioPanel::CSurePosSioPanel(CSurePosSioDevice* device, CSettingsStore* store,
                                   QWidget* parent)
    : CDevicePanel(PanelTemplateId::SurePosSio, device, store, parent), m_sio(device) {}

bool CSurePosSioPanel::OnInitDialog() {
    CDevicePanel::OnInitDialog();
    FillSendCombo();
    return true;
}

void CSurePosSioPanel::DoDataExchange(bool saveAndValidate) {
    if (!m_sio) {
        return;
    }
    // Both boxes are taken together: a click on either commits the other one too.
    int32_t autoRead = m_sio->AutoRead();
    int32_t rawOnly = m_sio->RawOnly();
    DdxCheck(saveAndValidate, PanelControl::AutoRead, autoRead);
    DdxCheck(saveAndValidate, PanelControl::RawOnly, rawOnly);
    m_sio->SetAutoRead(autoRead);
    m_sio->SetRawOnly(rawOnly);
}

void CSurePosSioPanel::OnCommand(int controlId) {
    DispatchCommand(*this, kMessageMap, controlId);
}

void CSurePosSioPanel::OnTest() {
    if (m_sio) {
        m_sio->Test();
    }
}

void CSurePosSioPanel::OnStatusRequest() {
    if (m_sio) {
        m_sio->StatusRequest();
    }
}

void CSurePosSioPanel::OnReset() {
    if (m_sio) {
        m_sio->Reset();
    }
}

void CSurePosSioPanel::OnSetup() {
    if (m_sio) {
        m_sio->Setup();
    }
}

void CSurePosSioPanel::OnChannelControl() {
    if (m_sio) {
        m_sio->ChannelControl();
    }
}

void CSurePosSioPanel::OnReadStatus() {
    if (m_sio) {
        m_sio->ReadStatus();
    }
}

void CSurePosSioPanel::OnReceiveBuffer() {
    if (m_sio) {
        m_sio->ReceiveBuffer();
    }
}

void CSurePosSioPanel::OnGetContents() {
    if (m_device) {
        m_device->GetContents();
    }
}
