#include "sim/CSimQuorinFirmware.h"

#include <algorithm>
#include <iterator>

namespace {

constexpr char kSyn = 0x16;
constexpr char kCr = 0x0D;
constexpr char kBel = 0x07;
constexpr char kAck = 0x06;
constexpr char kNak = 0x15;
constexpr char kEnq = 0x05;
// Unterminated commands are dropped beyond this, so a stream of garbage cannot grow the buffer.
constexpr size_t kMaxPending = 512;

// Each trigger scans the next label; the stream carries no symbology identifier.
constexpr const char* kLabels[] = {"5901234123457", "QUORIN STREAM 01", "96385074",
                                   "Serial data 4711"};

struct CMenuSetting {
    const char* tag;
    const char* value;
};

// The settings a menu query can read.
constexpr CMenuSetting kMenuSettings[] = {
    {"TERMID", "130"},
    {"BEPLVL", "2"},
    {"TRGMOD", "0"},
};

} // namespace

void CSimQuorinFirmware::OnOutputReport(const uint8_t* data, size_t length,
                                        CSimFirmwareHost& host) {
    if (length < 3 || data[1] != kStreamMarker)
        return;
    const size_t count = std::min<size_t>(data[2], length - 3);
    m_pending.append(reinterpret_cast<const char*>(data + 3), count);
    RunCommands(host);
    if (m_pending.size() > kMaxPending)
        m_pending.clear();
}

void CSimQuorinFirmware::RunCommands(CSimFirmwareHost& host) {
    for (;;) {
        const size_t syn = m_pending.find(kSyn);
        if (syn == std::string::npos) {
            m_pending.clear();
            return;
        }
        m_pending.erase(0, syn);
        if (m_pending.size() >= 3 && m_pending[1] == 'M' && m_pending[2] == kCr) {
            const size_t end = m_pending.find_first_of(".!", 3);
            if (end == std::string::npos)
                return;
            AnswerMenu(m_pending.substr(3, end - 3), host);
            m_pending.erase(0, end + 1);
            continue;
        }
        const size_t cr = m_pending.find(kCr, 1);
        if (cr == std::string::npos)
            return;
        const std::string command = m_pending.substr(1, cr - 1);
        m_pending.erase(0, cr + 1);
        if (command == "T")
            m_scan.Request();
        else if (command == "U")
            m_scan.Cancel();
        else if (command == std::string(1, kBel))
            ++m_beeps;
    }
}

void CSimQuorinFirmware::AnswerMenu(const std::string& menu, CSimFirmwareHost& host) {
    // A query is a tag followed by '?'; anything else is a setting, acknowledged as it is.
    std::string reply;
    if (!menu.empty() && menu.back() == '?') {
        const std::string tag = menu.substr(0, menu.size() - 1);
        const auto setting = std::find_if(std::begin(kMenuSettings), std::end(kMenuSettings),
                                          [&](const CMenuSetting& s) { return tag == s.tag; });
        if (setting != std::end(kMenuSettings))
            reply = tag + setting->value + kAck;
        else
            reply = tag + kEnq;
    } else {
        reply = menu + (menu.empty() ? kNak : kAck);
    }
    SendStream(reply + '.', host);
}

bool CSimQuorinFirmware::OnSetFeature(const uint8_t*, size_t) {
    return false;
}

bool CSimQuorinFirmware::OnGetFeature(uint8_t*, size_t) {
    return false;
}

void CSimQuorinFirmware::OnTick(std::chrono::steady_clock::time_point now, CSimFirmwareHost& host) {
    if (!m_scan.IsDue(now))
        return;
    SendStream(kLabels[m_nextLabel], host);
    m_nextLabel = (m_nextLabel + 1) % std::size(kLabels);
}

void CSimQuorinFirmware::SendStream(const std::string& bytes, CSimFirmwareHost& host) {
    for (size_t offset = 0; offset < bytes.size(); offset += kChunkLength) {
        const size_t count = std::min(kChunkLength, bytes.size() - offset);
        std::vector<uint8_t> report(3 + count);
        report[1] = kChannel;
        report[2] = uint8_t(count);
        std::copy_n(bytes.begin() + ptrdiff_t(offset), count, report.begin() + 3);
        host.SendInputReport(report);
    }
}
