// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "recording/CRecording.h"
#include "recording/CLineSource.h"
#include "recording/QuoteInput.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace {

struct CRead {
    std::vector<CRecordingItem> items;
    std::vector<std::pair<int, std::string>> errors; // line, reason
    std::vector<int> skipped;                        // lines of no device
};

CRead Read(const std::string& text) {
    CRead read;
    CRecordingReader reader;
    std::istringstream in(text);
    std::string line;
    CRecordingItem item;
    std::string error;
    for (int number = 1; std::getline(in, line); ++number) {
        const CRecordingReader::Result result = reader.ReadLine(line, item, error);
        if (result == CRecordingReader::Result::Item) {
            read.items.push_back(item);
        } else if (result == CRecordingReader::Result::Error) {
            read.errors.emplace_back(number, error);
        } else if (result == CRecordingReader::Result::Skipped) {
            read.skipped.push_back(number);
        }
    }
    return read;
}

using Kind = CRecordingItem::Kind;

TEST(CRecordingReader, ReadsEveryItemKindOfEveryRecorderAndKeepsTheDevice) {
    const CRead r = Read("# Handheld Reader\n"
                         "# 0x05, 0x8c, // Usage Page (Bar Code Scanner)   0\n"
                         "D: 0\n"
                         "R: 3 05 8C 09\n"
                         "N: Handheld #1 Reader\n"
                         "P: usb-0000:00:14.0-2/input1\n"
                         "I: 3 1209 101\n"
                         "D: 1\n"
                         "I: 5 05ac 0250   # Bluetooth\n"
                         "E: 000000.000000 4 02 41 42 0d \n"
                         "B: 000000.000100 2 01 02\n"
                         "\n"
                         "F: fe 01\n"
                         "D: 0\n"
                         "E: 12.5 1 07\n"
                         "02 43 44\n");
    EXPECT_TRUE(r.errors.empty());
    ASSERT_EQ(r.items.size(), 12u);
    const std::vector<std::pair<Kind, int>> expected = {
        {Kind::Device, 0},   {Kind::Descriptor, 0}, {Kind::Name, 0},     {Kind::Physical, 0},
        {Kind::Identity, 0}, {Kind::Device, 1},     {Kind::Identity, 1}, {Kind::Input, 1},
        {Kind::Feature, 1},  {Kind::Device, 0},     {Kind::Input, 0},    {Kind::Input, 0}};
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(r.items[i].kind, expected[i].first) << i;
        EXPECT_EQ(r.items[i].device, expected[i].second) << i;
    }
    EXPECT_EQ(r.items[1].bytes, (std::vector<uint8_t>{0x05, 0x8C, 0x09}));
    EXPECT_EQ(r.items[2].text, "Handheld #1 Reader");
    EXPECT_EQ(r.items[3].text, "usb-0000:00:14.0-2/input1");
    EXPECT_EQ(r.items[4].bus, 3);
    EXPECT_EQ(r.items[4].vendorId, 0x1209);
    EXPECT_EQ(r.items[4].productId, 0x0101);
    EXPECT_EQ(r.items[6].bus, 5);
    EXPECT_EQ(r.items[7].bytes, (std::vector<uint8_t>{0x02, 0x41, 0x42, 0x0D}));
    EXPECT_TRUE(r.items[7].timed);
    EXPECT_EQ(r.items[10].microseconds, 12500000u);
    EXPECT_FALSE(r.items[11].timed);
    EXPECT_EQ(r.items[11].bytes, (std::vector<uint8_t>{0x02, 0x43, 0x44}));
}

