// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "platform/CReportDescriptor.h"

#include "platform/ReaderUsage.h"

#include <algorithm>

namespace {

constexpr uint8_t kLongItemPrefix = 0xFE;
constexpr size_t kShortItemDataSize[4] = {0, 1, 2, 4};

enum ItemType : uint8_t { kMain = 0, kGlobal = 1, kLocal = 2 };

enum MainTag : uint8_t {
    kInput = 0x8,
    kOutput = 0x9,
    kCollection = 0xA,
    kFeature = 0xB,
    kEndCollection = 0xC
};

enum GlobalTag : uint8_t {
    kUsagePage = 0x0,
    kReportSize = 0x7,
    kReportId = 0x8,
    kReportCount = 0x9,
    kPush = 0xA,
    kPop = 0xB
};

enum LocalTag : uint8_t { kLocalUsage = 0x0, kUsageMinimum = 0x1, kUsageMaximum = 0x2 };

// Input item data bits.
constexpr uint32_t kConstantBit = 0x01;
constexpr uint32_t kVariableBit = 0x02;

// The global items that decide report sizes; Push/Pop save and restore all of it.
struct CGlobalState {
    uint16_t usagePage = 0;
    uint32_t reportSize = 0;
    uint32_t reportCount = 0;
    uint8_t reportId = 0;
};

struct CCollectionReport {
    uint8_t kind;
    uint8_t id;
    uint32_t bits;
};

uint32_t WithPage(uint32_t usage, uint16_t page) {
    return FullUsage(page, static_cast<uint16_t>(usage & 0xFFFF));
}

uint16_t ByteLength(uint32_t bits) {
    // bits never exceed kMaxReportBytes * 8, so the result fits.
    return static_cast<uint16_t>((bits + 7) / 8 + 1);
}

} // namespace

void CReportDescriptor::ApplyLastUsagePage(std::vector<CLocalUsage>& usages, uint16_t page) {
    for (auto it = usages.rbegin(); it != usages.rend(); ++it) {
        if (it->extended) {
            continue;
        }
        if (it->range.first >> 16 == page) {
            break;
        }
        it->range.first = WithPage(it->range.first, page);
        it->range.last = WithPage(it->range.last, page);
    }
}

uint32_t CReportField::UsageAt(uint32_t index) const {
    uint32_t left = index;
    for (const CUsageRange& range : usages) {
        const uint32_t span = range.last - range.first;
        if (left <= span) {
            return range.first + left;
        }
        left -= span + 1;
    }
    return usages.empty() ? 0 : usages.back().last;
}

void CReportDescriptor::Reset() {
    m_collections.clear();
    m_inputFields.clear();
    m_inputFieldsComplete = true;
    m_reportByteLength = {};
    m_bits = {};
    m_declared = {};
    m_parsed = false;
}

bool CReportDescriptor::Fail(size_t offset, std::string reason) {
    Reset();
    m_errorOffset = offset;
    m_errorReason = std::move(reason);
    return false;
}

