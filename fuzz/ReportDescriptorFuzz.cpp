// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "platform/CReportDescriptor.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CReportDescriptor descriptor;
    if (descriptor.Parse(data, size)) {
        // A successful parse must be self-consistent.
        const CHidCaps caps = descriptor.Caps();
        for (const CReportCollection& c : descriptor.Collections()) {
            for (size_t kind = 0; kind < 3; ++kind) {
                if (c.reportByteLength[kind] >
                    descriptor.ReportByteLength(static_cast<CReportKind>(kind))) {
                    abort();
                }
            }
        }
        if (caps.inputReportByteLength > CReportDescriptor::kMaxReportBytes + 1 ||
            caps.outputReportByteLength > CReportDescriptor::kMaxReportBytes + 1 ||
            caps.featureReportByteLength > CReportDescriptor::kMaxReportBytes + 1) {
            abort();
        }
    } else if (descriptor.ErrorOffset() > size || descriptor.ErrorReason().empty()) {
        abort();
    }
    return 0;
}
