#include "cli/CCliApp.h"

#include "cli/CAnsiSink.h"
#include "cli/CCommandLine.h"
#include "cli/CJsonSink.h"
#include "cli/CPlainSink.h"
#include "cli/CRecording.h"
#include "cli/CReplayPlatform.h"
#include "cli/CSettingsOverlay.h"
#include "cli/CTerminalText.h"
#include "device/CHidDeviceFactory.h"
#include "device/CHidPort.h"
#include "device/CNotifier.h"
#include "device/CPlainDeviceList.h"
#include "device/CQueuedPoster.h"
#include "device/CSurePosDevice.h"
#include "device/CSurePosSioDevice.h"
#include "platform/CReportDescriptor.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <sstream>

namespace {

using Clock = std::chrono::steady_clock;
constexpr uint32_t kMessageBase = 0x07E8;

const char kMainHelp[] = R"(Usage: vantrel-cli COMMAND [OPTIONS]

The bar-code readers from a terminal, live and from recordings.

Commands:
  list       the readers that can be opened
  monitor    show what a reader sends, decoded, until interrupted
  send       send one command to a reader
  describe   parse a report descriptor
  replay     decode the input reports of a recording

"vantrel-cli COMMAND --help" describes each command.
Exit status: 0 done, 1 the device or a command failed, 2 bad usage.
Set VANTREL_SIMULATE=1 to use the simulated readers.
)";

const char kListHelp[] = R"(Usage: vantrel-cli list [--all] [--format text|json]

Lists the HID interfaces of bar-code readers by display name, with path, usage page, usage and
device type.
  --all            also list the interfaces that are not readers, and why
  --format json    one JSON object per line and interface
)";

const char kDecodeOptionsHelp[] = R"(  --raw            add the raw report data (ShowRaw=1)
  --out            add the data sent to the reader (ShowOutput=1)
  --symbology      add the symbology name (ShowSymbology=1)
  --set KEY=VALUE  override a value of section "Settings" for this run (repeatable): ColorRaw,
                   ColorHex, ColorSymbology, ColorLabel, ColorOut, ColorDefault, ShowRaw,
                   ShowOutput, ShowSymbology, StressAutoDisable, RawOnly, AutoRead
  --format F       ansi (default on a terminal), plain, or json (one object per insertion)
)";

const char kMonitorHelp[] = R"(Usage: vantrel-cli monitor [NAME] [OPTIONS]

Opens NAME (a display name or a device path; by default the reader last opened in Vantrel, else
the first reader listed) and shows every report it sends, decoded as the output window shows it,
until interrupted (Ctrl-C).
  --record FILE    also write what was read to FILE as a recording
)";

const char kSendHelp[] = R"(Usage: vantrel-cli send NAME COMMAND [ARG] [--wait MS] [OPTIONS]

Sends one command to the reader NAME (a display name or a device path), then shows for MS
milliseconds what the reader answers.
Commands of every reader: trigger-on, trigger-off, beep, error-beep, enable, disable, beeper-on,
  beeper-off, redirect 0|1, string TEXT (with \r \n \t \v \a \\ \xHH \ooo escapes), get-contents
SurePos: test, status-request, reset, configure, report-configuration, 2-label-cfg,
  report-2-label-cfg, direct-io-cmd
SurePos Sio: test, status-request, reset, setup, channel-control, read-status, receive-buffer
  --wait MS        show the reader's answers for MS milliseconds (default 0)
)";

const char kDescribeHelp[] = R"(Usage: vantrel-cli describe FILE|NAME [--format text|json]

Parses a report descriptor and shows its top-level collections, the report ids per kind and the
input, output and feature report byte lengths as the port uses them. FILE holds hex bytes or a
recording with an "R:" line; NAME is a listed reader. A descriptor that does not parse exits 1
with the offset and the reason.
)";

const char kReplayHelp[] =
    R"(Usage: vantrel-cli replay [--type quorin|hidpos|surepos|sio] FILE|- [OPTIONS]

