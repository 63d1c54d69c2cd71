// The real report descriptors in tests/data/descriptors, one test case per file: each
// <name>.hex is parsed and compared with <name>.parse beside it.
#include "platform/CReportDescriptor.h"
#include "platform/ReaderUsage.h"
#include "support/HexFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

const std::filesystem::path kDir = std::filesystem::path(VANTREL_TEST_DATA_DIR) / "descriptors";

// The stems of every <name>.hex, sorted.
std::vector<std::string> DescriptorNames() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(kDir)) {
        if (entry.path().extension() == ".hex") {
            names.push_back(entry.path().stem().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The key=value lines of a .parse file.
std::map<std::string, std::string> ReadExpected(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::map<std::string, std::string> expected;
    std::string line;
    while (std::getline(in, line)) {
        const size_t eq = line.find('=');
        if (!line.empty() && line[0] != '#' && eq != std::string::npos) {
            expected[line.substr(0, eq)] = line.substr(eq + 1);
        }
    }
    return expected;
}

uint16_t Hex16(const std::string& text) {
    return static_cast<uint16_t>(std::stoul(text, nullptr, 16));
}

// "02" or "04,FD" or "-".
std::vector<uint8_t> IdList(const std::string& text) {
    std::vector<uint8_t> ids;
    std::istringstream in(text == "-" ? std::string() : text);
    std::string id;
    while (std::getline(in, id, ',')) {
        ids.push_back(static_cast<uint8_t>(std::stoul(id, nullptr, 16)));
    }
    return ids;
}

class RealDescriptor : public ::testing::TestWithParam<std::string> {};

TEST_P(RealDescriptor, ParsesAsTheFileBesideItSays) {
    const std::vector<uint8_t> bytes = ReadHexFile((kDir / (GetParam() + ".hex")).string());
    auto expected = ReadExpected(kDir / (GetParam() + ".parse"));
    ASSERT_FALSE(bytes.empty());
    for (const char* key :
         {"tlc", "report_ids", "input_len", "output_len", "feature_len", "reader"}) {
        ASSERT_EQ(expected.count(key), 1u) << GetParam() << ".parse lacks " << key;
    }

    CReportDescriptor d;
    ASSERT_TRUE(d.Parse(bytes)) << "at " << d.ErrorOffset() << ": " << d.ErrorReason();
    ASSERT_FALSE(d.Collections().empty());

    const std::string tlc = expected["tlc"];
    const uint16_t page = Hex16(tlc.substr(0, tlc.find(':')));
    const uint16_t usage = Hex16(tlc.substr(tlc.find(':') + 1));
    const CReportCollection& first = d.Collections().front();
    EXPECT_EQ(first.usagePage, page);
    EXPECT_EQ(first.usage, usage);

    EXPECT_EQ(d.UsesReportIds(), expected["report_ids"] == "yes");
    const std::pair<const char*, CReportKind> kinds[] = {{"input", CReportKind::Input},
                                                         {"output", CReportKind::Output},
                                                         {"feature", CReportKind::Feature}};
    for (const auto& [name, kind] : kinds) {
        const int length = std::stoi(expected[std::string(name) + "_len"]);
        EXPECT_EQ(d.ReportByteLength(kind), length) << name;
        EXPECT_EQ(first.reportByteLength[static_cast<size_t>(kind)], length) << name;
        const auto ids = expected.find(std::string(name) + "_ids");
        if (ids != expected.end()) {
            EXPECT_EQ(d.ReportIds(kind), IdList(ids->second)) << name;
        } else if (expected["report_ids"] == "no") {
            EXPECT_TRUE(d.ReportIds(kind).empty()) << name;
        }
    }

    // The capabilities a reader interface shows are its reader collection's and the lengths.
    const CHidCaps caps = d.Caps();
    EXPECT_EQ(caps.usagePage, page);
    EXPECT_EQ(caps.usage, usage);
    EXPECT_EQ(caps.inputReportByteLength, d.ReportByteLength(CReportKind::Input));
    EXPECT_EQ(caps.outputReportByteLength, d.ReportByteLength(CReportKind::Output));
    EXPECT_EQ(caps.featureReportByteLength, d.ReportByteLength(CReportKind::Feature));
    EXPECT_EQ(IsReaderUsage(caps.usagePage, caps.usage), expected["reader"] == "yes");
}

INSTANTIATE_TEST_SUITE_P(Files, RealDescriptor, ::testing::ValuesIn(DescriptorNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

// A file without its expected parse would go untested.
TEST(RealDescriptorData, EveryDescriptorHasItsExpectedParse) {
    const std::vector<std::string> names = DescriptorNames();
    EXPECT_GE(names.size(), 4u);
    for (const std::string& name : names) {
        EXPECT_TRUE(std::filesystem::exists(kDir / (name + ".parse"))) << name;
    }
}

} // namespace
