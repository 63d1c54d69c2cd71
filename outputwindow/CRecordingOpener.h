// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "platform/CHidPlatform.h"

#include <QObject>
#include <QStringList>

#include <functional>
#include <string>

class CCapturePlatform;
class CRecordingFile;
class CSettingsStore;
class QAction;
class QMenu;
class QWidget;

// Opens recordings: "Open Recording..." (Ctrl+O), files dropped on the window and the files
// named on the command line. Each device of a file that a reader type can decode becomes an
// entry of the reader list ("Recording: <file name>", with " - device N" when the file holds
// several), offered by the capture platform until the program ends; the first new entry is
// opened. What went wrong (not a recording, malformed lines, a device no type decodes) is
// shown in one message box per file that names it, and what could be read is offered anyway.
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

    // Adds "Open Recording..." and "Play Recordings at Recorded Pace" to `menu`.
    void AddTo(QMenu& menu);
    // Takes files dropped on `widget`.
    void AcceptDropsOn(QWidget& widget);
    // Reads each file and offers its devices; opens the first entry added.
    void Open(const QStringList& files);

    QAction& OpenAction() { return *m_open; }
    QAction& PacedAction() { return *m_paced; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void AskForFiles();
    void SetPaced(bool paced);
    // Offers the devices of `path`; the name of the first entry, empty when none.
    std::string Load(const QString& path);
    // What is wrong with the file as a whole; empty when it could be read.
    static QString FileFailure(const CRecordingFile& file, const QString& shown);
    std::string EntryName(const QString& path, int device, bool several) const;

    CCapturePlatform& m_captures;
    CSettingsStore& m_store;
    QWidget& m_window;
    std::function<bool(const CHidAttributes&, const CHidCaps&)> m_isListed;
    std::function<void(const std::string&)> m_show;
    QAction* m_open = nullptr;
    QAction* m_paced = nullptr;
};
