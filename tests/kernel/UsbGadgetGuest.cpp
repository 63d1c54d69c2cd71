// Runs as /init of a small Linux guest under qemu: plugs readers in as USB gadgets on the dummy
// host controller (configfs and the kernel's HID function), plays their firmware on /dev/hidgN,
// and drives Vantrel's hidraw backend, port and device types, and the vantrel-cli binary, through
// the real USB stack: listing with USB strings and interface numbers, interrupt transfers both
// ways, control transfers for feature reports, unplug, and throughput. Prints one PASS/FAIL
// line per check and a summary, then tells qemu the verdict.

#include "CGadgetFirmware.h"
#include "CUsbGadget.h"
#include "GuestSession.h"
#include "GuestSupport.h"
#include "device/CHidPosDevice.h"
#include "device/CPlainDeviceList.h"
#include "device/CSurePosDevice.h"
#include "device/CSurePosSioDevice.h"
#include "platform/CHidPlatform.h"
#include "sim/CSimFirmware.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <linux/hidraw.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using guest::Bytes;
using guest::CGuestSession;
using guest::Check;
using guest::Clock;
using guest::Info;
using guest::NextReport;
using guest::WaitFor;

constexpr uint32_t kMessageBase = 0x07E8;
constexpr char kCli[] = "/usr/bin/vantrel-cli";

// The readers as their firmware presents them; the names are what the listing must build.
const CUsbGadget::CIdentity kComposite = {0x1209,         0x0004,          0x0120,
                                          "Vantrel Test", "Gadget Reader", "GR-0120"};
const CUsbGadget::CIdentity kSio = {0x1209,         0x0006,       0x0300,
                                    "Vantrel Test", "Gadget Sio", "GS-0300"};
const std::string kInterface0Name = "Gadget Reader - Interface 00 - GR-0120";
const std::string kInterface1Name = "Gadget Reader - Interface 01 - GR-0120";
const std::string kSioName = "Gadget Sio - GS-0300";

struct CReaderPaths {
    std::string interface0;
    std::string interface1;
    std::string sio;
};

std::string Hex(const Bytes& bytes, size_t limit = 16) {
    std::string text;
    char byte[4];
    for (size_t i = 0; i < bytes.size() && i < limit; ++i) {
        std::snprintf(byte, sizeof byte, i ? " %02X" : "%02X", bytes[i]);
        text += byte;
    }
    return bytes.size() > limit ? text + " ..." : text;
}

Bytes Padded(Bytes bytes, size_t length) {
    bytes.resize(length, 0);
    return bytes;
}

const CHidInterfaceInfo* FindInterface(const std::vector<CHidInterfaceInfo>& all,
                                       uint16_t productId, const std::string& number) {
    for (const auto& i : all)
        if (i.attributes.vendorId == 0x1209 && i.attributes.productId == productId &&
            i.interfaceNumber == number)
            return &i;
    return nullptr;
}

bool FindReaders(CHidPlatform& platform, CReaderPaths& paths) {
    std::vector<CHidInterfaceInfo> all;
    int error = 0;
    if (!platform.EnumerateInterfaces(all, error))
        return false;
    const CHidInterfaceInfo* i0 = FindInterface(all, kComposite.productId, "00");
    const CHidInterfaceInfo* i1 = FindInterface(all, kComposite.productId, "01");
    const CHidInterfaceInfo* sio = FindInterface(all, kSio.productId, "");
    if (!i0 || !i1 || !sio)
        return false;
    paths = {i0->path, i1->path, sio->path};
    return true;
}

// The display names the reader list shows, as the dialog and the terminal tool enumerate.
std::vector<std::string> ListedNames(CHidPlatform& platform) {
    CQueuedPoster poster;
    CReaderPort port(platform, poster);
    CPlainDeviceList list;
    port.Enumerate(&list, "", true);
    return list.Items();
}

bool Contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// ---- vantrel-cli inside the guest -------------------------------------------------------------

struct CCliRun {
    int status = -1;
    std::string output;
};

