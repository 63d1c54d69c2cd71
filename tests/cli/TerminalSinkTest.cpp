// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "cli/CAnsiSink.h"
#include "cli/CJsonSink.h"
#include "cli/CPlainSink.h"
#include "cli/CSettingsOverlay.h"
#include "settings/CMemorySettingsStore.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

// A label line as a device type writes it: raw prefix, bold label, symbology, line end.
template <class Sink, class... Options> std::string WriteLabelLine(Options... options) {
    std::ostringstream out;
    {
        Sink sink(out, options...);
        const uint8_t raw[] = {0x02, 0x41, 0xE9};
        sink.AppendHex(raw, sizeof raw, 0x808080, false);
        sink.AppendText(" - ", 0, false);
        sink.AppendMixed(raw + 1, 2, 0x800000, 0x808080, true);
        sink.AppendText(" - ", 0, false);
        sink.AppendText("C128", 0xFF000000u, false);
        sink.AppendText("\r\n", 0, false);
        sink.AppendNewLine();
        sink.ScrollToEnd();
    }
    return out.str();
}

TEST(CPlainSink, TextOnlyWithNewlinesAndUtf8) {
    EXPECT_EQ(WriteLabelLine<CPlainSink>(), "[02][41][E9] - A\xC3\xA9 - C128\n\n");
}

TEST(CAnsiSink, SettingsPaletteGivesTrueColourAndAutomaticAsDefault) {
    const std::string text = WriteLabelLine<CAnsiSink>(CAnsiSink::Palette::Settings);
    EXPECT_NE(text.find("\x1b[38;2;128;128;128m[02][41][E9]"), std::string::npos);
    EXPECT_NE(text.find("\x1b[1;38;2;0;0;128mA\xC3\xA9"), std::string::npos); // navy, bold
    EXPECT_NE(text.find("\x1b[39mC128"), std::string::npos);
    EXPECT_EQ(text.find('\r'), std::string::npos);
}

TEST(CAnsiSink, TerminalPaletteUsesTheStandardColoursAndTheOwnColourForBlackAndWhite) {
    const std::string text = WriteLabelLine<CAnsiSink>(CAnsiSink::Palette::Terminal);
    EXPECT_NE(text.find("\x1b[90m[02][41][E9]"), std::string::npos) << text; // grey
    EXPECT_NE(text.find("\x1b[1;34mA\xC3\xA9"), std::string::npos) << text;  // navy, bold
    EXPECT_NE(text.find("\x1b[39m - "), std::string::npos) << text;          // black
    EXPECT_EQ(text.find("38;2"), std::string::npos);

    using P = CAnsiSink::Palette;
    EXPECT_EQ(CAnsiSink::ColourParameters(0xFFFFFF, P::Terminal), "39"); // white
    EXPECT_EQ(CAnsiSink::ColourParameters(0x0000FF, P::Terminal), "91"); // red (0x00BBGGRR)
    EXPECT_EQ(CAnsiSink::ColourParameters(0x008000, P::Terminal), "32"); // dark green
    EXPECT_EQ(CAnsiSink::ColourParameters(0xC00000, P::Terminal), "34"); // the symbology blue
    EXPECT_EQ(CAnsiSink::ColourParameters(0xFF000000u, P::Settings), "39");
}

TEST(CTerminalSink, SourceGoesBeforeEachLineAndIntoEachObject) {
    std::ostringstream plain;
    {
        CPlainSink sink(plain);
        sink.SetSource("[device 1] ", ", \"device\": 1");
        sink.AppendText("A\r\nB", 0, false);
        sink.AppendText("C", 0, false);
        sink.AppendNewLine();
    }
    EXPECT_EQ(plain.str(), "[device 1] A\n[device 1] BC\n");

    std::ostringstream json;
    {
        CJsonSink sink(json);
        sink.SetSource("ignored ", ", \"device\": 1");
        sink.AppendText("A", 255, true);
    }
    EXPECT_EQ(json.str(), "{\"text\": \"A\", \"color\": 255, \"bold\": true, \"device\": 1}\n");
}

