// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "outputwindow/CRecordingOpener.h"

#include "device/DeviceType.h"
#include "device/ErrorText.h"
#include "recording/CCapturePlatform.h"
#include "recording/CRecordingFile.h"
#include "settings/CSettingsStore.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

#include <cstdio>
#include <memory>

const char CRecordingOpener::kSection[] = "Recordings";
const char CRecordingOpener::kPacedKey[] = "PlayAtRecordedPace";
const char CRecordingOpener::kFolderKey[] = "OpenFolder";

namespace {

QString Hex4(uint16_t value) {
    return QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0')).toUpper();
}

// The local files of a drag, or none when anything else comes with it.
QStringList LocalFiles(const QMimeData* data) {
    QStringList files;
    if (!data || !data->hasUrls()) {
        return files;
    }
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) {
            return {};
        }
        files << url.toLocalFile();
    }
    return files;
}

} // namespace

CRecordingOpener::CRecordingOpener(
    CCapturePlatform& captures, CSettingsStore& store, QWidget& window,
    std::function<bool(const CHidAttributes&, const CHidCaps&)> isListed,
    std::function<void(const std::string&)> show)
    : QObject(&window), m_captures(captures), m_store(store), m_window(window),
      m_isListed(std::move(isListed)), m_show(std::move(show)),
      m_open(new QAction(tr("Open Recording\u2026"), this)),
      m_paced(new QAction(tr("Play Recordings at Recorded Pace"), this)) {
    m_open->setShortcut(QKeySequence::Open);
    // The shortcut works wherever the focus is in the window.
    window.addAction(m_open);
    m_paced->setCheckable(true);
    m_paced->setChecked(m_store.GetProfileInt(kSection, kPacedKey, 0) != 0);
    m_captures.SetPaced(m_paced->isChecked());
    connect(m_open, &QAction::triggered, this, &CRecordingOpener::AskForFiles);
    connect(m_paced, &QAction::toggled, this, &CRecordingOpener::SetPaced);
}

void CRecordingOpener::AddTo(QMenu& menu) {
    menu.addAction(m_open);
    menu.addAction(m_paced);
}

void CRecordingOpener::AcceptDropsOn(QWidget& widget) {
    widget.setAcceptDrops(true);
    widget.installEventFilter(this);
}

bool CRecordingOpener::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (LocalFiles(drag->mimeData()).isEmpty()) {
            return QObject::eventFilter(watched, event);
        }
        drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QStringList files = LocalFiles(drop->mimeData());
        if (files.isEmpty()) {
            return QObject::eventFilter(watched, event);
        }
        drop->acceptProposedAction();
        // The drag ends first: message boxes must not run inside its delivery.
        QTimer::singleShot(0, this, [this, files] { Open(files); });
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}

void CRecordingOpener::AskForFiles() {
    QString folder = QString::fromStdString(m_store.GetProfileString(kSection, kFolderKey, ""));
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    }
    const QStringList files =
        QFileDialog::getOpenFileNames(&m_window, tr("Open Recording"), folder,
                                      tr("Recordings (*.txt *.log *.rec);;All files (*)"));
    if (files.isEmpty()) {
        return;
    }
    m_store.WriteProfileString(kSection, kFolderKey,
                               QFileInfo(files.constFirst()).absolutePath().toStdString());
    m_store.Flush();
    Open(files);
}

void CRecordingOpener::SetPaced(bool paced) {
    m_captures.SetPaced(paced);
    m_store.WriteProfileInt(kSection, kPacedKey, paced ? 1 : 0);
    m_store.Flush();
}

void CRecordingOpener::Open(const QStringList& files) {
    std::string first;
    for (const QString& file : files) {
        const std::string entry = Load(file);
        if (first.empty()) {
            first = entry;
        }
    }
    if (!first.empty()) {
        m_show(first);
    }
}

QString CRecordingOpener::FileFailure(const CRecordingFile& file, const QString& shown) {
    switch (file.Fail()) {
    case CRecordingFile::Failure::Unreadable:
        return tr("The recording \"%1\" cannot be read: %2.")
            .arg(shown, QString::fromStdString(ErrnoText(file.Error())));
    case CRecordingFile::Failure::Directory:
        return tr("\"%1\" is a folder, not a recording. Open a recording file inside it.")
            .arg(shown);
    case CRecordingFile::Failure::Compressed:
        return tr("\"%1\" is compressed (%2). Unpack it first, for example with \"%3 FILE > "
                  "FILE.txt\", and open what it holds.")
            .arg(shown, QString::fromStdString(file.Format()), QString::fromStdString(file.Tool()));
    case CRecordingFile::Failure::Device:
        return tr("\"%1\" is a device, not a recording file. Open a recording file.").arg(shown);
    case CRecordingFile::Failure::Cancelled:
    case CRecordingFile::Failure::None:
        break;
    }
    return {};
}

