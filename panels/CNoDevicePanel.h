// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "panels/CDevicePanel.h"

// The panel shown when the selected interface fails to open: a two-line notice and no
// commands. It still loads and saves the send history.
class CNoDevicePanel : public CDevicePanel {
    Q_OBJECT
public:
    CNoDevicePanel(CSettingsStore* store, QWidget* parent);

protected:
    void OnCommand(int controlId) override;
};
