// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "platform/CHidPlatform.h"

#include <vector>

// True for the keyboard interface of a bar-code reader in keyboard mode: one that the platform
// reads as key reports, of a device whose product or manufacturer string says it is a reader,
// whose ids are a supported reader's, or whose other interfaces are reader interfaces.
// `interfaces` is every present interface.
bool IsKeyboardModeReader(const CHidInterfaceInfo& info,
                          const std::vector<CHidInterfaceInfo>& interfaces);
