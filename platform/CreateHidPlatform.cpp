#include "hidraw/CHidrawPlatform.h"
#include "platform/CHidPlatform.h"
#include "sim/CSimPlatform.h"

#include <cstdlib>
#include <cstring>

std::unique_ptr<CHidPlatform> CreateHidPlatform() {
    const char* simulate = std::getenv("VANTREL_SIMULATE");
    if (simulate != nullptr && std::strcmp(simulate, "1") == 0) {
        return std::make_unique<CSimPlatform>();
    }
    return std::make_unique<CHidrawPlatform>();
}