Decodes the input reports of a recording through a device type, without hardware. The type comes
from --type or from the recording's report descriptor ("R:" line). Writes go nowhere, so "Add Out
data" echoes appear; get-feature reads are answered by the recording's "F:" lines in file order.
Recording lines: "R: <n> <hex>" descriptor, "N: <name>", "I: <bus> <vid> <pid>",
"E: <sec.usec> <n> <hex>" input report, "F: <hex>" feature answer; plain hex lines are input
reports; '#' starts a comment. Malformed lines are reported with their number; the replay goes on
and exits 1 at the end.
)";

std::string HexWord(uint16_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", value);
    return text;
}

std::string ErrorText(int code) {
    return code ? std::string(std::strerror(code)) : std::string("unknown error");
}

std::string OpenFailure(const std::string& name, const std::string& path, int code) {
    std::string text = "cannot open \"" + name + "\"";
    if (path != name)
        text += " (" + path + ")";
    text += ": " + ErrorText(code);
    if (code == EACCES || code == EPERM)
        text += ". Access to the reader was denied: install Vantrel's udev rule (see \"Real "
                "readers\" in the README or vantrel-cli(1)) and plug the reader in again";
    return text;
}

// Messages of the device layer go to standard error and make the command fail.
class CStderrNotifier : public CNotifier {
public:
    explicit CStderrNotifier(std::ostream& err) : m_err(err) {}
    void ShowMessage(const std::string& text) override {
        m_err << "vantrel-cli: " << text << "\n";
        ++m_count;
    }
    int Count() const { return m_count; }

private:
    std::ostream& m_err;
    int m_count = 0;
};

// Writes what a reader sent as a recording: header lines, then one "E:" line per report as
// hidraw read it (without the 0x00 that the port puts before unnumbered reports).
class CRecordingWriter {
public:
    CRecordingWriter(std::ostream& out, bool inputNumbered)
        : m_out(out), m_inputNumbered(inputNumbered), m_start(Clock::now()) {}

    void WriteHeader(const std::string& name, const CHidAttributes& attributes,
                     const std::vector<uint8_t>& descriptor) {
        m_out << "# vantrel-cli recording\n";
        m_out << "N: " << name << "\n";
        char identity[40];
        std::snprintf(identity, sizeof identity, "I: 3 %04x %04x\n", attributes.vendorId,
                      attributes.productId);
        m_out << identity;
        if (!descriptor.empty())
            m_out << "R: " << descriptor.size() << " "
                  << FormatHexBytes(descriptor.data(), descriptor.size()) << "\n";
    }

    void WriteInput(const std::vector<uint8_t>& report) {
        const size_t skip = m_inputNumbered || report.empty() ? 0 : 1;
        const auto elapsed =
            std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - m_start).count();
        char stamp[40];
        std::snprintf(stamp, sizeof stamp, "E: %lld.%06lld ",
                      static_cast<long long>(elapsed / 1000000),
                      static_cast<long long>(elapsed % 1000000));
        m_out << stamp << report.size() - skip << " "
              << FormatHexBytes(report.data() + skip, report.size() - skip) << "\n";
        m_out.flush();
    }

private:
    std::ostream& m_out;
    bool m_inputNumbered;
    Clock::time_point m_start;
};