bool CReportDescriptor::Parse(const uint8_t* data, size_t size) {
    Reset();
    m_errorOffset = 0;
    m_errorReason.clear();
    if (data == nullptr && size != 0) {
        return Fail(0, "no descriptor bytes");
    }

    CGlobalState global;
    std::vector<CGlobalState> globalStack;
    bool haveUsage = false;
    uint32_t firstUsage = 0;
    bool firstUsageExtended = false;
    size_t depth = 0;
    std::vector<CCollectionReport> collectionReports;
    std::vector<CLocalUsage> localUsages;
    size_t keptUsageRanges = 0;
    bool haveMinimum = false;
    CLocalUsage minimum;
    constexpr uint64_t maxBits = uint64_t{kMaxReportBytes} * 8;

    size_t pos = 0;
    while (pos < size) {
        const size_t start = pos;
        const uint8_t prefix = data[pos];
        if (prefix == kLongItemPrefix) {
            // Long items carry no defined tags: skip them whole.
            if (size - pos < 3) {
                return Fail(start, "truncated long item header");
            }
            const size_t length = data[pos + 1];
            if (size - pos - 3 < length) {
                return Fail(start, "long item data runs past the end of the descriptor");
            }
            pos += 3 + length;
            continue;
        }

        const size_t dataSize = kShortItemDataSize[prefix & 3];
        if (size - pos - 1 < dataSize) {
            return Fail(start, "item data runs past the end of the descriptor");
        }
        uint32_t value = 0;
        for (size_t i = 0; i < dataSize; ++i) {
            value |= uint32_t{data[pos + 1 + i]} << (8 * i);
        }
        pos += 1 + dataSize;
        const uint8_t type = (prefix >> 2) & 3;
        const uint8_t tag = prefix >> 4;

        if (type == kMain) {
            switch (tag) {
            case kInput:
            case kOutput:
            case kFeature: {
                const size_t kind = tag == kInput ? 0 : tag == kOutput ? 1 : 2;
                const uint64_t bits = uint64_t{global.reportSize} * global.reportCount;
                uint32_t& total = m_bits[kind][global.reportId];
                if (bits > maxBits - total) {
                    return Fail(start, "report " + std::to_string(global.reportId) +
                                           " is longer than " + std::to_string(kMaxReportBytes) +
                                           " bytes");
                }
                if (kind == 0) {
                    ApplyLastUsagePage(localUsages, global.usagePage);
                    AddInputField(global.reportId, total, global.reportSize, global.reportCount,
                                  value, localUsages, keptUsageRanges);
                }
                total += static_cast<uint32_t>(bits);
                m_declared[kind][global.reportId] = true;
                if (depth > 0) {
                    // Never exceeds the descriptor-wide total checked above.
                    auto it = std::find_if(collectionReports.begin(), collectionReports.end(),
                                           [&](const CCollectionReport& r) {
                                               return r.kind == kind && r.id == global.reportId;
                                           });
                    if (it == collectionReports.end()) {
                        collectionReports.push_back(
                            {static_cast<uint8_t>(kind), global.reportId, 0});
                        it = collectionReports.end() - 1;
                    }
                    it->bits += static_cast<uint32_t>(bits);
                }
                break;
            }
            case kCollection:
                if (depth == kMaxCollectionDepth) {
                    return Fail(start, "collections nested deeper than " +
                                           std::to_string(kMaxCollectionDepth));
                }
                if (depth == 0) {
                    // Without a Usage item the collection keeps the usage page in effect,
                    // with usage 0.
                    CReportCollection collection;
                    collection.usagePage = global.usagePage;
                    if (haveUsage) {
                        if (firstUsageExtended) {
                            collection.usagePage = static_cast<uint16_t>(firstUsage >> 16);
                        }
                        collection.usage = static_cast<uint16_t>(firstUsage & 0xFFFF);
                    }
                    m_collections.push_back(collection);
                    collectionReports.clear();
                }
                ++depth;
                break;
            case kEndCollection:
                if (depth == 0) {
                    return Fail(start, "End Collection without an open collection");
                }
                if (--depth == 0) {
                    CReportCollection& collection = m_collections.back();
                    for (const CCollectionReport& r : collectionReports) {
                        collection.reportByteLength[r.kind] =
                            std::max(collection.reportByteLength[r.kind], ByteLength(r.bits));
                    }
                }
                break;
            default:
                break; // reserved main tags declare nothing
            }
            // Local items end with every main item.
            haveUsage = false;
            haveMinimum = false;
            localUsages.clear();
            continue;
        }

        if (type == kGlobal) {
            switch (tag) {
            case kUsagePage:
                global.usagePage = static_cast<uint16_t>(value & 0xFFFF);
                break;
            case kReportSize:
                global.reportSize = value;
                break;
            case kReportId:
                if (value == 0 || value > 255) {
                    return Fail(start, "Report ID " + std::to_string(value) +
                                           " is invalid (must be 1 to 255)");
                }
                global.reportId = static_cast<uint8_t>(value);
                break;
            case kReportCount:
                global.reportCount = value;
                break;
            case kPush:
                if (globalStack.size() == kMaxPushDepth) {
                    return Fail(start, "Push nested deeper than " + std::to_string(kMaxPushDepth));
                }
                globalStack.push_back(global);
                break;
            case kPop:
                if (globalStack.empty()) {
                    return Fail(start, "Pop without a matching Push");
                }
                global = globalStack.back();
                globalStack.pop_back();
                break;
            default:
                break; // logical/physical extents and units do not affect sizes
            }
            continue;
        }

        if (type == kLocal && tag == kLocalUsage && !haveUsage) {
            haveUsage = true;
            firstUsage = value;
            firstUsageExtended = dataSize == 4;
        }
        if (type == kLocal) {
            const bool extended = dataSize == 4;
            const uint32_t usage = extended ? value : WithPage(value, global.usagePage);
            switch (tag) {
            case kLocalUsage:
                AddLocalUsage(localUsages, {{usage, usage}, extended});
                break;
            case kUsageMinimum:
                minimum = {{usage, usage}, extended};
                haveMinimum = true;
                break;
            case kUsageMaximum:
                // A maximum of the page its minimum named; a range running backwards, or one
                // without a minimum, declares nothing.
                if (haveMinimum) {
                    const uint32_t last =
                        extended || !minimum.extended
                            ? usage
                            : WithPage(usage, uint16_t(minimum.range.first >> 16));
                    if (minimum.range.first <= last) {
                        AddLocalUsage(localUsages,
                                      {{minimum.range.first, last}, extended || minimum.extended});
                    }
                    haveMinimum = false;
                }
                break;
            default:
                break; // designators, strings and delimiters place nothing
            }
        }
    }

    if (depth != 0) {
        return Fail(size, "collection not closed at the end of the descriptor");
    }

    for (size_t kind = 0; kind < 3; ++kind) {
        for (size_t id = 0; id < 256; ++id) {
            if (m_declared[kind][id]) {
                m_reportByteLength[kind] =
                    std::max(m_reportByteLength[kind], ByteLength(m_bits[kind][id]));
            }
        }
    }
    m_parsed = true;
    return true;
}

