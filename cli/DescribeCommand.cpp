#include "cli/CCommandLine.h"
#include "cli/CReaderLookup.h"
#include "cli/CRecording.h"
#include "cli/CTerminalText.h"
#include "cli/Subcommands.h"
#include "device/DeviceType.h"
#include "platform/CReportDescriptor.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

const char kHelp[] = R"(Usage: vantrel-cli describe FILE|NAME [--format text|json]

Parses a report descriptor and shows its top-level collections, the report ids per kind and the
input, output and feature report byte lengths as the port uses them. FILE holds hex bytes or a
recording with an "R:" line; NAME is a listed reader. A descriptor that does not parse exits 1
with the offset and the reason.
)";

std::string IdList(const std::vector<uint8_t>& ids, bool json) {
    std::string text;
    char id[8];
    for (size_t i = 0; i < ids.size(); ++i) {
        std::snprintf(id, sizeof id, json ? "%u" : "%02X", ids[i]);
        text += (i ? json ? ", " : "," : "") + std::string(id);
    }
    return json ? "[" + text + "]" : text.empty() ? "-" : text;
}

bool ReadDescriptorFile(std::istream& in, std::vector<uint8_t>& descriptor, std::string& error) {
    std::stringstream content;
    content << in.rdbuf();
    CRecording recording;
    recording.Parse(content);
    if (recording.m_descriptor) {
        descriptor = *recording.m_descriptor;
        return true;
    }
    // A plain hex file reads as input reports: their bytes are the descriptor.
    descriptor.clear();
    for (const auto& item : recording.m_items)
        descriptor.insert(descriptor.end(), item.bytes.begin(), item.bytes.end());
    if (!recording.m_errors.empty()) {
        error = "line " + std::to_string(recording.m_errors.front().line) + ": " +
                recording.m_errors.front().message;
        return false;
    }
    if (descriptor.empty()) {
        error = "no descriptor bytes";
        return false;
    }
    return true;
}

// The descriptor of a listed reader or an interface path; false with the reason.
bool ReadReaderDescriptor(CHidPlatform& platform, const std::string& source,
                          std::vector<uint8_t>& descriptor, std::string& error) {
    const CReaderLookup lookup(platform);
    CReaderLookup::CChoice choice;
    const CHidInterfaceInfo* info = nullptr;
    if (lookup.Resolve(source, "", choice, error))
        info = lookup.Interface(choice.path);
    if (!info) {
        error = "\"" + source + "\" is neither a file nor a listed reader";
        return false;
    }
    descriptor = info->reportDescriptor;
    if (descriptor.empty()) {
        error = "the report descriptor of \"" + source + "\" cannot be read";
        return false;
    }
    return true;
}

void PrintText(std::ostream& out, const CReportDescriptor& parsed) {
    const CReportKind kinds[] = {CReportKind::Input, CReportKind::Output, CReportKind::Feature};
    const char* names[] = {"input", "output", "feature"};
    for (const auto& c : parsed.Collections())
        out << "collection: usage page " << HexWord(c.usagePage) << " usage " << HexWord(c.usage)
            << "\n";
    out << "report ids: " << (parsed.UsesReportIds() ? "yes" : "no") << "\n";
    for (int k = 0; k < 3; ++k)
        out << names[k] << ": " << parsed.ReportByteLength(kinds[k]) << " bytes, ids "
            << IdList(parsed.ReportIds(kinds[k]), false) << "\n";
    const CHidCaps caps = parsed.Caps();
    out << "device type: " << DeviceTypeName(SelectDeviceType(caps.usagePage, caps.usage)) << "\n";
}

void PrintJson(std::ostream& out, const CReportDescriptor& parsed) {
    const CReportKind kinds[] = {CReportKind::Input, CReportKind::Output, CReportKind::Feature};
    const char* names[] = {"input", "output", "feature"};
    out << "{\"collections\": [";
    for (size_t i = 0; i < parsed.Collections().size(); ++i)
        out << (i ? ", " : "") << "{\"usage_page\": " << parsed.Collections()[i].usagePage
            << ", \"usage\": " << parsed.Collections()[i].usage << "}";
    out << "], \"report_ids\": " << (parsed.UsesReportIds() ? "true" : "false");
    for (int k = 0; k < 3; ++k)
        out << ", \"" << names[k] << "_len\": " << parsed.ReportByteLength(kinds[k]);
    for (int k = 0; k < 3; ++k)
        out << ", \"" << names[k] << "_ids\": " << IdList(parsed.ReportIds(kinds[k]), true);
    out << "}\n";
}

} // namespace

int RunDescribe(CCliContext& context, const CArguments& args) {
    CCommandLine line({"help"}, {"format"});
    std::string error;
    if (!line.Parse(args, error))
        return context.errors.Usage(error);
    if (line.Has("help")) {
        context.out << kHelp;
        return kExitDone;
    }
    const std::string format = line.Value("format", "text");
    if (format != "text" && format != "json")
        return context.errors.Usage("--format must be text or json");
    if (line.Positional().size() != 1)
        return context.errors.Usage("describe needs one FILE or reader NAME");
    const std::string& source = line.Positional()[0];

    std::vector<uint8_t> descriptor;
    std::ifstream file(source);
    if (file) {
        if (!ReadDescriptorFile(file, descriptor, error))
            return context.errors.Fail(source + ": " + error);
    } else if (!ReadReaderDescriptor(context.platform, source, descriptor, error)) {
        return context.errors.Fail(error);
    }

    CReportDescriptor parsed;
    if (!parsed.Parse(descriptor))
        return context.errors.Fail("the report descriptor does not parse: at offset " +
                                   std::to_string(parsed.ErrorOffset()) + ": " +
                                   parsed.ErrorReason());
    if (format == "json")
        PrintJson(context.out, parsed);
    else
        PrintText(context.out, parsed);
    return kExitDone;
}
