// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "cli/CCliApp.h"
#include "cli/CJsonSink.h"
#include "device/CHidDeviceFactory.h"
#include "device/CHidPort.h"
#include "device/CQueuedPoster.h"
#include "settings/CMemorySettingsStore.h"
#include "sim/CSimPlatform.h"
#include "sim/CSimReaderSet.h"
#include "support/CRecordingNotifier.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace {

struct CResult {
    int code;
    std::string out;
    std::string err;
};

class CCliAppTest : public ::testing::Test {
protected:
    CResult Run(const std::vector<std::string>& args) {
        std::ostringstream out;
        std::ostringstream err;
        CCliApp app(m_platform, m_store, out, err, m_stop, false);
        const int code = app.Run(args);
        return {code, out.str(), err.str()};
    }

    std::string WriteFile(const std::string& content) {
        char name[] = "/tmp/vantrel-cli-testXXXXXX";
        const int fd = mkstemp(name);
        EXPECT_GE(fd, 0);
        close(fd);
        std::ofstream(name) << content;
        m_files.push_back(name);
        return name;
    }

    void TearDown() override {
        for (const auto& f : m_files) {
            std::remove(f.c_str());
        }
    }

    CSimPlatform m_platform;
    CMemorySettingsStore m_store;
    std::atomic<bool> m_stop{false};
    std::vector<std::string> m_files;
};

size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

TEST_F(CCliAppTest, ListShowsExactlyTheListedReadersAndAllShowsWhyOthersAreNot) {
    const CResult listed = Run({"list", "--format", "json"});
    ASSERT_EQ(listed.code, CCliApp::kDone) << listed.err;
    EXPECT_EQ(Count(listed.out, "\n"), 11u) << listed.out;
    EXPECT_NE(listed.out.find("\"name\": \"Vantrel Sim Dual Reader - Interface 01 - DR77310\", "
                              "\"path\": \"sim:/dual/if01\""),
              std::string::npos);
    EXPECT_NE(listed.out.find("\"type\": \"SurePos Sio\""), std::string::npos);
    // The reader in keyboard mode is listed, the ordinary keyboard is not.
    EXPECT_NE(listed.out.find("\"name\": \"Vantrel Sim Barcode Scanner - Keyboard mode - "
                              "KM00042\", \"path\": \"sim:/keyboard-mode\""),
              std::string::npos);
    EXPECT_NE(listed.out.find("\"type\": \"Keyboard\""), std::string::npos);
    EXPECT_EQ(listed.out.find("Vantrel Sim Keyboard"), std::string::npos);
    EXPECT_EQ(listed.out.find("\"listed\""), std::string::npos);

    const CResult all = Run({"list", "--all", "--format", "json"});
    ASSERT_EQ(all.code, CCliApp::kDone);
    EXPECT_EQ(Count(all.out, "\"listed\": false"), 2u) << all.out;
    EXPECT_NE(all.out.find("usage page 0x0001 usage 0x0006"), std::string::npos) << all.out;
    EXPECT_NE(all.out.find("it has no product string"), std::string::npos);

    EXPECT_EQ(Run({"list", "extra"}).code, CCliApp::kUsage);
    EXPECT_EQ(Run({"list", "--format", "xml"}).code, CCliApp::kUsage);
}

TEST_F(CCliAppTest, SendTriggersAScanThatTheWaitShows) {
    const CResult r = Run({"send", "Vantrel Sim Hid Pos", "trigger-on", "--wait", "1500",
                           "--symbology", "--out", "--format", "plain"});
    ASSERT_EQ(r.code, CCliApp::kDone) << r.err;
    // The echo of the trigger command, then the scan the simulated reader answers with.
    EXPECT_EQ(r.out.rfind("[04][04]\n", 0), 0u) << r.out;
    EXPECT_NE(r.out.find(" - "), std::string::npos) << r.out;
}

TEST_F(CCliAppTest, SendChecksItsArgumentsAndTheReaderType) {
    EXPECT_EQ(Run({"send", "Vantrel Sim Hid Pos"}).code, CCliApp::kUsage);
    EXPECT_EQ(Run({"send", "Vantrel Sim Hid Pos", "fly"}).code, CCliApp::kUsage);
    EXPECT_EQ(Run({"send", "Vantrel Sim Hid Pos", "string"}).code, CCliApp::kUsage);
    EXPECT_EQ(Run({"send", "Vantrel Sim Hid Pos", "redirect", "2"}).code, CCliApp::kUsage);
    EXPECT_EQ(Run({"send", "Vantrel Sim Hid Pos", "beep", "--wait", "soon"}).code, CCliApp::kUsage);
    const CResult wrongType = Run({"send", "Vantrel Sim Hid Pos", "configure"});
    EXPECT_EQ(wrongType.code, CCliApp::kUsage);
    EXPECT_NE(wrongType.err.find("not a command of a Hid Pos reader"), std::string::npos);

    const CResult missing = Run({"send", "sim:/nowhere", "beep"});
    EXPECT_EQ(missing.code, CCliApp::kFailed);
    EXPECT_NE(missing.err.find("cannot open \"sim:/nowhere\""), std::string::npos);

    EXPECT_EQ(Run({"send", "Vantrel Sim Hid Pos", "redirect", "1"}).code, CCliApp::kDone);
    EXPECT_EQ(Run({"send", "Vantrel Sim SurePos Sio", "setup", "--out"}).code, CCliApp::kDone);
}

