// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "panels/CDevicePanel.h"

// The panel of a "Hid Pos" reader: as the Quorin panel, with the beeper buttons hidden and two
// buttons that route the reader's data to interface 0 or 1.
class CHidPosPanel : public CDevicePanel {
    Q_OBJECT
public:
    // The warning when the reader does not confirm a redirect (string 3).
    static constexpr const char* kRedirectNotVerified =
        "Data could not be verified with the device.\n"
        "This can be OK if the device does not implement this command.";

    CHidPosPanel(CHidDevice* device, CSettingsStore* store, QWidget* parent);

    void ShowTriggerState(int state) override;

protected:
    // Also asks the reader for interface 1, every time; the answer is not checked here.
    bool OnInitDialog() override;
    void OnCommand(int controlId) override;

private:
    void OnRedirectToInterface0();
    void OnRedirectToInterface1();
    void Redirect(int interfaceNumber);

    static const CCommandEntry<CHidPosPanel> kMessageMap[];
};