// Runs vantrel-cli with `args`; `during` runs while it does, and ends it with SIGINT when it
// returns true (a monitor runs until interrupted). Standard output is collected.
CCliRun RunCli(const std::vector<std::string>& args,
               const std::function<bool(pid_t, const std::string&)>& during, int timeoutMs) {
    CCliRun run;
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0)
        return run;
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(pipeFds[1], STDOUT_FILENO);
        std::vector<char*> argv{const_cast<char*>(kCli)};
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(kCli, argv.data());
        _exit(127);
    }
    close(pipeFds[1]);
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    bool interrupted = false;
    for (;;) {
        pollfd p{pipeFds[0], POLLIN, 0};
        if (poll(&p, 1, 10) > 0) {
            char chunk[4096];
            const ssize_t n = read(pipeFds[0], chunk, sizeof chunk);
            if (n <= 0)
                break;
            run.output.append(chunk, size_t(n));
        }
        if (!interrupted && during && during(pid, run.output)) {
            kill(pid, SIGINT);
            interrupted = true;
        }
        if (Clock::now() > end) {
            kill(pid, SIGKILL);
            break;
        }
    }
    close(pipeFds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return run;
}

// Whether process `pid` has `path` open: then its open() returned, after usbhid's first 50 ms
// in which reports are dropped.
bool HasOpen(pid_t pid, const std::string& path) {
    const std::string dir = "/proc/" + std::to_string(pid) + "/fd";
    DIR* d = opendir(dir.c_str());
    if (!d)
        return false;
    bool found = false;
    while (const dirent* e = readdir(d)) {
        char target[256];
        const ssize_t n = readlink((dir + "/" + e->d_name).c_str(), target, sizeof target - 1);
        if (n > 0 && std::string(target, size_t(n)) == path)
            found = true;
    }
    closedir(d);
    return found;
}

// ---- the checks -------------------------------------------------------------------------------

void CheckListing(CHidPlatform& platform) {
    std::vector<CHidInterfaceInfo> all;
    int error = 0;
    platform.EnumerateInterfaces(all, error);
    const CHidInterfaceInfo* i0 = FindInterface(all, kComposite.productId, "00");
    const CHidInterfaceInfo* i1 = FindInterface(all, kComposite.productId, "01");
    const CHidInterfaceInfo* sio = FindInterface(all, kSio.productId, "");
    if (!i0 || !i1 || !sio)
        return;
    Check(i0->product == "Gadget Reader" && i0->serial == "GR-0120" && i1->product == i0->product &&
              i1->serial == i0->serial,
          "product and serial come from the USB string descriptors (\"%s\", \"%s\")",
          i0->product.c_str(), i0->serial.c_str());
    Check(i0->attributes.versionNumber == 0x0120 && i1->attributes.versionNumber == 0x0120 &&
              sio->attributes.versionNumber == 0x0300,
          "the version number is the USB device's bcdDevice (0x%04X, 0x%04X)",
          i0->attributes.versionNumber, sio->attributes.versionNumber);
    Check(i0->caps.usagePage == 0x008C && i0->caps.usage == 0x0002 &&
              i0->caps.inputReportByteLength == 64 && i0->caps.outputReportByteLength == 64 &&
              i0->caps.featureReportByteLength == 2,
          "interface 00 is Hid Pos 0x%04X:0x%04X, lengths %u/%u/%u", i0->caps.usagePage,
          i0->caps.usage, i0->caps.inputReportByteLength, i0->caps.outputReportByteLength,
          i0->caps.featureReportByteLength);
    Check(i1->caps.usagePage == 0xFF45 && i1->caps.usage == 0x4B00 &&
              i1->caps.inputReportByteLength == 65 && i1->caps.outputReportByteLength == 12,
          "interface 01 is SurePos 0x%04X:0x%04X, lengths %u/%u", i1->caps.usagePage,
          i1->caps.usage, i1->caps.inputReportByteLength, i1->caps.outputReportByteLength);
    Check(sio->caps.usage == 0x6400 && sio->caps.outputReportByteLength == 252 &&
              sio->caps.featureReportByteLength == 250,
          "the Sio reader has usage 0x%04X, output %u, feature %u bytes", sio->caps.usage,
          sio->caps.outputReportByteLength, sio->caps.featureReportByteLength);

    const std::vector<std::string> names = ListedNames(platform);
    std::string shown;
    for (const std::string& n : names)
        shown += "\"" + n + "\" ";
    Check(Contains(names, kInterface0Name) && Contains(names, kInterface1Name),
          "both interfaces of the composite reader are listed by interface number: %s",
          shown.c_str());
    Check(Contains(names, kSioName), "the single-interface reader is listed without \"Interface\"");

    // The status line, built as the main dialog builds it from the opened port.
    const struct {
        const std::string& name;
        const char* expected;
    } statusLines[] = {
        {kInterface0Name, "Firmware V120, VID=1209, PID=0004, UsagePage=008C, Usage=0002"},
        {kInterface1Name, "Firmware V120, VID=1209, PID=0004, UsagePage=FF45, Usage=4B00"},
        {kSioName, "Firmware V300, VID=1209, PID=0006, UsagePage=FF45, Usage=6400"},
    };
    for (const auto& line : statusLines) {
        CQueuedPoster poster;
        CReaderPort port(platform, poster);
        port.Enumerate(nullptr, "", true);
        CHidAttributes attributes;
        char text[128] = "not opened";
        if (port.Open(line.name, kMessageBase) && port.GetAttributes(attributes)) {
            const CHidCaps& caps = port.GetCaps();
            std::snprintf(text, sizeof text,
                          "Firmware V%X, VID=%04X, PID=%04X, UsagePage=%04X, Usage=%04X",
                          attributes.versionNumber, attributes.vendorId, attributes.productId,
                          caps.usagePage, caps.usage);
        }
        Check(std::string(text) == line.expected, "status line of \"%s\": \"%s\"",
              line.name.c_str(), text);
        port.Close();
    }
}

