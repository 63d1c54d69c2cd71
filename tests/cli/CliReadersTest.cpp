// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "CCliFixture.h"
#include "CReceivingFirmware.h"
#include "cli/CSession.h"
#include "support/CFileSizeLimit.h"

#include <cerrno>
#include <cstring>
#include <regex>
#include <thread>

namespace {

class CliReaders : public CCliFixture {
protected:
    // Injects a report of its type into each reader every 50 ms until the test ends: a "data
    // waiting" notification into the SurePos Sio scale, a label into the Hid Pos imager.
    void Notify(const std::vector<std::string>& paths) {
        m_notifier = std::thread([this, paths] {
            while (!m_notifying.load()) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                for (const std::string& path : paths) {
                    m_platform.InjectInputReport(
                        path, path == "sim:/hidpos" ? std::vector<uint8_t>{0x02, 0x04, ']', 'E',
                                                                           '0', '1', '2', '3', '4'}
                                                    : std::vector<uint8_t>{0x00, 0x10, 0x00});
                }
            }
        });
    }
    void TearDown() override {
        m_notifying = true;
        if (m_notifier.joinable()) {
            m_notifier.join();
        }
        CCliFixture::TearDown();
    }

    std::thread m_notifier;
    std::atomic<bool> m_notifying{false};
};

TEST_F(CliReaders, ANameMatchingSeveralReadersListsThemUnlessOneMatchesExactly) {
    const CResult ambiguous = Run({"send", "Vantrel Sim", "beep"});
    EXPECT_EQ(ambiguous.code, CCliApp::kUsage);
    EXPECT_NE(ambiguous.err.find("the name \"Vantrel Sim\" matches 11 readers; name one of them:\n"
                                 "  Vantrel Sim 2D Imager - 2D00108\n"
                                 "  Vantrel Sim Barcode Scanner - Keyboard mode - KM00042\n"
                                 "  Vantrel Sim Counter Scanner - NoSerNum0\n"),
              std::string::npos)
        << ambiguous.err;
    EXPECT_NE(ambiguous.err.find("  Vantrel Sim Hid Pos Imager - HP40021\n"), std::string::npos);

    EXPECT_EQ(Run({"send", "vantrel sim hid pos", "beep"}).code, CCliApp::kDone);
    EXPECT_EQ(Run({"send", "Vantrel Sim Counter Scanner - NoSerNum0", "beep"}).code,
              CCliApp::kDone);
    EXPECT_EQ(Run({"send", "Vantrel Sim Counter", "beep"}).code, CCliApp::kUsage);

    // VID:PID as lsusb -d takes it, and paths.
    EXPECT_EQ(Run({"send", "1209:101", "beep"}).code, CCliApp::kDone);
    const CResult twoIds = Run({"send", "1209:0106", "beep"});
    EXPECT_EQ(twoIds.code, CCliApp::kUsage);
    EXPECT_NE(twoIds.err.find("the ids \"1209:0106\" match 2 readers"), std::string::npos);
    EXPECT_EQ(Run({"send", "1209:9999", "beep"}).code, CCliApp::kFailed);
    EXPECT_EQ(Run({"send", "sim:/hidpos", "beep"}).code, CCliApp::kDone);

    // describe takes the same names.
    const CResult prefix = Run({"describe", "Vantrel Sim Quorin"});
    EXPECT_EQ(prefix.code, CCliApp::kDone) << prefix.err;
    EXPECT_NE(prefix.out.find("device type: Quorin"), std::string::npos);
    EXPECT_EQ(Run({"describe", "1209:0104"}).out.find("device type: SurePos Sio\n") !=
                  std::string::npos,
              true);
    EXPECT_EQ(Run({"describe", "Vantrel Sim"}).code, CCliApp::kUsage);
}

