// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "sim/CSimPlatform.h"

#include "device/ReaderTypes.h"
#include "platform/CReportDescriptor.h"
#include "platform/ReaderUsage.h"
#include "sim/CPassiveSimFirmware.h"
#include "sim/CSimReaderSet.h"

#include <gtest/gtest.h>

#include <poll.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <map>
#include <mutex>
#include <set>
#include <thread>
#include <utility>

namespace {

short WaitFor(int fd, short events, int timeoutMs = 2000) {
    pollfd p{fd, events, 0};
    return poll(&p, 1, timeoutMs) == 1 ? p.revents : 0;
}

// Firmware that answers every output report with the same bytes as an input report, and
// counts its ticks, so tests see both directions and the timer.
class CEchoFirmware : public CSimFirmware {
public:
    explicit CEchoFirmware(std::shared_ptr<std::atomic<int>> ticks) : m_ticks(std::move(ticks)) {}
    void OnOutputReport(const uint8_t* data, size_t length, CSimFirmwareHost& host) override {
        host.SendInputReport(std::vector<uint8_t>(data, data + length));
    }
    bool OnSetFeature(const uint8_t* data, size_t length) override {
        return length > 1 && data[1] != 0xEE; // 0xEE makes the device refuse
    }
    bool OnGetFeature(uint8_t* buffer, size_t length) override {
        for (size_t i = 1; i < length; ++i) {
            buffer[i] = static_cast<uint8_t>(i);
        }
        return true;
    }
    void OnTick(std::chrono::steady_clock::time_point, CSimFirmwareHost&) override { ++*m_ticks; }

private:
    std::shared_ptr<std::atomic<int>> m_ticks;
};

CSimReaderDefinition EchoReader(const std::string& path, std::shared_ptr<std::atomic<int>> ticks) {
    CSimReaderDefinition d;
    d.path = path;
    d.attributes = {0x1209, 0x0201, 0x0100};
    d.product = "Echo";
    d.serial = "E1";
    d.reportDescriptor = CSimReaderSet::QuorinDescriptor();
    d.firmwareFactory = [ticks] { return std::make_unique<CEchoFirmware>(ticks); };
    return d;
}

std::map<std::string, CHidInterfaceInfo> ByPath(const std::vector<CHidInterfaceInfo>& list) {
    std::map<std::string, CHidInterfaceInfo> m;
    for (const CHidInterfaceInfo& i : list) {
        m[i.path] = i;
    }
    return m;
}

} // namespace

TEST(CSimPlatformTest, DefaultSetCarriesTheInterfacesTheDemoNeeds) {
    CSimPlatform platform;
    std::vector<CHidInterfaceInfo> list;
    int error = 0;
    ASSERT_TRUE(platform.EnumerateInterfaces(list, error));
    ASSERT_EQ(list.size(), 13u);
    const auto m = ByPath(list);

    struct CExpect {
        const char* path;
        uint16_t page, usage, in, out, feature;
    };
    const CExpect expected[] = {
        {"sim:/hidpos", 0x008C, 0x0002, 64, 64, 2},
        {"sim:/imager-2d", 0x008C, 0x0002, 64, 64, 2},
        {"sim:/quorin", 0xFFA0, 0x0001, 65, 65, 0},
        {"sim:/surepos", 0xFF45, 0x4B00, 65, 12, 0},
        {"sim:/surepos-sio", 0xFF45, 0x6400, 3, 252, 250},
        {"sim:/dual/if00", 0x008C, 0x0002, 64, 64, 2},
        {"sim:/dual/if01", 0xFF45, 0x4A00, 65, 12, 0},
        {"sim:/service", 0xFF45, 0x4C00, 65, 65, 9},
        {"sim:/keyboard", 0x0001, 0x0006, 9, 2, 0},
        {"sim:/keyboard-mode", 0x0001, 0x0006, 9, 2, 0},
    };
    for (const CExpect& e : expected) {
        SCOPED_TRACE(e.path);
        ASSERT_EQ(m.count(e.path), 1u);
        const CHidCaps& caps = m.at(e.path).caps;
        EXPECT_EQ(caps.usagePage, e.page);
        EXPECT_EQ(caps.usage, e.usage);
        EXPECT_EQ(caps.inputReportByteLength, e.in);
        EXPECT_EQ(caps.outputReportByteLength, e.out);
        EXPECT_EQ(caps.featureReportByteLength, e.feature);
        ASSERT_EQ(m.at(e.path).collections.size(), 1u);
        EXPECT_EQ(m.at(e.path).collections[0], std::make_pair(e.page, e.usage));
    }
    EXPECT_EQ(m.at("sim:/dual/if00").interfaceNumber, "00");
    EXPECT_EQ(m.at("sim:/dual/if01").interfaceNumber, "01");
    EXPECT_EQ(m.at("sim:/dual/if00").serial, m.at("sim:/dual/if01").serial);
    EXPECT_EQ(m.at("sim:/counter-a").serial, "?");
    EXPECT_EQ(m.at("sim:/counter-b").serial, "?");
    EXPECT_TRUE(m.at("sim:/noproduct").product.empty());
    // The service interface is not a reader by its usages; its ids are in the supported table.
    EXPECT_FALSE(IsReaderUsage(0xFF45, m.at("sim:/service").caps.usage));
    EXPECT_EQ(m.at("sim:/service").attributes.vendorId, 0x1209);
    EXPECT_GE(m.at("sim:/service").attributes.productId, 0x0001);
    EXPECT_LE(m.at("sim:/service").attributes.productId, 0x0008);
    // Everything else stays outside that table, so only its usages can list it.
    for (const CHidInterfaceInfo& i : list) {
        if (i.path != "sim:/service") {
            EXPECT_GT(i.attributes.productId, 0x0008) << i.path;
        }
    }
}

