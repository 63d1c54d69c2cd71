// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <memory>

class CQSettingsStore;
class CSettingsStore;
class QApplication;

// The process's entry: names the settings store, prepares the Qt application and runs the
// main window modally; the process ends when that window closes.
class CVantrelApp {
public:
    // Uses the QApplication that already exists (tests), or creates the process's own.
    CVantrelApp(int& argc, char** argv);
    ~CVantrelApp();
    CVantrelApp(const CVantrelApp&) = delete;
    CVantrelApp& operator=(const CVantrelApp&) = delete;

    // Runs the main window until it closes; returns the process's exit code.
    int Run();

    CSettingsStore& Store();

private:
    std::unique_ptr<QApplication> m_ownApplication;
    std::unique_ptr<CQSettingsStore> m_store;
};
