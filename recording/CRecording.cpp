// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "recording/CRecording.h"

#include "platform/CReportDescriptor.h"
#include "recording/QuoteInput.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view s) {
    size_t b = 0;
    size_t e = s.size();
    while (b < e && IsBlank(s[b])) {
        ++b;
    }
    while (e > b && IsBlank(s[e - 1])) {
        --e;
    }
    return s.substr(b, e - b);
}

// The next blank-separated token of `text` from `at`; empty at the end.
std::string_view NextToken(std::string_view text, size_t& at) {
    while (at < text.size() && IsBlank(text[at])) {
        ++at;
    }
    const size_t start = at;
    while (at < text.size() && !IsBlank(text[at])) {
        ++at;
    }
    return text.substr(start, at - start);
}

// The value of each hex digit, -1 for any other byte.
struct CHexDigits {
    int8_t value[256];
    constexpr CHexDigits() : value() {
        for (int8_t& digit : value) {
            digit = -1;
        }
        for (int i = 0; i < 10; ++i) {
            value['0' + i] = int8_t(i);
        }
        for (int i = 0; i < 6; ++i) {
            value['a' + i] = int8_t(10 + i);
            value['A' + i] = int8_t(10 + i);
        }
    }
};
constexpr CHexDigits kHex;

int HexDigit(char c) {
    return kHex.value[static_cast<unsigned char>(c)];
}

bool ParseDecimal(std::string_view token, size_t maxDigits, uint64_t& value) {
    if (token.empty() || token.size() > maxDigits) {
        return false;
    }
    value = 0;
    for (char c : token) {
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + uint64_t(c - '0');
    }
    return true;
}

bool ParseHexWord(std::string_view token, uint16_t& value) {
    if (token.empty() || token.size() > 8) {
        return false;
    }
    unsigned long v = 0;
    for (char c : token) {
        const int digit = HexDigit(c);
        if (digit < 0) {
            return false;
        }
        v = v * 16 + unsigned(digit);
    }
    if (v > 0xFFFF) {
        return false;
    }
    value = uint16_t(v);
    return true;
}

// "<seconds>.<fraction>" with up to six fraction digits, as microseconds.
bool ParseTime(std::string_view token, uint64_t& microseconds) {
    const size_t dot = token.find('.');
    uint64_t seconds = 0;
    uint64_t fraction = 0;
    if (dot == std::string_view::npos || !ParseDecimal(token.substr(0, dot), 12, seconds) ||
        !ParseDecimal(token.substr(dot + 1), 6, fraction)) {
        return false;
    }
    for (size_t digits = token.size() - dot - 1; digits < 6; ++digits) {
        fraction *= 10;
    }
    microseconds = seconds * 1000000 + fraction;
    return true;
}

// "<count> <hex bytes>" from `at`, the count agreeing with the bytes.
bool ParseCountedBytes(std::string_view text, size_t at, std::vector<uint8_t>& bytes,
                       std::string& error) {
    const std::string_view countToken = NextToken(text, at);
    uint64_t count = 0;
    if (!ParseDecimal(countToken, 9, count)) {
        error = "expected a decimal byte count, not " + QuoteInput(std::string(countToken));
        return false;
    }
    if (!ParseHexBytes(text.substr(at), bytes, error)) {
        return false;
    }
    if (bytes.size() != count) {
        error = "the count says " + std::to_string(count) + " bytes but the line has " +
                std::to_string(bytes.size());
        return false;
    }
    return true;
}

} // namespace

bool ParseHexBytes(std::string_view text, std::vector<uint8_t>& bytes, std::string& error) {
    bytes.clear();
    const size_t size = text.size();
    size_t at = 0;
    while (at < size) {
        // The usual shape first: two hex digits, then a blank or the end.
        if (at + 1 < size) {
            const int high = HexDigit(text[at]);
            const int low = HexDigit(text[at + 1]);
            if ((high | low) >= 0 && (at + 2 == size || IsBlank(text[at + 2]))) {
                bytes.push_back(uint8_t(high << 4 | low));
                at += 3;
                continue;
            }
        }
        if (IsBlank(text[at])) {
            ++at;
            continue;
        }
        const std::string_view token = NextToken(text, at);
        uint16_t value = 0;
        if (token.size() > 2 || !ParseHexWord(token, value)) {
            error = QuoteInput(std::string(token)) + " is not a hex byte";
            return false;
        }
        bytes.push_back(uint8_t(value));
    }
    return true;
}

