// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "cli/CAnsiSink.h"
#include "cli/CJsonSink.h"
#include "cli/CPlainSink.h"
#include "cli/CSettingsOverlay.h"
#include "settings/CMemorySettingsStore.h"

#include <gtest/gtest.h>

#include <memory>
#include <regex>
#include <set>
#include <sstream>

namespace {

// A label line as a device type writes it: raw prefix, bold label, symbology, line end.
template <class Sink, class... Options> std::string WriteLabelLine(Options... options) {
    std::ostringstream out;
    {
        Sink sink(out, options...);
        const uint8_t raw[] = {0x02, 0x41, 0xE9};
        sink.AppendHex(raw, sizeof raw, OutputRole::Hex, false);
        sink.AppendText(" - ", OutputRole::Default, false);
        sink.AppendMixed(raw + 1, 2, OutputRole::Label, true);
        sink.AppendText(" - ", OutputRole::Default, false);
        sink.AppendText("C128", OutputRole::Symbology, false);
        sink.AppendText("\r\n", OutputRole::Default, false);
        sink.AppendNewLine();
        sink.ScrollToEnd();
    }
    return out.str();
}

TEST(CPlainSink, TextOnlyWithNewlinesAndUtf8) {
    EXPECT_EQ(WriteLabelLine<CPlainSink>(), "[02][41][E9] - A\xC3\xA9 - C128\n\n");
}

TEST(CAnsiSink, SettingsPaletteGivesTheStoredColoursOfEachRoleAsTrueColour) {
    const std::string text = WriteLabelLine<CAnsiSink>(CAnsiSink::Palette::Settings);
    EXPECT_NE(text.find("\x1b[38;2;128;128;128m[02][41][E9]"), std::string::npos);
    EXPECT_NE(text.find("\x1b[1;38;2;0;0;128mA\xC3\xA9"), std::string::npos); // navy, bold
    EXPECT_NE(text.find("\x1b[38;2;0;0;192mC128"), std::string::npos);
    EXPECT_EQ(text.find('\r'), std::string::npos);

    CDisplaySettings colours;
    colours.m_colorLabel = CLR_DEFAULT;
    colours.m_colorRaw = RGB(1, 2, 3);
    using P = CAnsiSink::Palette;
    EXPECT_EQ(CAnsiSink::RoleParameters(OutputRole::Label, P::Settings, colours), "39");
    EXPECT_EQ(CAnsiSink::RoleParameters(OutputRole::Raw, P::Settings, colours), "38;2;1;2;3");
}

TEST(CAnsiSink, TerminalPaletteGivesEveryRoleOtherThanDefaultALookOfItsOwn) {
    const std::string text = WriteLabelLine<CAnsiSink>(CAnsiSink::Palette::Terminal);
    EXPECT_NE(text.find("\x1b[90m[02][41][E9]"), std::string::npos) << text;
    EXPECT_NE(text.find("\x1b[1;34mA\xC3\xA9"), std::string::npos) << text;
    EXPECT_NE(text.find("\x1b[36mC128"), std::string::npos) << text;
    EXPECT_NE(text.find("\x1b[39m - "), std::string::npos) << text;
    EXPECT_EQ(text.find("38;2"), std::string::npos);

    // The stored colours do not matter here: the same look whatever the user chose.
    CDisplaySettings colours;
    colours.m_colorSymbology = colours.m_colorLabel;
    std::set<std::string> looks;
    for (const OutputRole role : {OutputRole::Label, OutputRole::Symbology, OutputRole::Hex,
                                  OutputRole::Raw, OutputRole::Out}) {
        const std::string look =
            CAnsiSink::RoleParameters(role, CAnsiSink::Palette::Terminal, colours);
        EXPECT_NE(look, "39") << OutputRoleName(role);
        EXPECT_TRUE(looks.insert(look).second) << OutputRoleName(role) << " looks like another";
    }
}

TEST(CTerminalSink, SourceGoesBeforeEachLineAndIntoEachObject) {
    std::ostringstream plain;
    {
        CPlainSink sink(plain);
        sink.SetSource("[device 1] ", ", \"device\": 1");
        sink.AppendText("A\r\nB", OutputRole::Label, false);
        sink.AppendText("C", OutputRole::Label, false);
        sink.AppendNewLine();
    }
    EXPECT_EQ(plain.str(), "[device 1] A\n[device 1] BC\n");

    // A line with no text (a report that shows nothing) still says where it came from.
    for (const bool ansi : {false, true}) {
        std::ostringstream out;
        {
            std::unique_ptr<CPlainSink> sink =
                ansi ? std::make_unique<CAnsiSink>(out, CAnsiSink::Palette::Terminal)
                     : std::make_unique<CPlainSink>(out);
            sink->SetSource("12:00:00.000 [device 2] ", "");
            sink->AppendNewLine();
            sink->AppendText("\r\n", OutputRole::Default, false);
            sink->AppendText("A\r\n\r\n", OutputRole::Label, false);
        }
        // Without its colour escapes the coloured output is the plain one.
        const std::string text = std::regex_replace(out.str(), std::regex("\x1b\\[[0-9;]*m"), "");
        EXPECT_EQ(text, "12:00:00.000 [device 2]\n12:00:00.000 [device 2]\n"
                        "12:00:00.000 [device 2] A\n12:00:00.000 [device 2]\n")
            << ansi;
    }

    std::ostringstream json;
    {
        CJsonSink sink(json);
        CDisplaySettings colours;
        colours.m_colorRaw = 255;
        sink.SetColours(colours);
        sink.SetSource("ignored ", ", \"device\": 1");
        sink.AppendText("A", OutputRole::Raw, true);
    }
    EXPECT_EQ(json.str(), "{\"text\": \"A\", \"role\": \"raw\", \"color\": 255, \"bold\": true, "
                          "\"device\": 1}\n");
}

TEST(CRecordsSink, OneObjectPerReportWithItsIdentifierLabelSymbologyAndInsertions) {
    std::ostringstream out;
    {
        CRecordsSink sink(out);
        sink.AppendText("echo", OutputRole::Out, false); // outside a report: an object of its own
        CReportInfo info;
        info.timed = true;
        info.microseconds = 1500000;
        info.reader = "Reader \"1\"";
        info.device = 2;
        info.report = {0x02, 0x41};
        sink.BeginReport(info);
        sink.NoteIdentifier("]Q0");
        const uint8_t label[] = {'A', 0x1D, 'B'};
        sink.AppendMixed(label, sizeof label, OutputRole::Label, true);
        sink.AppendText("QR", OutputRole::Symbology, false);
        sink.AppendNewLine();
        sink.EndReport();
        sink.BeginReport(info);
        sink.EndReport();
    }
    const std::string insertions =
        "{\"text\": \"A\", \"role\": \"label\", \"color\": 8388608, \"bold\": true, "
        "\"aim\": \"]Q0\"}, "
        "{\"text\": \"[1D]\", \"role\": \"hex\", \"color\": 8421504, \"bold\": true}, "
        "{\"text\": \"B\", \"role\": \"label\", \"color\": 8388608, \"bold\": true, "
        "\"aim\": \"]Q0\"}, "
        "{\"text\": \"QR\", \"role\": \"symbology\", \"color\": 12582912, \"bold\": false}, "
        "{\"text\": \"\\r\\n\", \"role\": null, \"color\": null, \"bold\": false}";
    const std::string source = "{\"time\": 1.500000, \"reader\": \"Reader \\\"1\\\"\", "
                               "\"device\": 2, \"report_id\": 2, \"report\": \"02 41\", ";
    EXPECT_EQ(out.str(),
              "{\"time\": null, \"report_id\": null, \"report\": null, \"aim\": null, "
              "\"label\": null, \"symbology\": null, \"insertions\": "
              "[{\"text\": \"echo\", \"role\": \"out\", \"color\": 0, \"bold\": false}]}\n" +
                  source + "\"aim\": \"]Q0\", \"label\": \"A\\u001dB\", \"symbology\": \"QR\", " +
                  "\"insertions\": [" + insertions + "]}\n" + source +
                  "\"aim\": null, \"label\": null, \"symbology\": null, \"insertions\": []}\n");
}

TEST(CJsonSink, OneObjectPerInsertionInOrderWithTheIdentifierOnTheLabel) {
    const std::string expected =
        "{\"text\": \"[02][41][E9]\", \"role\": \"hex\", \"color\": 8421504, \"bold\": false}\n"
        "{\"text\": \" - \", \"role\": \"default\", \"color\": 0, \"bold\": false}\n"
        "{\"text\": \"A\xC3\xA9\", \"role\": \"label\", \"color\": 8388608, \"bold\": true}\n"
        "{\"text\": \" - \", \"role\": \"default\", \"color\": 0, \"bold\": false}\n"
        "{\"text\": \"C128\", \"role\": \"symbology\", \"color\": 12582912, \"bold\": false}\n"
        "{\"text\": \"\\r\\n\", \"role\": \"default\", \"color\": 0, \"bold\": false}\n"
        "{\"text\": \"\\r\\n\", \"role\": null, \"color\": null, \"bold\": false}\n";
    EXPECT_EQ(WriteLabelLine<CJsonSink>(), expected);

    std::ostringstream out;
    {
        CJsonSink sink(out);
        sink.BeginReport(CReportInfo());
        sink.NoteIdentifier("]d2");
        sink.AppendText("01", OutputRole::Label, true);
        sink.AppendText(" - ", OutputRole::Default, false);
        sink.EndReport();
        sink.BeginReport(CReportInfo());
        sink.AppendText("02", OutputRole::Label, true);
    }
    EXPECT_EQ(out.str(),
              "{\"text\": \"01\", \"role\": \"label\", \"color\": 8388608, \"bold\": true, "
              "\"aim\": \"]d2\"}\n"
              "{\"text\": \" - \", \"role\": \"default\", \"color\": 0, \"bold\": false}\n"
              "{\"text\": \"02\", \"role\": \"label\", \"color\": 8388608, \"bold\": true}\n");
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

    // Numbers read as the settings file reads them: a leading 0 is decimal, 0x hex.
    const struct {
        const char* value;
        int32_t read;
    } numbers[] = {{"010", 10}, {"0x10", 16}, {"0X1f", 31}, {"-7", -7}, {"0", 0}};
    for (const auto& number : numbers) {
        ASSERT_TRUE(overlay.Override(std::string("ColorHex=") + number.value, error)) << error;
        EXPECT_EQ(overlay.GetProfileInt("Settings", "ColorHex", 99), number.read) << number.value;
    }
    for (const char* bad : {"0x", "08x", "0o7", ""}) {
        EXPECT_FALSE(overlay.Override(std::string("ColorHex=") + bad, error)) << bad;
    }
}

} // namespace
