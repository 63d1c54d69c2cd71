// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "outputwindow/CRecordingOpener.h"

#include "device/DeviceType.h"
#include "device/ErrorText.h"
#include "outputwindow/CRecordingLoader.h"
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
#include <QProgressDialog>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <sys/stat.h>
#include <utility>

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

// Problems of one kind: the first five are listed, the rest counted, so that the box that lists
// them fits the screen whatever the file holds.
class CProblemList {
public:
    static constexpr int kListed = 5;
    // Lines of more than this many characters are shortened in their middle.
    static constexpr int kLineLength = 160;

    // `total` is how many there are when more were found than handed to Add; `more` takes the
    // count of those not listed.
    CProblemList(size_t total, QString more) : m_total(total), m_more(std::move(more)) {}

    void Add(const QString& line) {
        ++m_added;
        if (m_lines.size() < kListed) {
            m_lines << (line.size() <= kLineLength
                            ? line
                            : line.left(kLineLength * 2 / 3) + QStringLiteral("\u2026") +
                                  line.right(kLineLength / 3));
        }
    }
    void AppendTo(QStringList& problems) const {
        problems << m_lines;
        const size_t total = std::max(m_total, m_added);
        if (total > size_t(m_lines.size())) {
            problems << m_more.arg(total - size_t(m_lines.size()));
        }
    }

private:
    size_t m_total;
    size_t m_added = 0;
    QString m_more;
    QStringList m_lines;
};

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
    m_progressTimer = new QTimer(this);
    m_progressTimer->setInterval(kProgressIntervalMs);
    connect(m_progressTimer, &QTimer::timeout, this, &CRecordingOpener::ShowProgress);
}

CRecordingOpener::~CRecordingOpener() = default;

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

void CRecordingOpener::StopReading() {
    if (m_loader) {
        m_loader->Cancel();
    }
}

void CRecordingOpener::Open(const QStringList& files) {
    m_waiting.insert(m_waiting.end(), files.begin(), files.end());
    if (!m_loader) {
        Next();
    }
}

