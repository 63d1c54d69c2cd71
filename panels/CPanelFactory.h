// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <memory>

class CDevicePanel;
class CHidDevice;
class CSettingsStore;
class QWidget;

// The panel that goes with a device object, by the device's type: null for a device of no
// known type (the placeholder then stays empty). A failed open gets a CNoDevicePanel instead.
std::unique_ptr<CDevicePanel> CreateDevicePanel(CHidDevice& device, CSettingsStore* store,
                                                QWidget* parent);
