// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "outputwindow/CReportRecording.h"

#include "device/CHidPort.h"
#include "device/ErrorText.h"
#include "outputwindow/COutputSaver.h"
#include "recording/CRecordingOutput.h"
#include "recording/CReportRecorder.h"
#include "settings/CSettingsStore.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QStandardPaths>
#include <QWidget>

#include <cerrno>
#include <sys/stat.h>

const char CReportRecording::kFolderKey[] = "RecordingFolder";

CReportRecording::CReportRecording(CSettingsStore& store, CHidPlatform& platform, CHidPort& port,
                                   CTapSetter setTap, QWidget& window,
                                   std::function<std::string()> openPath)
    : m_store(store), m_platform(platform), m_port(port), m_setTap(std::move(setTap)),
      m_window(window), m_openPath(std::move(openPath)),
      m_record(new QAction(tr("Record Reports to File\u2026"), this)),
      m_stop(new QAction(tr("Stop Recording"), this)) {
    connect(m_record, &QAction::triggered, this, &CReportRecording::OnRecord);
    connect(m_stop, &QAction::triggered, this, &CReportRecording::Stop);
}

CReportRecording::~CReportRecording() {
    m_setTap({});
    m_recorder.reset();
}

void CReportRecording::AddTo(QMenu& menu) {
    if (m_recorder && !m_stopping) {
        menu.addAction(m_stop);
        return;
    }
    m_record->setEnabled(!m_recorder && m_port.IsRunning() && !m_openPath().empty());
    menu.addAction(m_record);
}