// Applies --raw/--out/--symbology/--set to the overlay. False with a reason on a bad --set.
bool ApplyDecodeOptions(const CCommandLine& line, CSettingsOverlay& overlay, std::string& error) {
    for (const auto& [flag, key] : std::map<std::string, std::string>{
             {"raw", "ShowRaw"}, {"out", "ShowOutput"}, {"symbology", "ShowSymbology"}})
        if (line.Has(flag) && !overlay.Override(key + "=1", error))
            return false;
    for (const std::string& assignment : line.Values("set"))
        if (!overlay.Override(assignment, error))
            return false;
    return true;
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

// An open reader with its device type, decoding into a sink.
class CSession {
public:
    CSession(CHidPlatform& platform, CSettingsStore& store, COutputSink& sink, std::ostream& err)
        : m_port(platform, m_poster), m_settings(&store), m_sink(sink), m_notifier(err),
          m_err(err) {}
    ~CSession() {
        m_device.reset();
        m_port.Close();
    }

    // Opens `name` (a display name or a path); an empty name takes the stored "DeviceName", else
    // what the enumeration selects.
    bool Open(std::string name) {
        CPlainDeviceList list;
        const std::string stored =
            name.empty() ? m_settings.Store()->GetProfileString("Settings", "DeviceName", "") : "";
        m_port.Enumerate(&list, name.empty() ? stored : name, true);
        // A name that is neither listed nor a path may be the start of a listed one.
        if (name.empty() || (!m_port.NameTable().count(name) && list.SelectPrefix(name)))
            name = list.GetCurrentText();
        if (name.empty()) {
            m_err << "vantrel-cli: no reader is attached (\"vantrel-cli list --all\" shows every "
                     "HID interface)\n";
            return false;
        }
        m_name = name;
        const auto entry = m_port.NameTable().find(name);
        m_path = entry == m_port.NameTable().end() ? name : entry->second;
        if (!m_port.Open(name, kMessageBase)) {
            m_err << "vantrel-cli: " << OpenFailure(name, m_path, m_port.LastError()) << "\n";
            return false;
        }
        m_settings.Load("Settings");
        const CHidCaps& caps = m_port.GetCaps();
        m_device = CreateHidDevice(SelectDeviceType(caps.usagePage, caps.usage), m_port, m_sink,
                                   m_settings, m_notifier);
        if (m_device)
            m_device->LoadSettings("Settings");
        return true;
    }

    // Decodes what the reader sends until `until`, or until `stop` is set. False when the reader
    // failed (a read error is shown).
    bool Pump(Clock::time_point until, const std::atomic<bool>& stop, CRecordingWriter* recorder) {
        CHidMessage message;
        while (!stop.load() && Clock::now() < until) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now());
            if (!m_poster.WaitForMessage(message, int(std::min<long long>(left.count(), 100))))
                continue;
            if (!m_port.IsCurrent(message))
                continue;
            if (message.messageId == kMessageBase + 1) {
                m_err << "vantrel-cli: reading \"" << m_name
                      << "\" failed: " << ErrorText(message.errorCode) << "\n";
                return false;
            }
            if (recorder)
                recorder->WriteInput(message.report);
            if (m_device)
                m_device->OnReport(message.report.data(), message.report.size());
        }
        return true;
    }

    CHidPort& Port() { return m_port; }
    CHidDevice* Device() { return m_device.get(); }
    const std::string& Name() const { return m_name; }
    const std::string& Path() const { return m_path; }
    int Failures() const { return m_notifier.Count(); }

private:
    CQueuedPoster m_poster;
    CReaderPort m_port;
    CDisplaySettings m_settings;
    COutputSink& m_sink;
    CStderrNotifier m_notifier;
    std::ostream& m_err;
    std::unique_ptr<CHidDevice> m_device;
    std::string m_name;
    std::string m_path;
};

// The commands a panel offers, by name. `type` None means every device type.
struct CSendCommand {
    const char* name;
    DeviceType type;
    std::function<int32_t(CHidDevice&, const std::string&)> run;
    bool takesArgument;
};

template <class Device, int32_t (Device::*Operation)()>
std::function<int32_t(CHidDevice&, const std::string&)> Call() {
    return [](CHidDevice& d, const std::string&) { return (static_cast<Device&>(d).*Operation)(); };
}

