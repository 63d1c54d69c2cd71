// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "panels/CPanelFactory.h"

#include "device/CHidDevice.h"
#include "device/CKeyboardDevice.h"
#include "device/CSurePosDevice.h"
#include "device/CSurePosSioDevice.h"
#include "panels/CHidPosPanel.h"
#include "panels/CKeyboardPanel.h"
#include "panels/CQuorinPanel.h"
#include "panels/CSurePosPanel.h"
#include "panels/CSurePosSioPanel.h"

namespace {

using CMakePanel = std::unique_ptr<CDevicePanel> (*)(CHidDevice&, CSettingsStore*, QWidget*);

template <class TPanel, class TDevice>
std::unique_ptr<CDevicePanel> MakePanel(CHidDevice& device, CSettingsStore* store,
                                        QWidget* parent) {
    // The type names the class; a device that is not of it gets no panel rather than a bad cast.
    auto* typed = dynamic_cast<TDevice*>(&device);
    if (!typed) {
        return nullptr;
    }
    return std::make_unique<TPanel>(typed, store, parent);
}

struct CPanelChoice {
    DeviceType type;
    CMakePanel make;
};

const CPanelChoice kPanelChoices[] = {
    {DeviceType::HidPos, &MakePanel<CHidPosPanel, CHidDevice>},
    {DeviceType::SurePos, &MakePanel<CSurePosPanel, CSurePosDevice>},
    {DeviceType::SurePosSio, &MakePanel<CSurePosSioPanel, CSurePosSioDevice>},
    {DeviceType::Quorin, &MakePanel<CQuorinPanel, CHidDevice>},
    {DeviceType::Keyboard, &MakePanel<CKeyboardPanel, CKeyboardDevice>},
};

} // namespace

std::unique_ptr<CDevicePanel> CreateDevicePanel(CHidDevice& device, CSettingsStore* store,
                                                QWidget* parent) {
    for (const CPanelChoice& choice : kPanelChoices) {
        if (choice.type == device.Type()) {
            return choice.make(device, store, parent);
        }
    }
    return nullptr;
}
