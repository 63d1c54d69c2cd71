// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "panels/CDevicePanel.h"

#include <QTimer>

class CKeyboardDevice;

// The panel of a reader in keyboard mode: what that mode loses and how to switch the reader to
// HID POS, the layout its keys are read under, and "Grab", which keeps its keys from every
// other window while it is open. It also ends a label at a pause when no key follows.
class CKeyboardPanel : public CDevicePanel {
    Q_OBJECT
public:
    static constexpr const char* kExplanation =
        "This reader is in keyboard mode: it types each label as keystrokes, and loses the "
        "symbology, bytes that no key types and, when the layouts differ, characters. Scan the "
        "\"USB HID POS\" (or \"USB HID Point-of-Sale\") configuration code from its manual to "
        "switch it; it then appears here as a Hid Pos reader.";
    // How often the panel looks for a label ended by a pause.
    static constexpr int kIdleCheckMs = 10;

    CKeyboardPanel(CKeyboardDevice* device, CSettingsStore* store, QWidget* parent);

protected:
    // Fills the layout list and shows the device's layout and grab.
    bool OnInitDialog() override;
    void OnCommand(int controlId) override;

private:
    void OnLayout();
    void OnGrab();

    CKeyboardDevice* const m_keyboard;
    QTimer m_idle;

    static const CCommandEntry<CKeyboardPanel> kMessageMap[];
};
