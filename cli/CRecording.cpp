#include "cli/CRecording.h"

#include <cctype>
#include <cstdio>
#include <sstream>

namespace {

std::string Trim(const std::string& s) {
    size_t b = 0;
    size_t e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b])))
        ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1])))
        --e;
    return s.substr(b, e - b);
}

bool ParseDecimal(const std::string& token, long& value) {
    if (token.empty() || token.size() > 9)
        return false;
    value = 0;
    for (char c : token) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

bool ParseHexWord(const std::string& token, uint16_t& value) {
    if (token.empty() || token.size() > 8)
        return false;
    unsigned long v = 0;
    for (char c : token) {
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return false;
        v = v * 16 + unsigned(std::isdigit(static_cast<unsigned char>(c))
                                  ? c - '0'
                                  : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10);
    }
    if (v > 0xFFFF)
        return false;
    value = uint16_t(v);
    return true;
}

bool IsTimestamp(const std::string& token) {
    const size_t dot = token.find('.');
    if (dot == std::string::npos || dot == 0 || dot + 1 == token.size())
        return false;
    for (size_t i = 0; i < token.size(); ++i)
        if (i != dot && !std::isdigit(static_cast<unsigned char>(token[i])))
            return false;
    return true;
}

// Splits "<count> <hex bytes>" and checks that the count agrees with the bytes.
bool ParseCountedBytes(std::istringstream& rest, std::vector<uint8_t>& bytes, std::string& error) {
    std::string countToken;
    long count = 0;
    if (!(rest >> countToken) || !ParseDecimal(countToken, count)) {
        error = "expected a decimal byte count";
        return false;
    }
    std::string hex;
    std::getline(rest, hex);
    if (!ParseHexBytes(hex, bytes, error))
        return false;
    if (long(bytes.size()) != count) {
        error = "the count says " + std::to_string(count) + " bytes but the line has " +
                std::to_string(bytes.size());
        return false;
    }
    return true;
}

} // namespace

bool ParseHexBytes(const std::string& text, std::vector<uint8_t>& bytes, std::string& error) {
    bytes.clear();
    std::istringstream in(text);
    std::string token;
    while (in >> token) {
        uint16_t value = 0;
        if (token.size() > 2 || !ParseHexWord(token, value)) {
            error = "\"" + token + "\" is not a hex byte";
            return false;
        }
        bytes.push_back(uint8_t(value));
    }
    return true;
}

std::string FormatHexBytes(const uint8_t* data, size_t length) {
    std::string out;
    out.reserve(length * 3);
    char group[4];
    for (size_t i = 0; i < length; ++i) {
        std::snprintf(group, sizeof group, i ? " %02x" : "%02x", data[i]);
        out += group;
    }
    return out;
}

void CRecording::Parse(std::istream& in) {
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line))
        ParseLine(line, ++lineNumber);
}

void CRecording::ParseLine(const std::string& rawLine, int lineNumber) {
    const std::string line = Trim(rawLine.substr(0, rawLine.find('#')));
    if (line.empty())
        return;
    auto fail = [&](const std::string& message) { m_errors.push_back({lineNumber, message}); };

    if (line.size() < 2 || line[1] != ':') {
        CItem item{CItem::Kind::Input, {}, lineNumber};
        std::string error;
        if (!ParseHexBytes(line, item.bytes, error))
            return fail(error);
        m_items.push_back(std::move(item));
        return;
    }

    std::istringstream rest(line.substr(2));
    std::string error;
    switch (line[0]) {
    case 'R': {
        std::vector<uint8_t> bytes;
        if (!ParseCountedBytes(rest, bytes, error))
            return fail("report descriptor: " + error);
        m_descriptor = std::move(bytes);
        return;
    }
    case 'N':
        m_name = Trim(line.substr(2));
        return;
    case 'I': {
        std::string bus, vid, pid;
        uint16_t b = 0, v = 0, p = 0;
        if (!(rest >> bus >> vid >> pid) || !ParseHexWord(bus, b) || !ParseHexWord(vid, v) ||
            !ParseHexWord(pid, p))
            return fail("expected \"I: <bus> <vendor id> <product id>\" in hex");
        m_vendorId = v;
        m_productId = p;
        return;
    }
    case 'E': {
        std::string stamp;
        if (!(rest >> stamp) || !IsTimestamp(stamp))
            return fail("input report: expected a time stamp <seconds.micro>");
        CItem item{CItem::Kind::Input, {}, lineNumber};
        if (!ParseCountedBytes(rest, item.bytes, error))
            return fail("input report: " + error);
        m_items.push_back(std::move(item));
        return;
    }
    case 'F': {
        CItem item{CItem::Kind::Feature, {}, lineNumber};
        std::string hex;
        std::getline(rest, hex);
        if (!ParseHexBytes(hex, item.bytes, error))
            return fail("feature report: " + error);
        if (item.bytes.empty())
            return fail("feature report: no bytes");
        m_items.push_back(std::move(item));
        return;
    }
    default:
        return fail(std::string("unknown item \"") + line[0] + ":\"");
    }
}

CRecordingWriter::CRecordingWriter(std::ostream& out, bool inputNumbered)
    : m_out(out), m_inputNumbered(inputNumbered), m_start(Clock::now()) {}

void CRecordingWriter::WriteHeader(const std::string& name, const CHidAttributes& attributes,
                                   const std::vector<uint8_t>& descriptor) {
    m_out << "# vantrel-cli recording\n";
    m_out << "N: " << name << "\n";
    char identity[40];
    std::snprintf(identity, sizeof identity, "I: 3 %04x %04x\n", attributes.vendorId,
                  attributes.productId);
    m_out << identity;
    if (!descriptor.empty())
        m_out << "R: " << descriptor.size() << " "
              << FormatHexBytes(descriptor.data(), descriptor.size()) << "\n";
}

void CRecordingWriter::WriteInput(const std::vector<uint8_t>& report) {
    const size_t skip = m_inputNumbered || report.empty() ? 0 : 1;
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - m_start).count();
    char stamp[40];
    std::snprintf(stamp, sizeof stamp, "E: %lld.%06lld ", static_cast<long long>(elapsed / 1000000),
                  static_cast<long long>(elapsed % 1000000));
    m_out << stamp << report.size() - skip << " "
          << FormatHexBytes(report.data() + skip, report.size() - skip) << "\n";
    m_out.flush();
}
