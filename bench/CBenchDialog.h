// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "app/CVantrelDlg.h"
#include "device/CHidDeviceFactory.h"
#include "settings/CMemorySettingsStore.h"
#include "sim/CSimPlatform.h"
#include "support/SimHidPosReader.h"

#include <QCoreApplication>
#include <QWindow>

#include <functional>
#include <memory>

// Runs the GUI thread's events until `done`.
inline void WaitUntil(const std::function<bool()>& done) {
    while (!done()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
}

// The main dialog over the benchmarks' simulated Hid Pos reader, shown and on screen: what the
// GUI benchmarks feed scans into.
struct CBenchDialog {
    explicit CBenchDialog(bool showSymbology) {
        if (showSymbology) {
            store.WriteProfileInt("Settings", "ShowSymbology", 1);
        }
        dialog = std::make_unique<CVantrelDlg>(store, platform, CreateHidDevice);
        dialog->show();
        WaitUntil([this] { return dialog->windowHandle()->isExposed(); });
    }

    CMemorySettingsStore store;
    const CSimReaderDefinition reader = BenchHidPosReader();
    CSimPlatform platform{{reader}};
    std::unique_ptr<CVantrelDlg> dialog;
};
