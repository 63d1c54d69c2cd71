// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "cli/CDecodeOptions.h"

#include "cli/CAnsiSink.h"
#include "cli/CJsonSink.h"
#include "cli/CPlainSink.h"

#include <map>

const char CDecodeOptions::kHelp[] = R"(  --raw            add the raw report data (ShowRaw=1)
  --out            add the data sent to the reader (ShowOutput=1)
  --symbology      add the symbology name (ShowSymbology=1)
  --set KEY=VALUE  override a value of section "Settings" for this run (repeatable): ColorRaw,
                   ColorHex, ColorSymbology, ColorLabel, ColorOut, ColorDefault, ShowRaw,
                   ShowOutput, ShowSymbology, StressAutoDisable, RawOnly, AutoRead
  --format F       ansi (default on a terminal), plain, json (one object per insertion) or
                   records (one object per input report, with its insertions)
  --color WHEN     auto (default: ansi on a terminal unless NO_COLOR is set or TERM=dumb),
                   always or never
  --palette P      terminal (default: the terminal's own 16 colours, readable on dark and
                   light backgrounds) or settings (the stored colours as 24-bit colour)
)";

const char CDecodeOptions::kDecodingHelp[] =
    R"(  --decoding D     specified (default: as the reader types are specified) or complete (labels
                   over several reports joined, every symbology identifier named, SurePos
                   labels bounded by their length and type, binary digits shown as digits)
)";

namespace {

std::set<std::string> With(std::set<std::string> own, std::initializer_list<const char*> common) {
    own.insert(common.begin(), common.end());
    return own;
}

std::unique_ptr<CTerminalSink> MakeSink(const std::string& format, CAnsiSink::Palette palette,
                                        std::ostream& out) {
    if (format == "ansi") {
        return std::make_unique<CAnsiSink>(out, palette);
    }
    if (format == "plain") {
        return std::make_unique<CPlainSink>(out);
    }
    if (format == "json") {
        return std::make_unique<CJsonSink>(out);
    }
    if (format == "records") {
        return std::make_unique<CRecordsSink>(out);
    }
    return nullptr;
}

// The format when --format is not given: colour where it can be seen and is wanted.
bool DefaultFormat(const std::string& when, const CCliContext& context, std::string& format) {
    if (when == "always" || when == "never") {
        format = when == "always" ? "ansi" : "plain";
        return true;
    }
    if (when != "auto") {
        return false;
    }
    const bool wanted = !context.noColor && context.term != "dumb";
    format = context.outIsTerminal && wanted ? "ansi" : "plain";
    return true;
}

} // namespace

CDecodeOptions::CDecodeOptions(CSettingsStore& store, std::set<std::string> flags,
                               std::set<std::string> valued)
    : m_line(With(std::move(flags), {"raw", "out", "symbology", "help"}),
             With(std::move(valued), {"set", "format", "color", "palette"})),
      m_overlay(store) {}

int CDecodeOptions::Parse(const CArguments& args, const char* help, CCliContext& context) {
    if (const int code = ParseCommandLine(context, m_line, args, std::string(help) + kHelp);
        code != kContinue) {
        return code;
    }
    std::string error;
    for (const auto& [flag, key] : std::map<std::string, std::string>{
             {"raw", "ShowRaw"}, {"out", "ShowOutput"}, {"symbology", "ShowSymbology"}}) {
        if (m_line.Has(flag) && !m_overlay.Override(key + "=1", error)) {
            return context.errors.Usage(error);
        }
    }
    for (const std::string& assignment : m_line.Values("set")) {
        if (!m_overlay.Override(assignment, error)) {
            return context.errors.Usage(error);
        }
    }
    if (!DefaultFormat(m_line.Value("color", "auto"), context, m_format)) {
        return context.errors.Usage("--color must be auto, always or never");
    }
    m_format = m_line.Value("format", m_format);
    const std::string palette = m_line.Value("palette", "terminal");
    if (palette != "terminal" && palette != "settings") {
        return context.errors.Usage("--palette must be terminal or settings");
    }
    m_settingsPalette = palette == "settings";
    const std::string decoding = m_line.Value("decoding", "specified");
    if (decoding != "specified" && decoding != "complete") {
        return context.errors.Usage("--decoding must be specified or complete");
    }
    m_decoding = decoding == "complete" ? Decoding::Complete : Decoding::Specified;
    Redirect(context.out);
    if (!m_sink) {
        return context.errors.Usage("--format must be ansi, plain, json or records");
    }
    return kContinue;
}

void CDecodeOptions::Redirect(std::ostream& out) {
    m_sink = MakeSink(
        m_format, m_settingsPalette ? CAnsiSink::Palette::Settings : CAnsiSink::Palette::Terminal,
        out);
    if (m_sink) {
        CDisplaySettings colours(&m_overlay);
        colours.Load("Settings");
        m_sink->SetColours(colours);
    }
}
