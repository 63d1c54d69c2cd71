// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "CCliFixture.h"

#include <regex>
#include <thread>

namespace {

constexpr const char* kImager = "sim:/imager-2d";
constexpr const char* kPrefix = "[Vantrel Sim 2D Imager - 2D00108] ";
constexpr size_t kReportData = 56;

struct CImagerLabel {
    std::string text;
    const char* name; // as completely decoded; as specified each is "Don't know"
};

// A label as the plain output shows it: the GS1 separator as a byte group.
std::string Shown(const std::string& text) {
    return std::regex_replace(text, std::regex("\x1d"), "[1D]");
}

std::string Digits(size_t count) {
    std::string text;
    for (size_t i = 0; i < count; ++i) {
        text += char('0' + i % 10);
    }
    return text;
}

const std::string kBoardingPass = "M1DOE/JANE            EABC123 LHRJFKBA 0117 123Y014C0042 100";

// What the simulated imager scans, in turn: a boarding pass over two reports, Data Matrix,
// GS1, an address over three reports and 112 digits whose last report says more follows.
const CImagerLabel kImagerLabels[] = {
    {kBoardingPass, "QR Code"},
    {"VANTREL-DM-0042", "Data Matrix"},
    {"0109501101020917\x1d"
     "10ABC123",
     "GS1 DataMatrix"},
    {"0109501101020917\x1d"
     "17261231",
     "GS1 QR Code"},
    {"https://example.org/vantrel/a-rather-long-address-that-a-qr-code-holds-easily-and-that-"
     "takes-three-reports-to-send",
     "QR Code"},
    {Digits(112), "QR Code"},
};
constexpr int kImagerReports = 10;

// The label lines of a plain output, without `prefix`; other lines are left out.
std::vector<std::string> LabelLines(const std::string& out, const std::string& prefix) {
    std::vector<std::string> lines;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(prefix, 0) == 0) {
            lines.push_back(line.substr(prefix.size()));
        }
    }
    return lines;
}

// A report of the imager's layout: identifier, `data`, and "continued" in the last byte.
std::vector<uint8_t> ImagerReport(const char* identifier, const std::string& data, bool continued) {
    std::vector<uint8_t> report(64, 0);
    report[0] = 0x02;
    report[1] = uint8_t(data.size());
    std::copy_n(identifier, 3, report.begin() + 2);
    std::copy(data.begin(), data.end(), report.begin() + 5);
    report[63] = continued ? 0x01 : 0x00;
    return report;
}

class CliImager : public CCliFixture {
protected:
    // Runs `args` while pulling the imager's trigger until the monitor ends: each pull scans
    // the next label a moment later.
    CResult ScanWhileMonitoring(CSimPlatform& platform, const std::vector<std::string>& args) {
        std::atomic<bool> done{false};
        CResult result{};
        std::thread monitor([&] {
            result = RunOn(platform, args);
            done = true;
        });
        int error = 0;
        const std::unique_ptr<CHidConnection> trigger = platform.Open(kImager, error);
        EXPECT_TRUE(trigger) << error;
        std::vector<uint8_t> pull(64, 0);
        pull[0] = 0x04;
        pull[1] = 0x04;
        // The first scan comes only once the monitor has had time to open the reader; a pull
        // before the last scan was sent would only move it later.
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        for (int i = 0; i < 60 && trigger && !done.load(); ++i) {
            EXPECT_TRUE(trigger->WriteReport(pull.data(), pull.size(), 1000, error)) << error;
            std::this_thread::sleep_for(std::chrono::milliseconds(400));
        }
        m_stop = true;
        monitor.join();
        m_stop = false;
        return result;
    }
};

TEST_F(CliImager, MonitorShowsTheImagersLabelsJoinedAndNamedOnlyWhenDecodedCompletely) {
    struct CCase {
        bool lane;
        const char* decoding;
    } const cases[] = {
        {false, "complete"}, {true, "complete"}, {false, "specified"}, {true, "specified"}};
    for (const CCase& test : cases) {
        std::vector<std::string> expected;
        for (const CImagerLabel& label : kImagerLabels) {
            if (std::string(test.decoding) == "complete") {
                expected.push_back(Shown(label.text) + " - " + label.name);
                continue;
            }
            // As specified, each report is a label of its own.
            for (size_t at = 0; at < label.text.size(); at += kReportData) {
                expected.push_back(Shown(label.text.substr(at, kReportData)) + " - Don't know");
            }
        }
        std::vector<std::string> args{"monitor",     kImager,     "--decoding",
                                      test.decoding, "--count",   std::to_string(kImagerReports),
                                      "--set",       "ShowRaw=0", "--symbology",
                                      "--format",    "plain"};
        if (test.lane) {
            args.emplace_back("--follow");
        }
        // A fresh imager scans its first label first.
        CSimPlatform platform;
        const CResult result = ScanWhileMonitoring(platform, args);
        ASSERT_EQ(result.code, CCliApp::kDone) << test.lane << test.decoding << result.err;
        // The count ends the run with the last label still waiting for more: it is shown.
        EXPECT_EQ(LabelLines(result.out, test.lane ? kPrefix : ""), expected)
            << test.lane << test.decoding << "\n"
            << result.out;
    }
}

// In a lane, a label whose next report never comes is shown once its wait ran out, and when
// its reader is unplugged before that, as a record of the reader without a report.
TEST_F(CliImager, ALaneShowsALabelLeftOpenAfterItsWaitAndAtUnplug) {
    CSimPlatform platform;
    std::atomic<bool> done{false};
    CResult result{};
    std::thread monitor([&] {
        result = RunOn(platform, {"monitor", kImager, "--follow", "--decoding", "complete",
                                  "--format", "records"});
        done = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const std::string digits = Digits(112);
    ASSERT_TRUE(platform.InjectInputReport(kImager, ImagerReport("]Q1", digits.substr(0, 56), 1)));
    ASSERT_TRUE(platform.InjectInputReport(kImager, ImagerReport("]Q1", digits.substr(56), 1)));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    // The reader goes before the boarding pass's last report.
    ASSERT_TRUE(
        platform.InjectInputReport(kImager, ImagerReport("]Q0", kBoardingPass.substr(0, 56), 1)));
    ASSERT_TRUE(platform.Unplug(kImager));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    m_stop = true;
    monitor.join();
    m_stop = false;
    ASSERT_EQ(result.code, CCliApp::kDone) << result.err;

    std::vector<std::string> shown;
    const std::regex line("\\{\"event\": \"(unplugged)\"|\"report_id\": (null|[0-9]+), "
                          "\"report\": [^,]+, \"aim\": \"(\\][A-Za-z0-9]{2})\", \"label\": "
                          "\"([^\"]+)\"");
    for (auto it = std::sregex_iterator(result.out.begin(), result.out.end(), line);
         it != std::sregex_iterator(); ++it) {
        shown.push_back((*it)[1].matched ? std::string((*it)[1])
                                         : std::string((*it)[2]) + " " + std::string((*it)[3]) +
                                               " " + std::string((*it)[4]));
    }
    EXPECT_EQ(shown,
              (std::vector<std::string>{"null ]Q1 " + digits,
                                        "null ]Q0 " + kBoardingPass.substr(0, 56), "unplugged"}))
        << result.out;
    EXPECT_EQ(Count(result.out, "\"reader\": \"Vantrel Sim 2D Imager - 2D00108\", \"serial\": "
                                "\"2D00108\""),
              Count(result.out, "\"insertions\""))
        << "every record names the reader, the labels shown late too";
}

} // namespace