void CheckCliList() {
    const CCliRun run = RunCli({"list", "--format", "json"}, nullptr, 20000);
    Check(run.status == 0, "vantrel-cli list --format json exits with 0 (%d)", run.status);
    const struct {
        const std::string& name;
        const char* fields;
    } expected[] = {
        {kInterface0Name, "\"vendor_id\": 4617, \"product_id\": 4, \"usage_page\": 140, "
                          "\"usage\": 2, \"type\": \"Hid Pos\""},
        {kInterface1Name, "\"vendor_id\": 4617, \"product_id\": 4, \"usage_page\": 65349, "
                          "\"usage\": 19200, \"type\": \"SurePos\""},
        {kSioName, "\"vendor_id\": 4617, \"product_id\": 6, \"usage_page\": 65349, "
                   "\"usage\": 25600, \"type\": \"SurePos Sio\""},
    };
    for (const auto& reader : expected) {
        const std::string key = "{\"name\": \"" + reader.name + "\"";
        const size_t at = run.output.find(key);
        const size_t lineEnd = run.output.find('\n', at);
        const std::string line =
            at == std::string::npos ? std::string() : run.output.substr(at, lineEnd - at);
        Check(line.find(reader.fields) != std::string::npos,
              "vantrel-cli lists \"%s\" with vendor, product, usage page, usage and type: %s",
              reader.name.c_str(), line.empty() ? "(missing)" : line.c_str());
    }
}

// A Hid Pos scan as interface 00 sends it: id 0x02, length, AIM identifier, label.
Bytes HidPosScan(const std::string& identifier, const std::string& label) {
    Bytes report{0x02, uint8_t(label.size())};
    report.insert(report.end(), identifier.begin(), identifier.end());
    report.insert(report.end(), label.begin(), label.end());
    return report;
}

