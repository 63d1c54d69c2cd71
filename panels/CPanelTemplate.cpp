// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "panels/CPanelTemplate.h"

#include "layout/CDialogTemplate.h"

namespace {

using K = CControlKind;
namespace C = PanelControl;
constexpr int S = IDC_STATIC;
constexpr int kWidth = 306;
constexpr int kHeight = 74;
constexpr int kEdge = 1;

// The send combo's height is that of its drop-down list; the edit field takes its own height.
const std::vector<CControlTemplate> kSurePos = {
    {S, K::Static, "SurePos", 4, 4, 60, 8, CTL_NONE},
    {C::Enable, K::PushButton, "Enable", 4, 16, 50, 13, CTL_NONE},
    {C::Disable, K::PushButton, "Disable", 4, 30, 50, 13, CTL_NONE},
    {C::BeeperOn, K::PushButton, "Beeper On", 4, 44, 50, 13, CTL_NONE},
    {C::BeeperOff, K::PushButton, "Beeper Off", 4, 58, 50, 13, CTL_NONE},
    {C::Test, K::PushButton, "Test", 57, 16, 82, 13, CTL_NONE},
    {C::StatusRequest, K::PushButton, "Status Request", 57, 30, 82, 13, CTL_NONE},
    {C::ReportConfiguration, K::PushButton, "Report Configuration", 57, 44, 82, 13, CTL_NONE},
    {C::ReportTwoLabelConfig, K::PushButton, "Report 2 Label Cfg", 57, 58, 82, 13, CTL_NONE},
    {C::Reset, K::PushButton, "Reset", 142, 16, 58, 13, CTL_NONE},
    {C::Configure, K::PushButton, "Configure", 142, 30, 58, 13, CTL_NONE},
    {C::TwoLabelConfig, K::PushButton, "2 Label Cfg", 142, 44, 58, 13, CTL_NONE},
    {C::DirectIoCommand, K::PushButton, "Direct IO Cmd", 142, 58, 58, 13, CTL_NONE},
    {S, K::GroupBox, "Stress test", 204, 12, 98, 59, CTL_NONE},
    {C::StressAutoDisable, K::CheckBox, "Auto Enable/Disable", 209, 27, 91, 10, CTL_NONE},
    {C::StressTest, K::PushButton, "50 Disable/Enable", 209, 47, 88, 14, CTL_NONE},
};

// The Quorin and Hid Pos panels share their layout; the Hid Pos panel hides the beeper buttons
// and adds the two redirect buttons.
std::vector<CControlTemplate> TriggerPanel(const char* caption, uint32_t beeperOptions) {
    return {
        {S, K::Static, caption, 4, 6, 48, 8, CTL_NONE},
        {C::SendCombo, K::ComboBox, nullptr, 54, 4, 180, 80, CTL_CUSTOM},
        {C::Send, K::PushButton, "Send", 238, 3, 32, 14, CTL_NONE},
        {C::Delete, K::PushButton, "Delete", 272, 3, 32, 14, CTL_NONE},
        {C::TriggerDevice, K::PushButton, "Trigger Device", 4, 22, 64, 14, CTL_NONE},
        {C::Beep, K::PushButton, "Beep", 72, 22, 50, 14, CTL_NONE},
        {C::ErrorBeep, K::PushButton, "Error Beep", 126, 22, 50, 14, CTL_NONE},
        {C::Disable, K::PushButton, "Disable", 4, 40, 64, 14, CTL_NONE},
        {C::Enable, K::PushButton, "Enable", 72, 40, 50, 14, CTL_NONE},
        {C::BeeperOff, K::PushButton, "Beeper Off", 126, 40, 50, 14, beeperOptions},
        {C::BeeperOn, K::PushButton, "Beeper On", 180, 40, 50, 14, beeperOptions},
    };
}

const std::vector<CControlTemplate> kQuorin = TriggerPanel("Quorin", CTL_NONE);

std::vector<CControlTemplate> HidPosPanel() {
    std::vector<CControlTemplate> controls = TriggerPanel("Hid Pos", CTL_HIDDEN);
    controls.push_back({C::RedirectToInterface0, K::PushButton, "Redirect to interface 0", 4, 58,
                        100, 14, CTL_NONE});
    controls.push_back({C::RedirectToInterface1, K::PushButton, "Redirect to interface 1", 108, 58,
                        100, 14, CTL_NONE});
    return controls;
}

const std::vector<CControlTemplate> kHidPos = HidPosPanel();

const std::vector<CControlTemplate> kSurePosSio = {
    {S, K::Static, "SurePos Sio", 4, 6, 48, 8, CTL_NONE},
    {C::SendCombo, K::ComboBox, nullptr, 54, 4, 180, 80, CTL_CUSTOM},
    {C::Send, K::PushButton, "Send", 238, 3, 32, 14, CTL_NONE},
    {C::Delete, K::PushButton, "Delete", 272, 3, 32, 14, CTL_NONE},
    {C::Test, K::PushButton, "Test", 4, 22, 72, 14, CTL_NONE},
    {C::StatusRequest, K::PushButton, "Status Request", 80, 22, 72, 14, CTL_NONE},
    {C::Reset, K::PushButton, "Reset", 156, 22, 72, 14, CTL_NONE},
    {C::Setup, K::PushButton, "Setup", 232, 22, 72, 14, CTL_NONE},
    {C::ChannelControl, K::PushButton, "Channel Control", 4, 40, 72, 14, CTL_NONE},
    {C::ReadStatus, K::PushButton, "Read Status", 80, 40, 72, 14, CTL_NONE},
    {C::ReceiveBuffer, K::PushButton, "Receive Buffer", 156, 40, 72, 14, CTL_NONE},
    {C::GetContents, K::PushButton, "Get Contents", 232, 40, 72, 14, CTL_NONE},
    {C::RawOnly, K::CheckBox, "Raw Only", 6, 60, 70, 10, CTL_NONE},
    {C::AutoRead, K::CheckBox, "Auto Read", 82, 60, 70, 10, CTL_NONE},
};

const std::vector<CControlTemplate> kNoDevice = {
    {S, K::Static, "This window shows device specific controls.\nThere is no device selected.", 4,
     25, 298, 20, CTL_CENTER},
};

// A reader in keyboard mode takes no commands: the panel says what that mode loses and how to
// leave it, and offers the layout its keys are read under and the grab.
const std::vector<CControlTemplate> kKeyboard = {
    {S, K::Static, "Keyboard", 4, 4, 60, 8, CTL_NONE},
    // The panel fills in and wraps its explanation: a caption is never wrapped, so the dialog
    // units would widen to fit it on one line.
    {C::KeyboardModeText, K::Static, "", 4, 14, 206, 56, CTL_NOPREFIX},
    {S, K::Static, "Layout:", 216, 6, 28, 8, CTL_NONE},
    {C::KeyboardLayout, K::ComboBox, nullptr, 246, 4, 56, 120, CTL_NONE},
    {C::Grab, K::CheckBox, "Grab", 216, 22, 86, 10, CTL_NONE},
};

CDialogTemplate Panel(int id, const std::vector<CControlTemplate>& controls) {
    return {id, "", kWidth, kHeight, true, controls, kEdge};
}

const CDialogTemplate kTemplates[] = {
    Panel(PanelTemplateId::SurePos, kSurePos),   Panel(PanelTemplateId::Quorin, kQuorin),
    Panel(PanelTemplateId::HidPos, kHidPos),     Panel(PanelTemplateId::SurePosSio, kSurePosSio),
    Panel(PanelTemplateId::NoDevice, kNoDevice), Panel(PanelTemplateId::Keyboard, kKeyboard),
};

} // namespace

const CDialogTemplate* CPanelTemplate::Find(int templateId) {
    for (const CDialogTemplate& dialogTemplate : kTemplates) {
        if (dialogTemplate.id == templateId) {
            return &dialogTemplate;
        }
    }
    return nullptr;
}
