#include "support/CRecordingFirmwareHost.h"

#include "sim/CSimQuorinFirmware.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<uint8_t>;

// Output reports of at most `chunk` stream bytes each: 00 30 n data.
std::vector<Bytes> StreamReports(const std::string& text, size_t chunk = 61) {
    std::vector<Bytes> reports;
    for (size_t i = 0; i < text.size(); i += chunk) {
        const std::string part = text.substr(i, chunk);
        Bytes report = {0x00, 0x30, uint8_t(part.size())};
        report.insert(report.end(), part.begin(), part.end());
        reports.push_back(report);
    }
    return reports;
}

class SimQuorinFirmware : public ::testing::Test {
protected:
    void Send(const std::string& text, size_t chunk = 61) {
        for (const Bytes& report : StreamReports(text, chunk))
            host.Write(firmware, report);
    }
    // The stream bytes of every input report, joined.
    std::string Received() const {
        std::string stream;
        for (const Bytes& report : host.reports) {
            EXPECT_GE(report.size(), 3u + report[2]);
            stream.append(report.begin() + 3, report.begin() + 3 + report[2]);
        }
        return stream;
    }

    CSimQuorinFirmware firmware;
    CRecordingFirmwareHost host;
};

TEST_F(SimQuorinFirmware, TriggerStreamsALabelAMomentLater) {
    Send("\x16T\r");
    host.Run(firmware, CSimQuorinFirmware::kScanDelay - 20ms);
    EXPECT_TRUE(host.reports.empty());
    host.Run(firmware, 1s);
    ASSERT_EQ(host.reports.size(), 1u);
    EXPECT_EQ(host.reports[0][0], 0x00);
    EXPECT_FALSE(Received().empty());
    const std::string first = Received();

    Send("\x16T\r");
    host.Run(firmware, 1s);
    EXPECT_NE(Received().substr(first.size()), first);
}

TEST_F(SimQuorinFirmware, UntriggerStopsThePendingScan) {
    Send("\x16T\r");
    host.Run(firmware, 50ms);
    Send("\x16U\r");
    host.Run(firmware, 1s);
    EXPECT_TRUE(host.reports.empty());
}

TEST_F(SimQuorinFirmware, BeepIsAcceptedWithoutAnswer) {
    Send("\x16\x07\r\x16\x07\r\x16\x07\r");
    EXPECT_EQ(firmware.Beeps(), 3);
    EXPECT_TRUE(host.reports.empty());
}

TEST_F(SimQuorinFirmware, MenuQueryAnswersEvenWhenSplitOverReports) {
    Send("\x16M\rTERMID?.", 2);
    EXPECT_EQ(Received(), "TERMID130\x06.");

    host.reports.clear();
    Send("\x16M\rNOSUCH?.\x16M\rBEPLVL3!");
    EXPECT_EQ(Received(), "NOSUCH\x05.BEPLVL3\x06.");
}

TEST_F(SimQuorinFirmware, GarbageAndOversizedLengthsAreIgnored) {
    host.Write(firmware, {0x00, 0x30, 0xFF, 'x', 'y'});
    host.Write(firmware, {0x00, 0x31, 0x03, 0x16, 'T', '\r'});
    host.Write(firmware, {0x00});
    Send(std::string(2000, 'z'));
    Send("\x16\x07\r");
    host.Run(firmware, 1s);
    EXPECT_EQ(firmware.Beeps(), 1);
    EXPECT_TRUE(host.reports.empty());
}

} // namespace