void CheckHidPos(CHidPlatform& platform, CGadgetFirmware& firmware, const std::string& path) {
    CGuestSession<CHidPosDevice> session(platform, path, "interface 00 (Hid Pos)");
    if (!session.device)
        return;
    CHidPosDevice& device = *session.device;
    session.settings.m_showSymbology = 1;

    // Reads: a report straight from the interrupt IN endpoint.
    const std::string label = "4006381333931";
    firmware.Send(HidPosScan("]E0", label));
    CHidMessage message;
    bool got = NextReport(session.poster, session.port, message, 3000);
    Check(got && message.report.size() == 64 && message.report[0] == 0x02,
          "interface 00 reads a whole report with byte 0 = report id 0x02 (%zu bytes: %s)",
          message.report.size(), Hex(message.report).c_str());
    if (got)
        device.OnReport(message.report.data(), message.report.size());
    Check(session.sink.Text().find(label) != std::string::npos,
          "the Hid Pos device decodes the label: \"%s\"", session.sink.Text().c_str());

    // Writes: every command reaches the firmware as its 64-byte output report.
    const struct {
        const char* name;
        std::function<void()> send;
        Bytes wire;
    } commands[] = {
        {"TriggerOn", [&] { device.TriggerOn(); }, Padded({0x04, 0x04}, 64)},
        {"TriggerOff", [&] { device.TriggerOff(); }, Padded({0x04, 0x00}, 64)},
        {"Disable", [&] { device.Disable(); }, Padded({0x04, 0x02}, 64)},
        {"Enable", [&] { device.Enable(); }, Padded({0x04, 0x00}, 64)},
        {"Beep", [&] { device.Beep(); }, Padded({0x04, 0x40}, 64)},
        {"ErrorBeep", [&] { device.ErrorBeep(); }, Padded({0x04, 0x20}, 64)},
        {"SendData", [&] { device.SendData(reinterpret_cast<const uint8_t*>("ABC"), 3); },
         Padded({0xFD, 0x03, 'A', 'B', 'C'}, 64)},
    };
    for (const auto& command : commands) {
        firmware.TakeReceived();
        command.send();
        WaitFor([&] { return firmware.ReceivedCount() >= 1; }, 2000);
        const std::vector<Bytes> received = firmware.TakeReceived();
        Check(received.size() == 1 && received[0] == command.wire,
              "Hid Pos %s reaches the reader byte-exact: %s", command.name,
              received.empty() ? "nothing" : Hex(received[0], 6).c_str());
        if (std::string(command.name) == "TriggerOn") {
            // The firmware answers a trigger with a scan, as the simulated reader does.
            session.sink.Clear();
            firmware.SetTicking(true);
            got = NextReport(session.poster, session.port, message, 3000);
            firmware.SetTicking(false);
            if (got)
                device.OnReport(message.report.data(), message.report.size());
            Check(session.sink.Text().find("5901234123457") != std::string::npos,
                  "the trigger makes the reader scan, decoded as \"%s\"",
                  session.sink.Text().c_str());
        }
    }
    Check(session.notifier.messages.empty(), "no Hid Pos write failed (%zu messages)",
          session.notifier.messages.size());

    // Feature reports: SET_REPORT reaches the firmware; GET_REPORT is answered by the kernel's
    // HID function itself with zeros, never by the firmware.
    firmware.TakeFeatures();
    const int32_t confirmed = device.RedirectToInterface(1);
    std::vector<Bytes> features;
    WaitFor(
        [&] {
            for (Bytes& f : firmware.TakeFeatures())
                features.push_back(std::move(f));
            return !features.empty();
        },
        2000);
    Check(features.size() == 1 && features[0] == Bytes({0xFE, 0x01}),
          "the redirect feature 0xFE = 01 reaches the reader through SET_REPORT: %s",
          features.empty() ? "nothing" : Hex(features[0]).c_str());
    uint8_t readBack[2] = {0xFE, 0xFF};
    const bool read = session.port.GetFeature(readBack, sizeof readBack);
    Check(read && readBack[0] == 0xFE && readBack[1] == 0x00 && confirmed == 0,
          "GET_REPORT of feature 0xFE is answered by the kernel's HID function with zeros "
          "(read %d, value %02X), so the redirect stays unconfirmed (%d)",
          int(read), readBack[1], confirmed);
}

// A SurePos label message as interface 01 sends it: count, status, two bytes, label, type.
Bytes SurePosLabel(const std::string& label, uint8_t type) {
    Bytes report{0x00, uint8_t(4 + label.size() + 1), 0x00, 0x00, 0x00};
    report.insert(report.end(), label.begin(), label.end());
    report.push_back(type);
    return report;
}