void AppendHexBytes(std::string& out, const uint8_t* data, size_t length) {
    static const char kDigits[] = "0123456789abcdef";
    if (length == 0) {
        return;
    }
    const size_t at = out.size();
    out.resize(at + length * 3 - 1);
    char* to = &out[at];
    for (size_t i = 0; i < length; ++i) {
        if (i) {
            *to++ = ' ';
        }
        *to++ = kDigits[data[i] >> 4];
        *to++ = kDigits[data[i] & 0x0F];
    }
}

std::string FormatHexBytes(const uint8_t* data, size_t length) {
    std::string out;
    AppendHexBytes(out, data, length);
    return out;
}

CRecordingReader::Result CRecordingReader::ReadLine(std::string_view rawLine, CRecordingItem& item,
                                                    std::string& error) {
    const std::string_view whole = Trim(rawLine);
    const bool tagged = whole.size() >= 2 && whole[1] == ':';
    // Names and paths are text: a '#' in them is not a comment.
    const bool text = tagged && (whole[0] == 'N' || whole[0] == 'P');
    const std::string_view line = text ? whole : Trim(whole.substr(0, whole.find('#')));
    if (line.empty() || (tagged && line[0] == 'B')) {
        return Result::Nothing;
    }
    // Reused, so that its bytes keep their room from line to line.
    item.kind = CRecordingItem::Kind::Input;
    item.device = m_device;
    item.bytes.clear();
    item.text.clear();
    item.bus = item.vendorId = item.productId = 0;
    item.timed = false;
    item.microseconds = 0;
    if (m_device < 0 && !(tagged && line[0] == 'D')) {
        // After a rejected "D:", until the next accepted one.
        return Result::Skipped;
    }
    const auto fail = [&](const std::string& reason) {
        error = reason;
        return Result::Error;
    };

    if (!tagged) {
        return ParseHexBytes(line, item.bytes, error) ? Result::Item : Result::Error;
    }
    size_t at = 2;
    switch (line[0]) {
    case 'D': {
        item.kind = CRecordingItem::Kind::Device;
        const std::string_view token = NextToken(line, at);
        uint64_t index = 0;
        // A device line that is not taken leaves the lines after it without a device.
        if (!ParseDecimal(token, 9, index) || !NextToken(line, at).empty()) {
            m_device = kNoDevice;
            return fail("expected \"D: <device index>\", not " + QuoteInput(std::string(line)));
        }
        if (index >= uint64_t(kMaxDevices)) {
            m_device = kNoDevice;
            return fail("device index " + std::to_string(index) + " is above the limit of " +
                        std::to_string(kMaxDevices - 1));
        }
        m_device = int(index);
        item.device = m_device;
        return Result::Item;
    }
    case 'R':
        item.kind = CRecordingItem::Kind::Descriptor;
        if (!ParseCountedBytes(line, at, item.bytes, error)) {
            return fail("report descriptor: " + error);
        }
        if (item.bytes.size() > kMaxDescriptorBytes) {
            return fail("report descriptor: longer than " + std::to_string(kMaxDescriptorBytes) +
                        " bytes");
        }
        return Result::Item;
    case 'N':
    case 'P':
        item.kind = line[0] == 'N' ? CRecordingItem::Kind::Name : CRecordingItem::Kind::Physical;
        item.text = std::string(Trim(line.substr(2)));
        return Result::Item;
    case 'I': {
        item.kind = CRecordingItem::Kind::Identity;
        const std::string_view bus = NextToken(line, at);
        const std::string_view vendor = NextToken(line, at);
        const std::string_view product = NextToken(line, at);
        if (!ParseHexWord(bus, item.bus) || !ParseHexWord(vendor, item.vendorId) ||
            !ParseHexWord(product, item.productId) || !NextToken(line, at).empty()) {
            return fail("expected \"I: <bus> <vendor id> <product id>\" in hex, not " +
                        QuoteInput(std::string(line)));
        }
        return Result::Item;
    }
    case 'E': {
        item.timed = true;
        const std::string_view stamp = NextToken(line, at);
        if (!ParseTime(stamp, item.microseconds)) {
            return fail("input report: expected a time stamp <seconds.micro>, not " +
                        QuoteInput(std::string(stamp)));
        }
        if (!ParseCountedBytes(line, at, item.bytes, error)) {
            return fail("input report: " + error);
        }
        return Result::Item;
    }
    case 'F':
        item.kind = CRecordingItem::Kind::Feature;
        if (!ParseHexBytes(line.substr(at), item.bytes, error)) {
            return fail("feature report: " + error);
        }
        if (item.bytes.empty()) {
            return fail("feature report: no bytes");
        }
        return Result::Item;
    default:
        return fail("unknown item " + QuoteInput(std::string(line.substr(0, 2))));
    }
}

