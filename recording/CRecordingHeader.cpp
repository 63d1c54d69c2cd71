// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "recording/CRecordingHeader.h"

#include "platform/CReportDescriptor.h"

bool CRecordingHeader::Take(const CRecordingItem& item, long line, std::string& error) {
    switch (item.kind) {
    case CRecordingItem::Kind::Descriptor:
        return TakeDescriptor(item.bytes, line, error);
    case CRecordingItem::Kind::Name:
        m_name = item.text;
        return true;
    case CRecordingItem::Kind::Identity:
        m_attributes.vendorId = item.vendorId;
        m_attributes.productId = item.productId;
        m_bus = item.bus;
        return true;
    default:
        return true;
    }
}

bool CRecordingHeader::TakeDescriptor(const std::vector<uint8_t>& bytes, long line,
                                      std::string& error) {
    m_hasDescriptor = false;
    m_descriptor.clear();
    m_brokenDescriptorLine = line;
    if (bytes.empty()) {
        return true;
    }
    CReportDescriptor parsed;
    if (!parsed.Parse(bytes)) {
        error = "the report descriptor does not parse: at offset " +
                std::to_string(parsed.ErrorOffset()) + ": " + parsed.ErrorReason();
        return false;
    }
    m_hasDescriptor = true;
    m_descriptor = bytes;
    m_brokenDescriptorLine = 0;
    m_caps = parsed.Caps();
    m_inputNumbered = parsed.IsNumbered(CReportKind::Input);
    return true;
}

void CRecordingHeader::AppendReportAsRead(const std::vector<uint8_t>& recorded,
                                          std::vector<uint8_t>& out) const {
    if (!m_inputNumbered) {
        out.push_back(0x00);
    }
    out.insert(out.end(), recorded.begin(), recorded.end());
}