void CheckSurePos(CHidPlatform& platform, CGadgetFirmware& firmware, const std::string& path) {
    CGuestSession<CSurePosDevice> session(platform, path, "interface 01 (SurePos)");
    if (!session.device)
        return;
    CSurePosDevice& device = *session.device;
    session.settings.m_showSymbology = 1;

    const std::string label = "012345678905";
    firmware.Send(SurePosLabel(label, 0x0D));
    CHidMessage message;
    const bool got = NextReport(session.poster, session.port, message, 3000);
    Check(got && message.report.size() == 65 && message.report[0] == 0x00 &&
              message.report[1] == 4 + label.size() + 1,
          "interface 01 (no report ids) reads 64 bytes with 0x00 prepended (%zu bytes: %s)",
          message.report.size(), Hex(message.report).c_str());
    if (got)
        device.OnReport(message.report.data(), message.report.size());
    Check(session.sink.Text() == label + " - UPC-A\r\n", "the SurePos device decodes \"%s\"",
          session.sink.Text().c_str());

    // Without report ids the kernel drops the 0x00 before the bus: 11 bytes reach the reader.
    const struct {
        const char* name;
        std::function<void()> send;
        Bytes wire;
        bool answers;
    } commands[] = {
        {"Disable", [&] { device.Disable(); }, Padded({0x12}, 11), false},
        {"Enable", [&] { device.Enable(); }, Padded({0x11}, 11), false},
        {"Beeper on", [&] { device.SetBeeper(1); }, Padded({0x14}, 11), false},
        {"Beeper off", [&] { device.SetBeeper(0); }, Padded({0x18}, 11), false},
        {"Test", [&] { device.Test(); }, Padded({0x00, 0x10}, 11), true},
        {"StatusRequest", [&] { device.StatusRequest(); }, Padded({0x00, 0x20}, 11), true},
        {"Reset", [&] { device.Reset(); }, Padded({0x00, 0x40}, 11), true},
        {"Configure", [&] { device.Configure(); },
         Bytes({0x20, 0x00, 0xFF, 0x7F, 0x00, 0x15, 0x00, 0x00, 0xCA, 0x20, 0x01}), true},
        {"ReportConfiguration", [&] { device.ReportConfiguration(); }, Padded({0x21}, 11), true},
        {"TwoLabelConfig", [&] { device.TwoLabelConfig(); }, Padded({0x23}, 11), true},
        {"ReportTwoLabelConfig", [&] { device.ReportTwoLabelConfig(); }, Padded({0x34}, 11), true},
        {"DirectIoCommand", [&] { device.DirectIoCommand(); }, Padded({0x30}, 11), true},
    };
    for (const auto& command : commands) {
        firmware.TakeReceived();
        while (session.poster.WaitForMessage(message, 0)) {
        }
        command.send();
        WaitFor([&] { return firmware.ReceivedCount() >= 1; }, 2000);
        const std::vector<Bytes> received = firmware.TakeReceived();
        bool answered = true;
        if (command.answers)
            answered = NextReport(session.poster, session.port, message, 3000) &&
                       message.report.size() == 65 && message.report[0] == 0x00;
        Check(received.size() == 1 && received[0] == command.wire && answered,
              "SurePos %s reaches the reader byte-exact%s: %s", command.name,
              command.answers ? " and is answered" : "",
              received.empty() ? "nothing" : Hex(received[0], 11).c_str());
    }
    Check(session.notifier.messages.empty(), "no SurePos write failed (%zu messages)",
          session.notifier.messages.size());
}