const std::vector<CSendCommand>& SendCommands() {
    using D = CHidDevice;
    using S = CSurePosDevice;
    using X = CSurePosSioDevice;
    static const std::vector<CSendCommand> commands = {
        {"trigger-on", DeviceType::None, Call<D, &D::TriggerOn>(), false},
        {"trigger-off", DeviceType::None, Call<D, &D::TriggerOff>(), false},
        {"beep", DeviceType::None, Call<D, &D::Beep>(), false},
        {"error-beep", DeviceType::None, Call<D, &D::ErrorBeep>(), false},
        {"enable", DeviceType::None, Call<D, &D::Enable>(), false},
        {"disable", DeviceType::None, Call<D, &D::Disable>(), false},
        {"beeper-on", DeviceType::None, [](D& d, const std::string&) { return d.SetBeeper(1); },
         false},
        {"beeper-off", DeviceType::None, [](D& d, const std::string&) { return d.SetBeeper(0); },
         false},
        {"redirect", DeviceType::None,
         [](D& d, const std::string& arg) { return d.RedirectToInterface(arg == "1" ? 1 : 0); },
         true},
        {"string", DeviceType::None, [](D& d, const std::string& arg) { return d.SendString(arg); },
         true},
        {"get-contents", DeviceType::None, Call<D, &D::GetContents>(), false},
        {"test", DeviceType::SurePos, Call<S, &S::Test>(), false},
        {"status-request", DeviceType::SurePos, Call<S, &S::StatusRequest>(), false},
        {"reset", DeviceType::SurePos, Call<S, &S::Reset>(), false},
        {"configure", DeviceType::SurePos, Call<S, &S::Configure>(), false},
        {"report-configuration", DeviceType::SurePos, Call<S, &S::ReportConfiguration>(), false},
        {"2-label-cfg", DeviceType::SurePos, Call<S, &S::TwoLabelConfig>(), false},
        {"report-2-label-cfg", DeviceType::SurePos, Call<S, &S::ReportTwoLabelConfig>(), false},
        {"direct-io-cmd", DeviceType::SurePos, Call<S, &S::DirectIoCommand>(), false},
        {"test", DeviceType::SurePosSio, Call<X, &X::Test>(), false},
        {"status-request", DeviceType::SurePosSio, Call<X, &X::StatusRequest>(), false},
        {"reset", DeviceType::SurePosSio, Call<X, &X::Reset>(), false},
        {"setup", DeviceType::SurePosSio, Call<X, &X::Setup>(), false},
        {"channel-control", DeviceType::SurePosSio, Call<X, &X::ChannelControl>(), false},
        {"read-status", DeviceType::SurePosSio, Call<X, &X::ReadStatus>(), false},
        {"receive-buffer", DeviceType::SurePosSio, Call<X, &X::ReceiveBuffer>(), false},
    };
    return commands;
}

const std::map<std::string, DeviceType>& ReplayTypes() {
    static const std::map<std::string, DeviceType> types = {{"quorin", DeviceType::Quorin},
                                                            {"hidpos", DeviceType::HidPos},
                                                            {"surepos", DeviceType::SurePos},
                                                            {"sio", DeviceType::SurePosSio}};
    return types;
}

// Report byte lengths of a typical interface of each type, for a replay without a descriptor.
CHidCaps TypicalCaps(DeviceType type) {
    CHidCaps caps;
    switch (type) {
    case DeviceType::Quorin:
        caps = {0x0001, 0xFFA0, 64, 64, 0};
        break;
    case DeviceType::HidPos:
        caps = {0x0002, 0x008C, 64, 64, 2};
        break;
    case DeviceType::SurePos:
        caps = {0x4B00, 0xFF45, 65, 12, 0};
        break;
    case DeviceType::SurePosSio:
        caps = {0x6400, 0xFF45, 3, 252, 250};
        break;
    case DeviceType::None:
        break;
    }
    return caps;
}

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

} // namespace

// What every subcommand that decodes takes: its own valued option, the three show flags, --set
// and --format; the overridden settings and the sink they give.
struct CDecodeCommand {
    CDecodeCommand(CSettingsStore& store, const std::string& ownOption)
        : line({"raw", "out", "symbology", "help"}, {"set", "format", ownOption}), overlay(store) {}
    CCommandLine line;
    CSettingsOverlay overlay;
    std::unique_ptr<COutputSink> sink;
};

CCliApp::CCliApp(CHidPlatform& platform, CSettingsStore& store, std::ostream& out,
                 std::ostream& err, const std::atomic<bool>& stop, bool outIsTerminal)
    : m_platform(platform), m_store(store), m_out(out), m_err(err), m_stop(stop),
      m_outIsTerminal(outIsTerminal) {}

