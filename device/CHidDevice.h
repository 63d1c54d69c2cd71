// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "device/DeviceType.h"
#include "output/COutputSink.h"
#include "settings/CDisplaySettings.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

class CHidPort;
class CNotifier;

// How the device types decode labels: as the reader types are specified (the default, unchanged),
// or completely (labels over several reports joined, every symbology identifier named, labels
// bounded by their length and type instead of a zero byte).
enum class Decoding : uint8_t { Specified, Complete };

// The opened reader: turns input reports into output lines of labels, names and bytes and panel
// commands into output or feature reports. One subclass per interface type. Results are flags (1 =
// done).
class CHidDevice {
public:
    CHidDevice(CHidPort& port, COutputSink& output, CDisplaySettings& settings,
               CNotifier& notifier);
    // Stores the display settings; subclasses store their own keys first.
    virtual ~CHidDevice();
    CHidDevice(const CHidDevice&) = delete;
    CHidDevice& operator=(const CHidDevice&) = delete;

    virtual DeviceType Type() const = 0;

    // Commands, in the order of the panels' use.
    virtual int32_t RedirectToInterface(int interfaceNumber) = 0;
    virtual int32_t TriggerOn() = 0;
    virtual int32_t TriggerOff() = 0;
    virtual int32_t Disable() = 0;
    virtual int32_t Enable() = 0;
    virtual int32_t Beep() = 0;
    virtual int32_t ErrorBeep() = 0;
    virtual int32_t SendData(const uint8_t* data, size_t length) = 0;
    virtual int32_t SendString(const std::string& text);
    virtual int32_t SetBeeper(int on);
    virtual int32_t GetContents();
    virtual void LoadSettings(const std::string& section);
    virtual void SaveSettings();

    // Input.
    virtual int32_t OnReport(const uint8_t* report, size_t length);
    virtual int32_t DecodeReport(const uint8_t* body, size_t length) = 0;

    using Clock = std::chrono::steady_clock;
    // How long a label that a report said goes on waits for its next report.
    static constexpr std::chrono::milliseconds kOpenLabelWait{100};

    void SetDecoding(Decoding decoding) { m_decoding = decoding; }
    Decoding GetDecoding() const { return m_decoding; }

    // A report with the time it was read: a label left open whose wait ran out before this
    // report is shown first, so that a late report never joins it.
    int32_t OnReportAt(const uint8_t* report, size_t length, Clock::time_point readTime);
    // When the wait of the open label ends, Clock::time_point::max() when none is open. The
    // owner calls CloseOpenLabel then, and before it closes the reader or the output.
    Clock::time_point OpenLabelDeadline() const;
    // Shows the open label with what arrived; nothing when none is open.
    virtual void CloseOpenLabel();

    // Output primitives; composite ones call the simple ones through these slots.
    virtual void ShowOutData(const uint8_t* data, size_t length, int endLine);
    virtual void ShowRawPrefix(const uint8_t* data, size_t length);
    virtual void ShowText(const uint8_t* data, size_t length, OutputRole role, bool bold);
    virtual void ShowHex(const uint8_t* data, size_t length, bool bold);
    virtual void ShowString(const std::string& text, OutputRole role, bool bold);
    virtual void ShowLabel(const uint8_t* data, size_t length);
    virtual void ShowSymbology(const std::string& name);

    // Decodes the escapes of a typed text. `capacity` in: room in `output`; out: bytes produced
    // (or the text length when the room was too small, with false).
    static bool UnescapeText(const std::string& text, uint8_t* output, size_t& capacity);

    // The byte that an undecodable \x or octal escape produces (too few characters after the
    // backslash, or no hexadecimal digit after the x): a backslash, as for every other escape
    // that means nothing, so the typed text stays recognisable in the sent bytes.
    static constexpr uint8_t kUndecodableEscapeByte = 0x5C;

protected:
    bool WriteReport(const uint8_t* data, size_t length);
    bool WriteFramed(const uint8_t* payload, size_t payloadLength, const uint8_t* header,
                     size_t headerLength);
    virtual bool HasOpenLabel() const;
    // Tells the user once per reader that complete decoding would show more (the specified
    // output stays as it is).
    void SuggestCompleteDecoding(const std::string& why);

    CHidPort& m_port;
    COutputSink& m_output;
    CDisplaySettings& m_settings;
    CNotifier& m_notifier;
    Decoding m_decoding = Decoding::Specified;

private:
    Clock::time_point m_lastReportTime;
    bool m_suggested = false;
};