void CheckSio(CHidPlatform& platform, CGadgetFirmware& firmware, const std::string& path) {
    CGuestSession<CSurePosSioDevice> session(platform, path, "the Sio reader");
    if (!session.device)
        return;
    CSurePosSioDevice& device = *session.device;

    firmware.Send({0x00, 0x10, 0x07});
    CHidMessage message;
    bool got = NextReport(session.poster, session.port, message, 3000);
    Check(got && message.report == Bytes({0x00, 0x10, 0x07}),
          "a Sio notification reads as 00 10 07 (%s)", Hex(message.report).c_str());

    // A 251-byte command takes four 64-byte packets on the interrupt OUT endpoint.
    firmware.TakeReceived();
    device.Test();
    WaitFor([&] { return firmware.ReceivedCount() >= 1; }, 3000);
    std::vector<Bytes> received = firmware.TakeReceived();
    Bytes test(251);
    for (size_t i = 0; i < test.size(); ++i)
        test[i] = uint8_t(i + 1);
    test[0] = 0x04;
    test[1] = 0x00;
    test[2] = 0x00;
    test[3] = 0x10;
    Check(received.size() == 1 && received[0] == test,
          "Sio Test arrives whole as one 251-byte report over four packets (%zu reports, %zu "
          "bytes)",
          received.size(), received.empty() ? size_t(0) : received[0].size());
    got = NextReport(session.poster, session.port, message, 3000);
    Check(got && message.report.size() == 3 && message.report[1] == 0x20,
          "the reader answers Test with \"response waiting\" 0x20 (%s)",
          Hex(message.report).c_str());

    Bytes payload(200);
    for (size_t i = 0; i < payload.size(); ++i)
        payload[i] = uint8_t('A' + i % 26);
    device.SendData(payload.data(), payload.size());
    WaitFor([&] { return firmware.ReceivedCount() >= 1; }, 3000);
    received = firmware.TakeReceived();
    Check(received.size() == 1 && received[0].size() == 251 && received[0][0] == 204 &&
              received[0][2] == 0x08 &&
              Bytes(received[0].begin() + 4, received[0].begin() + 204) == payload,
          "a 200-byte Sio data report arrives whole (%zu reports)", received.size());

    // GET_REPORT: the HID function answers for itself with zeros, at most report_length bytes.
    const int fd = open(path.c_str(), O_RDWR | O_CLOEXEC);
    uint8_t contents[250] = {0x00, 0xAA};
    std::fill(contents + 1, contents + sizeof contents, uint8_t(0xAA));
    const int n = fd >= 0 ? ioctl(fd, HIDIOCGFEATURE(sizeof contents), contents) : -1;
    bool zeros = n > 1;
    for (int i = 1; i < n; ++i)
        zeros = zeros && contents[i] == 0;
    Check(n == 65 && zeros && contents[65] == 0xAA,
          "GET_REPORT of the 250-byte contents feature gets 64 zero bytes from the kernel's HID "
          "function (ioctl %d)",
          n);
    // SET_REPORT on a function with an OUT endpoint: stalled.
    uint8_t feature[250] = {0x00, 0x01};
    const int set = fd >= 0 ? ioctl(fd, HIDIOCSFEATURE(sizeof feature), feature) : -1;
    const int setError = errno;
    Check(set < 0 && setError == EPIPE,
          "SET_REPORT on an interface with an OUT endpoint is stalled (EPIPE): %d, %s", set,
          std::strerror(setError));
    if (fd >= 0)
        close(fd);

    session.sink.Clear();
    device.GetContents();
    Check(session.sink.Text() == "\r\n",
          "Get Contents shows an empty line for the zeroed answer (%zu characters)",
          session.sink.Text().size());
}

// Facts about the USB side that the checks rely on, printed for the record.
void ObserveFunction(CGadgetFirmware& firmware, const std::string& path) {
    char hidDir[PATH_MAX];
    const std::string node = path.substr(path.rfind('/') + 1);
    if (realpath(("/sys/class/hidraw/" + node + "/device").c_str(), hidDir)) {
        const std::string interfaceDir =
            std::string(hidDir).substr(0, std::strrchr(hidDir, '/') - hidDir);
        const std::string deviceDir = interfaceDir.substr(0, interfaceDir.rfind('/'));
        std::string endpoints;
        if (DIR* d = opendir(interfaceDir.c_str())) {
            while (const dirent* e = readdir(d)) {
                const std::string name = e->d_name;
                if (name.rfind("ep_", 0) == 0)
                    endpoints +=
                        " " + name + " " + guest::ReadText(interfaceDir + "/" + name + "/type") +
                        " bInterval " + guest::ReadText(interfaceDir + "/" + name + "/bInterval") +
                        " wMaxPacketSize 0x" +
                        guest::ReadText(interfaceDir + "/" + name + "/wMaxPacketSize") + ";";
            }
            closedir(d);
        }
        Info("interface 00 runs at %s Mb/s with%s", guest::ReadText(deviceDir + "/speed").c_str(),
             endpoints.c_str());
    }
    // SET_REPORT without an OUT endpoint: the function keeps one report until /dev/hidgN is read.
    firmware.Stop();
    firmware.TakeReceived();
    const int fd = open(path.c_str(), O_RDWR | O_CLOEXEC);
    Bytes first = Padded({0x04, 0x40}, 64);
    Bytes second = Padded({0x04, 0x20}, 64);
    const bool written = fd >= 0 && write(fd, first.data(), first.size()) == 64 &&
                         write(fd, second.data(), second.size()) == 64;
    if (fd >= 0)
        close(fd);
    firmware.Start();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const std::vector<Bytes> received = firmware.TakeReceived();
    Info("two output reports sent by SET_REPORT before the firmware reads (written %d): it gets "
         "%zu, the first %s",
         int(written), received.size(), received.empty() ? "none" : Hex(received[0], 2).c_str());
}

