// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "hidraw/CHidrawSysfs.h"
#include "platform/CHidPlatform.h"

#include <functional>
#include <string>
#include <vector>

// Real readers through the kernel's hidraw nodes. Enumeration lists the hidraw subsystem with
// libudev and reads each node's details from sysfs without opening it, so an interface the
// user may not open is still listed and opening it reports EACCES.
class CHidrawPlatform : public CHidPlatform {
public:
    // Lists the present hidraw nodes; false with `error` when the list cannot be had.
    using CNodeLister = std::function<bool(std::vector<CHidrawNode>& nodes, int& error)>;

    // libudev's hidraw subsystem under /sys.
    CHidrawPlatform();
    // Another lister and sysfs root, so the whole backend runs on a directory laid out like
    // sysfs.
    CHidrawPlatform(CNodeLister lister, std::string sysfsRoot);

    bool EnumerateInterfaces(std::vector<CHidInterfaceInfo>& interfaces, int& error) override;
    std::unique_ptr<CHidConnection> Open(const std::string& path, int& error) override;
    std::unique_ptr<CHidDeviceMonitor> CreateMonitor(int& error) override;
    // Keyboard-mode readers: their event nodes through libevdev, their text through xkbcommon.
    std::vector<std::string> KeyLayouts() const override;
    std::string DesktopKeyLayout() const override;
    std::unique_ptr<CKeyTranslator> CreateKeyTranslator(const std::string& layout,
                                                        int& error) override;

    static bool ListUdevNodes(std::vector<CHidrawNode>& nodes, int& error);

private:
    CNodeLister m_lister;
    std::string m_sysfsRoot;
};
