#include "support/CRecordingFirmwareHost.h"

#include "device/CHidPosDevice.h"
#include "sim/CSimHidPosFirmware.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<uint8_t>;

class SimHidPosFirmware : public ::testing::Test {
protected:
    CSimHidPosFirmware firmware;
    CRecordingFirmwareHost host;
};

TEST_F(SimHidPosFirmware, TriggerScansOneLabelWithAimIdentifierAMomentLater) {
    host.Run(firmware, 1s);
    host.Write(firmware, {0x04, 0x04});
    host.Run(firmware, CSimHidPosFirmware::kScanDelay - 20ms);
    EXPECT_TRUE(host.reports.empty());
    host.Run(firmware, 2s);
    ASSERT_EQ(host.reports.size(), 1u);
    const Bytes& scan = host.reports[0];
    ASSERT_GE(scan.size(), 5u);
    EXPECT_EQ(scan[0], 0x02);
    EXPECT_EQ(scan[2], ']');
    EXPECT_EQ(scan.size(), 5u + scan[1]);
}

TEST_F(SimHidPosFirmware, LabelsCycleThroughSeveralSymbologies) {
    std::set<std::string> names;
    for (int i = 0; i < 8; ++i) {
        host.Write(firmware, {0x04, 0x04});
        host.Run(firmware, 1s);
        host.Write(firmware, {0x04, 0x00});
    }
    ASSERT_EQ(host.reports.size(), 8u);
    for (const Bytes& scan : host.reports)
        names.insert(CHidPosDevice::SymbologyName(scan.data() + 2));
    EXPECT_GE(names.size(), 5u);
}

TEST_F(SimHidPosFirmware, DisableStopsScansUntilEnable) {
    host.Write(firmware, {0x04, 0x04});
    host.Write(firmware, {0x04, 0x02});
    host.Run(firmware, 1s);
    host.Write(firmware, {0x04, 0x04});
    host.Run(firmware, 1s);
    EXPECT_TRUE(host.reports.empty());
    EXPECT_TRUE(firmware.IsDisabled());

    host.Write(firmware, {0x04, 0x00});
    host.Write(firmware, {0x04, 0x04});
    host.Run(firmware, 1s);
    EXPECT_EQ(host.reports.size(), 1u);
}

TEST_F(SimHidPosFirmware, UntriggerBeforeTheScanCancelsIt) {
    host.Write(firmware, {0x04, 0x04});
    host.Run(firmware, 100ms);
    host.Write(firmware, {0x04, 0x00});
    host.Run(firmware, 1s);
    EXPECT_TRUE(host.reports.empty());
}

TEST_F(SimHidPosFirmware, BeepsAndFramedDataAreAccepted) {
    host.Write(firmware, {0x04, 0x40});
    host.Write(firmware, {0x04, 0x20});
    host.Write(firmware, {0xFD, 0x03, 'a', 'b', 'c', 0x00});
    host.Write(firmware, {0xFD, 0xFF, 'x'});
    EXPECT_EQ(firmware.Beeps(), 1);
    EXPECT_EQ(firmware.ErrorBeeps(), 1);
    EXPECT_EQ(firmware.ReceivedData(), (Bytes{'x'}));
    EXPECT_FALSE(firmware.IsDisabled());
    EXPECT_TRUE(host.reports.empty());
}

TEST_F(SimHidPosFirmware, RedirectFeatureIsStoredAndReadBack) {
    const uint8_t set[] = {0xFE, 0x01};
    EXPECT_TRUE(firmware.OnSetFeature(set, sizeof set));
    uint8_t get[] = {0xFE, 0xFF};
    EXPECT_TRUE(firmware.OnGetFeature(get, sizeof get));
    EXPECT_EQ(get[1], 0x01);

    uint8_t other[] = {0x05, 0x00};
    EXPECT_FALSE(firmware.OnGetFeature(other, sizeof other));
    EXPECT_FALSE(firmware.OnSetFeature(set, 1));
}

} // namespace
