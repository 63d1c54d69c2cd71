// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "panels/CDevicePanel.h"
#include "panels/CStressWorker.h"

#include <memory>
#include <vector>

class CSurePosDevice;

// The panel of a "SurePos" reader: one button per SurePos command and the stress test.
class CSurePosPanel : public CDevicePanel {
    Q_OBJECT
public:
    CSurePosPanel(CSurePosDevice* device, CSettingsStore* store, QWidget* parent);
    // Stops the stress workers first, so that none posts to a panel that is gone.
    ~CSurePosPanel() override;

protected:
    void DoDataExchange(bool saveAndValidate) override;
    void OnCommand(int controlId) override;

private:
    void OnTest();
    void OnStatusRequest();
    void OnReset();
    void OnConfigure();
    void OnReportConfiguration();
    void OnTwoLabelConfig();
    void OnReportTwoLabelConfig();
    void OnDirectIoCommand();
    void OnStressTest();

    static const CCommandEntry<CSurePosPanel> kMessageMap[];

    CSurePosDevice* const m_surePos;
    std::vector<std::unique_ptr<CStressWorker>> m_workers;
};
