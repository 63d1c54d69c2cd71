// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "support/CDeviceTestRig.h"
#include "support/CRecordingFirmwareHost.h"

#include "device/CHidPosDevice.h"
#include "sim/CSimHidPosFirmware.h"
#include "sim/CSimReaderSet.h"

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
    for (const Bytes& scan : host.reports) {
        names.insert(CHidPosDevice::SymbologyName(scan.data() + 2));
    }
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

TEST(SimHidPos2DImager, ScansJoinIntoOneLabelEachInTheCompleteDecoding) {
    CSimHidPosFirmware imager(CSimHidPosFirmware::CLabels::Imager2D);
    CRecordingFirmwareHost host;
    CDeviceTestRig rig;
    // Decoded where the imager's descriptor says its fields are.
    rig.descriptor = CSimReaderSet::HidPosDescriptor();
    ASSERT_TRUE(rig.OpenPort());
    CHidPosDevice device(rig.port, rig.sink, rig.settings, rig.notifier);
    device.SetDecoding(Decoding::Complete);
    rig.settings.m_showSymbology = 1;
    // Each scan's reports arrive together; the next scan comes long after.
    auto read = CHidDevice::Clock::time_point();
    size_t handed = 0;
    std::vector<size_t> reportsPerScan;
    for (int scan = 0; scan < 6; ++scan) {
        host.Write(imager, {0x04, 0x04});
        host.Run(imager, 1s);
        host.Write(imager, {0x04, 0x00});
        read += 1s;
        if (device.OpenLabelDeadline() <= read) {
            device.CloseOpenLabel();
        }
        reportsPerScan.push_back(host.reports.size() - handed);
        for (; handed < host.reports.size(); ++handed) {
            const Bytes& report = host.reports[handed];
            ASSERT_EQ(report.size(), 64u);
            device.OnReportAt(report.data(), report.size(), read);
        }
    }
    device.CloseOpenLabel();
    EXPECT_EQ(reportsPerScan, (std::vector<size_t>{2, 1, 1, 1, 3, 2}));
    // The 112-byte label keeps the bit set on its last report.
    EXPECT_EQ(host.reports.back()[63], 0x01);
    const std::string text = rig.sink.Text();
    for (const char* line :
         {"M1DOE/JANE            EABC123 LHRJFKBA 0117 123Y014C0042 100 - QR Code\r\n",
          "VANTREL-DM-0042 - Data Matrix\r\n", "[1D]10ABC123 - GS1 DataMatrix\r\n",
          "[1D]17261231 - GS1 QR Code\r\n", "three-reports-to-send - QR Code\r\n",
          "678901 - QR Code\r\n"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
    }
    EXPECT_EQ(rig.sink.Scrolls(), 6);
}

} // namespace