TEST_F(CliReaders, ACommandTheTypeDoesNotCarryOutIsAnError) {
    const CResult beep = Run({"send", "Vantrel Sim SurePos Handheld", "beep"});
    EXPECT_EQ(beep.code, CCliApp::kUsage);
    EXPECT_NE(beep.err.find("\"beep\" is not a command of a SurePos reader; a SurePos reader has: "
                            "enable, disable, beeper-on, beeper-off, test,"),
              std::string::npos)
        << beep.err;
    EXPECT_EQ(Run({"send", "Vantrel Sim Quorin", "enable"}).code, CCliApp::kUsage);
    EXPECT_EQ(Run({"send", "Vantrel Sim SurePos Sio", "trigger-on"}).code, CCliApp::kUsage);
    EXPECT_EQ(Run({"send", "Vantrel Sim Service", "beep"}).code, CCliApp::kUsage); // no type

    const CResult help = Run({"send", "--help"});
    EXPECT_NE(help.out.find("  Quorin: trigger-on, trigger-off, beep, error-beep, string TEXT\n"),
              std::string::npos)
        << help.out;
    EXPECT_NE(help.out.find("  SurePos Sio: string TEXT, get-contents, test,"), std::string::npos);
}

TEST_F(CliReaders, RawOutputAndFeatureReportsReachTheReader) {
    auto received = std::make_shared<CReceived>();
    CSimPlatform platform(ReceivingReaderSet(received));
    const CResult output = RunOn(platform, {"send", "sim:/hidpos", "output", "04", "40"});
    ASSERT_EQ(output.code, CCliApp::kDone) << output.err;
    // The simulated reader takes output reports on its own thread and feature reports at once,
    // so the next command waits until the output report has arrived.
    ASSERT_EQ(received->Wait(1).size(), 1u);
    const CResult set = RunOn(platform, {"send", "sim:/hidpos", "feature-set", "fe 01"});
    ASSERT_EQ(set.code, CCliApp::kDone) << set.err;
    const CResult get = RunOn(platform, {"send", "sim:/hidpos", "feature-get", "fe"});
    ASSERT_EQ(get.code, CCliApp::kDone) << get.err;
    const auto reports = received->Wait(3);
    ASSERT_EQ(reports.size(), 3u);
    std::vector<uint8_t> padded(64, 0);
    padded[0] = 0x04;
    padded[1] = 0x40;
    EXPECT_EQ(reports[0].kind, CReceived::Kind::Output);
    EXPECT_EQ(reports[0].bytes, padded); // padded to the output report length
    EXPECT_EQ(reports[1].kind, CReceived::Kind::SetFeature);
    EXPECT_EQ(reports[1].bytes, (std::vector<uint8_t>{0xFE, 0x01}));
    EXPECT_EQ(reports[2].kind, CReceived::Kind::GetFeature);
    EXPECT_EQ(reports[2].bytes, (std::vector<uint8_t>{0xFE}));
    EXPECT_TRUE(std::regex_match(get.out, std::regex("fe [0-9a-f]{2}\n"))) << get.out;

    EXPECT_EQ(RunOn(platform, {"send", "sim:/hidpos", "output", std::string(65 * 3, '0')}).code,
              CCliApp::kUsage); // not hex bytes
    const CResult tooLong = RunOn(
        platform, {"send", "sim:/surepos", "output", "00 01 02 03 04 05 06 07 08 09 0a 0b 0c"});
    EXPECT_EQ(tooLong.code, CCliApp::kFailed);
    EXPECT_NE(tooLong.err.find("the output report is 12 bytes long"), std::string::npos);
    const CResult noFeature = RunOn(platform, {"send", "sim:/quorin", "feature-get", "01"});
    EXPECT_EQ(noFeature.code, CCliApp::kFailed);
    EXPECT_NE(noFeature.err.find("has no feature reports"), std::string::npos);
    EXPECT_EQ(RunOn(platform, {"send", "sim:/quorin", "feature-get", "1ff"}).code, CCliApp::kUsage);
    // Raw reports work on interfaces of no reader type too.
    EXPECT_EQ(RunOn(platform, {"send", "sim:/service", "output", "00 01"}).code, CCliApp::kDone);
}

