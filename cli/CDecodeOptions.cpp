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
  --format F       ansi (default on a terminal), plain, or json (one object per insertion)
)";

namespace {

std::set<std::string> With(std::set<std::string> own, std::initializer_list<const char*> common) {
    own.insert(common.begin(), common.end());
    return own;
}

std::unique_ptr<COutputSink> MakeSink(const std::string& format, std::ostream& out) {
    if (format == "ansi")
        return std::make_unique<CAnsiSink>(out);
    if (format == "plain")
        return std::make_unique<CPlainSink>(out);
    if (format == "json")
        return std::make_unique<CJsonSink>(out);
    return nullptr;
}

} // namespace

CDecodeOptions::CDecodeOptions(CSettingsStore& store, std::set<std::string> flags,
                               std::set<std::string> valued)
    : m_line(With(std::move(flags), {"raw", "out", "symbology", "help"}),
             With(std::move(valued), {"set", "format"})),
      m_overlay(store) {}

int CDecodeOptions::Parse(const CArguments& args, const char* help, CCliContext& context) {
    std::string error;
    if (!m_line.Parse(args, error))
        return context.errors.Usage(error);
    if (m_line.Has("help")) {
        context.out << help << kHelp;
        return kExitDone;
    }
    for (const auto& [flag, key] : std::map<std::string, std::string>{
             {"raw", "ShowRaw"}, {"out", "ShowOutput"}, {"symbology", "ShowSymbology"}})
        if (m_line.Has(flag) && !m_overlay.Override(key + "=1", error))
            return context.errors.Usage(error);
    for (const std::string& assignment : m_line.Values("set"))
        if (!m_overlay.Override(assignment, error))
            return context.errors.Usage(error);
    m_sink =
        MakeSink(m_line.Value("format", context.outIsTerminal ? "ansi" : "plain"), context.out);
    if (!m_sink)
        return context.errors.Usage("--format must be ansi, plain or json");
    return kContinue;
}
