// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "platform/CHidPlatform.h"

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

class CCapturePlatform;
class CRecordingFile;
class CRecordingLoader;
class CSettingsStore;
class QAction;
class QMenu;
class QProgressDialog;
class QTimer;
class QWidget;

// Opens recordings: "Open Recording..." (Ctrl+O), files dropped on the window and the files
// named on the command line. Each device of a file that a reader type can decode becomes an
// entry of the reader list ("Recording: <file name>", with " - device N" when the file holds
// several), offered by the capture platform until the program ends; the first new entry is
// opened. What went wrong (not a recording, not a regular file, malformed lines, a device no
// type decodes) is shown in one message box per file that names it, at most five problems of
// each kind, and what could be read is offered anyway.
// Files are read one after the other by a CRecordingLoader, off the GUI thread: a reading that
// lasts shows its progress in a window with a button that stops it, and what was read until
// then is offered. A file that is open already (the same path, the same file, unchanged) is
// not read again: its entries are offered as they are.
// "Play Recordings at Recorded Pace" chooses how an entry plays when it is opened.
class CRecordingOpener : public QObject {
    Q_OBJECT
public:
    // The choices live in a section of their own, apart from the program's other settings.
    static const char kSection[];
    static const char kPacedKey[];
    static const char kFolderKey[];

    // `isListed` tells whether the reader list shows an interface; `show` lists the readers
    // anew and opens the entry of the name given.
    CRecordingOpener(CCapturePlatform& captures, CSettingsStore& store, QWidget& window,
                     std::function<bool(const CHidAttributes&, const CHidCaps&)> isListed,
                     std::function<void(const std::string&)> show);
    // Stops a reading under way.
    ~CRecordingOpener() override;

    // Adds "Open Recording..." and "Play Recordings at Recorded Pace" to `menu`.
    void AddTo(QMenu& menu);
    // Takes files dropped on `widget`.
    void AcceptDropsOn(QWidget& widget);
    // Reads each file and offers its devices; opens the first entry added once the files
    // asked for so far are read.
    void Open(const QStringList& files);
    // Whether files are waiting or being read.
    bool IsLoading() const { return m_loader != nullptr || !m_waiting.empty(); }
    // Stops the reading under way; what it read is offered.
    void StopReading();

    QAction& OpenAction() { return *m_open; }
    QAction& PacedAction() { return *m_paced; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void AskForFiles();
    void SetPaced(bool paced);
    // The same file as one read before: its path, device, inode, size and time of change.
    static constexpr int kProgressDelayMs = 300;
    static constexpr int kProgressIntervalMs = 100;
    static constexpr int kProgressSteps = 1000;

    using CIdentity = std::tuple<QString, uint64_t, uint64_t, int64_t, int64_t>;
    static bool Identify(const QString& path, CIdentity& identity);

    // Starts reading the next waiting file, or opens the first entry of those read.
    void Next();
    void ShowProgress();
    // The loader has ended: offers what it read.
    void Loaded();
    // Offers the devices of the file read; the name of the first entry, empty when none.
    std::vector<std::string> Offer(const QString& path, const CRecordingLoader& loader);
    // What is wrong with the file as a whole; empty when it could be read.
    static QString FileFailure(const CRecordingLoader& loader, const QString& shown);
    std::string EntryName(const QString& path, int device, bool several) const;

    CCapturePlatform& m_captures;
    CSettingsStore& m_store;
    QWidget& m_window;
    std::function<bool(const CHidAttributes&, const CHidCaps&)> m_isListed;
    std::function<void(const std::string&)> m_show;
    QAction* m_open = nullptr;
    QAction* m_paced = nullptr;

    std::deque<QString> m_waiting;
    QString m_reading;
    std::unique_ptr<CRecordingLoader> m_loader;
    std::string m_firstEntry;
    QProgressDialog* m_progress = nullptr;
    QTimer* m_progressTimer = nullptr;
    QElapsedTimer m_sinceStart;
    std::map<CIdentity, std::vector<std::string>> m_opened;
};
