// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "cli/CCommandLine.h"
#include "cli/CDescriptorItems.h"
#include "cli/CInputFile.h"
#include "cli/CReaderLookup.h"
#include "cli/CSession.h"
#include "cli/CTerminalText.h"
#include "cli/Subcommands.h"
#include "device/DeviceType.h"
#include "device/ErrorText.h"
#include "platform/CReportDescriptor.h"
#include "recording/CLineSource.h"
#include "recording/CRecording.h"
#include "recording/Compression.h"
#include "recording/QuoteInput.h"

#include <cstdio>
#include <map>
#include <sys/stat.h>
#include <utility>

namespace {

const char kHelp[] =
    R"(Usage: vantrel-cli describe FILE|-|NAME [--device N] [--items] [--hex] [--format text|json]

Parses a report descriptor and shows its top-level collections, the report ids per kind and the
input, output and feature report byte lengths as the port uses them. FILE (or "-", standard
input) holds the descriptor as hex bytes, as binary bytes (a copy of sysfs' report_descriptor),
or a recording with an "R:" line per device; NAME is a reader as monitor and send take it. A
recording of several devices has each described, or device N with --device. A descriptor that
does not parse exits 1 with the offset and the reason.
  --items          also list the descriptor item by item: offset, bytes, item and value,
                   indented by collection
  --hex            also print the descriptor as a recording's "R:" line
  --format json    one object per descriptor
)";

// One descriptor to describe, with the device it came from.
struct CDescribed {
    int device = -1; // -1: the input held one descriptor and named no device
    std::string name;
    std::vector<uint8_t> bytes;
};

std::string IdList(const std::vector<uint8_t>& ids, bool json) {
    std::string text;
    char id[8];
    for (size_t i = 0; i < ids.size(); ++i) {
        std::snprintf(id, sizeof id, json ? "%u" : "%02X", ids[i]);
        text += (i ? json ? ", " : "," : "") + std::string(id);
    }
    return json ? "[" + text + "]" : text.empty() ? "-" : text;
}

constexpr CReportKind kKinds[] = {CReportKind::Input, CReportKind::Output, CReportKind::Feature};
constexpr const char* kKindNames[] = {"input", "output", "feature"};

void PrintText(std::ostream& out, const CReportDescriptor& parsed) {
    for (const auto& c : parsed.Collections()) {
        out << "collection: usage page " << HexWord(c.usagePage) << " usage " << HexWord(c.usage)
            << "\n";
    }
    out << "report ids: " << (parsed.UsesReportIds() ? "yes" : "no") << "\n";
    for (int k = 0; k < 3; ++k) {
        out << kKindNames[k] << ": " << parsed.ReportByteLength(kKinds[k]) << " bytes, ids "
            << IdList(parsed.ReportIds(kKinds[k]), false) << "\n";
    }
    const CHidCaps caps = parsed.Caps();
    out << "device type: " << DeviceTypeName(SelectDeviceType(caps.usagePage, caps.usage)) << "\n";
}

void PrintJson(std::ostream& out, const CReportDescriptor& parsed, int device) {
    out << "{\"collections\": [";
    for (size_t i = 0; i < parsed.Collections().size(); ++i) {
        out << (i ? ", " : "") << "{\"usage_page\": " << parsed.Collections()[i].usagePage
            << ", \"usage\": " << parsed.Collections()[i].usage << "}";
    }
    out << "], \"report_ids\": " << (parsed.UsesReportIds() ? "true" : "false");
    for (int k = 0; k < 3; ++k) {
        out << ", \"" << kKindNames[k] << "_len\": " << parsed.ReportByteLength(kKinds[k]);
    }
    for (int k = 0; k < 3; ++k) {
        out << ", \"" << kKindNames[k] << "_ids\": " << IdList(parsed.ReportIds(kKinds[k]), true);
    }
    if (device >= 0) {
        out << ", \"device\": " << device;
    }
    out << "}\n";
}

// True when `head` holds bytes that text never has outside a comment, a name or a path: the
// descriptor is binary. A comment may hold anything (a recorder's colour escapes).
bool IsBinary(const std::string& head) {
    bool free = false; // within a comment or an "N:"/"P:" line
    for (size_t i = 0; i < head.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(head[i]);
        const bool lineStart = i == 0 || head[i - 1] == '\n' || head[i - 1] == '\r';
        if (lineStart) {
            free = (c == 'N' || c == 'P') && i + 1 < head.size() && head[i + 1] == ':';
        }
        if (c == '\n' || c == '\r') {
            free = false;
        } else if (c == '#') {
            free = true;
        } else if (!free && (c < 0x09 || (c > 0x0D && c < 0x20) || c == 0x7F)) {
            return true;
        }
    }
    return false;
}

class CDescriptorReader {
public:
    CDescriptorReader(CCliContext& context, std::string source)
        : m_context(context), m_source(std::move(source)) {}

