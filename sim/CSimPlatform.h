// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "platform/CHidPlatform.h"
#include "sim/CSimReaderSet.h"

#include <memory>
#include <string>
#include <vector>

class CSimulator;

// The simulated readers as a HID platform: enumeration lists the present virtual interfaces,
// an open connection is one end of a socket pair served by the simulator's firmware, and the
// monitor reports Unplug/Plug as removal/arrival.
class CSimPlatform : public CHidPlatform {
public:
    // The default set (CSimReaderSet::Default).
    CSimPlatform();
    explicit CSimPlatform(std::vector<CSimReaderDefinition> readers);
    ~CSimPlatform() override;

    bool EnumerateInterfaces(std::vector<CHidInterfaceInfo>& interfaces, int& error) override;
    std::unique_ptr<CHidConnection> Open(const std::string& path, int& error) override;
    std::unique_ptr<CHidDeviceMonitor> CreateMonitor(int& error) override;
    // The simulated keyboard-mode reader types under the layouts of this desktop.
    std::vector<std::string> KeyLayouts() const override;
    std::string DesktopKeyLayout() const override;
    std::unique_ptr<CKeyTranslator> CreateKeyTranslator(const std::string& layout,
                                                        int& error) override;

    // For tests and demonstrations. False when the path is unknown or already in that state.
    bool Unplug(const std::string& path);
    bool Plug(const std::string& path);
    // Sends an input report (byte 0 the report id) from a present interface to its open ends.
    bool InjectInputReport(const std::string& path, const std::vector<uint8_t>& report);
    // How often the simulator's thread has woken up.
    uint64_t SimulatorWakeUps() const;

private:
    std::shared_ptr<CSimulator> m_simulator;
};
