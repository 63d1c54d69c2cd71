// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "sim/CPassiveSimFirmware.h"
#include "sim/CSimFirmware.h"
#include "sim/CSimHidPosFirmware.h"
#include "sim/CSimKeyboardFirmware.h"
#include "sim/CSimQuorinFirmware.h"
#include "sim/CSimSurePosFirmware.h"
#include "sim/CSimSurePosSioFirmware.h"

std::unique_ptr<CSimFirmware> CreateSimFirmware(CSimReaderKind kind) {
    switch (kind) {
    case CSimReaderKind::Quorin:
        return std::make_unique<CSimQuorinFirmware>();
    case CSimReaderKind::HidPos:
        return std::make_unique<CSimHidPosFirmware>();
    case CSimReaderKind::HidPos2D:
        return std::make_unique<CSimHidPosFirmware>(CSimHidPosFirmware::CLabels::Imager2D);
    case CSimReaderKind::SurePos:
        return std::make_unique<CSimSurePosFirmware>();
    case CSimReaderKind::SurePosSio:
        return std::make_unique<CSimSurePosSioFirmware>();
    case CSimReaderKind::Keyboard:
        return std::make_unique<CSimKeyboardFirmware>();
    case CSimReaderKind::Passive:
        break;
    }
    return std::make_unique<CPassiveSimFirmware>();
}