int CCliApp::Usage(const std::string& problem) {
    m_err << "vantrel-cli: " << problem << "\n(\"vantrel-cli --help\" shows the usage)\n";
    return kUsage;
}

int CCliApp::ParseDecodeCommand(const std::vector<std::string>& args, const char* help,
                                CDecodeCommand& command) {
    std::string error;
    if (!command.line.Parse(args, error))
        return Usage(error);
    if (command.line.Has("help")) {
        m_out << help << kDecodeOptionsHelp;
        return kDone;
    }
    if (!ApplyDecodeOptions(command.line, command.overlay, error))
        return Usage(error);
    command.sink =
        MakeSink(command.line.Value("format", m_outIsTerminal ? "ansi" : "plain"), m_out);
    if (!command.sink)
        return Usage("--format must be ansi, plain or json");
    return kContinue;
}

int CCliApp::Run(const std::vector<std::string>& args) {
    if (args.empty())
        return Usage("a command is needed");
    const std::string& command = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "--help" || command == "-h" || command == "help") {
        m_out << kMainHelp;
        return kDone;
    }
    static const std::map<std::string, int (CCliApp::*)(const std::vector<std::string>&)>
        subcommands = {{"list", &CCliApp::List},
                       {"monitor", &CCliApp::Monitor},
                       {"send", &CCliApp::Send},
                       {"describe", &CCliApp::Describe},
                       {"replay", &CCliApp::Replay}};
    auto it = subcommands.find(command);
    if (it == subcommands.end())
        return Usage("unknown command \"" + command + "\"");
    return (this->*it->second)(rest);
}

int CCliApp::List(const std::vector<std::string>& args) {
    CCommandLine line({"all", "help"}, {"format"});
    std::string error;
    if (!line.Parse(args, error))
        return Usage(error);
    if (line.Has("help")) {
        m_out << kListHelp;
        return kDone;
    }
    const std::string format = line.Value("format", "text");
    if (format != "text" && format != "json")
        return Usage("--format must be text or json");
    if (!line.Positional().empty())
        return Usage("list takes no arguments");
    const bool all = line.Has("all");
    const bool json = format == "json";

    std::vector<CHidInterfaceInfo> interfaces;
    int code = 0;
    if (!m_platform.EnumerateInterfaces(interfaces, code)) {
        m_err << "vantrel-cli: the HID interfaces cannot be listed: " << ErrorText(code) << "\n";
        return kFailed;
    }
    CQueuedPoster poster;
    CReaderPort port(m_platform, poster);
    CPlainDeviceList list;
    port.Enumerate(&list, "", true);

    // Listed interfaces by path, from the display names the enumeration built.
    std::map<std::string, std::string> nameByPath;
    for (const std::string& name : list.Items()) {
        auto entry = port.NameTable().find(name);
        if (entry != port.NameTable().end())
            nameByPath.emplace(entry->second, name);
    }

    for (const CHidInterfaceInfo& info : interfaces) {
        auto named = nameByPath.find(info.path);
        const bool listed = named != nameByPath.end();
        std::string reason;
        if (!listed) {
            if (!info.attributesValid)
                reason = "its vendor and product ids cannot be read";
            else if (!port.IsSupported(info.attributes, info.caps))
                reason = std::string("not a reader interface: usage page ") +
                         HexWord(info.caps.usagePage) + " usage " + HexWord(info.caps.usage) +
                         " and its ids are not a supported reader";
            else if (info.product.empty())
                reason = "it has no product string";
            else
                reason = "not listed";
            if (!all)
                continue;
        }
        const std::string name = listed ? named->second : info.product;
        const DeviceType type = SelectDeviceType(info.caps.usagePage, info.caps.usage);
        if (json) {
            m_out << "{\"name\": " << JsonString(name) << ", \"path\": " << JsonString(info.path)
                  << ", \"vendor_id\": " << info.attributes.vendorId
                  << ", \"product_id\": " << info.attributes.productId
                  << ", \"usage_page\": " << info.caps.usagePage
                  << ", \"usage\": " << info.caps.usage << ", \"type\": \"" << DeviceTypeName(type)
                  << "\"";
            if (all)
                m_out << ", \"listed\": " << (listed ? "true" : "false")
                      << ", \"reason\": " << (listed ? "null" : JsonString(reason));
            m_out << "}\n";
        } else {
            m_out << (listed ? "" : "(not listed) ") << Latin1ToUtf8(name) << "\n    " << info.path
                  << "  usage page " << HexWord(info.caps.usagePage) << " usage "
                  << HexWord(info.caps.usage) << "  " << DeviceTypeName(type) << "\n";
            if (!listed)
                m_out << "    not listed: " << reason << "\n";
        }
    }
    return kDone;
}

