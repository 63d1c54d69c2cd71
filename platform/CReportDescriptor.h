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

// Usages as HID writes them in full: the usage page in the high 16 bits, the usage in the low.
constexpr uint32_t FullUsage(uint16_t page, uint16_t usage) {
    return uint32_t{page} << 16 | usage;
}

// Usages first..last, both included; one usage is a range of one.
struct CUsageRange {
    uint32_t first = 0;
    uint32_t last = 0;
};

// One main Input item: where its elements lie in the report and which usage each carries.
struct CReportField {
    uint8_t reportId = 0;
    // From the first bit after the report id byte (from bit 0 without report ids).
    uint32_t bitOffset = 0;
    uint32_t reportSize = 0;  // bits per element
    uint32_t reportCount = 0; // elements
    bool constant = false;
    bool variable = false; // each element a value of its own usage, not an array index
    std::vector<CUsageRange> usages;

    // The usage of element `index`: the declared usages in order, ranges counted out, the last
    // one repeating over the elements left, as HID assigns them; 0 when none was declared.
    uint32_t UsageAt(uint32_t index) const;
};

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
    // Input fields and usage ranges kept at most; a descriptor with more still parses, and
    // InputFieldsComplete() says that some were left out.
    static constexpr size_t kMaxInputFields = 1024;
    static constexpr size_t kMaxUsageRanges = 4096;

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

    // The Input items of report `reportId` (0 without report ids), in descriptor order.
    std::vector<CReportField> InputFields(uint8_t reportId) const;
    // False when the descriptor declared more fields or usages than are kept.
    bool InputFieldsComplete() const { return m_inputFieldsComplete; }

    // Usage page and usage of the first collection that is a reader interface, else of the
    // first; report lengths of the whole interface (a hidraw node delivers every collection's
    // reports). All zero when the descriptor did not parse.
    CHidCaps Caps() const;

    size_t ErrorOffset() const { return m_errorOffset; }
    const std::string& ErrorReason() const { return m_errorReason; }

private:
    // A usage declared since the last main item. One given in four bytes names its own page;
    // the others take the page in effect, which a Usage Page before the main item may still
    // change.
    struct CLocalUsage {
        CUsageRange range;
        bool extended = false;
    };

    bool Fail(size_t offset, std::string reason);
    void Reset();
    // As the kernel does at a main item: the usages declared after the last Usage Page change,
    // counted back from the latest, take the page now in effect.
    static void ApplyLastUsagePage(std::vector<CLocalUsage>& usages, uint16_t page);
    void AddLocalUsage(std::vector<CLocalUsage>& usages, const CLocalUsage& usage);
    void AddInputField(uint8_t reportId, uint32_t bitOffset, uint32_t reportSize,
                       uint32_t reportCount, uint32_t flags, const std::vector<CLocalUsage>& usages,
                       size_t& keptUsageRanges);

    std::vector<CReportCollection> m_collections;
    std::vector<CReportField> m_inputFields;
    bool m_inputFieldsComplete = true;
    std::array<uint16_t, 3> m_reportByteLength{};
    // Bits per kind and report id over the whole descriptor, and which of them were declared.
    std::array<std::array<uint32_t, 256>, 3> m_bits{};
    std::array<std::array<bool, 256>, 3> m_declared{};
    bool m_parsed = false;
    size_t m_errorOffset = 0;
    std::string m_errorReason;
};
