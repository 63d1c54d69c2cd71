// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "platform/CHidPlatform.h"
#include "recording/CRecordingFile.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

// The live platform with recordings added: each offered device of a recording is one more
// interface, listed after the live ones under a name of its own. Opened, it plays the
// device's reports again from the start, all at once or at their recorded pace, through a
// descriptor the reader thread polls as it polls hidraw; writes and set-feature requests
// succeed and go nowhere, get-feature requests take the recording's answers in order. So the
// port, the reader thread and the device types run as they do for a live reader.
class CCapturePlatform : public CHidPlatform {
public:
    static constexpr const char* kPathPrefix = "recording:";

    explicit CCapturePlatform(CHidPlatform& live) : m_live(live) {}

    // Offers device `device` (an index into file->Devices()) under `entryName` until the
    // platform goes; returns its path.
    std::string Add(std::shared_ptr<const CRecordingFile> file, size_t device,
                    std::string entryName);
    bool IsCapture(const std::string& path) const;
    bool HasEntry(const std::string& entryName) const;
    // Whether a recording opened from now on plays at its recorded pace.
    void SetPaced(bool paced) { m_paced = paced; }
    bool Paced() const { return m_paced; }

    bool EnumerateInterfaces(std::vector<CHidInterfaceInfo>& interfaces, int& error) override;
    std::unique_ptr<CHidConnection> Open(const std::string& path, int& error) override;
    std::unique_ptr<CHidDeviceMonitor> CreateMonitor(int& error) override {
        return m_live.CreateMonitor(error);
    }
    // The live platform's keyboard layouts, for its readers in keyboard mode.
    std::vector<std::string> KeyLayouts() const override { return m_live.KeyLayouts(); }
    std::string DesktopKeyLayout() const override { return m_live.DesktopKeyLayout(); }
    std::unique_ptr<CKeyTranslator> CreateKeyTranslator(const std::string& layout,
                                                        int& error) override {
        return m_live.CreateKeyTranslator(layout, error);
    }

private:
    struct CEntry {
        std::string path;
        std::string name;
        std::shared_ptr<const CRecordingFile> file;
        size_t device = 0;
    };

    CHidPlatform& m_live;
    std::vector<CEntry> m_entries;
    bool m_paced = false;
};
