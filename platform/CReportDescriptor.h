// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "platform/CHidPlatform.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum class CReportKind { Input = 0, Output = 1, Feature = 2 };

// One top-level collection with the reports declared inside it (nested collections included).
struct CReportCollection {
    uint16_t usagePage = 0;
    uint16_t usage = 0;
    // Longest report of each kind in bytes plus one for the report id; 0 when there is none.
    std::array<uint16_t, 3> reportByteLength{};
};

// A parsed HID report descriptor: the top-level collections and, per report kind, the report
// byte lengths and report ids of the whole interface. The input is untrusted: Parse either
// succeeds or fails with the offset of the offending item and a reason, never reading past the
// end of the bytes it was given.
class CReportDescriptor {
public:
    // Largest report accepted, in bytes without the report id (the kernel's buffer limit).
    static constexpr uint32_t kMaxReportBytes = 16384;
    static constexpr size_t kMaxPushDepth = 16;
    static constexpr size_t kMaxCollectionDepth = 64;

    bool Parse(const uint8_t* data, size_t size);
    bool Parse(const std::vector<uint8_t>& data) { return Parse(data.data(), data.size()); }

    const std::vector<CReportCollection>& Collections() const { return m_collections; }
    // Over every collection: the longest report of the kind in bytes plus one for the report
    // id (also without report ids), 0 when the interface has no report of that kind.
    uint16_t ReportByteLength(CReportKind kind) const {
        return m_reportByteLength[static_cast<size_t>(kind)];
    }
    // The non-zero report ids declared for the kind, ascending.
    std::vector<uint8_t> ReportIds(CReportKind kind) const;
    // True when reports of this kind carry a report id byte.
    bool IsNumbered(CReportKind kind) const { return !ReportIds(kind).empty(); }
    bool UsesReportIds() const;

    // Usage page and usage of the first collection that is a reader interface, else of the
    // first; report lengths of the whole interface (a hidraw node delivers every collection's
    // reports). All zero when the descriptor did not parse.
    CHidCaps Caps() const;

    size_t ErrorOffset() const { return m_errorOffset; }
    const std::string& ErrorReason() const { return m_errorReason; }

private:
    bool Fail(size_t offset, std::string reason);
    void Reset();

    std::vector<CReportCollection> m_collections;
    std::array<uint16_t, 3> m_reportByteLength{};
    // Bits per kind and report id over the whole descriptor, and which of them were declared.
    std::array<std::array<uint32_t, 256>, 3> m_bits{};
    std::array<std::array<bool, 256>, 3> m_declared{};
    bool m_parsed = false;
    size_t m_errorOffset = 0;
    std::string m_errorReason;
};