TEST(CRecordingReader, MalformedLinesSayWhatIsWrong) {
    const CRead r = Read("E: 0.1 3 01 02\n"   // count disagrees
                         "E: 0.2 1 0g\n"      // not hex
                         "R: 2 05\n"          // descriptor count disagrees
                         "E: nonsense 1 01\n" // no time stamp
                         "abc\n"              // odd hex
                         "Q: 1\n"             // unknown item
                         "I: 3 12345 1\n"     // vendor out of range
                         "F:\n"
                         "E: 0.3 2 41 42\n" // fine
                         "D: 64\n"          // above the device limit
                         "E: 0.4 1 41\n"    // of no device
                         "D: x\n"
                         "D: 1\n"
                         "E: 0.5 1 42\n");
    ASSERT_EQ(r.errors.size(), 10u);
    const std::vector<int> lines = {1, 2, 3, 4, 5, 6, 7, 8, 10, 12};
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(r.errors[i].first, lines[i]) << r.errors[i].second;
    }
    EXPECT_NE(r.errors[0].second.find("count says 3"), std::string::npos);
    EXPECT_NE(r.errors[5].second.find("unknown item \"Q:\""), std::string::npos);
    EXPECT_NE(r.errors[8].second.find("above the limit of 63"), std::string::npos);
    EXPECT_EQ(r.skipped, (std::vector<int>{11})); // up to the next accepted D:
    ASSERT_EQ(r.items.size(), 3u);
    EXPECT_EQ(r.items[0].device, 0);
    EXPECT_EQ(r.items[2].device, 1);
}

TEST(CRecordingReader, HostileBytesInAnErrorAreEscapedAndCut) {
    const std::string token = "\x1b]0;owned\x07\xff" + std::string(size_t{200} * 1024, 'A');
    const CRead r = Read("E: 0.1 1 " + token + "\n");
    ASSERT_EQ(r.errors.size(), 1u);
    const std::string& message = r.errors[0].second;
    EXPECT_LT(message.size(), 200u);
    for (unsigned char c : message) {
        EXPECT_TRUE(c >= 0x20 && c < 0x7F) << int(c);
    }
    EXPECT_NE(message.find("\\x1b]0;owned\\x07\\xff"), std::string::npos) << message;
    EXPECT_NE(message.find("(204811 bytes)"), std::string::npos) << message;
}

TEST(QuoteInput, KeepsUtf8AndEscapesTheRest) {
    EXPECT_EQ(QuoteInput("caf\xC3\xA9 \"x\"\\"), "\"caf\xC3\xA9 \\\"x\\\"\\\\\"");
    EXPECT_EQ(QuoteInput("\xC2\x9B"
                         "2J"),
              "\"\\xc2\\x9b2J\"");                                // C1 control as UTF-8
    EXPECT_EQ(QuoteInput("\xC3"), "\"\\xc3\"");                   // cut short
    EXPECT_EQ(QuoteInput("\xE0\x80\xAF"), "\"\\xe0\\x80\\xaf\""); // overlong
    EXPECT_EQ(QuoteInput("abcdef", 3), "\"abc\"... (6 bytes)");
    // The bidirectional controls would turn the text around them; their neighbours stay.
    EXPECT_EQ(QuoteInput("a\xE2\x80\xAE"
                         "b\xE2\x81\xA6"
                         "c\xE2\x81\xA9"
                         "d\xE2\x80\xAA"
                         "e"),
              "\"a\\u202eb\\u2066c\\u2069d\\u202ae\"");
    EXPECT_EQ(QuoteInput("\xE2\x80\xA9\xE2\x81\xAA"), "\"\xE2\x80\xA9\xE2\x81\xAA\"");
}

// A recording as the C recorder's format describes it, read with sscanf as that recorder's own
// parser does: header order D R N P I, "I: %x %04hx %04hx", events "E: %lu.%06u %d <hex>".
struct CCParsed {
    struct CEvent {
        int device;
        unsigned long seconds;
        unsigned micro;
        std::vector<unsigned> bytes;
    };
    std::vector<std::string> names;
    std::vector<std::string> phys;
    std::vector<unsigned> buses;
    std::vector<CEvent> events;
    bool ok = true;
};