TEST_F(CliReaders, NumberOptionsRejectWhatTheyCannotRepresent) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"send", "sim:/hidpos", "beep", "--wait", "99999999999999999999"},
             {"send", "sim:/hidpos", "beep", "--wait", "-1"},
             {"send", "sim:/hidpos", "beep", "--wait", "1e3"},
             {"send", "sim:/hidpos", "beep", "--wait", " 5"},
             {"monitor", "sim:/hidpos", "--count", "0"},
             {"monitor", "sim:/hidpos", "--timeout", "2147483648"},
             {"replay", "--device", "64", "-"},
             {"describe", "--device", "x", "-"},
             {"list", "--vid", "12345"},
             {"list", "--usage-page", "-8c"},
         }) {
        const CResult r = Run(args);
        EXPECT_EQ(r.code, CCliApp::kUsage) << args[args.size() - 1];
        EXPECT_NE(r.err.find("needs a"), std::string::npos) << r.err;
    }
    EXPECT_NE(Run({"send", "sim:/hidpos", "beep", "--wait", "99999999999999999999"})
                  .err.find("--wait needs a number from 0 to 2147483647"),
              std::string::npos);
}

TEST_F(CliReaders, ListFiltersAndPrintsOneLineEach) {
    const CResult all = Run({"list"});
    ASSERT_EQ(all.code, CCliApp::kDone);
    EXPECT_EQ(Count(all.out, "\n"), 11u) << all.out;
    const std::regex line("[0-9a-f]{4}:[0-9a-f]{4}  [0-9a-f]{4}:[0-9a-f]{4}  "
                          "(quorin|hidpos|surepos|sio|keyboard|none) +\\S+  .+");
    std::istringstream lines(all.out);
    for (std::string text; std::getline(lines, text);) {
        EXPECT_TRUE(std::regex_match(text, line)) << text;
    }
    EXPECT_NE(all.out.find("1209:0101  008c:0002  hidpos   sim:/hidpos  Vantrel Sim Hid Pos Imager"
                           " - HP40021\n"),
              std::string::npos)
        << all.out;

    const CResult ids = Run({"list", "--vid", "1209", "--pid", "106"});
    EXPECT_EQ(Count(ids.out, "\n"), 2u) << ids.out;
    const CResult usages = Run({"list", "--usage-page", "8C", "--usage", "0002"});
    EXPECT_EQ(Count(usages.out, "  hidpos  "), 4u) << usages.out;
    EXPECT_EQ(Count(usages.out, "\n"), 4u);
    const CResult keyboard = Run({"list", "--all", "--usage-page", "1"});
    EXPECT_NE(keyboard.out.find("(not listed: not a reader interface"), std::string::npos);
    const CResult none = Run({"list", "--vid", "dead"});
    EXPECT_EQ(none.code, CCliApp::kDone);
    EXPECT_EQ(none.out, "");
    EXPECT_NE(none.err.find("no interface matches the filters"), std::string::npos);
}

TEST_F(CliReaders, AnEmptyListSaysWhy) {
    CSimPlatform empty(std::vector<CSimReaderDefinition>{});
    const CResult nothing = RunOn(empty, {"list"});
    EXPECT_EQ(nothing.code, CCliApp::kDone);
    EXPECT_EQ(nothing.out, "");
    EXPECT_NE(nothing.err.find("no HID interfaces are present"), std::string::npos);

    std::vector<CSimReaderDefinition> keyboardOnly;
    std::vector<CSimReaderDefinition> unnamedReader;
    for (const CSimReaderDefinition& reader : CSimReaderSet::Default()) {
        if (reader.path == "sim:/keyboard") {
            keyboardOnly.push_back(reader);
        }
        if (reader.path == "sim:/noproduct") {
            unnamedReader.push_back(reader);
        }
    }
    CSimPlatform keyboard(keyboardOnly);
    EXPECT_NE(RunOn(keyboard, {"list"})
                  .err.find("none of the 1 HID interfaces is a bar-code "
                            "reader"),
              std::string::npos);
    CSimPlatform unnamed(unnamedReader);
    EXPECT_NE(RunOn(unnamed, {"list"})
                  .err.find("1 reader interface is not listed because it "
                            "lacks a product string"),
              std::string::npos);
}

