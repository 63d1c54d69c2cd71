#pragma once

#include "platform/CHidPlatform.h"

#include <chrono>
#include <cstdint>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

// A recording of what a reader sent: one item per line, '#' starts a comment.
//   R: <n> <hex bytes>                  the report descriptor
//   N: <name>                           the device name
//   I: <bus> <vid> <pid>                bus, vendor and product id (hex)
//   E: <seconds.micro> <count> <hex>    one input report as read
//   F: <hex bytes>                      the next feature report the device answers with
// A line of plain hex bytes is an input report. Malformed lines are kept as errors with their
// line number; parsing goes on with the next line.
class CRecording {
public:
    struct CItem {
        enum class Kind { Input, Feature };
        Kind kind = Kind::Input;
        std::vector<uint8_t> bytes;
        int line = 0;
    };
    struct CError {
        int line = 0;
        std::string message;
    };

    void Parse(std::istream& in);
    void ParseLine(const std::string& line, int lineNumber);

    std::optional<std::vector<uint8_t>> m_descriptor;
    std::string m_name;
    std::optional<uint16_t> m_vendorId;
    std::optional<uint16_t> m_productId;
    std::vector<CItem> m_items;
    std::vector<CError> m_errors;
};

// Parses whitespace-separated hex bytes ("0a 1B ff"); false with a reason on anything else.
bool ParseHexBytes(const std::string& text, std::vector<uint8_t>& bytes, std::string& error);

// Formats bytes as lower-case hex separated by blanks, the way recordings write them.
std::string FormatHexBytes(const uint8_t* data, size_t length);

// Writes what a reader sent as a recording: header lines, then one "E:" line per report as
// hidraw read it (without the 0x00 that the port puts before unnumbered reports).
class CRecordingWriter {
public:
    CRecordingWriter(std::ostream& out, bool inputNumbered);

    void WriteHeader(const std::string& name, const CHidAttributes& attributes,
                     const std::vector<uint8_t>& descriptor);
    void WriteInput(const std::vector<uint8_t>& report);

private:
    using Clock = std::chrono::steady_clock;
    std::ostream& m_out;
    bool m_inputNumbered;
    Clock::time_point m_start;
};
