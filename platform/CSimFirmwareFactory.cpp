#include "platform/CPassiveSimFirmware.h"
#include "platform/CSimFirmware.h"

std::unique_ptr<CSimFirmware> CreateSimFirmware(CSimReaderKind kind) {
    (void)kind;
    return std::make_unique<CPassiveSimFirmware>();
}
