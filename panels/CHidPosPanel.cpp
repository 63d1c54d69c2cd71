#include "panels/CHidPosPanel.h"

#include "device/CHidDevice.h"
#include "panels/CPanelTemplate.h"

#include <QCoreApplication>
#include <QMessageBox>

const CCommandEntry<CHidPosPanel> CHidPosPanel::kMessageMap[] = {
    {PanelControl::Beep, &CHidPosPanel::OnBeep},
    {PanelControl::ErrorBeep, &CHidPosPanel::OnErrorBeep},
    {PanelControl::Disable, &CHidPosPanel::OnDisable},
    {PanelControl::Enable, &CHidPosPanel::OnEnable},
    {PanelControl::TriggerDevice, &CHidPosPanel::OnTriggerDevice},
    {PanelControl::BeeperOff, &CHidPosPanel::OnBeeperOff},
    {PanelControl::BeeperOn, &CHidPosPanel::OnBeeperOn},
    {PanelControl::Send, &CHidPosPanel::OnSend},
    {PanelControl::Delete, &CHidPosPanel::OnDelete},
    {PanelControl::RedirectToInterface0, &CHidPosPanel::OnRedirectToInterface0},
    {PanelControl::RedirectToInterface1, &CHidPosPanel::OnRedirectToInterface1},
};

CHidPosPanel::CHidPosPanel(CHidDevice* device, CSettingsStore* store, QWidget* parent)
    : CDevicePanel(PanelTemplateId::HidPos, device, store, parent) {}

bool CHidPosPanel::OnInitDialog() {
    CDevicePanel::OnInitDialog();
    FillSendCombo();
    if (m_device)
        m_device->RedirectToInterface(1);
    return true;
}

void CHidPosPanel::ShowTriggerState(int state) {
    SetTriggerButtonPressed(state);
    CDevicePanel::ShowTriggerState(state);
}

void CHidPosPanel::OnCommand(int controlId) {
    DispatchCommand(*this, kMessageMap, controlId);
}

void CHidPosPanel::OnRedirectToInterface0() {
    Redirect(0);
}

void CHidPosPanel::OnRedirectToInterface1() {
    Redirect(1);
}

void CHidPosPanel::Redirect(int interfaceNumber) {
    if (!m_device || m_device->RedirectToInterface(interfaceNumber))
        return;
    // The box belongs to the main dialog, never to a panel that may go.
    QMessageBox::warning(window(), QCoreApplication::applicationName(),
                         QString::fromUtf8(kRedirectNotVerified));
}