bool CRecordingOpener::Identify(const QString& path, CIdentity& identity) {
    struct stat status {};
    if (stat(QFile::encodeName(path).constData(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return false;
    }
    identity = {QFileInfo(path).canonicalFilePath(), uint64_t(status.st_dev),
                uint64_t(status.st_ino), int64_t(status.st_size),
                int64_t(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec};
    return true;
}

void CRecordingOpener::Next() {
    while (!m_waiting.empty()) {
        const QString path = m_waiting.front();
        m_waiting.pop_front();
        CIdentity identity;
        if (Identify(path, identity)) {
            const auto opened = m_opened.find(identity);
            if (opened != m_opened.end() &&
                std::all_of(
                    opened->second.begin(), opened->second.end(),
                    [this](const std::string& entry) { return m_captures.HasEntry(entry); })) {
                if (m_firstEntry.empty()) {
                    m_firstEntry = opened->second.front();
                }
                continue;
            }
        }
        m_reading = path;
        m_loader =
            std::make_unique<CRecordingLoader>(QFile::encodeName(path).toStdString(), [this] {
                QMetaObject::invokeMethod(this, &CRecordingOpener::Loaded, Qt::QueuedConnection);
            });
        m_sinceStart.start();
        m_progressTimer->start();
        return;
    }
    if (!m_firstEntry.empty()) {
        m_show(std::exchange(m_firstEntry, std::string()));
    }
}

void CRecordingOpener::ShowProgress() {
    // Only a reading that lasts gets a window of its own.
    if (!m_loader || m_sinceStart.elapsed() < kProgressDelayMs) {
        return;
    }
    constexpr double kMiB = 1024.0 * 1024.0;
    const uint64_t size = m_loader->Size();
    const uint64_t read = m_loader->BytesRead();
    if (!m_progress) {
        m_progress = new QProgressDialog(&m_window);
        m_progress->setWindowTitle(tr("Open Recording"));
        m_progress->setCancelButtonText(tr("Stop Reading"));
        m_progress->setWindowModality(Qt::NonModal);
        m_progress->setAutoClose(false);
        m_progress->setAutoReset(false);
        m_progress->setRange(0, kProgressSteps);
        connect(m_progress, &QProgressDialog::canceled, this, &CRecordingOpener::StopReading);
    }
    m_progress->setLabelText(tr("Reading \"%1\": %2 of %3 MiB")
                                 .arg(QDir::toNativeSeparators(m_reading))
                                 .arg(double(read) / kMiB, 0, 'f', 1)
                                 .arg(double(size) / kMiB, 0, 'f', 1));
    m_progress->setValue(size == 0 ? 0 : int(std::min(read, size) * kProgressSteps / size));
    if (!m_progress->isVisible()) {
        m_progress->show();
    }
}

void CRecordingOpener::Loaded() {
    m_progressTimer->stop();
    if (m_progress) {
        m_progress->hide();
    }
    // The loader stays until its file is offered, so that files opened meanwhile wait.
    CIdentity identity;
    const bool identified = Identify(m_reading, identity);
    const std::vector<std::string> entries = Offer(m_reading, *m_loader);
    if (!entries.empty()) {
        // A file read only in part is read again when it is opened again.
        if (identified && !m_loader->Cancelled()) {
            m_opened[identity] = entries;
        }
        if (m_firstEntry.empty()) {
            m_firstEntry = entries.front();
        }
    }
    m_loader.reset();
    m_reading.clear();
    Next();
}

QString CRecordingOpener::FileFailure(const CRecordingLoader& loader, const QString& shown) {
    switch (loader.Result()) {
    case CRecordingLoader::Outcome::Unreadable:
        return tr("The recording \"%1\" cannot be read: %2.")
            .arg(shown, QString::fromStdString(ErrnoText(loader.Error())));
    case CRecordingLoader::Outcome::Directory:
        return tr("\"%1\" is a folder, not a recording. Open a recording file inside it.")
            .arg(shown);
    case CRecordingLoader::Outcome::NotRegular:
        return tr("\"%1\" is not a regular file but a device, a pipe or a socket, so it is not "
                  "read. Open a recording saved as a file.")
            .arg(shown);
    case CRecordingLoader::Outcome::Read:
    case CRecordingLoader::Outcome::Running:
        break;
    }
    const CRecordingFile& file = *loader.File();
    if (file.Fail() == CRecordingFile::Failure::Compressed) {
        return tr("\"%1\" is compressed (%2). Unpack it first, for example with \"%3 FILE > "
                  "FILE.txt\", and open what it holds.")
            .arg(shown, QString::fromStdString(file.Format()), QString::fromStdString(file.Tool()));
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

std::vector<std::string> CRecordingOpener::Offer(const QString& path,
                                                 const CRecordingLoader& loader) {
    const QString shown = QDir::toNativeSeparators(path);
    const QString failure = FileFailure(loader, shown);
    if (!failure.isEmpty()) {
        QMessageBox::warning(&m_window, tr("Open Recording"), failure);
        return {};
    }
    const CRecordingFile& file = *loader.File();

    // What went wrong, at most five lines of each kind and then a count: the file's malformed
    // lines, then its devices that no reader type decodes.
    CProblemList malformed(file.ProblemCount(), tr("\u2026 and %1 more malformed lines"));
    for (const CRecordingProblem& problem : file.Problems()) {
        malformed.Add(
            tr("line %1: %2").arg(problem.line).arg(QString::fromStdString(problem.reason)));
    }
    CProblemList brokenDescriptor(0, tr("\u2026 and %1 more devices whose report descriptor is "
                                        "malformed"));
    CProblemList noDescriptor(0, tr("\u2026 and %1 more devices without a report descriptor"));
    CProblemList notReader(0, tr("\u2026 and %1 more devices that are not reader interfaces"));

    std::vector<std::string> entries;
    const std::vector<CRecordedDevice>& devices = file.Devices();
    const bool several = devices.size() > 1;
    for (size_t i = 0; i < devices.size(); ++i) {
        const CRecordedDevice& device = devices[i];
        const CRecordingHeader& header = device.header;
        const QString which = several ? tr("device %1: ").arg(device.index) : QString();
        const QString reports = device.reports.size() == 1
                                    ? tr("its report is not shown")
                                    : tr("its %1 reports are not shown").arg(device.reports.size());
        if (!header.HasDescriptor()) {
            if (header.BrokenDescriptorLine() > 0) {
                brokenDescriptor.Add(tr("%1its report descriptor (line %2) is malformed, so its "
                                        "reader type is unknown; %3")
                                         .arg(which)
                                         .arg(header.BrokenDescriptorLine())
                                         .arg(reports));
            } else {
                noDescriptor.Add(tr("%1it has no report descriptor (\"R:\" line), so its reader "
                                    "type is unknown; %2 (vantrel-cli replay --type decodes "
                                    "them)")
                                     .arg(which, reports));
            }
            continue;
        }
        const CHidCaps& caps = header.Caps();
        if (SelectDeviceType(caps.usagePage, caps.usage) == DeviceType::None ||
            !m_isListed(header.Attributes(), caps)) {
            notReader.Add(tr("%1not a reader interface (usage page %2, usage %3); %4")
                              .arg(which, Hex4(caps.usagePage), Hex4(caps.usage), reports));
            continue;
        }
        std::string name = EntryName(path, device.index, several);
        m_captures.Add(loader.File(), i, name);
        entries.push_back(std::move(name));
    }

    QStringList problems;
    for (const CProblemList* kind : {&malformed, &brokenDescriptor, &noDescriptor, &notReader}) {
        kind->AppendTo(problems);
    }
    constexpr double kMiB = 1024.0 * 1024.0;
    if (loader.Error() != 0) {
        problems << tr("after %1 MiB: reading stopped: %2")
                        .arg(double(loader.BytesRead()) / kMiB, 0, 'f', 1)
                        .arg(QString::fromStdString(ErrnoText(loader.Error())));
    }
    if (file.ReadError() != 0) {
        problems << tr("after line %1: reading stopped: %2")
                        .arg(file.ReadErrorLine())
                        .arg(QString::fromStdString(ErrnoText(file.ReadError())));
    }

    if (loader.Cancelled()) {
        const QString stopped = tr("Reading \"%1\" was stopped after %2 of %3 MiB.")
                                    .arg(shown)
                                    .arg(double(loader.BytesRead()) / kMiB, 0, 'f', 1)
                                    .arg(double(loader.Size()) / kMiB, 0, 'f', 1);
        const QString offered = entries.empty()
                                    ? tr("Nothing of it can be shown.")
                                    : tr("What was read until then is offered in the reader list.");
        QMessageBox::information(&m_window, tr("Open Recording"),
                                 problems.isEmpty()
                                     ? stopped + "\n\n" + offered
                                     : stopped + "\n\n" + problems.join('\n') + "\n\n" + offered);
        return entries;
    }
    if (file.ItemCount() == 0) {
        QMessageBox::warning(
            &m_window, tr("Open Recording"),
            problems.isEmpty()
                ? tr("\"%1\" is empty: it holds no recording.").arg(shown)
                : tr("\"%1\" is not a recording:\n\n%2").arg(shown, problems.join('\n')));
        return entries;
    }
    if (!problems.isEmpty()) {
        const QString offered = entries.empty()
                                    ? tr("Nothing of it can be shown.")
                                    : tr("What could be read is offered in the reader list.");
        QMessageBox::warning(
            &m_window, tr("Open Recording"),
            tr("\"%1\" has errors:\n\n%2\n\n%3").arg(shown, problems.join('\n'), offered));
    }
    return entries;
}