CCParsed ParseLikeTheRecorders(const std::string& text) {
    CCParsed parsed;
    std::istringstream in(text);
    std::string line;
    int device = 0;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        unsigned a = 0, b = 0, c = 0;
        unsigned long seconds = 0;
        int n = 0;
        int used = 0;
        if (std::sscanf(line.c_str(), "D: %d", &device) == 1) {
            continue;
        }
        if (line.rfind("N: ", 0) == 0) {
            parsed.names.push_back(line.substr(3));
        } else if (line.rfind("P: ", 0) == 0) {
            parsed.phys.push_back(line.substr(3));
        } else if (std::sscanf(line.c_str(), "I: %x %04x %04x", &a, &b, &c) == 3) {
            parsed.buses.push_back(a);
        } else if (std::sscanf(line.c_str(), "E: %lu.%06u %d%n", &seconds, &a, &n, &used) == 3) {
            CCParsed::CEvent event{device, seconds, a, {}};
            const char* rest = line.c_str() + used;
            for (int i = 0; i < n; ++i) {
                int step = 0;
                unsigned byte = 0;
                if (std::sscanf(rest, " %02x%n", &byte, &step) != 1) {
                    parsed.ok = false;
                }
                event.bytes.push_back(byte);
                rest += step;
            }
            parsed.events.push_back(event);
        } else if (line.rfind("R: ", 0) != 0) {
            parsed.ok = false;
        }
    }
    return parsed;
}

TEST(CRecordingWriter, WritesWhatTheRecordersReadForSeveralDevices) {
    std::ostringstream out;
    CRecordingWriter writer(out, true);
    CHidInterfaceInfo numbered;
    numbered.reportDescriptor = {0x05, 0x8C, 0x09, 0x02, 0xA1, 0x01, 0x85, 0x02,
                                 0x75, 0x08, 0x95, 0x02, 0x81, 0x02, 0xC0};
    numbered.hidName = "Maker Scanner";
    numbered.physicalPath = "usb-0000:00:14.0-2/input1";
    numbered.busType = 3;
    numbered.attributes = {0x1209, 0x0101, 0};
    CHidInterfaceInfo unnumbered;
    unnumbered.reportDescriptor = {0x06, 0x45, 0xFF, 0x09, 0x00, 0xA1, 0x01,
                                   0x75, 0x08, 0x95, 0x02, 0x81, 0x02, 0xC0};
    unnumbered.product = "Other";
    unnumbered.busType = 5;
    EXPECT_EQ(writer.AddDevice(numbered, "display name - S1"), 0);
    EXPECT_EQ(writer.AddDevice(unnumbered, "other - S2"), 1);
    writer.WriteInput(1, {0x00, 0x41, 0x42}); // the port's 0x00 goes
    writer.WriteInput(0, {0x02, 0x43});
    EXPECT_TRUE(writer.Good());

    const CCParsed parsed = ParseLikeTheRecorders(out.str());
    EXPECT_TRUE(parsed.ok) << out.str();
    EXPECT_EQ(parsed.names, (std::vector<std::string>{"Maker Scanner", "Other"}));
    EXPECT_EQ(parsed.phys, (std::vector<std::string>{"usb-0000:00:14.0-2/input1"}));
    EXPECT_EQ(parsed.buses, (std::vector<unsigned>{3, 5}));
    ASSERT_EQ(parsed.events.size(), 2u);
    EXPECT_EQ(parsed.events[0].device, 1);
    EXPECT_EQ(parsed.events[0].seconds, 0u); // the first event is at 0
    EXPECT_EQ(parsed.events[0].micro, 0u);
    EXPECT_EQ(parsed.events[0].bytes, (std::vector<unsigned>{0x41, 0x42}));
    EXPECT_EQ(parsed.events[1].device, 0);
    EXPECT_EQ(parsed.events[1].bytes, (std::vector<unsigned>{0x02, 0x43}));
    EXPECT_EQ(out.str().find("N: display name"), std::string::npos); // N: is the HID name
}

TEST(CRecordingWriter, AFailedWriteIsKeptWithItsReason) {
    std::ofstream full("/dev/full");
    ASSERT_TRUE(full.is_open());
    CRecordingWriter writer(full, false);
    CHidInterfaceInfo info;
    writer.AddDevice(info, "x");
    writer.WriteInput(0, std::vector<uint8_t>(64, 0x41));
    EXPECT_FALSE(writer.Good());
    EXPECT_EQ(writer.Error(), ENOSPC);
}

TEST(HexBytes, FormatAndParseRoundTrip) {
    const std::vector<uint8_t> bytes = {0x00, 0x7F, 0xAB, 0xFF};
    const std::string text = FormatHexBytes(bytes.data(), bytes.size());
    EXPECT_EQ(text, "00 7f ab ff");
    std::vector<uint8_t> back;
    std::string error;
    ASSERT_TRUE(ParseHexBytes(text, back, error));
    EXPECT_EQ(back, bytes);
    EXPECT_FALSE(ParseHexBytes("123", back, error));
}