void CheckCliMonitor(CGadgetFirmware& firmware, const std::string& path) {
    const std::string label = "CLI-MONITOR-0420";
    bool sent = false;
    const CCliRun run = RunCli(
        {"monitor", kInterface0Name, "--format", "json"},
        [&](pid_t pid, const std::string& output) {
            if (!sent && HasOpen(pid, path))
                sent = firmware.Send(HidPosScan("]C0", label));
            return sent && output.find(label) != std::string::npos;
        },
        20000);
    Check(sent && run.status == 0 && run.output.find("\"" + label) != std::string::npos,
          "vantrel-cli monitor shows the label as JSON and ends on SIGINT (status %d): %s",
          run.status, run.output.substr(0, 160).c_str());
}

void CheckUnplug(CHidPlatform& platform, CUsbGadget& gadget,
                 std::vector<CGadgetFirmware*> firmwares, const std::string& path) {
    CQueuedPoster poster;
    CReaderPort port(platform, poster);
    port.Enumerate(nullptr, "", true);
    if (!port.Open(kInterface0Name, kMessageBase)) {
        Check(false, "interface 00 opens for the unplug (errno %d)", port.LastError());
        return;
    }
    // The reader thread is waiting for a report when the device goes.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    for (CGadgetFirmware* f : firmwares)
        f->Stop();
    const bool unbound = gadget.Unbind();
    int errors = 0;
    int others = 0;
    int code = 0;
    CHidMessage message;
    while (poster.WaitForMessage(message, 1500)) {
        if (message.messageId == kMessageBase + 1) {
            ++errors;
            code = message.errorCode;
        } else {
            ++others;
        }
    }
    Check(unbound && errors == 1 && code == ENODEV && others == 0,
          "unbinding the UDC during a pending read gives exactly one ENODEV (%d errors, code %d, "
          "%d others)",
          errors, code, others);
    port.Close();
    Check(access(path.c_str(), F_OK) != 0 && !Contains(ListedNames(platform), kInterface0Name),
          "the unplugged reader's node is gone and it is no longer listed");

    gadget.Bind("dummy_udc.0");
    CReaderPaths paths;
    WaitFor([&] { return FindReaders(platform, paths); }, 5000);
    const std::vector<std::string> names = ListedNames(platform);
    Check(Contains(names, kInterface0Name) && Contains(names, kInterface1Name),
          "binding it again lists both interfaces again");
    for (CGadgetFirmware* f : firmwares)
        f->Start();
}

// Sends labels with their sequence number for 5 s, `perSecond` of them each second or, with 0,
// as fast as the endpoint takes them, and counts what the port reads and loses.
void MeasureThroughput(CHidPlatform& platform, CGadgetFirmware& firmware, int perSecond) {
    CQueuedPoster poster;
    CReaderPort port(platform, poster);
    port.Enumerate(nullptr, "", true);
    if (!port.Open(kInterface0Name, kMessageBase)) {
        Check(false, "interface 00 opens for the throughput measurement");
        return;
    }
    uint8_t wire[64] = {0x02, 8, ']', 'E', '0'};
    uint32_t sent = 0;
    const auto start = Clock::now();
    const auto end = start + std::chrono::seconds(5);
    auto due = start;
    while (Clock::now() < end) {
        // Sleeps under emulation wake milliseconds late: a paced run sends a tenth of its
        // rate's reports every 10 ms, fewer than the 63 the host keeps per open file.
        if (perSecond > 0 && sent % (perSecond / 100) == 0) {
            std::this_thread::sleep_until(due);
            due += std::chrono::milliseconds(10);
        }
        std::snprintf(reinterpret_cast<char*>(wire + 5), 9, "%08u", unsigned(sent));
        if (firmware.SendWire(wire, sizeof wire, 100) == long(sizeof wire))
            ++sent;
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::vector<CHidMessage> received;
    while (poster.TakeAll(received, 500) > 0) {
    }
    port.Close();
    long last = -1;
    bool ordered = true;
    size_t reports = 0;
    for (const CHidMessage& m : received) {
        if (m.messageId != kMessageBase || m.report.size() < 13)
            continue;
        ++reports;
        const long sequence = std::strtol(
            std::string(m.report.begin() + 5, m.report.begin() + 13).c_str(), nullptr, 10);
        ordered = ordered && sequence > last;
        last = sequence;
    }
    const long lost = long(sent) - long(reports);
    const std::string pace = perSecond > 0 ? "paced at " + std::to_string(perSecond) + " reports/s"
                                           : std::string("as fast as the endpoint takes them");
    Info("THROUGHPUT %s: %u sent in %.2f s (%.0f/s), %zu received (%.0f reports/s), %ld lost",
         pace.c_str(), sent, seconds, double(sent) / seconds, reports, double(reports) / seconds,
         lost);
    Check(reports > 0 && ordered && lost == 0,
          "throughput %s: %.0f reports/s through the port in order, %ld lost", pace.c_str(),
          double(reports) / seconds, lost);
}

} // namespace

