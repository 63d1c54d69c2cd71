// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "panels/CSurePosPanel.h"

#include "device/CSurePosDevice.h"
#include "panels/CPanelTemplate.h"

#include <algorithm>

const CCommandEntry<CSurePosPanel> CSurePosPanel::kMessageMap[] = {
    {PanelControl::Enable, &CSurePosPanel::OnEnable},
    {PanelControl::Disable, &CSurePosPanel::OnDisable},
    {PanelControl::BeeperOn, &CSurePosPanel::OnBeeperOn},
    {PanelControl::BeeperOff, &CSurePosPanel::OnBeeperOff},
    {PanelControl::Test, &CSurePosPanel::OnTest},
    {PanelControl::StatusRequest, &CSurePosPanel::OnStatusRequest},
    {PanelControl::Reset, &CSurePosPanel::OnReset},
    {PanelControl::Configure, &CSurePosPanel::OnConfigure},
    {PanelControl::ReportConfiguration, &CSurePosPanel::OnReportConfiguration},
    {PanelControl::TwoLabelConfig, &CSurePosPanel::OnTwoLabelConfig},
    {PanelControl::ReportTwoLabelConfig, &CSurePosPanel::OnReportTwoLabelConfig},
    {PanelControl::DirectIoCommand, &CSurePosPanel::OnDirectIoCommand},
    {PanelControl::StressAutoDisable, &CSurePosPanel::OnCheckBox},
    {PanelControl::StressTest, &CSurePosPanel::OnStressTest},
};

CSurePosPanel::CSurePosPanel(CSurePosDevice* device, CSettingsStore* store, QWidget* parent)
    : CDevicePanel(PanelTemplateId::SurePos, device, store, parent), m_surePos(device) {}

CSurePosPanel::~CSurePosPanel() {
    m_workers.clear();
}

void CSurePosPanel::DoDataExchange(bool saveAndValidate) {
    if (!m_surePos) {
        return;
    }
    int32_t autoDisable = m_surePos->StressAutoDisable();
    DdxCheck(saveAndValidate, PanelControl::StressAutoDisable, autoDisable);
    m_surePos->SetStressAutoDisable(autoDisable);
}

void CSurePosPanel::OnCommand(int controlId) {
    DispatchCommand(*this, kMessageMap, controlId);
}

void CSurePosPanel::OnTest() {
    if (m_surePos) {
        m_surePos->Test();
    }
}

void CSurePosPanel::OnStatusRequest() {
    if (m_surePos) {
        m_surePos->StatusRequest();
    }
}

void CSurePosPanel::OnReset() {
    if (m_surePos) {
        m_surePos->Reset();
    }
}

void CSurePosPanel::OnConfigure() {
    if (m_surePos) {
        m_surePos->Configure();
    }
}

void CSurePosPanel::OnReportConfiguration() {
    if (m_surePos) {
        m_surePos->ReportConfiguration();
    }
}

void CSurePosPanel::OnTwoLabelConfig() {
    if (m_surePos) {
        m_surePos->TwoLabelConfig();
    }
}

void CSurePosPanel::OnReportTwoLabelConfig() {
    if (m_surePos) {
        m_surePos->ReportTwoLabelConfig();
    }
}

void CSurePosPanel::OnDirectIoCommand() {
    if (m_surePos) {
        m_surePos->DirectIoCommand();
    }
}

void CSurePosPanel::OnStressTest() {
    m_workers.erase(std::remove_if(m_workers.begin(), m_workers.end(),
                                   [](const auto& worker) { return worker->IsFinished(); }),
                    m_workers.end());
    // The worker only posts; the clicks run here, on the GUI thread, in order.
    m_workers.push_back(
        std::make_unique<CStressWorker>([this](int controlId) { PostClick(controlId); }));
}