int CCliApp::Monitor(const std::vector<std::string>& args) {
    CDecodeCommand command(m_store, "record");
    if (const int code = ParseDecodeCommand(args, kMonitorHelp, command); code != kContinue)
        return code;
    const CCommandLine& line = command.line;
    if (line.Positional().size() > 1)
        return Usage("monitor takes at most one reader name");

    std::ofstream recordFile;
    if (line.Has("record")) {
        recordFile.open(line.Value("record"));
        if (!recordFile) {
            m_err << "vantrel-cli: cannot write the recording \"" << line.Value("record")
                  << "\": " << ErrorText(errno) << "\n";
            return kFailed;
        }
    }

    CSession session(m_platform, command.overlay, *command.sink, m_err);
    if (!session.Open(line.Positional().empty() ? "" : line.Positional()[0]))
        return kFailed;

    std::unique_ptr<CRecordingWriter> recorder;
    if (recordFile.is_open()) {
        std::vector<CHidInterfaceInfo> interfaces;
        int code = 0;
        m_platform.EnumerateInterfaces(interfaces, code);
        std::vector<uint8_t> descriptor;
        for (const auto& info : interfaces)
            if (info.path == session.Path())
                descriptor = info.reportDescriptor;
        CReportDescriptor parsed;
        const bool numbered = descriptor.empty() ||
                              (parsed.Parse(descriptor) && parsed.IsNumbered(CReportKind::Input));
        CHidAttributes attributes;
        session.Port().GetAttributes(attributes);
        recorder = std::make_unique<CRecordingWriter>(recordFile, numbered);
        recorder->WriteHeader(session.Name(), attributes, descriptor);
    }
    m_err << "Monitoring \"" << session.Name() << "\" (" << session.Path() << "); Ctrl-C ends.\n";
    const bool ok = session.Pump(Clock::time_point::max(), m_stop, recorder.get());
    return ok ? kDone : kFailed;
}

int CCliApp::Send(const std::vector<std::string>& args) {
    CDecodeCommand command(m_store, "wait");
    if (const int code = ParseDecodeCommand(args, kSendHelp, command); code != kContinue)
        return code;
    const CCommandLine& line = command.line;
    const auto& words = line.Positional();
    if (words.size() < 2)
        return Usage("send needs a reader NAME and a COMMAND");
    const std::string& commandName = words[1];
    bool known = false;
    bool takesArgument = false;
    for (const auto& c : SendCommands())
        if (commandName == c.name) {
            known = true;
            takesArgument = c.takesArgument;
        }
    if (!known)
        return Usage("unknown command \"" + commandName + "\" (\"vantrel-cli send --help\")");
    if (takesArgument != (words.size() == 3) || words.size() > 3)
        return Usage(takesArgument ? "\"" + commandName + "\" needs one argument"
                                   : "\"" + commandName + "\" takes no argument");
    if (commandName == "redirect" && words[2] != "0" && words[2] != "1")
        return Usage("redirect takes 0 or 1");
    char* end = nullptr;
    const std::string waitText = line.Value("wait", "0");
    const long waitMs = std::strtol(waitText.c_str(), &end, 10);
    if (waitText.empty() || *end != '\0' || waitMs < 0)
        return Usage("--wait needs a number of milliseconds");
    CSession session(m_platform, command.overlay, *command.sink, m_err);
    if (!session.Open(words[0]))
        return kFailed;
    CHidDevice* device = session.Device();
    if (!device) {
        m_err << "vantrel-cli: \"" << session.Name()
              << "\" is not of a reader type that takes commands\n";
        return kFailed;
    }
    const CSendCommand* chosen = nullptr;
    for (const auto& c : SendCommands())
        if (commandName == c.name && (c.type == DeviceType::None || c.type == device->Type()))
            chosen = &c;
    if (!chosen)
        return Usage("\"" + commandName + "\" is not a command of a " +
                     DeviceTypeName(device->Type()) + " reader");
    const int32_t result = chosen->run(*device, takesArgument ? words[2] : "");
    if (session.Failures() > 0)
        return kFailed;
    if (commandName == "redirect" && result == 0) {
        m_err << "vantrel-cli: \"" << session.Name()
              << "\" did not confirm the redirect to interface " << words[2] << "\n";
        return kFailed;
    }
    const bool ok = session.Pump(Clock::now() + std::chrono::milliseconds(waitMs), m_stop, nullptr);
    return ok ? kDone : kFailed;
}

