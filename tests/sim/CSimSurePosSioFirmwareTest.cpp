#include "support/CRecordingFirmwareHost.h"

#include "sim/CSimSurePosSioFirmware.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<uint8_t>;

Bytes Command(Bytes command) {
    for (size_t i = command.size(); i < 252; ++i)
        command.push_back(uint8_t(i));
    return command;
}

class SimSurePosSioFirmware : public ::testing::Test {
protected:
    // The contents feature report as the host reads it, 250 bytes.
    Bytes Contents() {
        Bytes buffer(250, 0);
        EXPECT_TRUE(firmware.OnGetFeature(buffer.data(), buffer.size()));
        return buffer;
    }
    static std::string Data(const Bytes& contents) {
        const size_t k = contents[1];
        return k > 2 ? std::string(contents.begin() + 3, contents.begin() + 1 + k) : "";
    }

    CSimSurePosSioFirmware firmware;
    CRecordingFirmwareHost host;
};

TEST_F(SimSurePosSioFirmware, DataWaitingFromTimeToTimeWithALabelInTheContents) {
    host.Run(firmware, CSimSurePosSioFirmware::kLabelPeriod - 20ms);
    EXPECT_TRUE(host.reports.empty());
    host.Run(firmware, 40ms);
    ASSERT_EQ(host.reports.size(), 1u);
    EXPECT_EQ(host.reports[0].size(), 3u);
    EXPECT_EQ(host.reports[0][1], CSimSurePosSioFirmware::kDataWaiting);
    const std::string first = Data(Contents());
    EXPECT_FALSE(first.empty());
    EXPECT_EQ(Contents()[1], 0) << "read contents are gone";

    host.Run(firmware, CSimSurePosSioFirmware::kLabelPeriod);
    ASSERT_EQ(host.reports.size(), 2u);
    EXPECT_NE(host.reports[1][2], host.reports[0][2]) << "notifications are numbered";
    EXPECT_NE(Data(Contents()), first);
}

TEST_F(SimSurePosSioFirmware, StatusCommandsAnswerThroughTheContents) {
    host.Write(firmware, Command({0x00, 0x04, 0x00, 0x00, 0x20}));
    ASSERT_EQ(host.reports.size(), 1u);
    EXPECT_EQ(host.reports[0][1], CSimSurePosSioFirmware::kResponseWaiting);
    EXPECT_GT(Contents()[1], 2);

    host.Write(firmware, Command({0x00, 0x04, 0x00, 0x04, 0x00}));
    EXPECT_EQ(host.reports.back()[1], CSimSurePosSioFirmware::kResponseWaiting);
    host.Write(firmware, Command({0x00, 0x04, 0x00, 0x00, 0x40}));
    EXPECT_EQ(host.reports.back()[1], CSimSurePosSioFirmware::kIdle);
    EXPECT_EQ(Contents()[1], 0) << "reset empties the contents";
}

TEST_F(SimSurePosSioFirmware, OtherCommandsAndDataAreAcknowledged) {
    host.Write(firmware,
               Command({0x00, 0x0A, 0x00, 0x01, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00}));
    host.Write(firmware, Command({0x00, 0x05, 0x00, 0x02, 0x00, 0x04}));
    host.Write(firmware, Command({0x00, 0x04, 0x00, 0x10, 0x00}));
    Bytes data = {0x00, 0x07, 0x00, 0x08, 0x00, 'a', 'b', 'c'};
    data.resize(252, 0);
    host.Write(firmware, data);
    ASSERT_EQ(host.reports.size(), 4u);
    for (const Bytes& report : host.reports)
        EXPECT_EQ(report[1], CSimSurePosSioFirmware::kIdle);
    EXPECT_EQ(firmware.ReceivedData(), (Bytes{'a', 'b', 'c'}));

    host.Write(firmware, {0x00, 0xFF, 0x00, 0x08, 0x00, 'z'});
    EXPECT_EQ(firmware.ReceivedData(), (Bytes{'z'}));
}

TEST_F(SimSurePosSioFirmware, OnlyContentsReportZeroIsServed) {
    uint8_t other[250] = {0x05};
    EXPECT_FALSE(firmware.OnGetFeature(other, sizeof other));
    uint8_t tiny[1] = {0x00};
    EXPECT_FALSE(firmware.OnGetFeature(tiny, sizeof tiny));
}

} // namespace
