// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "panels/CDevicePanel.h"

// The panel of a "Quorin" reader: trigger, beeps, enable/disable, beeper, and the send combo.
class CQuorinPanel : public CDevicePanel {
    Q_OBJECT
public:
    CQuorinPanel(CHidDevice* device, CSettingsStore* store, QWidget* parent);

    void ShowTriggerState(int state) override;

protected:
    bool OnInitDialog() override;
    void OnCommand(int controlId) override;

private:
    static const CCommandEntry<CQuorinPanel> kMessageMap[];
};