TEST_F(CCliAppTest, MonitorStopsCleanlyWhenInterruptedAndRecordsWhatItRead) {
    const std::string recording = WriteFile("");
    // The reader posts "data waiting" now and then; the test does not wait for that.
    std::thread interrupt([this] {
        for (int i = 0; i < 10; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(150));
            m_platform.InjectInputReport("sim:/surepos-sio", {0x00, 0x10, 0x00});
        }
        m_stop = true;
    });
    const CResult r = Run({"monitor", "Vantrel Sim SurePos Sio", "--raw", "--record", recording,
                           "--format", "plain"});
    interrupt.join();
    EXPECT_EQ(r.code, CCliApp::kDone) << r.err;
    EXPECT_NE(r.out.find("[10]"), std::string::npos) << r.out; // a "data waiting" notification

    std::ifstream in(recording);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find("N: Vantrel Sim SurePos Sio Scale\n"), std::string::npos);
    EXPECT_NE(text.str().find("\nR: "), std::string::npos);
    EXPECT_NE(text.str().find("\nE: "), std::string::npos) << text.str();

    // What was recorded replays to the same output.
    m_stop = false;
    const CResult replayed = Run({"replay", recording, "--raw", "--format", "plain"});
    EXPECT_EQ(replayed.code, CCliApp::kDone) << replayed.err;
    EXPECT_EQ(replayed.out.substr(0, 10), r.out.substr(0, 10));
}

TEST_F(CCliAppTest, MonitorWithoutAReaderFails) {
    CSimPlatform empty(std::vector<CSimReaderDefinition>{});
    std::ostringstream out, err;
    CCliApp app(empty, m_store, out, err, m_stop, false);
    EXPECT_EQ(app.Run({"monitor"}), CCliApp::kFailed);
    EXPECT_NE(err.str().find("no reader is attached"), std::string::npos);
}

// Decodes `reports` straight through a device type into JSON, as the output window receives them.
std::string DecodeDirectly(DeviceType type, const std::vector<std::vector<uint8_t>>& reports,
                           CSettingsStore& store) {
    CSimPlatform platform(std::vector<CSimReaderDefinition>{});
    CQueuedPoster poster;
    CHidPort port(platform, poster);
    CDisplaySettings settings(&store);
    settings.Load("Settings");
    std::ostringstream out;
    CJsonSink sink(out);
    CRecordingNotifier notifier;
    auto device = CreateHidDevice(type, port, sink, settings, notifier);
    device->LoadSettings("Settings");
    for (auto report : reports) {
        device->OnReport(report.data(), report.size());
    }
    return out.str();
}

TEST_F(CCliAppTest, ReplayGivesTheInsertionsOfEachDeviceType) {
    m_store.WriteProfileInt("Settings", "ShowRaw", 1);
    m_store.WriteProfileInt("Settings", "ShowSymbology", 1);
    struct CCase {
        const char* type;
        DeviceType deviceType;
        std::vector<std::vector<uint8_t>> reports;
    };
    const std::vector<CCase> cases = {
        {"quorin", DeviceType::Quorin, {{0x01, 0x00, 0x03, 'A', 'B', 0x0D}}},
        {"hidpos", DeviceType::HidPos, {{0x02, 0x03, ']', 'E', '0', '1', '2', '3'}, {0x03, 0x01}}},
        {"surepos",
         DeviceType::SurePos,
         {{0x00, 0x0B, 0x00, 0x00, 0x00, '1', '2', '3', '4', '5', 0x0D, 0x00},
          {0x00, 0x08, 0x04, 0x00, 0x00, 0x01, 0x01, 0x00, 0x00}}},
        {"sio", DeviceType::SurePosSio, {{0x00, 0x10, 0x00}}},
    };
    for (const CCase& c : cases) {
        std::string recording;
        for (const auto& report : c.reports) {
            recording += "E: 0.000001 " + std::to_string(report.size());
            for (uint8_t b : report) {
                char hex[4];
                std::snprintf(hex, sizeof hex, " %02x", b);
                recording += hex;
            }
            recording += "\n";
        }
        const CResult r =
            Run({"replay", "--type", c.type, WriteFile(recording), "--format", "json"});
        EXPECT_EQ(r.code, CCliApp::kDone) << c.type << ": " << r.err;
        EXPECT_EQ(r.out, DecodeDirectly(c.deviceType, c.reports, m_store)) << c.type;
        EXPECT_FALSE(r.out.empty()) << c.type;
    }
}

