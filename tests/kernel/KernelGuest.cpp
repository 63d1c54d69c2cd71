// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

// Runs as /init of a small Linux guest under qemu: loads the HID modules, makes virtual readers
// with uhid, plays the readers' side, and drives Vantrel's hidraw backend, enumeration, port and
// device types through the real kernel; and keyboards, one named like a reader in keyboard mode,
// read through their input event nodes. Prints one line per check and a summary, then tells qemu
// the verdict through the isa-debug-exit port.

#include "GuestSession.h"
#include "GuestSupport.h"
#include "device/CHidPort.h"
#include "device/CHidPosDevice.h"
#include "device/CKeyboardDevice.h"
#include "device/CNotifier.h"
#include "device/CPlainDeviceList.h"
#include "device/CQueuedPoster.h"
#include "device/CSurePosDevice.h"
#include "device/CSurePosSioDevice.h"
#include "settings/CMemorySettingsStore.h"
#include "support/CRecordingSink.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <linux/input-event-codes.h>
#include <linux/uhid.h>
#include <map>
#include <mutex>
#include <poll.h>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using guest::Bytes;
using guest::CGuestSession;
using guest::Check;
using guest::Clock;
using guest::kSioDescriptor;
using guest::NextReport;
using guest::WaitFor;

// One virtual reader on its own /dev/uhid descriptor, with a thread that answers the kernel.
class CVirtualReader {
public:
    CVirtualReader(std::string name, std::string uniq, uint16_t vendor, uint16_t product,
                   uint16_t version, Bytes descriptor)
        : m_name(std::move(name)), m_uniq(std::move(uniq)), m_vendor(vendor), m_product(product),
          m_version(version), m_descriptor(std::move(descriptor)) {}
    ~CVirtualReader() { Destroy(); }

    bool Create() {
        m_fd = open("/dev/uhid", O_RDWR | O_CLOEXEC);
        if (m_fd < 0) {
            return false;
        }
        uhid_event ev{};
        ev.type = UHID_CREATE2;
        std::snprintf(reinterpret_cast<char*>(ev.u.create2.name), sizeof ev.u.create2.name, "%s",
                      m_name.c_str());
        std::snprintf(reinterpret_cast<char*>(ev.u.create2.uniq), sizeof ev.u.create2.uniq, "%s",
                      m_uniq.c_str());
        ev.u.create2.rd_size = uint16_t(m_descriptor.size());
        ev.u.create2.bus = 0x03;
        ev.u.create2.vendor = m_vendor;
        ev.u.create2.product = m_product;
        ev.u.create2.version = m_version;
        std::memcpy(ev.u.create2.rd_data, m_descriptor.data(), m_descriptor.size());
        if (write(m_fd, &ev, sizeof ev) != ssize_t(sizeof ev)) {
            return false;
        }
        m_thread = std::thread([this] { Serve(); });
        return WaitFor([this] { return m_started.load(); }, 2000);
    }

    void Destroy() {
        if (m_fd < 0) {
            return;
        }
        uhid_event ev{};
        ev.type = UHID_DESTROY;
        (void)!write(m_fd, &ev, sizeof ev);
        m_stop = true;
        if (m_thread.joinable()) {
            m_thread.join();
        }
        close(m_fd);
        m_fd = -1;
    }

    // Sends one input report exactly as given (full length, as a USB device does).
    bool SendInput(const Bytes& report) {
        uhid_event ev{};
        ev.type = UHID_INPUT2;
        ev.u.input2.size = uint16_t(report.size());
        std::memcpy(ev.u.input2.data, report.data(), report.size());
        return write(m_fd, &ev, sizeof ev) == ssize_t(sizeof ev);
    }

    // The answer to a get-feature request for `id`: [id, payload...].
    void SetFeatureAnswer(uint8_t id, Bytes answer) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_features[id] = std::move(answer);
    }
    Bytes FeatureSetByHost(uint8_t id) {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto it = m_setFeatures.find(id);
        return it == m_setFeatures.end() ? Bytes{} : it->second;
    }
    std::vector<Bytes> TakeOutputs() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return std::move(m_outputs);
    }
    size_t OutputCount() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_outputs.size();
    }

