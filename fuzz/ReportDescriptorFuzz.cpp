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
        // Every input field kept lies inside the longest input report.
        const uint64_t inputBits =
            caps.inputReportByteLength > 0 ? (uint64_t{caps.inputReportByteLength} - 1) * 8 : 0;
        for (size_t id = 0; id < 256; ++id) {
            for (const CReportField& field : descriptor.InputFields(static_cast<uint8_t>(id))) {
                if (field.bitOffset + uint64_t{field.reportSize} * field.reportCount > inputBits) {
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
