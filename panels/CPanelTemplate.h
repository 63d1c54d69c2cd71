// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

struct CDialogTemplate;

// The device panels' dialog templates: child dialogs of 306 x 74 dialog units in the dialog font
// with a one-pixel static edge. The send combo (1036) is made by the panel itself.
class CPanelTemplate {
public:
    // The template with that dialog number (129 to 134), or null.
    static const CDialogTemplate* Find(int templateId);
};

// Control numbers of the panels.
namespace PanelControl {
constexpr int TriggerDevice = 1012;
constexpr int RedirectToInterface0 = 1013;
constexpr int Setup = 1015;
constexpr int ChannelControl = 1017;
constexpr int RedirectToInterface1 = 1018;
constexpr int ReadStatus = 1019;
constexpr int ReceiveBuffer = 1022;
constexpr int GetContents = 1024;
constexpr int AutoRead = 1026;
constexpr int Beep = 1028;
constexpr int RawOnly = 1029;
constexpr int ErrorBeep = 1030;
constexpr int Disable = 1031;
constexpr int Enable = 1032;
constexpr int Test = 1033;
constexpr int StatusRequest = 1034;
constexpr int Reset = 1035;
constexpr int SendCombo = 1036;
constexpr int Configure = 1037;
constexpr int Send = 1039;
constexpr int ReportConfiguration = 1040;
constexpr int Delete = 1041;
constexpr int TwoLabelConfig = 1042;
constexpr int BeeperOff = 1044;
constexpr int BeeperOn = 1045;
constexpr int ReportTwoLabelConfig = 1046;
constexpr int DirectIoCommand = 1047;
constexpr int StressAutoDisable = 1048;
constexpr int StressTest = 1049;
constexpr int KeyboardLayout = 1050;
constexpr int Grab = 1051;
constexpr int KeyboardModeText = 1052;
} // namespace PanelControl

namespace PanelTemplateId {
constexpr int SurePos = 129;
constexpr int Quorin = 130;
constexpr int HidPos = 131;
constexpr int SurePosSio = 132;
constexpr int NoDevice = 133;
constexpr int Keyboard = 134;
} // namespace PanelTemplateId
