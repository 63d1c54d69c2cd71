// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

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