std::string CRecordingOpener::EntryName(const QString& path, int device, bool several) const {
    const std::string base = "Recording: " + QFileInfo(path).fileName().toStdString();
    const std::string suffix = several ? " - device " + std::to_string(device) : std::string();
    std::string name = base + suffix;
    // The same file name opened again (another folder, or the file anew) gets a number.
    for (int copy = 2; m_captures.HasEntry(name); ++copy) {
        name = base;
        name += " (" + std::to_string(copy) + ")";
        name += suffix;
    }
    return name;
}

std::string CRecordingOpener::Load(const QString& path) {
    const QString shown = QDir::toNativeSeparators(path);
    auto file = std::make_shared<CRecordingFile>();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    file->Load(QFile::encodeName(path).toStdString());
    QApplication::restoreOverrideCursor();
    const QString failure = FileFailure(*file, shown);
    if (!failure.isEmpty()) {
        QMessageBox::warning(&m_window, tr("Open Recording"), failure);
        return {};
    }

    // What went wrong, one line each: the file's malformed lines, then its devices that no
    // reader type decodes.
    QStringList problems;
    for (const CRecordingProblem& problem : file->Problems()) {
        problems << tr("line %1: %2").arg(problem.line).arg(QString::fromStdString(problem.reason));
    }
    if (file->ProblemCount() > file->Problems().size()) {
        problems << tr("\u2026 and %1 more malformed lines")
                        .arg(file->ProblemCount() - file->Problems().size());
    }
    if (file->ReadError() != 0) {
        problems << tr("after line %1: reading stopped: %2")
                        .arg(file->ReadErrorLine())
                        .arg(QString::fromStdString(ErrnoText(file->ReadError())));
    }

    std::string first;
    const std::vector<CRecordedDevice>& devices = file->Devices();
    const bool several = devices.size() > 1;
    for (size_t i = 0; i < devices.size(); ++i) {
        const CRecordedDevice& device = devices[i];
        const CRecordingHeader& header = device.header;
        const QString which = several ? tr("device %1: ").arg(device.index) : QString();
        const QString reports = device.reports.size() == 1
                                    ? tr("its report is not shown")
                                    : tr("its %1 reports are not shown").arg(device.reports.size());
        if (!header.HasDescriptor()) {
            problems << (header.BrokenDescriptorLine() > 0
                             ? tr("%1its report descriptor (line %2) is malformed, so its "
                                  "reader type is unknown; %3")
                                   .arg(which)
                                   .arg(header.BrokenDescriptorLine())
                                   .arg(reports)
                             : tr("%1it has no report descriptor (\"R:\" line), so its reader "
                                  "type is unknown; %2 (vantrel-cli replay --type decodes "
                                  "them)")
                                   .arg(which, reports));
            continue;
        }
        const CHidCaps& caps = header.Caps();
        if (SelectDeviceType(caps.usagePage, caps.usage) == DeviceType::None ||
            !m_isListed(header.Attributes(), caps)) {
            problems << tr("%1not a reader interface (usage page %2, usage %3); %4")
                            .arg(which, Hex4(caps.usagePage), Hex4(caps.usage), reports);
            continue;
        }
        const std::string name = EntryName(path, device.index, several);
        m_captures.Add(file, i, name);
        if (first.empty()) {
            first = name;
        }
    }

    if (file->ItemCount() == 0) {
        QMessageBox::warning(
            &m_window, tr("Open Recording"),
            problems.isEmpty()
                ? tr("\"%1\" is empty: it holds no recording.").arg(shown)
                : tr("\"%1\" is not a recording:\n\n%2").arg(shown, problems.join('\n')));
        return first;
    }
    if (!problems.isEmpty()) {
        const QString offered = first.empty()
                                    ? tr("Nothing of it can be shown.")
                                    : tr("What could be read is offered in the reader list.");
        QMessageBox::warning(
            &m_window, tr("Open Recording"),
            tr("\"%1\" has errors:\n\n%2\n\n%3").arg(shown, problems.join('\n'), offered));
    }
    return first;
}