TEST_F(CCliAppTest, ReplayAnswersFeatureReadsFromTheRecordingAndPrependsUnnumberedIds) {
    // A SurePos Sio capture as hidraw read it (no report ids, so no id byte), with the contents
    // report the reader answered; the descriptor decides the type.
    std::string recording = "R: ";
    const auto descriptor = CSimReaderSet::SurePosSioDescriptor(0x6400);
    recording += std::to_string(descriptor.size());
    for (uint8_t b : descriptor) {
        char hex[4];
        std::snprintf(hex, sizeof hex, " %02x", b);
        recording += hex;
    }
    recording += "\nF: 00 05 00 4f 4b 21\n"
                 "E: 0.5 2 20 00\n"
                 "E: 0.6 2 20 00\n";
    const CResult r =
        Run({"replay", WriteFile(recording), "--set", "AutoRead=1", "--format", "plain"});
    EXPECT_EQ(r.code, CCliApp::kDone) << r.err;
    // The first notification reads "OK!"; the second finds no answer queued and shows the
    // zeroed contents: an empty line.
    EXPECT_EQ(r.out, "\nOK!\n\n\n") << r.out;
}

TEST_F(CCliAppTest, MalformedRecordingsAreReportedByLineAndTheReplayGoesOn) {
    const CResult r = Run({"replay", "--type", "quorin",
                           WriteFile("01 00 01 41\n"
                                     "E: 0.1 9 01 00\n"
                                     "0x1\n"
                                     "01 00 01 42\n"),
                           "--format", "plain"});
    EXPECT_EQ(r.code, CCliApp::kFailed);
    EXPECT_EQ(r.out, "A\nB\n");
    EXPECT_NE(r.err.find(":2: input report: the count says 9 bytes"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(":3: "), std::string::npos) << r.err;

    const CResult badDescriptor = Run({"replay", WriteFile("R: 2 a1 01\n")});
    EXPECT_EQ(badDescriptor.code, CCliApp::kFailed);
    EXPECT_NE(badDescriptor.err.find("does not parse: at offset"), std::string::npos);

    EXPECT_EQ(Run({"replay", WriteFile("01 02\n")}).code, CCliApp::kUsage); // no type known
    EXPECT_EQ(Run({"replay", "--type", "laser", "x"}).code, CCliApp::kUsage);
}

TEST_F(CCliAppTest, DescribeParsesFilesAndListedReaders) {
    const CResult file = Run({"describe", "--format", "json",
                              WriteFile("05 8c 09 02 a1 01 85 02 75 08 95 03 81 02 c0\n")});
    ASSERT_EQ(file.code, CCliApp::kDone) << file.err;
    EXPECT_EQ(file.out, "{\"collections\": [{\"usage_page\": 140, \"usage\": 2}], "
                        "\"report_ids\": true, \"input_len\": 4, \"output_len\": 0, "
                        "\"feature_len\": 0, \"input_ids\": [2], \"output_ids\": [], "
                        "\"feature_ids\": []}\n");

    const CResult reader = Run({"describe", "Vantrel Sim Quorin Scanner - QS10077"});
    ASSERT_EQ(reader.code, CCliApp::kDone) << reader.err;
    EXPECT_NE(reader.out.find("collection: usage page 0xFFA0 usage 0x0001"), std::string::npos);
    EXPECT_NE(reader.out.find("device type: Quorin"), std::string::npos);

    const CResult broken = Run({"describe", WriteFile("05 8c 09 02 a1 01 85\n")});
    EXPECT_EQ(broken.code, CCliApp::kFailed);
    EXPECT_NE(broken.err.find("at offset 6"), std::string::npos) << broken.err;
    EXPECT_EQ(Run({"describe", "no such reader"}).code, CCliApp::kFailed);
}

TEST_F(CCliAppTest, HelpAndUsage) {
    for (const char* command : {"list", "monitor", "send", "describe", "replay"}) {
        const CResult r = Run({command, "--help"});
        EXPECT_EQ(r.code, CCliApp::kDone) << command;
        EXPECT_NE(r.out.find(std::string("vantrel-cli ") + command), std::string::npos);
    }
    EXPECT_EQ(Run({"--help"}).code, CCliApp::kDone);
    EXPECT_EQ(Run({}).code, CCliApp::kUsage);
    EXPECT_EQ(Run({"frobnicate"}).code, CCliApp::kUsage);
    EXPECT_EQ(Run({"monitor", "--set", "FontName=x"}).code, CCliApp::kUsage);
    EXPECT_EQ(Run({"monitor", "--record"}).code, CCliApp::kUsage);
}

} // namespace