    // Reads every descriptor of the input; false with the exit status when none can be had.
    bool Read(int fd, std::vector<CDescribed>& found, int& exitCode);
    // Whether a malformed line was reported.
    bool HadErrors() const { return m_errors; }

private:
    bool ReadBinary(CLineSource& lines, std::vector<CDescribed>& found, int& exitCode);
    void LineError(long line, const std::string& message) {
        m_context.errors.Report(m_source + ":" + std::to_string(line) + ": " + message);
        m_errors = true;
    }

    CCliContext& m_context;
    std::string m_source;
    bool m_errors = false;
};

bool CDescriptorReader::ReadBinary(CLineSource& lines, std::vector<CDescribed>& found,
                                   int& exitCode) {
    const size_t limit = CRecordingReader::kMaxDescriptorBytes;
    const std::string bytes = lines.Peek(limit + 1);
    if (bytes.size() > limit) {
        exitCode = m_context.errors.Fail(QuoteInput(m_source, 200) + " holds more than " +
                                         std::to_string(limit) + " bytes: not a report descriptor");
        return false;
    }
    found.push_back({-1, std::string(), std::vector<uint8_t>(bytes.begin(), bytes.end())});
    return true;
}

bool CDescriptorReader::Read(int fd, std::vector<CDescribed>& found, int& exitCode) {
    CLineSource lines(fd, m_context.stop);
    const std::string head = lines.Peek(4096);
    std::string format;
    std::string tool;
    if (IsCompressed(head, format, tool)) {
        exitCode = m_context.errors.Fail(QuoteInput(m_source, 200) + " is compressed (" + format +
                                         "); describe what it holds: " + tool +
                                         " FILE | vantrel-cli describe -");
        return false;
    }
    if (IsBinary(head)) {
        return ReadBinary(lines, found, exitCode);
    }

    CRecordingReader reader;
    std::map<int, CDescribed> devices;
    std::vector<uint8_t> plain;
    bool recording = false;
    std::string_view line;
    std::string error;
    CRecordingItem item;
    for (CLineSource::Status status; (status = lines.Next(line)) != CLineSource::Status::End &&
                                     status != CLineSource::Status::Stopped;) {
        if (status == CLineSource::Status::Failed) {
            exitCode = m_context.errors.Fail("reading " + QuoteInput(m_source, 200) +
                                             " failed: " + ErrnoText(lines.Error()));
            return false;
        }
        if (status == CLineSource::Status::TooLong) {
            LineError(lines.Number(),
                      "longer than " + std::to_string(CLineSource::kLineLimit) + " bytes; skipped");
            continue;
        }
        const CRecordingReader::Result result = reader.ReadLine(line, item, error);
        if (result == CRecordingReader::Result::Nothing ||
            result == CRecordingReader::Result::Skipped) {
            continue;
        }
        if (result == CRecordingReader::Result::Error) {
            LineError(lines.Number(), error);
            continue;
        }
        if (item.kind == CRecordingItem::Kind::Input && !item.timed) {
            // Plain hex: the descriptor itself, unless the file is a recording.
            if (!recording &&
                plain.size() + item.bytes.size() <= CRecordingReader::kMaxDescriptorBytes) {
                plain.insert(plain.end(), item.bytes.begin(), item.bytes.end());
            } else if (!recording) {
                exitCode =
                    m_context.errors.Fail(QuoteInput(m_source, 200) + " holds more than " +
                                          std::to_string(CRecordingReader::kMaxDescriptorBytes) +
                                          " bytes of hex: not a report descriptor");
                return false;
            }
            continue;
        }
        recording = true;
        CDescribed& device = devices[item.device];
        device.device = item.device;
        if (item.kind == CRecordingItem::Kind::Descriptor) {
            device.bytes = item.bytes;
        } else if (item.kind == CRecordingItem::Kind::Name) {
            device.name = item.text;
        }
    }
    if (!recording) {
        if (plain.empty()) {
            exitCode = m_context.errors.Fail(QuoteInput(m_source, 200) + ": no descriptor bytes");
            return false;
        }
        found.push_back({-1, std::string(), plain});
        return true;
    }
    for (auto& [index, device] : devices) {
        if (!device.bytes.empty()) {
            found.push_back(device);
        }
    }
    if (found.empty()) {
        exitCode = m_context.errors.Fail(
            QuoteInput(m_source, 200) +
            (m_errors ? " is a recording without a report descriptor that could be read"
                      : " is a recording without a report descriptor (no \"R:\" line)"));
        return false;
    }
    // Several devices are named by index; one alone only when the recording numbers it.
    if (found.size() == 1 && devices.size() == 1) {
        found.front().device = -1;
    }
    return true;
}

// The descriptor of a reader as monitor and send name it; false with the exit status.
bool ReadReaderDescriptor(CCliContext& context, const std::string& source,
                          std::vector<CDescribed>& found, int& exitCode) {
    const CReaderLookup lookup(context.platform);
    CReaderLookup::CChoice choice;
    if (!lookup.Find(source, "", choice, context.errors, exitCode)) {
        return false;
    }
    const CHidInterfaceInfo* info = lookup.Interface(choice.path);
    if (!info) {
        exitCode =
            context.errors.Fail(QuoteInput(source, 200) + " is neither a file nor a listed reader");
        return false;
    }
    if (info->reportDescriptor.empty()) {
        exitCode =
            context.errors.Fail("the report descriptor of \"" + choice.name + "\" cannot be read");
        return false;
    }
    found.push_back({-1, choice.name, info->reportDescriptor});
    return true;
}

} // namespace

