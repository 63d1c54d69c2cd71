// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "panels/CDevicePanel.h"

class CSurePosSioDevice;

// The panel of a "SurePos Sio" reader: its commands, "Get Contents", the two check boxes that
// steer how contents are read, and the send combo.
class CSurePosSioPanel : public CDevicePanel {
    Q_OBJECT
public:
    CSurePosSioPanel(CSurePosSioDevice* device, CSettingsStore* store, QWidget* parent);

protected:
    bool OnInitDialog() override;
    void DoDataExchange(bool saveAndValidate) override;
    void OnCommand(int controlId) override;

private:
    void OnTest();
    void OnStatusRequest();
    void OnReset();
    void OnSetup();
    void OnChannelControl();
    void OnReadStatus();
    void OnReceiveBuffer();
    void OnGetContents();

    static const CCommandEntry<CSurePosSioPanel> kMessageMap[];

    CSurePosSioDevice* const m_sio;
};