TEST_F(CliReaders, HelpVersionAndSingleDashOptions) {
    EXPECT_EQ(Run({"--version"}).out, "vantrel-cli " VANTREL_TEST_VERSION "\n");
    for (const char* command : {"list", "monitor", "send", "describe", "replay"}) {
        for (const char* help : {"-h", "--help"}) {
            const CResult r = Run({command, help});
            EXPECT_EQ(r.code, CCliApp::kDone) << command << help;
            EXPECT_EQ(r.out.rfind(std::string("Usage: vantrel-cli ") + command, 0), 0u);
        }
    }
    const CResult dash = Run({"send", "-x", "beep"});
    EXPECT_EQ(dash.code, CCliApp::kUsage);
    EXPECT_NE(dash.err.find("unknown option \"-x\""), std::string::npos);
    EXPECT_EQ(Run({"monitor", "-v"}).code, CCliApp::kUsage);
    // After "--" a word that starts with '-' is a name.
    EXPECT_NE(Run({"send", "--", "-x", "beep"}).err.find("cannot open \"-x\""), std::string::npos);
}

TEST_F(CliReaders, MonitorOfSeveralReadersMarksEachLineAndEndsAfterACount) {
    Notify({"sim:/surepos-sio", "sim:/hidpos"});
    const CResult r = Run({"monitor", "sim:/surepos-sio", "Vantrel Sim Hid Pos", "--raw", "--count",
                           "4", "--format", "plain"});
    ASSERT_EQ(r.code, CCliApp::kDone) << r.err;
    EXPECT_EQ(Count(r.out, "\n"), 4u) << r.out << r.err;
    EXPECT_NE(r.out.find("[Vantrel Sim SurePos Sio Scale - SS00912] [10][00]"), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("[Vantrel Sim Hid Pos Imager - HP40021] "), std::string::npos) << r.out;

    const CResult json = Run({"monitor", "--all", "--count", "2", "--format", "json"});
    EXPECT_EQ(json.code, CCliApp::kDone) << json.err;
    EXPECT_NE(json.out.find(", \"reader\": \"Vantrel Sim "), std::string::npos) << json.out;
    EXPECT_EQ(Run({"monitor", "--all", "sim:/hidpos"}).code, CCliApp::kUsage);
}

// Each key is one report: the first label of the simulated reader is 34 of them. A lane
// sets its readers up as one reader is set up.
TEST_F(CliReaders, MonitorReadsAReaderInKeyboardModeUnderAChosenLayout) {
    for (const bool lane : {false, true}) {
        const std::string prefix =
            lane ? "[Vantrel Sim Barcode Scanner - Keyboard mode - KM00042] " : "";
        const auto labels = [&](std::vector<std::string> args) {
            if (lane) {
                args.emplace_back("--follow");
            }
            // A fresh simulator types its first label first.
            CSimPlatform fresh;
            const CResult result = RunOn(fresh, args);
            EXPECT_EQ(result.code, CCliApp::kDone) << result.err;
            std::string shown;
            std::istringstream lines(result.out);
            for (std::string line; std::getline(lines, line);) {
                if (line.rfind(prefix, 0) == 0) {
                    shown += line.substr(prefix.size()) + "\n";
                }
            }
            return shown;
        };
        EXPECT_EQ(labels({"monitor", "Vantrel Sim Barcode", "--layout", "de", "--grab", "--count",
                          "34", "--format", "plain"}),
                  "Vantrel\xC3\x9FYzx-42[0D] - 17 keys, 250 keys/s, longest gap 6.0 ms - "
                  "typed as \"Vantrel\xC3\x9FYzx-42\" under de, as \"Vantrel-Zyx/42\" "
                  "under us\n")
            << lane;
        // Without Enter as an end, the label ends at the pause after it, long before the first
        // key of the next label.
        EXPECT_EQ(labels({"monitor", "Vantrel Sim Barcode", "--layout", "us", "--end", "none",
                          "--pause", "30", "--count", "35", "--format", "plain"}),
                  "Vantrel-Zyx/42[0D] - 17 keys, 250 keys/s, longest gap 6.0 ms\n")
            << lane;
    }

    const CResult command = Run({"send", "sim:/keyboard-mode", "beep"});
    EXPECT_EQ(command.code, CCliApp::kFailed);
    EXPECT_NE(command.err.find("is a reader in keyboard mode and takes no commands"),
              std::string::npos)
        << command.err;

    for (const auto& [option, says] :
         {std::pair{std::vector<std::string>{"--layout", "xx"},
                    "no keymap for the keyboard layout"},
          std::pair{std::vector<std::string>{"--end", "space"}, "--end must be"},
          std::pair{std::vector<std::string>{"--pause", "-1"}, "--pause"}}) {
        // Wrong before any reader opens, whichever reader is named and however it is followed;
        // stopped before it starts, a monitor that took them would end at once.
        m_stop = true;
        for (const bool follow : {false, true}) {
            std::vector<std::string> args = {"monitor", "sim:/hidpos"};
            if (follow) {
                args.emplace_back("--follow");
            }
            args.insert(args.end(), option.begin(), option.end());
            const CResult bad = Run(args);
            EXPECT_EQ(bad.code, CCliApp::kUsage) << says << follow;
            EXPECT_NE(bad.err.find(says), std::string::npos) << bad.err;
        }
        m_stop = false;
    }
}