private:
    void Serve() {
        while (!m_stop) {
            pollfd p{m_fd, POLLIN, 0};
            if (poll(&p, 1, 20) <= 0) {
                continue;
            }
            uhid_event ev{};
            if (read(m_fd, &ev, sizeof ev) <= 0) {
                continue;
            }
            switch (ev.type) {
            case UHID_START:
                m_started = true;
                break;
            case UHID_OUTPUT: {
                std::lock_guard<std::mutex> lock(m_mutex);
                const uint8_t* data = &ev.u.output.data[0];
                m_outputs.emplace_back(data, data + ev.u.output.size);
                break;
            }
            case UHID_GET_REPORT: {
                uhid_event reply{};
                reply.type = UHID_GET_REPORT_REPLY;
                reply.u.get_report_reply.id = ev.u.get_report.id;
                {
                    std::lock_guard<std::mutex> lock(m_mutex);
                    auto it = m_features.find(ev.u.get_report.rnum);
                    if (it == m_features.end()) {
                        reply.u.get_report_reply.err = EIO;
                    } else {
                        reply.u.get_report_reply.size = uint16_t(it->second.size());
                        std::memcpy(reply.u.get_report_reply.data, it->second.data(),
                                    it->second.size());
                    }
                }
                (void)!write(m_fd, &reply, sizeof reply);
                break;
            }
            case UHID_SET_REPORT: {
                {
                    std::lock_guard<std::mutex> lock(m_mutex);
                    const auto& r = ev.u.set_report;
                    const uint8_t* data = &r.data[0];
                    m_setFeatures[r.rnum] = Bytes(data, data + r.size);
                    // A reader keeps what was set and reports it back.
                    m_features[r.rnum] = Bytes(data, data + r.size);
                }
                uhid_event reply{};
                reply.type = UHID_SET_REPORT_REPLY;
                reply.u.set_report_reply.id = ev.u.set_report.id;
                (void)!write(m_fd, &reply, sizeof reply);
                break;
            }
            default:
                break;
            }
        }
    }

    std::string m_name, m_uniq;
    uint16_t m_vendor, m_product, m_version;
    Bytes m_descriptor;
    int m_fd = -1;
    std::thread m_thread;
    std::atomic<bool> m_started{false};
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    std::vector<Bytes> m_outputs;
    std::map<uint8_t, Bytes> m_features;
    std::map<uint8_t, Bytes> m_setFeatures;
};

const CHidInterfaceInfo* FindInterface(const std::vector<CHidInterfaceInfo>& all, uint16_t vendor,
                                       uint16_t product) {
    for (const auto& i : all) {
        if (i.attributes.vendorId == vendor && i.attributes.productId == product) {
            return &i;
        }
    }
    return nullptr;
}

void CheckEnumeration(CHidPlatform& platform) {
    std::vector<CHidInterfaceInfo> all;
    int error = 0;
    Check(platform.EnumerateInterfaces(all, error), "hidraw interfaces enumerate (errno %d)",
          error);
    const CHidInterfaceInfo* hidPos = FindInterface(all, 0x1209, 0x0001);
    const CHidInterfaceInfo* surePos = FindInterface(all, 0x1209, 0x0002);
    const CHidInterfaceInfo* sio = FindInterface(all, 0x1209, 0x0003);
    Check(hidPos && surePos && sio, "all three virtual readers are found by vendor/product id");
    if (!hidPos || !surePos || !sio) {
        return;
    }
    Check(hidPos->product == "Kernel Hid Pos" && hidPos->serial == "KHP-0001",
          "product and serial from the HID device's name and uniq (\"%s\", \"%s\")",
          hidPos->product.c_str(), hidPos->serial.c_str());
    // Only a USB parent has a version number (bcdDevice); uhid devices have none.
    Check(hidPos->attributes.versionNumber == 0, "no version number without a USB parent (0x%04x)",
          hidPos->attributes.versionNumber);
    Check(hidPos->interfaceNumber.empty(), "no interface number without a USB parent");
    Check(hidPos->caps.usagePage == 0x008C && hidPos->caps.usage == 0x0002,
          "Hid Pos caps 0x%04X:0x%04X", hidPos->caps.usagePage, hidPos->caps.usage);
    Check(hidPos->caps.inputReportByteLength == 64 && hidPos->caps.outputReportByteLength == 64 &&
              hidPos->caps.featureReportByteLength == 2,
          "Hid Pos lengths %u/%u/%u", hidPos->caps.inputReportByteLength,
          hidPos->caps.outputReportByteLength, hidPos->caps.featureReportByteLength);
    Check(surePos->caps.usagePage == 0xFF45 && surePos->caps.usage == 0x4B00 &&
              surePos->caps.inputReportByteLength == 65 &&
              surePos->caps.outputReportByteLength == 12,
          "SurePos caps 0x%04X:0x%04X lengths %u/%u", surePos->caps.usagePage, surePos->caps.usage,
          surePos->caps.inputReportByteLength, surePos->caps.outputReportByteLength);
    Check(sio->caps.usage == 0x6400 && sio->caps.outputReportByteLength == 252 &&
              sio->caps.featureReportByteLength == 250,
          "SurePos Sio caps usage 0x%04X lengths out %u feature %u", sio->caps.usage,
          sio->caps.outputReportByteLength, sio->caps.featureReportByteLength);

    CQueuedPoster poster;
    CReaderPort port(platform, poster);
    CPlainDeviceList list;
    port.Enumerate(&list, "Kernel SurePos", true);
    Check(list.GetCount() >= 3, "the listing rule lists the virtual readers (%d items)",
          list.GetCount());
    Check(list.GetCurrentText() == "Kernel SurePos - KSP-0002",
          "display name selected by prefix: \"%s\"", list.GetCurrentText().c_str());
}