int RunDescribe(CCliContext& context, const CArguments& args) {
    CCommandLine line({"help", "items", "hex"}, {"format", "device"});
    if (const int code = ParseCommandLine(context, line, args, kHelp); code != kContinueCommand) {
        return code;
    }
    const std::string format = line.Value("format", "text");
    if (format != "text" && format != "json") {
        return context.errors.Usage("--format must be text or json");
    }
    if (format == "json" && (line.Has("items") || line.Has("hex"))) {
        return context.errors.Usage("--items and --hex belong to the text format");
    }
    long long onlyDevice = -1;
    std::string error;
    if (!line.Number("device", 0, CRecordingReader::kMaxDevices - 1, 10, onlyDevice, error)) {
        return context.errors.Usage(error);
    }
    if (line.Positional().size() != 1) {
        return context.errors.Usage("describe needs one FILE or reader NAME");
    }
    const std::string& source = line.Positional()[0];

    std::vector<CDescribed> found;
    int exitCode = kExitDone;
    bool lineErrors = false;
    struct stat status {};
    if (source == "-" || stat(source.c_str(), &status) == 0) {
        CInputFile input;
        if (!input.Open(source, context.inFd, error)) {
            return context.errors.Fail(error);
        }
        CDescriptorReader reader(context, source);
        if (!reader.Read(input.Fd(), found, exitCode)) {
            return exitCode;
        }
        lineErrors = reader.HadErrors();
    } else if (!ReadReaderDescriptor(context, source, found, exitCode)) {
        return exitCode;
    }

    int exitStatus = lineErrors ? kExitFailed : kExitDone;
    bool described = false;
    for (const CDescribed& descriptor : found) {
        if (onlyDevice >= 0 && descriptor.device != onlyDevice &&
            !(descriptor.device < 0 && onlyDevice == 0)) {
            continue;
        }
        described = true;
        const std::string which =
            descriptor.device >= 0 ? "device " + std::to_string(descriptor.device) : "";
        if (format == "text" && !which.empty()) {
            context.out << which
                        << (descriptor.name.empty() ? ""
                                                    : " (" + Latin1ToUtf8(descriptor.name) + ")")
                        << ":\n";
        }
        CReportDescriptor parsed;
        if (!parsed.Parse(descriptor.bytes)) {
            exitStatus = context.errors.Fail((which.empty() ? "" : which + ": ") +
                                             "the report descriptor does not parse: at offset " +
                                             std::to_string(parsed.ErrorOffset()) + ": " +
                                             parsed.ErrorReason());
        } else if (format == "json") {
            PrintJson(context.out, parsed, descriptor.device);
        } else {
            PrintText(context.out, parsed);
        }
        if (line.Has("hex")) {
            context.out << "R: " << descriptor.bytes.size() << " "
                        << FormatHexBytes(descriptor.bytes.data(), descriptor.bytes.size()) << "\n";
        }
        if (line.Has("items")) {
            PrintDescriptorItems(context.out, descriptor.bytes);
        }
    }
    if (onlyDevice >= 0 && !described) {
        return context.errors.Fail("the input has no device " + std::to_string(onlyDevice) +
                                   " with a report descriptor");
    }
    return exitStatus;
}