CRecordingWriter::CRecordingWriter(std::ostream& out, bool severalDevices)
    : m_out(out), m_several(severalDevices) {
    m_out << "# Vantrel recording\n";
}

int CRecordingWriter::AddDevice(const CHidInterfaceInfo& info, const std::string& name) {
    const int device = int(m_inputNumbered.size());
    CReportDescriptor parsed;
    const std::vector<uint8_t>& descriptor = info.reportDescriptor;
    m_inputNumbered.push_back(descriptor.empty() ||
                              (parsed.Parse(descriptor) && parsed.IsNumbered(CReportKind::Input)));
    m_out << "# " << name << "\n";
    if (m_several) {
        m_out << "D: " << device << "\n";
    }
    if (!descriptor.empty()) {
        m_out << "R: " << descriptor.size() << " "
              << FormatHexBytes(descriptor.data(), descriptor.size()) << "\n";
    }
    m_out << "N: " << (info.hidName.empty() ? info.product : info.hidName) << "\n";
    if (!info.physicalPath.empty()) {
        m_out << "P: " << info.physicalPath << "\n";
    }
    char identity[40];
    std::snprintf(identity, sizeof identity, "I: %x %04x %04x\n", info.busType,
                  info.attributes.vendorId, info.attributes.productId);
    m_out << identity;
    m_lastDevice = device;
    Flush();
    return device;
}

void CRecordingWriter::WriteInput(int device, const std::vector<uint8_t>& report) {
    WriteInput(device, report, Clock::now());
}

void CRecordingWriter::WriteInput(int device, const std::vector<uint8_t>& report,
                                  Clock::time_point readTime) {
    BufferInput(device, report.data(), report.size(), readTime);
    Flush();
}

void CRecordingWriter::BufferInput(int device, const uint8_t* report, size_t length,
                                   Clock::time_point readTime) {
    if (device < 0 || size_t(device) >= m_inputNumbered.size()) {
        return;
    }
    if (!m_started) {
        m_start = readTime;
        m_started = true;
    }
    if (m_several && device != m_lastDevice) {
        m_out << "D: " << device << "\n";
    }
    m_lastDevice = device;
    const size_t skip = m_inputNumbered[size_t(device)] || length == 0 ? 0 : 1;
    const auto elapsed = std::max<int64_t>(
        0, std::chrono::duration_cast<std::chrono::microseconds>(readTime - m_start).count());
    char stamp[48];
    std::snprintf(stamp, sizeof stamp, "E: %06lld.%06lld %zu ",
                  static_cast<long long>(elapsed / 1000000),
                  static_cast<long long>(elapsed % 1000000), length - skip);
    std::string line = stamp;
    line += FormatHexBytes(report + skip, length - skip);
    line += '\n';
    errno = 0;
    m_out.write(line.data(), std::streamsize(line.size()));
    CheckStream();
}

bool CRecordingWriter::Flush() {
    errno = 0;
    m_out.flush();
    CheckStream();
    return Good();
}

void CRecordingWriter::CheckStream() {
    if (!m_out.good() && m_error == 0) {
        m_error = errno != 0 ? errno : EIO;
    }
}