void CheckHidPos(CHidPlatform& platform, CVirtualReader& reader, const std::string& path) {
    CGuestSession<CHidPosDevice> session(platform, path, "Hid Pos");
    if (!session.device) {
        return;
    }
    CQueuedPoster& poster = session.poster;
    CReaderPort& port = session.port;
    CDisplaySettings& settings = session.settings;
    CRecordingSink& sink = session.sink;
    CHidPosDevice& device = *session.device;
    settings.m_showSymbology = 1;

    Bytes scan(64, 0);
    const char label[] = "4006381333931";
    scan[0] = 0x02;
    scan[1] = uint8_t(sizeof label - 1);
    scan[2] = ']';
    scan[3] = 'E';
    scan[4] = '0';
    std::memcpy(&scan[5], label, sizeof label - 1);
    reader.SendInput(scan);
    CHidMessage message;
    const bool got = NextReport(poster, port, message, 2000);
    Check(got && message.report.size() == 64 && message.report[0] == 0x02,
          "a numbered report is read whole with byte 0 = report id (%zu bytes)",
          message.report.size());
    if (got) {
        device.OnReport(message.report.data(), message.report.size());
        Check(sink.Text().find(std::string(label)) != std::string::npos,
              "the Hid Pos device decodes the scan: \"%s\"", sink.Text().c_str());
    }

    reader.TakeOutputs();
    device.TriggerOn();
    const uint8_t framed[] = {'A', 'B', 'C'};
    device.SendData(framed, sizeof framed);
    WaitFor([&] { return reader.OutputCount() >= 2; }, 2000);
    const auto outputs = reader.TakeOutputs();
    Check(outputs.size() == 2, "two output reports reach the reader (%zu)", outputs.size());
    if (outputs.size() == 2) {
        Check(outputs[0].size() == 64 && outputs[0][0] == 0x04,
              "the trigger command is report 0x04, padded to 64 bytes (%zu bytes, id %02X)",
              outputs[0].size(), outputs[0][0]);
        Check(outputs[1].size() == 64 && outputs[1][0] == 0xFD && outputs[1][1] == 3 &&
                  outputs[1][2] == 'A' && outputs[1][4] == 'C' && outputs[1][5] == 0,
              "framed data is report 0xFD with its length, padded with zeros");
    }
    Check(session.notifier.messages.empty(), "no write failed");

    Check(device.RedirectToInterface(1) == 1,
          "the redirect feature report 0xFE is set and read back");
    const Bytes set = reader.FeatureSetByHost(0xFE);
    Check(set.size() == 2 && set[0] == 0xFE && set[1] == 0x01,
          "the reader received feature 0xFE = 01 (%zu bytes)", set.size());
    port.Close();
}

