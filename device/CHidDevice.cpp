// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "device/CHidDevice.h"

#include "device/CHidPort.h"
#include "device/CNotifier.h"
#include "output/COutputSink.h"

#include <cerrno>
#include <vector>

namespace {

const char kWriteFailedText[] = "Data could not be written to the device";

// Value of a hexadecimal digit, or -1.
int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool IsOctalDigit(char c) {
    return c >= '0' && c <= '7';
}

// The single-character escapes; any other character after a backslash gives a backslash.
struct CSimpleEscape {
    char letter;
    uint8_t value;
};

constexpr CSimpleEscape kSimpleEscapes[] = {
    {'r', 0x0D}, {'n', 0x0A}, {'t', 0x09}, {'v', 0x0B}, {'a', 0x07}, {'\\', 0x5C},
};

} // namespace

CHidDevice::CHidDevice(CHidPort& port, COutputSink& output, CDisplaySettings& settings,
                       CNotifier& notifier)
    : m_port(port), m_output(output), m_settings(settings), m_notifier(notifier) {}

CHidDevice::~CHidDevice() {
    m_settings.Save();
}

int32_t CHidDevice::SendString(const std::string& text) {
    std::vector<uint8_t> buffer(text.size() + 10);
    size_t produced = text.size();
    UnescapeText(text, buffer.data(), produced);
    SendData(buffer.data(), produced);
    return 1;
}

int32_t CHidDevice::SetBeeper(int) {
    return 1;
}

int32_t CHidDevice::GetContents() {
    return 1;
}

void CHidDevice::LoadSettings(const std::string& section) {
    m_settings.Load(section);
}

void CHidDevice::SaveSettings() {
    m_settings.Save();
}

int32_t CHidDevice::OnReport(const uint8_t*, size_t) {
    return 1;
}

int32_t CHidDevice::OnReportAt(const uint8_t* report, size_t length, Clock::time_point readTime) {
    if (HasOpenLabel() && readTime > m_lastReportTime + kOpenLabelWait) {
        CloseOpenLabel();
    }
    m_lastReportTime = readTime;
    return OnReport(report, length);
}

CHidDevice::Clock::time_point CHidDevice::OpenLabelDeadline() const {
    return HasOpenLabel() ? m_lastReportTime + kOpenLabelWait : Clock::time_point::max();
}

void CHidDevice::CloseOpenLabel() {}

bool CHidDevice::HasOpenLabel() const {
    return false;
}

void CHidDevice::SuggestCompleteDecoding(const std::string& why) {
    if (!m_suggested) {
        m_suggested = true;
        m_notifier.SuggestCompleteDecoding(why);
    }
}

void CHidDevice::ShowOutData(const uint8_t* data, size_t length, int endLine) {
    m_output.AppendHex(data, length, OutputRole::Out, false);
    if (endLine) {
        m_output.AppendNewLine();
    }
}

void CHidDevice::ShowRawPrefix(const uint8_t* data, size_t length) {
    ShowHex(data, length, false);
    ShowString(" - ", OutputRole::Default, false);
}

void CHidDevice::ShowText(const uint8_t* data, size_t length, OutputRole role, bool bold) {
    m_output.AppendMixed(data, length, role, bold);
}

void CHidDevice::ShowHex(const uint8_t* data, size_t length, bool bold) {
    m_output.AppendHex(data, length, OutputRole::Hex, bold);
}

void CHidDevice::ShowString(const std::string& text, OutputRole role, bool bold) {
    m_output.AppendText(text, role, bold);
}

void CHidDevice::ShowLabel(const uint8_t* data, size_t length) {
    ShowText(data, length, OutputRole::Label, true);
}

void CHidDevice::ShowSymbology(const std::string& name) {
    if (!name.empty()) {
        ShowString(" - ", OutputRole::Default, false);
        ShowString(name, OutputRole::Symbology, false);
        ShowString("\r\n", OutputRole::Default, false);
    } else {
        m_output.AppendNewLine();
    }
    m_output.ScrollToEnd();
}

bool CHidDevice::WriteReport(const uint8_t* data, size_t length) {
    if (!m_port.IsOpen()) {
        return false;
    }
    const bool written = m_port.Write(data, length);
    // The echo comes first, so the user sees what failed before the message.
    if (m_settings.m_showOutput) {
        ShowOutData(data, length, 1);
    }
    if (!written) {
        m_notifier.ShowMessage(kWriteFailedText);
    }
    return written;
}

bool CHidDevice::WriteFramed(const uint8_t* payload, size_t payloadLength, const uint8_t* header,
                             size_t headerLength) {
    if (!m_port.IsOpen()) {
        return false;
    }
    const bool written = m_port.WriteWithHeader(payload, payloadLength, header, headerLength);
    if (m_settings.m_showOutput) {
        ShowOutData(header, headerLength, 0);
        ShowOutData(payload, payloadLength, 1);
    }
    if (!written && m_port.LastError() == EMSGSIZE) {
        // Too long for one report: the user is told how long it may be.
        const size_t reportLength = m_port.GetCaps().outputReportByteLength;
        const size_t room = reportLength > headerLength ? reportLength - headerLength : 0;
        m_notifier.ShowMessage(std::string(kWriteFailedText) + "\n\nThe data is " +
                               std::to_string(payloadLength) +
                               " bytes long with its escapes resolved; this reader takes at most " +
                               std::to_string(room) + " bytes at a time.");
    } else if (!written) {
        m_notifier.ShowMessage(kWriteFailedText);
    }
    return written;
}

bool CHidDevice::UnescapeText(const std::string& text, uint8_t* output, size_t& capacity) {
    const size_t length = text.size();
    if (capacity < length) {
        capacity = length;
        return false;
    }
    size_t produced = 0;
    size_t i = 0;
    while (i < length) {
        const char c = text[i];
        if (c != '\\') {
            output[produced++] = uint8_t(c);
            ++i;
            continue;
        }
        if (i + 1 == length) {
            // A trailing backslash stands for itself.
            output[produced++] = 0x5C;
            break;
        }
        const char next = text[i + 1];
        // The numeric forms need three characters after the backslash and always take four.
        const bool numericRoom = length - i - 1 >= 3;
        if (next == 'x' || IsOctalDigit(next)) {
            int value = -1;
            if (numericRoom && next == 'x') {
                const int high = HexDigit(text[i + 2]);
                if (high >= 0) {
                    const int low = HexDigit(text[i + 3]);
                    value = low >= 0 ? high * 16 + low : high;
                }
            } else if (numericRoom) {
                value = 0;
                for (size_t k = i + 1; k < i + 4 && IsOctalDigit(text[k]); ++k) {
                    value = value * 8 + (text[k] - '0');
                }
                value &= 0xFF;
            }
            if (value >= 0) {
                output[produced++] = uint8_t(value);
                i += 4;
            } else {
                output[produced++] = kUndecodableEscapeByte;
                i += 2;
            }
            continue;
        }
        uint8_t value = 0x5C;
        for (const CSimpleEscape& escape : kSimpleEscapes) {
            if (escape.letter == next) {
                value = escape.value;
            }
        }
        output[produced++] = value;
        i += 2;
    }
    // The terminating zero is written only where the caller gave room for it.
    if (produced < capacity) {
        output[produced] = 0;
    }
    capacity = produced;
    return true;
}
