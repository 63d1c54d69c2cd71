#include "support/CRecordingFirmwareHost.h"

#include "device/CSurePosDevice.h"
#include "sim/CSimSurePosFirmware.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<uint8_t>;

Bytes Command(Bytes head) {
    head.resize(12, 0);
    return head;
}

class SimSurePosFirmware : public ::testing::Test {
protected:
    CSimSurePosFirmware firmware;
    CRecordingFirmwareHost host;
};

TEST_F(SimSurePosFirmware, StatusRequestAnswersAStatusMessage) {
    host.Write(firmware, Command({0x00, 0x00, 0x20}));
    ASSERT_EQ(host.reports.size(), 1u);
    const Bytes& status = host.reports[0];
    ASSERT_GE(status.size(), 2u);
    EXPECT_EQ(status[0], 0x00);
    EXPECT_EQ(status[1], 8u);
    EXPECT_TRUE(status[2] & CSimSurePosFirmware::kStatusBit);
    EXPECT_GE(status.size(), 1u + status[1]);
}

TEST_F(SimSurePosFirmware, LabelsComePeriodicallyWhileEnabled) {
    host.Run(firmware, CSimSurePosFirmware::kLabelPeriod * 4 + 50ms);
    ASSERT_EQ(host.reports.size(), 4u);

    std::set<std::string> names;
    for (const Bytes& report : host.reports) {
        const uint8_t* message = report.data() + 1;
        const size_t n = message[0];
        ASSERT_GT(report.size(), n + 1) << "a zero byte follows the message";
        EXPECT_EQ(report[n + 1], 0x00);
        EXPECT_EQ(message[1] & 0x06, 0);
        names.insert(CSurePosDevice::LabelTypeName(message, n, report.size() - 1));
    }
    EXPECT_EQ(names.count("Don't know"), 0u);
    EXPECT_EQ(names.size(), 4u);
}

TEST_F(SimSurePosFirmware, DisableStopsLabelsAndEnableResumesThem) {
    host.Write(firmware, Command({0x00, 0x12}));
    host.Run(firmware, 10s);
    EXPECT_TRUE(host.reports.empty());
    EXPECT_FALSE(firmware.IsEnabled());

    host.Write(firmware, Command({0x00, 0x11}));
    host.Run(firmware, CSimSurePosFirmware::kLabelPeriod - 20ms);
    EXPECT_TRUE(host.reports.empty());
    host.Run(firmware, 40ms);
    EXPECT_EQ(host.reports.size(), 1u);
}

TEST_F(SimSurePosFirmware, ConfigurationCommandsAnswerConfigurationMessages) {
    host.Write(firmware, Command({0x00, 0x12}));
    const Bytes configure = {0x00, 0x20, 0x00, 0xFF, 0x7F, 0x00,
                             0x15, 0x00, 0x00, 0xCA, 0x20, 0x01};
    host.Write(firmware, configure);
    host.Write(firmware, Command({0x00, 0x21}));
    host.Write(firmware, Command({0x00, 0x23}));
    host.Write(firmware, Command({0x00, 0x34}));
    host.Write(firmware, Command({0x00, 0x30}));
    ASSERT_EQ(host.reports.size(), 5u);
    for (const Bytes& report : host.reports) {
        EXPECT_TRUE(report[2] & CSimSurePosFirmware::kConfigurationBit);
        EXPECT_GT(report[1], 4u);
    }
    const Bytes expected(configure.begin() + 3, configure.end());
    EXPECT_EQ(Bytes(host.reports[1].begin() + 5, host.reports[1].begin() + 14), expected);
}

TEST_F(SimSurePosFirmware, BeeperAndResetChangeTheState) {
    host.Write(firmware, Command({0x00, 0x18}));
    EXPECT_FALSE(firmware.IsBeeperOn());
    host.Write(firmware, Command({0x00, 0x12}));
    host.Write(firmware, Command({0x00, 0x00, 0x40}));
    EXPECT_TRUE(firmware.IsBeeperOn());
    EXPECT_TRUE(firmware.IsEnabled());
    ASSERT_EQ(host.reports.size(), 1u);
    EXPECT_TRUE(host.reports[0][2] & CSimSurePosFirmware::kStatusBit);
    host.Write(firmware, {0x00, 0x11});
    EXPECT_EQ(host.reports.size(), 1u);
}

} // namespace