void CReportDescriptor::AddLocalUsage(std::vector<CLocalUsage>& usages, const CLocalUsage& usage) {
    if (usages.size() == kMaxUsageRanges) {
        m_inputFieldsComplete = false;
        return;
    }
    usages.push_back(usage);
}

void CReportDescriptor::AddInputField(uint8_t reportId, uint32_t bitOffset, uint32_t reportSize,
                                      uint32_t reportCount, uint32_t flags,
                                      const std::vector<CLocalUsage>& usages,
                                      size_t& keptUsageRanges) {
    if (m_inputFields.size() == kMaxInputFields ||
        usages.size() > kMaxUsageRanges - keptUsageRanges) {
        m_inputFieldsComplete = false;
        return;
    }
    CReportField field;
    field.reportId = reportId;
    field.bitOffset = bitOffset;
    field.reportSize = reportSize;
    field.reportCount = reportCount;
    field.constant = (flags & kConstantBit) != 0;
    field.variable = (flags & kVariableBit) != 0;
    field.usages.reserve(usages.size());
    for (const CLocalUsage& usage : usages) {
        field.usages.push_back(usage.range);
    }
    keptUsageRanges += usages.size();
    m_inputFields.push_back(std::move(field));
}

std::vector<CReportField> CReportDescriptor::InputFields(uint8_t reportId) const {
    std::vector<CReportField> fields;
    for (const CReportField& field : m_inputFields) {
        if (field.reportId == reportId) {
            fields.push_back(field);
        }
    }
    return fields;
}

std::vector<uint8_t> CReportDescriptor::ReportIds(CReportKind kind) const {
    std::vector<uint8_t> ids;
    const auto& declared = m_declared[static_cast<size_t>(kind)];
    for (size_t id = 1; id < 256; ++id) {
        if (declared[id]) {
            ids.push_back(static_cast<uint8_t>(id));
        }
    }
    return ids;
}

bool CReportDescriptor::UsesReportIds() const {
    return IsNumbered(CReportKind::Input) || IsNumbered(CReportKind::Output) ||
           IsNumbered(CReportKind::Feature);
}

CHidCaps CReportDescriptor::Caps() const {
    CHidCaps caps;
    if (!m_parsed) {
        return caps;
    }
    if (!m_collections.empty()) {
        auto chosen = std::find_if(
            m_collections.begin(), m_collections.end(),
            [](const CReportCollection& c) { return IsReaderUsage(c.usagePage, c.usage); });
        if (chosen == m_collections.end()) {
            chosen = m_collections.begin();
        }
        caps.usagePage = chosen->usagePage;
        caps.usage = chosen->usage;
    }
    caps.inputReportByteLength = ReportByteLength(CReportKind::Input);
    caps.outputReportByteLength = ReportByteLength(CReportKind::Output);
    caps.featureReportByteLength = ReportByteLength(CReportKind::Feature);
    return caps;
}