TEST_F(CliReaders, MonitorTimeoutTimestampsAndRecords) {
    const CResult quiet = Run({"monitor", "sim:/quorin", "--timeout", "200"});
    EXPECT_EQ(quiet.code, CCliApp::kFailed);
    EXPECT_NE(quiet.err.find("no report arrived in 200 ms"), std::string::npos);

    Notify({"sim:/surepos-sio"});
    const CResult stamped =
        Run({"monitor", "sim:/surepos-sio", "--raw", "--count", "1", "--timestamps"});
    EXPECT_TRUE(std::regex_match(stamped.out,
                                 std::regex("\\d\\d:\\d\\d:\\d\\d\\.\\d{3} \\[10\\]\\[00\\].*\n")))
        << stamped.out;
    // A "data waiting" report shows no text: its line still carries the time stamp.
    const CResult bare = Run({"monitor", "sim:/surepos-sio", "--count", "2", "--timestamps"});
    EXPECT_TRUE(std::regex_match(bare.out, std::regex("(\\d\\d:\\d\\d:\\d\\d\\.\\d{3}\n){2}")))
        << bare.out;
    const CResult records =
        Run({"monitor", "sim:/surepos-sio", "--count", "1", "--format", "records", "--raw"});
    EXPECT_TRUE(std::regex_match(
        records.out,
        std::regex("\\{\"time\": 0\\.000000, \"reader\": \"Vantrel Sim SurePos Sio Scale - "
                   "SS00912\", \"report_id\": 0, \"report\": \"00 10 00\", \"aim\": null, "
                   "\"label\": null, \"symbology\": null, \"insertions\": \\[.+"
                   "\\]\\}\n")))
        << records.out;
}

TEST_F(CliReaders, OutputOnAFullDiskEndsEveryCommandWithTheReason) {
    Notify({"sim:/hidpos"});
    const std::string recording =
        WriteFile("D: 0\nI: 3 1209 0101\nN: reader\nE: 0.000000 3 02 41 42\n");
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"list"},
             {"list", "--format", "json"},
             {"monitor", "sim:/hidpos"}, // ends by itself: nothing reads what it shows
             {"replay", "--type", "quorin", recording},
             {"describe", "sim:/hidpos"},
             {"--help"}}) {
        const CResult r = RunOnFullDisk(args);
        EXPECT_EQ(r.code, CCliApp::kFailed) << args[0];
        EXPECT_NE(r.err.find("vantrel-cli: cannot write the output: No space left on device"),
                  std::string::npos)
            << args[0] << ": " << r.err;
        EXPECT_EQ(Count(r.err, "cannot write"), 1u) << r.err;
    }
}

