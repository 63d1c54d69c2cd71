#include "panels/CPanelTemplate.h"

namespace {

using K = CControlKind;
namespace C = PanelControl;
constexpr int S = CPanelTemplate::kStaticId;

// The send combo's height is that of its drop-down list; the edit field takes the font's height.
const CControlTemplate kSurePos[] = {
    {S, K::Static, "SurePos", 4, 4, 60, 8, false},
    {C::Enable, K::Button, "Enable", 4, 16, 50, 13, false},
    {C::Disable, K::Button, "Disable", 4, 30, 50, 13, false},
    {C::BeeperOn, K::Button, "Beeper On", 4, 44, 50, 13, false},
    {C::BeeperOff, K::Button, "Beeper Off", 4, 58, 50, 13, false},
    {C::Test, K::Button, "Test", 57, 16, 82, 13, false},
    {C::StatusRequest, K::Button, "Status Request", 57, 30, 82, 13, false},
    {C::ReportConfiguration, K::Button, "Report Configuration", 57, 44, 82, 13, false},
    {C::ReportTwoLabelConfig, K::Button, "Report 2 Label Cfg", 57, 58, 82, 13, false},
    {C::Reset, K::Button, "Reset", 142, 16, 58, 13, false},
    {C::Configure, K::Button, "Configure", 142, 30, 58, 13, false},
    {C::TwoLabelConfig, K::Button, "2 Label Cfg", 142, 44, 58, 13, false},
    {C::DirectIoCommand, K::Button, "Direct IO Cmd", 142, 58, 58, 13, false},
    {S, K::GroupBox, "Stress test", 204, 12, 98, 59, false},
    {C::StressAutoDisable, K::CheckBox, "Auto Enable/Disable", 209, 27, 91, 10, false},
    {C::StressTest, K::Button, "50 Disable/Enable", 209, 47, 88, 14, false},
};

const CControlTemplate kQuorin[] = {
    {S, K::Static, "Quorin", 4, 6, 48, 8, false},
    {C::SendCombo, K::SendCombo, "", 54, 4, 180, 80, false},
    {C::Send, K::Button, "Send", 238, 3, 32, 14, false},
    {C::Delete, K::Button, "Delete", 272, 3, 32, 14, false},
    {C::TriggerDevice, K::Button, "Trigger Device", 4, 22, 64, 14, false},
    {C::Beep, K::Button, "Beep", 72, 22, 50, 14, false},
    {C::ErrorBeep, K::Button, "Error Beep", 126, 22, 50, 14, false},
    {C::Disable, K::Button, "Disable", 4, 40, 64, 14, false},
    {C::Enable, K::Button, "Enable", 72, 40, 50, 14, false},
    {C::BeeperOff, K::Button, "Beeper Off", 126, 40, 50, 14, false},
    {C::BeeperOn, K::Button, "Beeper On", 180, 40, 50, 14, false},
};

const CControlTemplate kHidPos[] = {
    {S, K::Static, "Hid Pos", 4, 6, 48, 8, false},
    {C::SendCombo, K::SendCombo, "", 54, 4, 180, 80, false},
    {C::Send, K::Button, "Send", 238, 3, 32, 14, false},
    {C::Delete, K::Button, "Delete", 272, 3, 32, 14, false},
    {C::TriggerDevice, K::Button, "Trigger Device", 4, 22, 64, 14, false},
    {C::Beep, K::Button, "Beep", 72, 22, 50, 14, false},
    {C::ErrorBeep, K::Button, "Error Beep", 126, 22, 50, 14, false},
    {C::Disable, K::Button, "Disable", 4, 40, 64, 14, false},
    {C::Enable, K::Button, "Enable", 72, 40, 50, 14, false},
    {C::BeeperOff, K::Button, "Beeper Off", 126, 40, 50, 14, true},
    {C::BeeperOn, K::Button, "Beeper On", 180, 40, 50, 14, true},
    {C::RedirectToInterface0, K::Button, "Redirect to interface 0", 4, 58, 100, 14, false},
    {C::RedirectToInterface1, K::Button, "Redirect to interface 1", 108, 58, 100, 14, false},
};

const CControlTemplate kSurePosSio[] = {
    {S, K::Static, "SurePos Sio", 4, 6, 48, 8, false},
    {C::SendCombo, K::SendCombo, "", 54, 4, 180, 80, false},
    {C::Send, K::Button, "Send", 238, 3, 32, 14, false},
    {C::Delete, K::Button, "Delete", 272, 3, 32, 14, false},
    {C::Test, K::Button, "Test", 4, 22, 72, 14, false},
    {C::StatusRequest, K::Button, "Status Request", 80, 22, 72, 14, false},
    {C::Reset, K::Button, "Reset", 156, 22, 72, 14, false},
    {C::Setup, K::Button, "Setup", 232, 22, 72, 14, false},
    {C::ChannelControl, K::Button, "Channel Control", 4, 40, 72, 14, false},
    {C::ReadStatus, K::Button, "Read Status", 80, 40, 72, 14, false},
    {C::ReceiveBuffer, K::Button, "Receive Buffer", 156, 40, 72, 14, false},
    {C::GetContents, K::Button, "Get Contents", 232, 40, 72, 14, false},
    {C::RawOnly, K::CheckBox, "Raw Only", 6, 60, 70, 10, false},
    {C::AutoRead, K::CheckBox, "Auto Read", 82, 60, 70, 10, false},
};

const CControlTemplate kNoDevice[] = {
    {S, K::CenteredStatic,
     "This window shows device specific controls.\nThere is no device selected.", 4, 25, 298, 20,
     false},
};

template <size_t N> constexpr CPanelTemplate Make(int id, const CControlTemplate (&controls)[N]) {
    return {id, controls, N};
}

const CPanelTemplate kTemplates[] = {
    Make(PanelTemplateId::SurePos, kSurePos),   Make(PanelTemplateId::Quorin, kQuorin),
    Make(PanelTemplateId::HidPos, kHidPos),     Make(PanelTemplateId::SurePosSio, kSurePosSio),
    Make(PanelTemplateId::NoDevice, kNoDevice),
};

} // namespace

const CPanelTemplate* CPanelTemplate::Find(int templateId) {
    for (const CPanelTemplate& t : kTemplates) {
        if (t.templateId == templateId)
            return &t;
    }
    return nullptr;
}
