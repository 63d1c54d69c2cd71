// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "cli/SendCommands.h"
#include "CReceivingFirmware.h"
#include "cli/CCliApp.h"
#include "device/ReaderTypes.h"
#include "settings/CMemorySettingsStore.h"
#include "sim/CSimPlatform.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

namespace {

using Kind = CReceived::Kind;

struct CRowCase {
    const char* command;
    const char* argument; // null: none
    DeviceType type;
    Kind kind;
    std::vector<uint8_t> start; // the first bytes the reader receives
};

// What each command sends to each reader type that carries it out, from the protocols.
const std::vector<CRowCase> kCases = {
    {"trigger-on", nullptr, DeviceType::Quorin, Kind::Output, {0x00, 0x30, 0x03, 0x16, 0x54, 0x0D}},
    {"trigger-off",
     nullptr,
     DeviceType::Quorin,
     Kind::Output,
     {0x00, 0x30, 0x03, 0x16, 0x55, 0x0D}},
    {"beep", nullptr, DeviceType::Quorin, Kind::Output, {0x00, 0x30, 0x03, 0x16, 0x07, 0x0D}},
    {"error-beep", nullptr, DeviceType::Quorin, Kind::Output, {0x00, 0x30, 0x03, 0x16, 0x07}},
    {"string", "A\\x42", DeviceType::Quorin, Kind::Output, {0x00, 0x30, 0x02, 0x41, 0x42}},
    {"trigger-on", nullptr, DeviceType::HidPos, Kind::Output, {0x04, 0x04}},
    {"trigger-off", nullptr, DeviceType::HidPos, Kind::Output, {0x04, 0x00}},
    {"beep", nullptr, DeviceType::HidPos, Kind::Output, {0x04, 0x40}},
    {"error-beep", nullptr, DeviceType::HidPos, Kind::Output, {0x04, 0x20}},
    {"enable", nullptr, DeviceType::HidPos, Kind::Output, {0x04, 0x00}},
    {"disable", nullptr, DeviceType::HidPos, Kind::Output, {0x04, 0x02}},
    {"redirect", "1", DeviceType::HidPos, Kind::SetFeature, {0xFE, 0x01}},
    {"string", "AB", DeviceType::HidPos, Kind::Output, {0xFD, 0x02, 0x41, 0x42}},
    {"enable", nullptr, DeviceType::SurePos, Kind::Output, {0x00, 0x11}},
    {"disable", nullptr, DeviceType::SurePos, Kind::Output, {0x00, 0x12}},
    {"beeper-on", nullptr, DeviceType::SurePos, Kind::Output, {0x00, 0x14}},
    {"beeper-off", nullptr, DeviceType::SurePos, Kind::Output, {0x00, 0x18}},
    {"test", nullptr, DeviceType::SurePos, Kind::Output, {0x00, 0x00, 0x10}},
    {"status-request", nullptr, DeviceType::SurePos, Kind::Output, {0x00, 0x00, 0x20}},
    {"reset", nullptr, DeviceType::SurePos, Kind::Output, {0x00, 0x00, 0x40}},
    {"configure", nullptr, DeviceType::SurePos, Kind::Output, {0x00, 0x20, 0x00, 0xFF, 0x7F}},
    {"report-configuration", nullptr, DeviceType::SurePos, Kind::Output, {0x00, 0x21}},
    {"2-label-cfg", nullptr, DeviceType::SurePos, Kind::Output, {0x00, 0x23}},
    {"report-2-label-cfg", nullptr, DeviceType::SurePos, Kind::Output, {0x00, 0x34}},
    {"direct-io-cmd", nullptr, DeviceType::SurePos, Kind::Output, {0x00, 0x30}},
    {"test", nullptr, DeviceType::SurePosSio, Kind::Output, {0x00, 0x04, 0x00, 0x00, 0x10}},
    {"status-request",
     nullptr,
     DeviceType::SurePosSio,
     Kind::Output,
     {0x00, 0x04, 0x00, 0x00, 0x20}},
    {"reset", nullptr, DeviceType::SurePosSio, Kind::Output, {0x00, 0x04, 0x00, 0x00, 0x40}},
    {"setup",
     nullptr,
     DeviceType::SurePosSio,
     Kind::Output,
     {0x00, 0x0A, 0x00, 0x01, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00}},
    {"channel-control",
     nullptr,
     DeviceType::SurePosSio,
     Kind::Output,
     {0x00, 0x05, 0x00, 0x02, 0x00, 0x04}},
    {"read-status", nullptr, DeviceType::SurePosSio, Kind::Output, {0x00, 0x04, 0x00, 0x04, 0x00}},
    {"receive-buffer",
     nullptr,
     DeviceType::SurePosSio,
     Kind::Output,
     {0x00, 0x04, 0x00, 0x10, 0x00}},
    {"string",
     "AB",
     DeviceType::SurePosSio,
     Kind::Output,
     {0x00, 0x06, 0x00, 0x08, 0x00, 0x41, 0x42}},
    {"get-contents", nullptr, DeviceType::SurePosSio, Kind::GetFeature, {0x00}},
};

const char* ReaderOf(DeviceType type) {
    switch (type) {
    case DeviceType::Quorin:
        return "sim:/quorin";
    case DeviceType::HidPos:
        return "sim:/hidpos";
    case DeviceType::SurePos:
        return "sim:/surepos";
    default:
        return "sim:/surepos-sio";
    }
}

TEST(SendCommandTable, EveryRowIsTestedForEveryTypeItNames) {
    std::set<std::pair<std::string, DeviceType>> tested;
    for (const CRowCase& c : kCases) {
        tested.emplace(c.command, c.type);
    }
    size_t pairs = 0;
    for (const CSendCommandRow& row : SendCommandTable()) {
        for (DeviceType type : row.types) {
            ++pairs;
            EXPECT_TRUE(tested.count({row.name, type})) << row.name << " " << DeviceTypeName(type);
        }
    }
    EXPECT_EQ(pairs, tested.size());
}

TEST(SendCommandTable, TheOwnCommandsOfEachTypeAreThoseOfTheReaderTypeTable) {
    for (const CReaderType& type : ReaderTypes()) {
        for (const char* name : type.commands) {
            const CSendCommandRow* row = FindSendCommand(name, type.type);
            ASSERT_NE(row, nullptr) << type.name << " " << name;
            EXPECT_EQ(row->types, std::vector<DeviceType>{type.type}) << name;
        }
    }
    for (const CSendCommandRow& row : SendCommandTable()) {
        if (row.types.size() == 1 &&
            (row.types[0] == DeviceType::SurePos || row.types[0] == DeviceType::SurePosSio)) {
            EXPECT_TRUE(IsTypeCommand(row.name, row.types[0]) ||
                        std::string(row.name).rfind("beeper-", 0) == 0 ||
                        std::string(row.name) == "get-contents")
                << row.name;
        }
    }
}

TEST(SendCommandTable, EachRowSendsItsReportToTheReader) {
    for (const CRowCase& c : kCases) {
        auto received = std::make_shared<CReceived>();
        CSimPlatform platform(ReceivingReaderSet(received));
        CMemorySettingsStore store;
        std::atomic<bool> stop{false};
        std::ostringstream out;
        std::ostringstream err;
        CCliApp app(platform, store, out, err, stop, false);
        std::vector<std::string> args = {"send", ReaderOf(c.type), c.command};
        if (c.argument) {
            args.push_back(c.argument);
        }
        ASSERT_EQ(app.Run(args), CCliApp::kDone) << c.command << ": " << err.str();
        const std::vector<CReceived::CReport> reports = received->Wait(1);
        ASSERT_FALSE(reports.empty()) << c.command;
        EXPECT_EQ(reports[0].kind, c.kind) << c.command;
        const std::vector<uint8_t>& bytes = reports[0].bytes;
        ASSERT_GE(bytes.size(), c.start.size()) << c.command;
        EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + ptrdiff_t(c.start.size())),
                  c.start)
            << c.command << " " << DeviceTypeName(c.type);
    }
}

} // namespace