void CheckSurePos(CHidPlatform& platform, CVirtualReader& reader, const std::string& path) {
    CGuestSession<CSurePosDevice> session(platform, path, "SurePos");
    if (!session.device) {
        return;
    }
    CQueuedPoster& poster = session.poster;
    CReaderPort& port = session.port;
    CDisplaySettings& settings = session.settings;
    CRecordingSink& sink = session.sink;
    CSurePosDevice& device = *session.device;
    settings.m_showSymbology = 1;

    Bytes message(64, 0);
    const char label[] = "012345678905";
    // n counts the label and its type byte; the zero byte after them is not counted.
    const size_t n = 4 + (sizeof label - 1) + 1;
    message[0] = uint8_t(n);
    std::memcpy(&message[4], label, sizeof label - 1);
    message[4 + sizeof label - 1] = 0x0D; // UPC-A, then the zero byte
    reader.SendInput(message);
    CHidMessage report;
    const bool got = NextReport(poster, port, report, 2000);
    Check(got && report.report.size() == 65 && report.report[0] == 0x00 && report.report[1] == n,
          "an unnumbered report gets 0x00 prepended: %zu bytes", report.report.size());
    if (got) {
        device.OnReport(report.report.data(), report.report.size());
        Check(sink.Text() == std::string(label) + " - UPC-A\r\n", "decoded as \"%s\"",
              sink.Text().c_str());
    }

    reader.TakeOutputs();
    device.Enable();
    WaitFor([&] { return reader.OutputCount() >= 1; }, 2000);
    const auto outputs = reader.TakeOutputs();
    Check(outputs.size() == 1 && outputs[0].size() == 12 && outputs[0][0] == 0x00 &&
              outputs[0][1] == 0x11,
          "Enable reaches the reader as 12 bytes 00 11 00 ... (uhid keeps the 0x00)");
    port.Close();
}

void CheckSurePosSio(CHidPlatform& platform, CVirtualReader& reader, const std::string& path) {
    CGuestSession<CSurePosSioDevice> session(platform, path, "SurePos Sio");
    if (!session.device) {
        return;
    }
    CQueuedPoster& poster = session.poster;
    CReaderPort& port = session.port;
    CRecordingSink& sink = session.sink;
    CSurePosSioDevice& device = *session.device;

    Bytes contents(250, 0);
    const char label[] = "SIO-LABEL-42";
    contents[1] = uint8_t(2 + sizeof label - 1);
    std::memcpy(&contents[3], label, sizeof label - 1);
    reader.SetFeatureAnswer(0x00, contents);
    sink.Clear();
    device.GetContents();
    Check(sink.Text() == std::string(label) + "\r\n",
          "the contents feature report is read and shown: \"%s\"", sink.Text().c_str());

    reader.TakeOutputs();
    device.Test();
    WaitFor([&] { return reader.OutputCount() >= 1; }, 2000);
    const auto outputs = reader.TakeOutputs();
    bool filler = outputs.size() == 1 && outputs[0].size() == 252;
    for (size_t i = 5; filler && i < 252; ++i) {
        filler = outputs[0][i] == uint8_t(i);
    }
    Check(filler && outputs[0][4] == 0x10,
          "Test reaches the reader as 252 bytes with the offset filler");

    // Unplugging during a pending read: exactly one "device not connected", then nothing.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    reader.Destroy();
    int errors = 0;
    int others = 0;
    CHidMessage message;
    int code = 0;
    while (poster.WaitForMessage(message, 500)) {
        if (message.messageId == port.MessageBase() + 1) {
            ++errors;
            code = message.errorCode;
        } else {
            ++others;
        }
    }
    Check(errors == 1 && code == ENODEV && others == 0,
          "unplug gives exactly one ENODEV error (%d errors, code %d, %d others)", errors, code,
          others);
    port.Close();
}