TEST_F(CliReaders, RecordWritesOnlyAfterTheReaderOpenedAndFailsOnAFullDisk) {
    const std::string kept = WriteFile("an earlier capture\n");
    EXPECT_EQ(Run({"monitor", "sim:/nowhere", "--record", kept}).code, CCliApp::kFailed);
    EXPECT_EQ(ReadFile(kept), "an earlier capture\n");

    Notify({"sim:/surepos-sio", "sim:/hidpos"});
    // A file that may not grow past a few bytes stands for a full disk.
    CFileSizeLimit limit(16);
    ASSERT_TRUE(limit.IsSet());
    const CResult full = Run({"monitor", "sim:/surepos-sio", "--record", WriteFile("")});
    limit.Lift();
    EXPECT_EQ(full.code, CCliApp::kFailed);
    EXPECT_NE(full.err.find(std::strerror(EFBIG)), std::string::npos) << full.err;

    // A device is never opened as a recording (a FIFO would block), nor replaced.
    const CResult device = Run({"monitor", "sim:/surepos-sio", "--record", "/dev/full"});
    EXPECT_EQ(device.code, CCliApp::kFailed);
    EXPECT_NE(device.err.find("is not a regular file"), std::string::npos) << device.err;

    const CResult toOut =
        Run({"monitor", "sim:/surepos-sio", "sim:/hidpos", "--record", "-", "--count", "2"});
    EXPECT_EQ(toOut.code, CCliApp::kDone) << toOut.err;
    EXPECT_NE(toOut.out.find("\nD: 0\nR: "), std::string::npos) << toOut.out;
    EXPECT_NE(toOut.out.find("\nD: 1\nR: "), std::string::npos);
    EXPECT_NE(toOut.out.find("N: Vantrel Sim SurePos Sio Scale\nP: vantrel-sim/surepos-sio\n"
                             "I: 6 1209 0104\n"),
              std::string::npos);
    EXPECT_NE(toOut.out.find("\nE: 000000.000000 "), std::string::npos) << toOut.out;
    EXPECT_TRUE(std::regex_search(toOut.out, std::regex("D: 0\nE: \\d{6}\\.\\d{6} 2 10 00\n")));
    EXPECT_EQ(toOut.out.find("[10]"), std::string::npos); // the recording alone

    // The recording replays, each device with its own type.
    m_stop = false;
    const CResult replayed = Run({"replay", WriteFile(toOut.out), "--raw"});
    EXPECT_EQ(replayed.code, CCliApp::kDone) << replayed.err;
    EXPECT_NE(replayed.out.find("[device 0] [10][00]"), std::string::npos) << replayed.out;
}

TEST(CSessionQueue, EachReaderIsBoundedOnItsOwnAndItsDropsAreCounted) {
    CSessionQueue queue(2 * (sizeof(CHidMessage) + 1));
    for (int i = 0; i < 6; ++i) {
        CHidMessage message;
        message.generation = 1;
        message.report = {uint8_t(i)};
        queue.Post(i % 3 == 0 ? 1 : 0, std::move(message)); // reader 1 gets 0 and 3
    }
    EXPECT_EQ(queue.PendingDrops(0), 2u); // 1 and 2 joined, 4 and 5 were dropped
    EXPECT_EQ(queue.PendingDrops(1), 0u);
    std::vector<uint8_t> order;
    int session = -1;
    CHidMessage message;
    while (queue.Wait(session, message, 0)) {
        order.push_back(message.report[0]);
    }
    EXPECT_EQ(order, (std::vector<uint8_t>{0, 1, 2, 3}));
    message = CHidMessage();
    message.generation = 1;
    queue.Post(0, std::move(message));
    ASSERT_TRUE(queue.Wait(session, message, 0));
    EXPECT_EQ(session, 0);
    EXPECT_EQ(message.droppedBefore, 2u);
    EXPECT_EQ(queue.PendingDrops(0), 0u);
}

} // namespace
