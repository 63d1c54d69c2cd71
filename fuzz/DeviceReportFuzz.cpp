// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

// Random input reports into the four device types. Byte 0 picks the type (unless the
// environment variable VANTREL_FUZZ_TYPE fixes it to quorin, hidpos, surepos or sio), byte 1 the
// display and device flags; the rest is the report. The port is closed, so writes do nothing.
#include "device/CHidPosDevice.h"
#include "device/CMessagePoster.h"
#include "device/CNotifier.h"
#include "device/CQuorinDevice.h"
#include "device/CSurePosDevice.h"
#include "device/CSurePosSioDevice.h"
#include "settings/CDisplaySettings.h"
#include "support/CClosedPort.h"
#include "support/CRecordingSink.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

int g_fixedType = -1;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    static const char* const kTypes[] = {"quorin", "hidpos", "surepos", "sio"};
    if (const char* type = std::getenv("VANTREL_FUZZ_TYPE")) {
        for (int i = 0; i < 4; ++i) {
            if (std::strcmp(type, kTypes[i]) == 0) {
                g_fixedType = i;
            }
        }
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CClosedPort closed;
    CHidPort& port = closed.Port();
    CNotifier& notifier = closed.Notifier();
    static CRecordingSink sink;

    const size_t header = g_fixedType >= 0 ? 1 : 2;
    if (size < header) {
        return 0;
    }
    const int type = g_fixedType >= 0 ? g_fixedType : data[0] % 4;
    const uint8_t flags = data[header - 1];
    // An exact copy, so any read past the report is caught.
    std::vector<uint8_t> report(data + header, data + size);

    CDisplaySettings settings;
    settings.m_showRaw = flags & 0x01;
    settings.m_showSymbology = (flags >> 1) & 0x01;
    settings.m_showOutput = (flags >> 2) & 0x01;
    sink.Clear();

    switch (type) {
    case 0: {
        CQuorinDevice device(port, sink, settings, notifier);
        device.OnReport(report.data(), report.size());
        break;
    }
    case 1: {
        CHidPosDevice device(port, sink, settings, notifier);
        device.OnReport(report.data(), report.size());
        break;
    }
    case 2: {
        CSurePosDevice device(port, sink, settings, notifier);
        device.SetStressAutoDisable((flags >> 3) & 0x01);
        device.OnReport(report.data(), report.size());
        break;
    }
    default: {
        CSurePosSioDevice device(port, sink, settings, notifier);
        device.SetAutoRead((flags >> 3) & 0x01);
        device.SetRawOnly((flags >> 4) & 0x01);
        device.OnReport(report.data(), report.size());
        // The same bytes as contents of the feature report.
        device.ShowContents(report.data(), report.size());
        break;
    }
    }
    return 0;
}
