// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "cli/SendCommands.h"

#include "device/CHidDevice.h"
#include "device/CSurePosDevice.h"
#include "device/CSurePosSioDevice.h"
#include "device/ReaderTypes.h"

#include <algorithm>
#include <cstring>

namespace {

template <class Device, int32_t (Device::*Operation)()>
int32_t Call(CHidDevice& device, const std::string&) {
    return (static_cast<Device&>(device).*Operation)();
}

int32_t BeeperOn(CHidDevice& device, const std::string&) {
    return device.SetBeeper(1);
}

int32_t BeeperOff(CHidDevice& device, const std::string&) {
    return device.SetBeeper(0);
}

int32_t Redirect(CHidDevice& device, const std::string& argument) {
    return device.RedirectToInterface(argument == "1" ? 1 : 0);
}

int32_t String(CHidDevice& device, const std::string& argument) {
    return device.SendString(argument);
}

using D = CHidDevice;
using S = CSurePosDevice;
using X = CSurePosSioDevice;
constexpr DeviceType kQuorin = DeviceType::Quorin;
constexpr DeviceType kHidPos = DeviceType::HidPos;
constexpr DeviceType kSurePos = DeviceType::SurePos;
constexpr DeviceType kSio = DeviceType::SurePosSio;

} // namespace

bool CSendCommandRow::Has(DeviceType type) const {
    for (DeviceType own : types) {
        if (own == type) {
            return true;
        }
    }
    return false;
}

// Only what a type carries out: a command that its device type accepts and ignores would
// succeed while doing nothing.
const std::vector<CSendCommandRow>& SendCommandTable() {
    static const std::vector<CSendCommandRow> table = {
        {"trigger-on", {kQuorin, kHidPos}, nullptr, &Call<D, &D::TriggerOn>},
        {"trigger-off", {kQuorin, kHidPos}, nullptr, &Call<D, &D::TriggerOff>},
        {"beep", {kQuorin, kHidPos}, nullptr, &Call<D, &D::Beep>},
        {"error-beep", {kQuorin, kHidPos}, nullptr, &Call<D, &D::ErrorBeep>},
        {"enable", {kHidPos, kSurePos}, nullptr, &Call<D, &D::Enable>},
        {"disable", {kHidPos, kSurePos}, nullptr, &Call<D, &D::Disable>},
        {"beeper-on", {kSurePos}, nullptr, &BeeperOn},
        {"beeper-off", {kSurePos}, nullptr, &BeeperOff},
        {"redirect", {kHidPos}, "0|1", &Redirect},
        {"string", {kQuorin, kHidPos, kSio}, "TEXT", &String},
        {"get-contents", {kSio}, nullptr, &Call<D, &D::GetContents>},
        {"test", {kSurePos}, nullptr, &Call<S, &S::Test>},
        {"status-request", {kSurePos}, nullptr, &Call<S, &S::StatusRequest>},
        {"reset", {kSurePos}, nullptr, &Call<S, &S::Reset>},
        {"configure", {kSurePos}, nullptr, &Call<S, &S::Configure>},
        {"report-configuration", {kSurePos}, nullptr, &Call<S, &S::ReportConfiguration>},
        {"2-label-cfg", {kSurePos}, nullptr, &Call<S, &S::TwoLabelConfig>},
        {"report-2-label-cfg", {kSurePos}, nullptr, &Call<S, &S::ReportTwoLabelConfig>},
        {"direct-io-cmd", {kSurePos}, nullptr, &Call<S, &S::DirectIoCommand>},
        {"test", {kSio}, nullptr, &Call<X, &X::Test>},
        {"status-request", {kSio}, nullptr, &Call<X, &X::StatusRequest>},
        {"reset", {kSio}, nullptr, &Call<X, &X::Reset>},
        {"setup", {kSio}, nullptr, &Call<X, &X::Setup>},
        {"channel-control", {kSio}, nullptr, &Call<X, &X::ChannelControl>},
        {"read-status", {kSio}, nullptr, &Call<X, &X::ReadStatus>},
        {"receive-buffer", {kSio}, nullptr, &Call<X, &X::ReceiveBuffer>},
    };
    return table;
}

const CSendCommandRow* FindSendCommand(const std::string& name, DeviceType type) {
    for (const CSendCommandRow& row : SendCommandTable()) {
        if (name == row.name && row.Has(type)) {
            return &row;
        }
    }
    return nullptr;
}

const CSendCommandRow* FindAnySendCommand(const std::string& name) {
    for (const CSendCommandRow& row : SendCommandTable()) {
        if (name == row.name) {
            return &row;
        }
    }
    return nullptr;
}

bool IsTypeCommand(const char* name, DeviceType type) {
    const CReaderType* row = FindReaderType(type);
    return row && std::any_of(row->commands.begin(), row->commands.end(),
                              [&](const char* own) { return std::strcmp(own, name) == 0; });
}

std::string SendCommandList(DeviceType type) {
    // The shared commands the type carries out, then its own in the reader-type table's order.
    std::string list;
    const auto add = [&](const std::string& name) { list += (list.empty() ? "" : ", ") + name; };
    for (const CSendCommandRow& row : SendCommandTable()) {
        if (row.Has(type) && !IsTypeCommand(row.name, type)) {
            add(std::string(row.name) + (row.argument ? std::string(" ") + row.argument : ""));
        }
    }
    if (const CReaderType* row = FindReaderType(type)) {
        for (const char* name : row->commands) {
            add(name);
        }
    }
    return list;
}