void MeasureFlood(CHidPlatform& platform, CVirtualReader& reader, const std::string& path) {
    CQueuedPoster poster;
    CReaderPort port(platform, poster);
    if (!port.Open(path, 0x07E8)) {
        Check(false, "the flood reader opens");
        return;
    }
    constexpr int kSent = 10000;
    Bytes scan(64, 0);
    scan[0] = 0x02;
    const auto start = Clock::now();
    for (int i = 0; i < kSent; ++i) {
        scan[5] = uint8_t(i);
        scan[6] = uint8_t(i >> 8);
        reader.SendInput(scan);
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::vector<CHidMessage> received;
    while (poster.TakeAll(received, 500) > 0) {
    }
    bool ordered = true;
    int last = -1;
    for (const auto& m : received) {
        if (m.report.size() < 7) {
            continue;
        }
        const int sequence = m.report[5] | (m.report[6] << 8);
        ordered = ordered && sequence > last;
        last = sequence;
    }
    guest::Info("FLOOD sent=%d in %.3f s, received=%zu (%.1f%%), in order=%s", kSent, seconds,
                received.size(), 100.0 * double(received.size()) / kSent, ordered ? "yes" : "no");
    Check(!received.empty() && ordered, "flood reports arrive in order");
    port.Close();
}

// A boot keyboard's input report: modifiers, reserved, six key usages.
Bytes KeyboardReport(uint8_t usage) {
    Bytes report(8, 0);
    report[2] = usage;
    return report;
}

// Types `usages` (keyboard page) one key at a time: press, then release.
void Type(CVirtualReader& keyboard, const Bytes& usages) {
    for (const uint8_t usage : usages) {
        keyboard.SendInput(KeyboardReport(usage));
        keyboard.SendInput(KeyboardReport(0));
    }
}

// Keyboard-page usages: y, z, 1, 2, Enter; x.
const Bytes kYz12Enter = {0x1C, 0x1D, 0x1E, 0x1F, 0x28};
constexpr uint8_t kUsageX = 0x1B;

// Hands every key report that comes within `quietMs` of the last to the device; the count.
int Decode(CGuestSession<CKeyboardDevice>& session, int quietMs) {
    int reports = 0;
    CHidMessage message;
    while (NextReport(session.poster, session.port, message, quietMs)) {
        session.device->OnReport(message.report.data(), message.report.size());
        ++reports;
    }
    return reports;
}

// The key presses another program reading the event node gets within `timeoutMs`.
int PressesSeen(CHidConnection& other, int timeoutMs) {
    int presses = 0;
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Clock::now() < end) {
        pollfd p{other.PollFd(), POLLIN, 0};
        if (poll(&p, 1, 50) <= 0) {
            continue;
        }
        uint8_t report[kKeyReportLength];
        int error = 0;
        CKeyEvent event;
        while (other.ReadReport(report, sizeof report, error) == long(sizeof report)) {
            if (DecodeKeyEvent(report + 1, sizeof report - 1, event) &&
                event.value == CKeyValue::Press && event.code == KEY_X) {
                ++presses;
            }
        }
    }
    return presses;
}

void CheckKeyboardModeReader(CHidPlatform& platform) {
    const Bytes descriptor = guest::ReadHexFile("/descriptors/keyboard-0001-0006.hex");
    CVirtualReader reader("Acme Barcode Scanner", "ABS-0042", 0x1234, 0x5678, 0x0100, descriptor);
    CVirtualReader keyboard("USB Keyboard", "KBD-7", 0x1234, 0x5679, 0x0100, descriptor);
    Check(reader.Create() && keyboard.Create(), "uhid keyboards created");

    std::vector<CHidInterfaceInfo> all;
    const CHidInterfaceInfo* info = nullptr;
    WaitFor(
        [&] {
            int error = 0;
            all.clear();
            platform.EnumerateInterfaces(all, error);
            info = FindInterface(all, 0x1234, 0x5678);
            const CHidInterfaceInfo* other = FindInterface(all, 0x1234, 0x5679);
            return info && info->keyReports && other && other->keyReports;
        },
        3000);
    Check(info && info->keyReports && info->path.rfind("/dev/input/event", 0) == 0,
          "the reader's keyboard interface is read from its event node (\"%s\")",
          info ? info->path.c_str() : "");
    if (!info || !info->keyReports) {
        return;
    }
    const std::string path = info->path;

    CQueuedPoster poster;
    CReaderPort lister(platform, poster);
    CPlainDeviceList list;
    lister.Enumerate(&list, "Acme", true);
    bool ordinaryListed = false;
    for (const std::string& item : list.Items()) {
        ordinaryListed = ordinaryListed || item.find("USB Keyboard") != std::string::npos;
    }
    Check(list.GetCurrentText() == "Acme Barcode Scanner - Keyboard mode - ABS-0042",
          "the reader is listed in keyboard mode: \"%s\"", list.GetCurrentText().c_str());
    Check(!ordinaryListed, "the keyboard named \"USB Keyboard\" is not listed (%d items)",
          list.GetCount());

    CGuestSession<CKeyboardDevice> session(platform, path, "the keyboard-mode reader");
    if (!session.device) {
        return;
    }
    CKeyboardDevice& device = *session.device;
    // Emulation is slow: the labels end at Enter only.
    device.SetPauseMs(0);
    Check(device.SetLayout("us"), "the \"us\" layout is made from the guest's xkb data");
    Type(reader, kYz12Enter);
    const int keys = Decode(session, 500);
    Check(keys == 10 && session.sink.Text().rfind("yz12", 0) == 0 &&
              session.sink.Text().find("5 keys") != std::string::npos,
          "the label typed under us reads \"yz12\" (%d key reports): \"%s\"", keys,
          session.sink.Text().c_str());

    session.sink.Clear();
    Check(device.SetLayout("de"), "the \"de\" layout is made from the guest's xkb data");
    Type(reader, kYz12Enter);
    Decode(session, 500);
    Check(session.sink.Text().rfind("zy12", 0) == 0 &&
              session.sink.Text().find("typed as \"zy12\" under de, as \"yz12\" under us") !=
                  std::string::npos,
          "the same keys under de read \"zy12\", and the line tells both: \"%s\"",
          session.sink.Text().c_str());

    int error = 0;
    std::unique_ptr<CHidConnection> other = platform.Open(path, error);
    Check(other != nullptr, "a second reader opens the event node (errno %d)", error);
    if (!other) {
        return;
    }
    Check(device.SetGrab(true) == 1 && device.IsGrabbed(), "the reader is grabbed (errno %d)",
          session.port.LastError());
    Type(reader, {kUsageX});
    int grabbedKeys = Decode(session, 500);
    const int seenWhileGrabbed = PressesSeen(*other, 300);
    Check(grabbedKeys == 2 && seenWhileGrabbed == 0,
          "while grabbed the port reads the keys (%d reports) and the second reader none (%d)",
          grabbedKeys, seenWhileGrabbed);
    session.device.reset();
    session.port.Close();
    Type(reader, {kUsageX});
    const int seenAfterClose = PressesSeen(*other, 1000);
    Check(seenAfterClose == 1, "after close the second reader sees the keys again (%d presses)",
          seenAfterClose);
}

} // namespace

