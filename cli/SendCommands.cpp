#include "cli/SendCommands.h"

#include "device/CHidDevice.h"
#include "device/CSurePosDevice.h"
#include "device/CSurePosSioDevice.h"

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
constexpr DeviceType kEvery = DeviceType::None;
constexpr DeviceType kSurePos = DeviceType::SurePos;
constexpr DeviceType kSio = DeviceType::SurePosSio;

} // namespace

const std::vector<CSendCommandRow>& SendCommandTable() {
    static const std::vector<CSendCommandRow> table = {
        {"trigger-on", kEvery, false, &Call<D, &D::TriggerOn>},
        {"trigger-off", kEvery, false, &Call<D, &D::TriggerOff>},
        {"beep", kEvery, false, &Call<D, &D::Beep>},
        {"error-beep", kEvery, false, &Call<D, &D::ErrorBeep>},
        {"enable", kEvery, false, &Call<D, &D::Enable>},
        {"disable", kEvery, false, &Call<D, &D::Disable>},
        {"beeper-on", kEvery, false, &BeeperOn},
        {"beeper-off", kEvery, false, &BeeperOff},
        {"redirect", kEvery, true, &Redirect},
        {"string", kEvery, true, &String},
        {"get-contents", kEvery, false, &Call<D, &D::GetContents>},
        {"test", kSurePos, false, &Call<S, &S::Test>},
        {"status-request", kSurePos, false, &Call<S, &S::StatusRequest>},
        {"reset", kSurePos, false, &Call<S, &S::Reset>},
        {"configure", kSurePos, false, &Call<S, &S::Configure>},
        {"report-configuration", kSurePos, false, &Call<S, &S::ReportConfiguration>},
        {"2-label-cfg", kSurePos, false, &Call<S, &S::TwoLabelConfig>},
        {"report-2-label-cfg", kSurePos, false, &Call<S, &S::ReportTwoLabelConfig>},
        {"direct-io-cmd", kSurePos, false, &Call<S, &S::DirectIoCommand>},
        {"test", kSio, false, &Call<X, &X::Test>},
        {"status-request", kSio, false, &Call<X, &X::StatusRequest>},
        {"reset", kSio, false, &Call<X, &X::Reset>},
        {"setup", kSio, false, &Call<X, &X::Setup>},
        {"channel-control", kSio, false, &Call<X, &X::ChannelControl>},
        {"read-status", kSio, false, &Call<X, &X::ReadStatus>},
        {"receive-buffer", kSio, false, &Call<X, &X::ReceiveBuffer>},
    };
    return table;
}

const CSendCommandRow* FindSendCommand(const std::string& name, DeviceType type) {
    for (const CSendCommandRow& row : SendCommandTable())
        if (name == row.name && (row.type == kEvery || row.type == type))
            return &row;
    return nullptr;
}

const CSendCommandRow* FindAnySendCommand(const std::string& name) {
    for (const CSendCommandRow& row : SendCommandTable())
        if (name == row.name)
            return &row;
    return nullptr;
}