QString CReportRecording::StartFolder() const {
    for (const char* key : {kFolderKey, COutputSaver::kFolderKey}) {
        QString stored =
            QString::fromStdString(m_store.GetProfileString(COutputSaver::kSection, key, ""));
        if (!stored.isEmpty() && QFileInfo(stored).isDir()) {
            return stored;
        }
    }
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

void CReportRecording::OnRecord() {
    if (m_recorder) {
        return;
    }
    QFileDialog dialog(&m_window, tr("Record Reports to File"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDirectory(StartFolder());
    dialog.setNameFilters({tr("Recordings (*.txt)"), tr("All files (*)")});
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    dialog.selectFile(
        QDateTime::currentDateTime().toString(QStringLiteral("'vantrel-'yyyyMMdd'-'HHmmss'.txt'")));
    const std::string reader = m_openPath();
    const uint64_t generation = m_port.Generation();
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return;
    }
    // The reader may have gone, or another been chosen, while the dialog was open.
    if (m_openPath() != reader || m_port.Generation() != generation || !m_port.IsRunning()) {
        QMessageBox::warning(&m_window, tr("Record Reports to File"),
                             tr("The reader is no longer open, so nothing was recorded.\n\nOpen "
                                "the reader and choose Record Reports to File again."));
        return;
    }
    Start(dialog.selectedFiles().constFirst());
}

bool CReportRecording::Start(const QString& path) {
    const std::string readerPath = m_openPath();
    if (m_recorder || readerPath.empty() || !m_port.IsRunning()) {
        return false;
    }
    // A device, FIFO or socket in the file's place (also behind a link) is never opened: it
    // could block for ever or take the place of a file.
    struct stat status {};
    if (stat(QFile::encodeName(path).constData(), &status) == 0 && !S_ISREG(status.st_mode)) {
        QMessageBox::warning(&m_window, tr("Record Reports to File"),
                             tr("The recording could not be started: \"%1\" is not a regular "
                                "file but a folder, a device, a FIFO or a socket.\n\nChoose "
                                "another file name and record again.")
                                 .arg(QDir::toNativeSeparators(path)));
        return false;
    }
    auto file = std::make_unique<CRecordingOutput>();
    if (!file->Open(QFile::encodeName(path).toStdString())) {
        const int error = file->Error();
        QMessageBox::warning(
            &m_window, tr("Record Reports to File"),
            tr("The recording could not be started: \"%1\" cannot be written: "
               "%2.\n\nChoose a folder that exists and that you may write to, "
               "and record again.")
                .arg(QDir::toNativeSeparators(path), QString::fromStdString(ErrnoText(error))));
        return false;
    }

    // The header, as the terminal tool writes it: the interface as listed, the attributes as
    // the open reader answers them, the name the list shows.
    CHidInterfaceInfo info;
    std::vector<CHidInterfaceInfo> interfaces;
    int error = 0;
    if (m_platform.EnumerateInterfaces(interfaces, error)) {
        for (const CHidInterfaceInfo& listed : interfaces) {
            if (listed.path == readerPath) {
                info = listed;
            }
        }
    }
    m_port.GetAttributes(info.attributes);
    std::string name = readerPath;
    for (const auto& [displayName, path] : m_port.NameTable()) {
        if (path == readerPath) {
            name = displayName;
        }
    }

    m_path = path;
    m_readerName = QString::fromStdString(name);
    m_stopping = false;
    m_endReason.clear();
    m_readerError.store(0);
    m_recorder = std::make_unique<CReportRecorder>(std::move(file), info, name, [this] {
        QMetaObject::invokeMethod(this, &CReportRecording::OnRecorderEnded, Qt::QueuedConnection);
    });
    // Taken on the reader thread as it posts: a copy into the recorder's queue, nothing more.
    CReportRecorder* recorder = m_recorder.get();
    const uint64_t generation = m_port.Generation();
    const uint32_t reportId = HidMessageId(m_port.MessageBase(), CHidMessageKind::Report);
    m_setTap([this, recorder, generation, reportId](const CHidMessage& message) {
        if (message.generation != generation) {
            return;
        }
        if (message.messageId == reportId) {
            recorder->Add(message.report.data(), message.report.size(), message.readTime);
        } else {
            // A read error ends the reader, and the recording with it.
            m_readerError.store(message.errorCode);
            recorder->End();
        }
    });
    // A reader that ended before the tap was in place posts nothing more.
    if (!m_port.IsRunning()) {
        End(tr("the reader stopped reading as the recording started"));
    }

    m_store.WriteProfileString(COutputSaver::kSection, kFolderKey,
                               QFileInfo(path).absolutePath().toStdString());
    m_store.Flush();
    m_title = m_window.windowTitle();
    m_window.setWindowTitle(
        tr("%1 - Recording to %2").arg(m_title, QDir::toNativeSeparators(path)));
    return true;
}

void CReportRecording::Stop() {
    End(QString());
}

void CReportRecording::OnReaderClosed() {
    End(tr("the reader was closed to open the one chosen in the list"));
}

void CReportRecording::End(const QString& reason) {
    if (!m_recorder || m_stopping) {
        return;
    }
    m_setTap({});
    m_stopping = true;
    m_endReason = reason;
    m_recorder->End();
}

void CReportRecording::OnRecorderEnded() {
    if (!m_recorder || !m_recorder->HasEnded()) {
        return;
    }
    m_setTap({});
    const int error = m_recorder->Error();
    const quint64 written = m_recorder->Written();
    m_recorder.reset();
    m_stopping = false;
    m_window.setWindowTitle(m_title);
    if (error == 0) {
        // Stop Recording says nothing; any other end says why, once.
        const int readerError = m_readerError.load();
        const QString reason =
            readerError != 0
                ? tr("the reader was lost (%1)").arg(QString::fromStdString(ErrnoText(readerError)))
                : m_endReason;
        if (!reason.isEmpty()) {
            ShowEnded(reason, written);
        }
        return;
    }
    const QString reason = error == ENOBUFS ? tr("the disk did not keep up with the reader")
                                            : QString::fromStdString(ErrnoText(error));
    QMessageBox::warning(
        &m_window, tr("Record Reports to File"),
        tr("Recording the reports of \"%1\" to \"%2\" stopped: %3.\n\nThe file is complete "
           "up to the failure (reports written: %4). Choose a disk with free space that you may "
           "write to, and record again.")
            .arg(m_readerName, QDir::toNativeSeparators(m_path), reason)
            .arg(written));
}

void CReportRecording::ShowEnded(const QString& reason, quint64 written) {
    // Not modal: the window goes on with the next reader meanwhile.
    auto* box = new QMessageBox(
        QMessageBox::Information, tr("Record Reports to File"),
        tr("Recording the reports of \"%1\" to \"%2\" ended: %3.\n\nThe file is complete "
           "(reports written: %4).")
            .arg(m_readerName, QDir::toNativeSeparators(m_path), reason)
            .arg(written),
        QMessageBox::Ok, &m_window);
    box->setObjectName("recordingEnded");
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}