int main() {
    guest::MountSystem();
    unsetenv("VANTREL_SIMULATE");
    setenv("HOME", "/root", 1);
    setenv("XDG_CONFIG_HOME", "/tmp/config", 1);
    mkdir("/root", 0700);

    bool loaded = true;
    for (const char* module : {"hid", "hid-generic", "usb-common", "usbcore", "usbhid", "configfs",
                               "udc-core", "libcomposite", "usb_f_hid"})
        loaded = guest::LoadModule(std::string("/modules/") + module + ".ko") && loaded;
    // Two UDCs, one per reader; full speed, as hand-held readers run.
    loaded = guest::LoadModule("/modules/dummy_hcd.ko", "num=2 is_high_speed=0") && loaded;
    loaded = mount("none", "/sys/kernel/config", "configfs", 0, nullptr) == 0 && loaded;
    Check(loaded, "the USB, gadget and HID modules load and configfs mounts");

    const Bytes hidPos = guest::ReadHexFile("/descriptors/hidpos-8c-0002.hex");
    const Bytes handheld = guest::ReadHexFile("/descriptors/ff45-4b00-handheld.hex");
    // The composite reader sends output and feature reports over the control endpoint (no
    // interrupt OUT), the Sio reader its long output reports over an interrupt OUT endpoint.
    CUsbGadget composite("reader", kComposite, {{hidPos, 64, false}, {handheld, 64, false}});
    CUsbGadget sio("sio", kSio, {{guest::kSioDescriptor, 64, true}});
    const bool made = composite.Create() && sio.Create();
    Check(made, "the gadgets are made through configfs%s%s", composite.Error().c_str(),
          sio.Error().c_str());
    const bool bound = made && composite.Bind("dummy_udc.0") && sio.Bind("dummy_udc.1");
    Check(bound, "the gadgets bind to the dummy host controller %s%s", composite.Error().c_str(),
          sio.Error().c_str());

    const std::unique_ptr<CHidPlatform> platform = CreateHidPlatform();
    CReaderPaths paths;
    const bool found = bound && WaitFor([&] { return FindReaders(*platform, paths); }, 10000);
    Check(found,
          "the hidraw backend finds both interfaces of the composite reader and the Sio "
          "reader (%s, %s, %s)",
          paths.interface0.c_str(), paths.interface1.c_str(), paths.sio.c_str());
    if (!found)
        guest::Finish();

    CGadgetFirmware hidPosFirmware(composite.HidgNode(0), CreateSimFirmware(CSimReaderKind::HidPos),
                                   {true, 64, 64, 64, false, {0xFE}});
    CGadgetFirmware surePosFirmware(composite.HidgNode(1),
                                    CreateSimFirmware(CSimReaderKind::SurePos),
                                    {false, 64, 11, 64, false, {}});
    CGadgetFirmware sioFirmware(sio.HidgNode(0), CreateSimFirmware(CSimReaderKind::SurePosSio),
                                {false, 2, 251, 64, true, {}});
    Check(hidPosFirmware.Start() && surePosFirmware.Start() && sioFirmware.Start(),
          "the firmware opens %s, %s and %s", composite.HidgNode(0).c_str(),
          composite.HidgNode(1).c_str(), sio.HidgNode(0).c_str());

    CheckListing(*platform);
    CheckCliList();
    CheckHidPos(*platform, hidPosFirmware, paths.interface0);
    CheckSurePos(*platform, surePosFirmware, paths.interface1);
    CheckSio(*platform, sioFirmware, paths.sio);
    CheckCliMonitor(hidPosFirmware, paths.interface0);
    ObserveFunction(hidPosFirmware, paths.interface0);
    CheckUnplug(*platform, composite, {&hidPosFirmware, &surePosFirmware}, paths.interface0);
    MeasureThroughput(*platform, hidPosFirmware, 1000);
    MeasureThroughput(*platform, hidPosFirmware, 0);
    guest::Finish();
}