TEST(CSimPlatformTest, ReportsTravelBothWaysAndFeaturesReachTheFirmware) {
    auto ticks = std::make_shared<std::atomic<int>>(0);
    CSimPlatform platform({EchoReader("sim:/echo", ticks)});
    int error = 0;
    auto connection = platform.Open("sim:/echo", error);
    ASSERT_NE(connection, nullptr) << error;
    EXPECT_EQ(connection->Caps().inputReportByteLength, 65);

    uint8_t buffer[128];
    EXPECT_EQ(connection->ReadReport(buffer, sizeof buffer, error), -1);
    EXPECT_EQ(error, EAGAIN);

    const uint8_t out[] = {0x00, 0x30, 0x03, 0x16, 0x54, 0x0D};
    ASSERT_TRUE(connection->WriteReport(out, sizeof out, 5000, error)) << error;
    ASSERT_NE(WaitFor(connection->PollFd(), POLLIN) & POLLIN, 0);
    // One report per read, zero-padded to the input report length.
    ASSERT_EQ(connection->ReadReport(buffer, sizeof buffer, error), 65);
    EXPECT_EQ(std::vector<uint8_t>(buffer, buffer + 6), std::vector<uint8_t>(out, out + 6));
    EXPECT_EQ(std::vector<uint8_t>(buffer + 6, buffer + 65), std::vector<uint8_t>(59, 0));

    uint8_t feature[4] = {0x00, 0, 0, 0};
    ASSERT_TRUE(connection->GetFeature(feature, sizeof feature, error));
    EXPECT_EQ(feature[0], 0x00);
    EXPECT_EQ(feature[3], 3);
    const uint8_t good[] = {0x00, 0x01};
    const uint8_t refused[] = {0x00, 0xEE};
    EXPECT_TRUE(connection->SetFeature(good, sizeof good, error));
    EXPECT_FALSE(connection->SetFeature(refused, sizeof refused, error));
    EXPECT_EQ(error, EPIPE);
    EXPECT_FALSE(connection->SetFeature(good, 1, error));
    EXPECT_EQ(error, EINVAL);

    // The firmware's clock runs while the interface is open.
    for (int i = 0; i < 200 && *ticks < 3; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_GE(*ticks, 3);
}

TEST(CSimPlatformTest, PassiveFirmwareStoresFeaturesPerReportId) {
    // The default Hid Pos reader, with passive firmware in place of its own.
    CSimReaderDefinition passive = CSimReaderSet::Default().back();
    ASSERT_EQ(passive.path, "sim:/hidpos");
    passive.kind = CSimReaderKind::Passive;
    CSimPlatform platform({passive});
    int error = 0;
    auto connection = platform.Open("sim:/hidpos", error);
    ASSERT_NE(connection, nullptr);
    const uint8_t redirect[] = {0xFE, 0x01};
    ASSERT_TRUE(connection->SetFeature(redirect, sizeof redirect, error));
    uint8_t back[2] = {0xFE, 0xFF};
    ASSERT_TRUE(connection->GetFeature(back, sizeof back, error));
    EXPECT_EQ(back[1], 0x01);
    uint8_t other[2] = {0xFD, 0xFF};
    ASSERT_TRUE(connection->GetFeature(other, sizeof other, error));
    EXPECT_EQ(other[0], 0xFD);
    EXPECT_EQ(other[1], 0x00);

    // Reports injected for a demonstration reach the open end with their report id.
    ASSERT_TRUE(platform.InjectInputReport("sim:/hidpos", {0x02, 0x03, ']', 'E', '0'}));
    ASSERT_NE(WaitFor(connection->PollFd(), POLLIN) & POLLIN, 0);
    uint8_t buffer[64];
    ASSERT_EQ(connection->ReadReport(buffer, sizeof buffer, error), 64);
    EXPECT_EQ(buffer[0], 0x02);
    EXPECT_EQ(buffer[2], ']');
}

TEST(CSimPlatformTest, OpenFailuresCarryTheirReason) {
    CSimReaderDefinition locked = EchoReader("sim:/locked", std::make_shared<std::atomic<int>>());
    locked.accessDenied = true;
    CSimPlatform platform({locked});
    int error = 0;
    EXPECT_EQ(platform.Open("sim:/locked", error), nullptr);
    EXPECT_EQ(error, EACCES);
    EXPECT_EQ(platform.Open("sim:/nothing", error), nullptr);
    EXPECT_EQ(error, ENOENT);
    // An interface the user may not open is still enumerated.
    std::vector<CHidInterfaceInfo> list;
    ASSERT_TRUE(platform.EnumerateInterfaces(list, error));
    EXPECT_EQ(list.size(), 1u);
}

TEST(CSimPlatformTest, UnplugHangsUpOpenEndsAndPlugBringsTheReaderBack) {
    auto ticks = std::make_shared<std::atomic<int>>(0);
    CSimPlatform platform({EchoReader("sim:/a", ticks), EchoReader("sim:/b", ticks)});
    int error = 0;
    auto monitor = platform.CreateMonitor(error);
    ASSERT_NE(monitor, nullptr);
    auto connection = platform.Open("sim:/a", error);
    ASSERT_NE(connection, nullptr);
    ASSERT_TRUE(platform.InjectInputReport("sim:/a", {0x00, 0x11}));

    ASSERT_TRUE(platform.Unplug("sim:/a"));
    EXPECT_FALSE(platform.Unplug("sim:/a"));
    EXPECT_NE(WaitFor(connection->PollFd(), POLLIN) & POLLHUP, 0);
    uint8_t buffer[80];
    // What was queued before the unplug is still read, then the device is gone.
    ASSERT_EQ(connection->ReadReport(buffer, sizeof buffer, error), 65);
    EXPECT_EQ(buffer[1], 0x11);
    EXPECT_EQ(connection->ReadReport(buffer, sizeof buffer, error), -1);
    EXPECT_EQ(error, ENODEV);
    const uint8_t out[] = {0x00, 0x30};
    EXPECT_FALSE(connection->WriteReport(out, sizeof out, 100, error));
    EXPECT_EQ(error, ENODEV);
    EXPECT_FALSE(connection->SetFeature(out, sizeof out, error));
    EXPECT_EQ(error, ENODEV);
    CHidAttributes attributes;
    EXPECT_FALSE(connection->GetAttributes(attributes, error));
    EXPECT_EQ(error, ENODEV);

    std::vector<CHidInterfaceInfo> list;
    ASSERT_TRUE(platform.EnumerateInterfaces(list, error));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].path, "sim:/b");
    EXPECT_EQ(platform.Open("sim:/a", error), nullptr);

    ASSERT_NE(WaitFor(monitor->PollFd(), POLLIN) & POLLIN, 0);
    auto changes = monitor->ReadChanges();
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].kind, CHidDeviceChange::Kind::Removal);
    EXPECT_EQ(changes[0].path, "sim:/a");
    EXPECT_EQ(WaitFor(monitor->PollFd(), POLLIN, 0), 0);

    ASSERT_TRUE(platform.Plug("sim:/a"));
    EXPECT_FALSE(platform.Plug("sim:/a"));
    ASSERT_NE(WaitFor(monitor->PollFd(), POLLIN) & POLLIN, 0);
    changes = monitor->ReadChanges();
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].kind, CHidDeviceChange::Kind::Arrival);
    auto again = platform.Open("sim:/a", error);
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(again->WriteReport(out, sizeof out, 1000, error));
    // The old connection stays dead after the replug.
    EXPECT_FALSE(connection->SetFeature(out, sizeof out, error));
}

