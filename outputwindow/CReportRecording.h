// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "device/CMessagePoster.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <string>

class CHidPlatform;
class CHidPort;
class CReportRecorder;
class CSettingsStore;
class QAction;
class QMenu;
class QWidget;

// "Record Reports to File..." and "Stop Recording" of the output window's menu: every input
// report the open reader sends from then on goes to a recording file, in the format of the
// terminal tool's recordings, timed as the reader thread read it.
//
// The reports are taken where the reader thread posts them, so none is missed however far the
// window lags behind, and a recorder thread writes them, so the window never waits for the disk.
// The window title says that a recording runs and where. Closing the reader (another one
// chosen, the window closed), losing it (a read error, an unplugged cable) and Stop Recording
// end the recording: what was read before is written and the file is complete. A recording
// that ends other than by Stop Recording or the window's closing says so once, in a box that
// does not hold up the window: the file, the reader, why and how many reports it holds. A
// recording that fails (a full disk) ends and says why in a message box.
class CReportRecording : public QObject {
    Q_OBJECT
public:
    // The folder is kept next to the one of "Save Output As...".
    static const char kFolderKey[];

    // Sees every message the reader thread posts, on that thread, before it is queued.
    using CTap = std::function<void(const CHidMessage&)>;
    // Puts a tap where the reader thread posts (an empty one ends it); once it returns, the
    // previous tap is not called any more.
    using CTapSetter = std::function<void(CTap)>;

    // `openPath` gives the device path of the open reader; empty when none is open.
    CReportRecording(CSettingsStore& store, CHidPlatform& platform, CHidPort& port,
                     CTapSetter setTap, QWidget& window, std::function<std::string()> openPath);
    // Ends a running recording and waits until its file is complete.
    ~CReportRecording() override;

    // Adds "Record Reports to File..." or, while recording, "Stop Recording" to `menu`.
    void AddTo(QMenu& menu);
    // Asks for a file and records to it.
    void OnRecord();
    // Records the open reader to `path`; false, with a message to the user, when it cannot.
    bool Start(const QString& path);
    // Ends the recording ("Stop Recording"); the title changes back once the file is complete.
    void Stop();
    // The port was closed: the reader recorded is gone, and so is its recording.
    void OnReaderClosed();

    // A recording runs or is being completed.
    bool IsRecording() const { return m_recorder != nullptr; }
    QAction& RecordAction() { return *m_record; }
    QAction& StopAction() { return *m_stop; }

private:
    QString StartFolder() const;
    // Ends the recording; `reason` (none for Stop Recording) is told once it is complete.
    void End(const QString& reason);
    void OnRecorderEnded();
    void ShowEnded(const QString& reason, quint64 written);

    CSettingsStore& m_store;
    CHidPlatform& m_platform;
    CHidPort& m_port;
    CTapSetter m_setTap;
    QWidget& m_window;
    std::function<std::string()> m_openPath;
    QAction* m_record = nullptr;
    QAction* m_stop = nullptr;
    std::unique_ptr<CReportRecorder> m_recorder;
    bool m_stopping = false;
    QString m_path;
    QString m_readerName;
    QString m_title; // the window title before the recording
    QString m_endReason;
    std::atomic<int> m_readerError{0}; // the read error that ended the reader, from its thread
};