int main() {
    guest::MountSystem();
    unsetenv("VANTREL_SIMULATE");

    for (const char* module :
         {"/modules/evdev.ko", "/modules/hid.ko", "/modules/hid-generic.ko", "/modules/uhid.ko"}) {
        Check(guest::LoadModule(module), "load %s", module);
    }

    const Bytes hidPosDescriptor = guest::ReadHexFile("/descriptors/hidpos-8c-0002.hex");
    const Bytes surePosDescriptor = guest::ReadHexFile("/descriptors/ff45-4b00-handheld.hex");
    CVirtualReader hidPos("Kernel Hid Pos", "KHP-0001", 0x1209, 0x0001, 0x0107, hidPosDescriptor);
    CVirtualReader surePos("Kernel SurePos", "KSP-0002", 0x1209, 0x0002, 0x0200, surePosDescriptor);
    CVirtualReader sio("Kernel Sio", "KSIO-3", 0x1209, 0x0003, 0x0300, kSioDescriptor);
    Check(hidPos.Create() && surePos.Create() && sio.Create(), "uhid readers created");
    hidPos.SetFeatureAnswer(0xFE, {0xFE, 0x00});
    WaitFor([] { return access("/dev/hidraw2", F_OK) == 0; }, 3000);

    const std::unique_ptr<CHidPlatform> platform = CreateHidPlatform();
    CheckEnumeration(*platform);

    std::vector<CHidInterfaceInfo> all;
    int error = 0;
    platform->EnumerateInterfaces(all, error);
    const CHidInterfaceInfo* hidPosInfo = FindInterface(all, 0x1209, 0x0001);
    const CHidInterfaceInfo* surePosInfo = FindInterface(all, 0x1209, 0x0002);
    const CHidInterfaceInfo* sioInfo = FindInterface(all, 0x1209, 0x0003);
    if (hidPosInfo && surePosInfo && sioInfo) {
        const std::string hidPosPath = hidPosInfo->path;
        CheckHidPos(*platform, hidPos, hidPosPath);
        CheckSurePos(*platform, surePos, surePosInfo->path);
        CheckSurePosSio(*platform, sio, sioInfo->path);
        MeasureFlood(*platform, hidPos, hidPosPath);
    }
    hidPos.Destroy();
    surePos.Destroy();
    CheckKeyboardModeReader(*platform);
    guest::Finish();
}
