#include "app/CDeviceFactory.h"

#include "device/CHidPosDevice.h"
#include "device/CQuorinDevice.h"
#include "device/CSurePosDevice.h"
#include "device/CSurePosSioDevice.h"

namespace {

template <typename T>
std::unique_ptr<CHidDevice> Make(CHidPort& port, COutputSink& output, CDisplaySettings& settings,
                                 CNotifier& notifier) {
    return std::make_unique<T>(port, output, settings, notifier);
}

using CMaker = std::unique_ptr<CHidDevice> (*)(CHidPort&, COutputSink&, CDisplaySettings&,
                                               CNotifier&);

const struct {
    DeviceType type;
    CMaker make;
} kDeviceClasses[] = {
    {DeviceType::Quorin, &Make<CQuorinDevice>},
    {DeviceType::HidPos, &Make<CHidPosDevice>},
    {DeviceType::SurePos, &Make<CSurePosDevice>},
    {DeviceType::SurePosSio, &Make<CSurePosSioDevice>},
};

} // namespace

std::unique_ptr<CHidDevice> CDeviceFactory::Create(DeviceType type, CHidPort& port,
                                                   COutputSink& output, CDisplaySettings& settings,
                                                   CNotifier& notifier) {
    for (const auto& entry : kDeviceClasses) {
        if (entry.type == type) {
            return entry.make(port, output, settings, notifier);
        }
    }
    return nullptr;
}
