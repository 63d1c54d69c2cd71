#include "platform/CSimFirmware.h"
#include "platform/CSimHidPosFirmware.h"
#include "platform/CSimQuorinFirmware.h"
#include "platform/CSimSurePosFirmware.h"
#include "platform/CSimSurePosSioFirmware.h"

namespace {

// A reader that accepts output reports and answers nothing.
class CSimPassiveFirmware : public CSimFirmware {
public:
    void OnOutputReport(const uint8_t*, size_t, CSimFirmwareHost&) override {}
    bool OnSetFeature(const uint8_t*, size_t) override { return false; }
    bool OnGetFeature(uint8_t*, size_t) override { return false; }
};

} // namespace

std::unique_ptr<CSimFirmware> CreateSimFirmware(CSimReaderKind kind) {
    switch (kind) {
    case CSimReaderKind::Quorin:
        return std::make_unique<CSimQuorinFirmware>();
    case CSimReaderKind::HidPos:
        return std::make_unique<CSimHidPosFirmware>();
    case CSimReaderKind::SurePos:
        return std::make_unique<CSimSurePosFirmware>();
    case CSimReaderKind::SurePosSio:
        return std::make_unique<CSimSurePosSioFirmware>();
    case CSimReaderKind::Passive:
        break;
    }
    return std::make_unique<CSimPassiveFirmware>();
}