int CCliApp::Describe(const std::vector<std::string>& args) {
    CCommandLine line({"help"}, {"format"});
    std::string error;
    if (!line.Parse(args, error))
        return Usage(error);
    if (line.Has("help")) {
        m_out << kDescribeHelp;
        return kDone;
    }
    const std::string format = line.Value("format", "text");
    if (format != "text" && format != "json")
        return Usage("--format must be text or json");
    if (line.Positional().size() != 1)
        return Usage("describe needs one FILE or reader NAME");
    const std::string& source = line.Positional()[0];

    std::vector<uint8_t> descriptor;
    std::ifstream file(source);
    if (file) {
        if (!ReadDescriptorFile(file, descriptor, error)) {
            m_err << "vantrel-cli: " << source << ": " << error << "\n";
            return kFailed;
        }
    } else {
        CQueuedPoster poster;
        CReaderPort port(m_platform, poster);
        CPlainDeviceList list;
        port.Enumerate(&list, "", true);
        auto entry = port.NameTable().find(source);
        const std::string path = entry == port.NameTable().end() ? source : entry->second;
        std::vector<CHidInterfaceInfo> interfaces;
        int code = 0;
        m_platform.EnumerateInterfaces(interfaces, code);
        bool found = false;
        for (const auto& info : interfaces)
            if (info.path == path) {
                descriptor = info.reportDescriptor;
                found = true;
            }
        if (!found) {
            m_err << "vantrel-cli: \"" << source << "\" is neither a file nor a listed reader\n";
            return kFailed;
        }
        if (descriptor.empty()) {
            m_err << "vantrel-cli: the report descriptor of \"" << source << "\" cannot be read\n";
            return kFailed;
        }
    }

    CReportDescriptor parsed;
    if (!parsed.Parse(descriptor)) {
        m_err << "vantrel-cli: the report descriptor does not parse: at offset "
              << parsed.ErrorOffset() << ": " << parsed.ErrorReason() << "\n";
        return kFailed;
    }
    const CReportKind kinds[] = {CReportKind::Input, CReportKind::Output, CReportKind::Feature};
    const char* names[] = {"input", "output", "feature"};
    if (format == "json") {
        m_out << "{\"collections\": [";
        for (size_t i = 0; i < parsed.Collections().size(); ++i)
            m_out << (i ? ", " : "") << "{\"usage_page\": " << parsed.Collections()[i].usagePage
                  << ", \"usage\": " << parsed.Collections()[i].usage << "}";
        m_out << "], \"report_ids\": " << (parsed.UsesReportIds() ? "true" : "false");
        for (int k = 0; k < 3; ++k)
            m_out << ", \"" << names[k] << "_len\": " << parsed.ReportByteLength(kinds[k]);
        for (int k = 0; k < 3; ++k)
            m_out << ", \"" << names[k] << "_ids\": " << IdList(parsed.ReportIds(kinds[k]), true);
        m_out << "}\n";
        return kDone;
    }
    for (const auto& c : parsed.Collections())
        m_out << "collection: usage page " << HexWord(c.usagePage) << " usage " << HexWord(c.usage)
              << "\n";
    m_out << "report ids: " << (parsed.UsesReportIds() ? "yes" : "no") << "\n";
    for (int k = 0; k < 3; ++k)
        m_out << names[k] << ": " << parsed.ReportByteLength(kinds[k]) << " bytes, ids "
              << IdList(parsed.ReportIds(kinds[k]), false) << "\n";
    const CHidCaps caps = parsed.Caps();
    m_out << "device type: " << DeviceTypeName(SelectDeviceType(caps.usagePage, caps.usage))
          << "\n";
    return kDone;
}

