#include "cli/CAnsiSink.h"
#include "cli/CJsonSink.h"
#include "cli/CPlainSink.h"
#include "cli/CSettingsOverlay.h"
#include "settings/CMemorySettingsStore.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

// A label line as a device type writes it: raw prefix, bold label, symbology, line end.
template <class Sink> std::string WriteLabelLine() {
    std::ostringstream out;
    {
        Sink sink(out);
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

TEST(CAnsiSink, ColoursAsTrueColourAndAutomaticAsDefault) {
    const std::string text = WriteLabelLine<CAnsiSink>();
    EXPECT_NE(text.find("\x1b[38;2;128;128;128m[02][41][E9]"), std::string::npos);
    EXPECT_NE(text.find("\x1b[1;38;2;0;0;128mA\xC3\xA9"), std::string::npos); // navy, bold
    EXPECT_NE(text.find("\x1b[39mC128"), std::string::npos);
    EXPECT_EQ(text.find('\r'), std::string::npos);
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