// A pipe whose write end the test feeds.
struct CPipe {
    CPipe() { EXPECT_EQ(pipe2(fds, O_CLOEXEC), 0); }
    ~CPipe() {
        close(fds[0]);
        if (fds[1] >= 0) {
            close(fds[1]);
        }
    }
    void Write(const std::string& text) {
        EXPECT_EQ(write(fds[1], text.data(), text.size()), ssize_t(text.size()));
    }
    void CloseWriteEnd() {
        close(fds[1]);
        fds[1] = -1;
    }
    int fds[2] = {-1, -1};
};

std::vector<std::string> AllLines(CLineSource& source,
                                  std::vector<CLineSource::Status>* statuses = nullptr) {
    std::vector<std::string> lines;
    std::string_view line;
    for (CLineSource::Status status; (status = source.Next(line)) != CLineSource::Status::End;) {
        if (statuses) {
            statuses->push_back(status);
        }
        lines.push_back(status == CLineSource::Status::Line ? std::string(line) : "<skipped>");
        if (status == CLineSource::Status::Stopped || status == CLineSource::Status::Failed) {
            break;
        }
    }
    return lines;
}

TEST(CLineSource, EveryLineEndAlsoAcrossReadsAndTheLastLineWithoutOne) {
    CPipe input;
    std::atomic<bool> stop{false};
    CLineSource source(input.fds[0], stop);
    std::thread writer([&] {
        input.Write("a\r");
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        input.Write("\nb\rc\n\nd");
        input.CloseWriteEnd();
    });
    const std::vector<std::string> lines = AllLines(source);
    writer.join();
    EXPECT_EQ(lines, (std::vector<std::string>{"a", "b", "c", "", "d"}));
    EXPECT_EQ(source.Number(), 5);
}

TEST(CLineSource, AnOverlongLineIsSkippedInBoundedMemory) {
    CPipe input;
    std::atomic<bool> stop{false};
    CLineSource source(input.fds[0], stop, 1000);
    std::thread writer([&] {
        input.Write("short\n");
        for (int i = 0; i < 100; ++i) {
            input.Write(std::string(1000, 'x'));
        }
        input.Write("\nnext\n");
        input.CloseWriteEnd();
    });
    std::vector<CLineSource::Status> statuses;
    const std::vector<std::string> lines = AllLines(source, &statuses);
    writer.join();
    EXPECT_EQ(lines, (std::vector<std::string>{"short", "<skipped>", "next"}));
    EXPECT_EQ(statuses[1], CLineSource::Status::TooLong);
}

// The limit is exact: a line of the limit's length is taken, one byte more is not.
TEST(CLineSource, TakesALineOfExactlyTheLimitAndNotOneByteMore) {
    CPipe input;
    std::atomic<bool> stop{false};
    CLineSource source(input.fds[0], stop, 1000);
    std::thread writer([&] {
        input.Write(std::string(1000, 'a') + "\n" + std::string(1001, 'b') + "\r\nc");
        input.CloseWriteEnd();
    });
    std::vector<CLineSource::Status> statuses;
    const std::vector<std::string> lines = AllLines(source, &statuses);
    writer.join();
    EXPECT_EQ(lines, (std::vector<std::string>{std::string(1000, 'a'), "<skipped>", "c"}));
    EXPECT_EQ(statuses[1], CLineSource::Status::TooLong);
    EXPECT_TRUE(source.Unterminated());
    EXPECT_EQ(source.BytesRead(), 2005u);
}

TEST(CLineSource, StopEndsAWaitForAPipeAtOnce) {
    CPipe input; // nobody writes
    std::atomic<bool> stop{false};
    CLineSource source(input.fds[0], stop);
    int idle = 0;
    source.SetIdleHandler([&] { ++idle; });
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        stop = true;
    });
    std::string_view line;
    EXPECT_EQ(source.Next(line), CLineSource::Status::Stopped);
    stopper.join();
    EXPECT_EQ(idle, 1); // told once that it waits, to flush the output
}

} // namespace
