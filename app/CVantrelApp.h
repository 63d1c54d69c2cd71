// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class CQSettingsStore;
class CSettingsStore;
class QApplication;

// The process's entry: names the settings store, prepares the Qt application and runs the
// main window modally; the process ends when that window closes. Its arguments (after those
// Qt takes) are recordings to open ("vantrel FILE..."), or --help or --version.
class CVantrelApp {
public:
    // Uses the QApplication that already exists (tests), or creates the process's own.
    CVantrelApp(int& argc, char** argv);
    ~CVantrelApp();
    CVantrelApp(const CVantrelApp&) = delete;
    CVantrelApp& operator=(const CVantrelApp&) = delete;

    // Runs the main window until it closes; returns the process's exit code. For --help,
    // --version or an unknown option it prints instead and returns without a window.
    int Run();

    CSettingsStore& Store();
    // The recordings the command line names.
    const QStringList& Files() const { return m_files; }

private:
    void ParseCommandLine(int argc, char** argv);

    std::unique_ptr<QApplication> m_ownApplication;
    std::unique_ptr<CQSettingsStore> m_store;
    QStringList m_files;
    // What the command line asks to print instead of running, and the exit code then.
    QString m_printInstead;
    int m_printExitCode = -1;
};
