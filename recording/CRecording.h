// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "platform/CHidPlatform.h"

#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

// The recording line format that the Linux HID recorders exchange, read and written here:
//   D: <index>                          the device the following lines belong to (from 0)
//   R: <n> <hex bytes>                  the report descriptor
//   N: <name>                           the device's HID name
//   P: <physical path>
//   I: <bus> <vid> <pid>                bus type, vendor and product id (hex)
//   E: <seconds.micro> <count> <hex>    one input report as hidraw read it
//   B: ...                              an event of a BPF program: skipped
//   F: <hex bytes>                      the next feature report the device answers with
// A line of plain hex bytes is an input report; '#' starts a comment.
struct CRecordingItem {
    enum class Kind { Device, Descriptor, Name, Physical, Identity, Input, Feature };
    Kind kind = Kind::Input;
    int device = 0;             // the device the item belongs to
    std::vector<uint8_t> bytes; // descriptor, report or feature bytes
    std::string text;           // name or physical path
    uint16_t bus = 0;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    bool timed = false;        // an "E:" line with its time
    uint64_t microseconds = 0; // the time of an "E:" line
};

// Reads a recording line by line, keeping which device the lines belong to.
class CRecordingReader {
public:
    // Device indexes run from 0 to kMaxDevices - 1.
    static constexpr int kMaxDevices = 64;
    // The kernel's limit for a report descriptor (HID_MAX_DESCRIPTOR_SIZE).
    static constexpr size_t kMaxDescriptorBytes = 4096;

    // The device of the lines after a rejected "D:" line, up to the next accepted one.
    static constexpr int kNoDevice = -1;

    // Nothing for blank, comment and "B:" lines; Skipped for a line of no device (after a
    // rejected "D:"); Error with the reason for a malformed one, `item` then tells its kind
    // and device.
    enum class Result { Nothing, Item, Skipped, Error };
    // `item` is reused from line to line, so that its bytes keep their room.
    Result ReadLine(std::string_view line, CRecordingItem& item, std::string& error);

    int CurrentDevice() const { return m_device; }

private:
    int m_device = 0;
};

// Writes what readers sent as a recording: each reader's header, then one "E:" line per report
// as hidraw read it (without the 0x00 that the port puts before unnumbered reports), timed from
// the first report. With several readers each has a device index, and a "D:" line precedes a
// report of a reader other than the one before.
class CRecordingWriter {
public:
    using Clock = std::chrono::steady_clock;

    CRecordingWriter(std::ostream& out, bool severalDevices);

    // Writes the header of the next reader and returns its device index.
    int AddDevice(const CHidInterfaceInfo& info, const std::string& name);
    // Writes and flushes one report, timed now or at the time it was read.
    void WriteInput(int device, const std::vector<uint8_t>& report);
    void WriteInput(int device, const std::vector<uint8_t>& report, Clock::time_point readTime);
    // Writes one report read at `readTime` into the stream without flushing it, so that a batch
    // of reports goes out with one Flush. A time before the first report's counts as 0.
    void BufferInput(int device, const uint8_t* report, size_t length, Clock::time_point readTime);
    // Puts out what the stream holds; false once a write failed.
    bool Flush();
    // False once a write failed; Error() then gives its errno.
    bool Good() const { return m_error == 0; }
    int Error() const { return m_error; }

private:
    void CheckStream();

    std::ostream& m_out;
    int m_error = 0;
    bool m_several;
    std::vector<bool> m_inputNumbered;
    int m_lastDevice = -1;
    bool m_started = false;
    Clock::time_point m_start;
};

// Parses whitespace-separated hex bytes ("0a 1B ff"); false with a reason on anything else.
bool ParseHexBytes(std::string_view text, std::vector<uint8_t>& bytes, std::string& error);

// Formats bytes as lower-case hex separated by blanks, the way recordings write them.
std::string FormatHexBytes(const uint8_t* data, size_t length);
// The same, appended to `out`.
void AppendHexBytes(std::string& out, const uint8_t* data, size_t length);