int CCliApp::Replay(const std::vector<std::string>& args) {
    CDecodeCommand command(m_store, "type");
    if (const int code = ParseDecodeCommand(args, kReplayHelp, command); code != kContinue)
        return code;
    const CCommandLine& line = command.line;
    if (line.Positional().size() != 1)
        return Usage("replay needs one FILE (or - for standard input)");
    DeviceType type = DeviceType::None;
    if (line.Has("type")) {
        auto it = ReplayTypes().find(line.Value("type"));
        if (it == ReplayTypes().end())
            return Usage("--type must be quorin, hidpos, surepos or sio");
        type = it->second;
    }

    const std::string& source = line.Positional()[0];
    std::ifstream file;
    if (source != "-") {
        file.open(source);
        if (!file) {
            m_err << "vantrel-cli: cannot read \"" << source << "\": " << ErrorText(errno) << "\n";
            return kFailed;
        }
    }
    CRecording recording;
    recording.Parse(source == "-" ? std::cin : file);

    CHidCaps caps = TypicalCaps(type);
    bool inputNumbered = true;
    if (recording.m_descriptor) {
        CReportDescriptor parsed;
        if (!parsed.Parse(*recording.m_descriptor)) {
            m_err << "vantrel-cli: the recording's report descriptor does not parse: at offset "
                  << parsed.ErrorOffset() << ": " << parsed.ErrorReason() << "\n";
            return kFailed;
        }
        caps = parsed.Caps();
        inputNumbered = parsed.IsNumbered(CReportKind::Input);
        if (type == DeviceType::None)
            type = SelectDeviceType(caps.usagePage, caps.usage);
    }
    if (type == DeviceType::None) {
        m_err << "vantrel-cli: the device type is unknown: give --type or a recording with a "
                 "reader's report descriptor\n";
        return recording.m_descriptor ? kFailed : kUsage;
    }

    CHidAttributes attributes;
    attributes.vendorId = recording.m_vendorId.value_or(0);
    attributes.productId = recording.m_productId.value_or(0);
    CReplayPlatform platform(caps, attributes);
    CQueuedPoster poster;
    CHidPort port(platform, poster);
    if (!port.Open(CReplayPlatform::kPath, kMessageBase)) {
        m_err << "vantrel-cli: the replay port cannot be opened: " << ErrorText(port.LastError())
              << "\n";
        return kFailed;
    }
    CDisplaySettings settings(&command.overlay);
    settings.Load("Settings");
    CStderrNotifier notifier(m_err);
    {
        auto device = CreateHidDevice(type, port, *command.sink, settings, notifier);
        device->LoadSettings("Settings");
        for (const auto& item : recording.m_items) {
            if (item.kind == CRecording::CItem::Kind::Feature) {
                platform.QueueFeatureAnswer(item.bytes);
                continue;
            }
            std::vector<uint8_t> report = item.bytes;
            if (!inputNumbered)
                report.insert(report.begin(), 0x00);
            device->OnReport(report.data(), report.size());
        }
    }
    port.Close();
    for (const auto& e : recording.m_errors)
        m_err << "vantrel-cli: " << source << ":" << e.line << ": " << e.message << "\n";
    return recording.m_errors.empty() ? kDone : kFailed;
}
