// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "sim/CSimPlatform.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

// A simulated Hid Pos reader that sends only what it is given (CSimPlatform::InjectInputReport).
inline CSimReaderDefinition PassiveHidPosReader(const std::string& path, const std::string& product,
                                                const std::string& serial,
                                                CHidAttributes attributes) {
    CSimReaderDefinition reader;
    reader.path = path;
    reader.attributes = attributes;
    reader.product = product;
    reader.serial = serial;
    reader.reportDescriptor = CSimReaderSet::HidPosDescriptor();
    reader.kind = CSimReaderKind::Passive;
    return reader;
}

// The passive reader the benchmarks flood with scans.
inline CSimReaderDefinition BenchHidPosReader() {
    return PassiveHidPosReader("sim:/bench", "Bench Reader", "B1",
                               CHidAttributes{0x1209, 0x0001, 0x0100});
}

// A Hid Pos scan of a 12-character label (the number `i`) with its AIM identifier.
inline std::vector<uint8_t> HidPosScan(int i) {
    char label[13];
    std::snprintf(label, sizeof label, "%012d", i);
    std::vector<uint8_t> report(5 + 12);
    report[0] = 0x02;
    report[1] = 12;
    report[2] = ']';
    report[3] = 'E';
    report[4] = '0';
    std::memcpy(report.data() + 5, label, 12);
    return report;
}