TEST(CRecordsSink, OneObjectPerReportWithItsInsertions) {
    std::ostringstream out;
    {
        CRecordsSink sink(out);
        sink.AppendText("echo", 0, false); // outside a report: an object of its own
        CReportInfo info;
        info.timed = true;
        info.microseconds = 1500000;
        info.reader = "Reader \"1\"";
        info.device = 2;
        info.report = {0x02, 0x41};
        sink.BeginReport(info);
        sink.AppendText("A", 128, true);
        sink.AppendNewLine();
        sink.EndReport();
        sink.BeginReport(info);
        sink.EndReport();
    }
    const std::string insertion = "{\"text\": \"A\", \"color\": 128, \"bold\": true}, "
                                  "{\"text\": \"\\r\\n\", \"color\": null, \"bold\": false}";
    EXPECT_EQ(out.str(),
              "{\"time\": null, \"report_id\": null, \"report\": null, \"insertions\": "
              "[{\"text\": \"echo\", \"color\": 0, \"bold\": false}]}\n"
              "{\"time\": 1.500000, \"reader\": \"Reader \\\"1\\\"\", \"device\": 2, "
              "\"report_id\": 2, \"report\": \"02 41\", \"insertions\": [" +
                  insertion +
                  "]}\n"
                  "{\"time\": 1.500000, \"reader\": \"Reader \\\"1\\\"\", \"device\": 2, "
                  "\"report_id\": 2, \"report\": \"02 41\", \"insertions\": []}\n");
}

TEST(CJsonSink, OneObjectPerInsertionInOrder) {
    const std::string expected =
        "{\"text\": \"[02][41][E9]\", \"color\": 8421504, \"bold\": false}\n"
        "{\"text\": \" - \", \"color\": 0, \"bold\": false}\n"
        "{\"text\": \"A\xC3\xA9\", \"color\": 8388608, \"bold\": true}\n"
        "{\"text\": \" - \", \"color\": 0, \"bold\": false}\n"
        "{\"text\": \"C128\", \"color\": 4278190080, \"bold\": false}\n"
        "{\"text\": \"\\r\\n\", \"color\": 0, \"bold\": false}\n"
        "{\"text\": \"\\r\\n\", \"color\": null, \"bold\": false}\n";
    EXPECT_EQ(WriteLabelLine<CJsonSink>(), expected);
}

TEST(CSettingsOverlay, OverridesSettingsForThisRunWithoutWriting) {
    CMemorySettingsStore stored;
    stored.WriteProfileInt("Settings", "ShowRaw", 0);
    stored.WriteProfileInt("Settings", "ColorLabel", 5);
    stored.ClearWrites();
    CSettingsOverlay overlay(stored);
    std::string error;
    ASSERT_TRUE(overlay.Override("ShowRaw=1", error));
    ASSERT_TRUE(overlay.Override("ColorOut=0xFF000000", error));
    EXPECT_EQ(overlay.GetProfileInt("Settings", "ShowRaw", 0), 1);
    EXPECT_EQ(uint32_t(overlay.GetProfileInt("Settings", "ColorOut", 0)), 0xFF000000u);
    EXPECT_EQ(overlay.GetProfileInt("Settings", "ColorLabel", 0), 5);
    EXPECT_EQ(overlay.GetProfileInt("Strings", "ShowRaw", 7), 7);
    EXPECT_FALSE(overlay.WriteProfileInt("Settings", "ShowRaw", 0));
    EXPECT_TRUE(stored.Writes().empty());

    EXPECT_FALSE(overlay.Override("FontName=Mono", error));
    EXPECT_FALSE(overlay.Override("ShowRaw", error));
    EXPECT_FALSE(overlay.Override("ShowRaw=yes", error));
    EXPECT_FALSE(overlay.Override("ShowRaw=99999999999", error));
}

} // namespace