// An open reader that nobody talks to costs one wake-up per tick of its firmware, not a spin
// through the last fraction of a millisecond before each tick.
TEST(CSimPlatformTest, IdleOpenReaderWakesTheSimulatorOnlyForItsTicks) {
    auto ticks = std::make_shared<std::atomic<int>>(0);
    CSimPlatform platform({EchoReader("sim:/a", ticks)});
    int error = 0;
    auto connection = platform.Open("sim:/a", error);
    ASSERT_NE(connection, nullptr);
    const auto waitForTicks = [&ticks](int count) {
        for (int i = 0; i < 2000 && *ticks < count; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return *ticks >= count;
    };
    ASSERT_TRUE(waitForTicks(2));
    const uint64_t wakeUpsBefore = platform.SimulatorWakeUps();
    const int ticksBefore = *ticks;
    ASSERT_TRUE(waitForTicks(ticksBefore + 40));
    const int ticksAfter = *ticks;
    const uint64_t wakeUps = platform.SimulatorWakeUps() - wakeUpsBefore;
    // The counters are read one after the other: a tick on either side may fall between them.
    EXPECT_LE(wakeUps, uint64_t(ticksAfter - ticksBefore) + 2);
}

// Firmware with nothing timed to do lets the simulator sleep while its reader is open, until
// a report arrives.
TEST(CSimPlatformTest, OpenReaderWithoutTimedWorkLetsTheSimulatorSleep) {
    CSimReaderDefinition passive = EchoReader("sim:/p", nullptr);
    passive.firmwareFactory = [] { return std::make_unique<CPassiveSimFirmware>(); };
    CSimPlatform platform({passive});
    int error = 0;
    auto connection = platform.Open("sim:/p", error);
    ASSERT_NE(connection, nullptr);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const uint64_t before = platform.SimulatorWakeUps();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    // Twenty ticks' time: at most the wake-up of the open, if it came late, is counted.
    EXPECT_LE(platform.SimulatorWakeUps() - before, 1u);

    ASSERT_TRUE(platform.InjectInputReport("sim:/p", {0x00, 0x42}));
    ASSERT_NE(WaitFor(connection->PollFd(), POLLIN) & POLLIN, 0);
    uint8_t buffer[80];
    EXPECT_GT(connection->ReadReport(buffer, sizeof buffer, error), 1);
    EXPECT_EQ(buffer[1], 0x42);
}

TEST(CSimPlatformTest, ReaderThreadWriterAndUnplugRunConcurrently) {
    auto ticks = std::make_shared<std::atomic<int>>(0);
    CSimPlatform platform({EchoReader("sim:/echo", ticks)});
    int error = 0;
    auto connection = platform.Open("sim:/echo", error);
    ASSERT_NE(connection, nullptr);

    std::atomic<int> received{0};
    std::atomic<int> readError{0};
    std::thread reader([&] {
        uint8_t buffer[65];
        for (;;) {
            pollfd p{connection->PollFd(), POLLIN, 0};
            if (poll(&p, 1, 2000) <= 0) {
                return;
            }
            int e = 0;
            const long n = connection->ReadReport(buffer, sizeof buffer, e);
            if (n > 0) {
                ++received;
            } else if (e != EAGAIN) {
                readError = e;
                return;
            }
        }
    });
    const uint8_t out[] = {0x00, 0x30, 0x01, 0x41};
    int written = 0;
    for (int i = 0; i < 50; ++i) {
        uint8_t feature[3] = {0x00, 0, 0};
        written += connection->WriteReport(out, sizeof out, 1000, error) ? 1 : 0;
        connection->GetFeature(feature, sizeof feature, error);
    }
    for (int i = 0; i < 400 && received < written; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(received, written);
    EXPECT_EQ(written, 50);
    ASSERT_TRUE(platform.Unplug("sim:/echo"));
    reader.join();
    EXPECT_EQ(readError, ENODEV);
}

// The simulated firmware and descriptors restate the protocol on their own; the reader-type
// table must still give each simulated reader the device type its firmware plays.
TEST(CSimReaderSetTest, EachSimulatedReaderSelectsTheTypeItsFirmwarePlays) {
    const std::pair<CSimReaderKind, DeviceType> kinds[] = {
        {CSimReaderKind::Quorin, DeviceType::Quorin},
        {CSimReaderKind::HidPos, DeviceType::HidPos},
        {CSimReaderKind::SurePos, DeviceType::SurePos},
        {CSimReaderKind::SurePosSio, DeviceType::SurePosSio},
        {CSimReaderKind::Keyboard, DeviceType::Keyboard}};
    std::set<DeviceType> seen;
    for (const CSimReaderDefinition& reader : CSimReaderSet::Default()) {
        CReportDescriptor descriptor;
        ASSERT_TRUE(descriptor.Parse(reader.reportDescriptor)) << reader.path;
        const CHidCaps caps = descriptor.Caps();
        const DeviceType selected = SelectDeviceType(caps.usagePage, caps.usage);
        for (const auto& [kind, type] : kinds) {
            if (reader.kind == kind) {
                EXPECT_EQ(selected, type) << reader.path;
                seen.insert(type);
            }
        }
        if (reader.kind == CSimReaderKind::Passive) {
            EXPECT_FALSE(IsListedReaderUsage(caps.usagePage, caps.usage)) << reader.path;
        }
    }
    // The set demonstrates every type of the table.
    EXPECT_EQ(seen.size(), ReaderTypes().size());
}
