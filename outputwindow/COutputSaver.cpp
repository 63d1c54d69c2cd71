// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "outputwindow/COutputSaver.h"

#include "outputwindow/COutputExport.h"
#include "settings/CSettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>

const char COutputSaver::kSection[] = "Files";
const char COutputSaver::kFolderKey[] = "OutputFolder";

namespace {

const char* const kTextFilter = QT_TRANSLATE_NOOP("COutputSaver", "Text files (*.txt)");
const char* const kHtmlFilter = QT_TRANSLATE_NOOP("COutputSaver", "HTML files (*.html *.htm)");

QString Tr(const char* text) {
    return QCoreApplication::translate("COutputSaver", text);
}

} // namespace

COutputSaver::COutputSaver(CSettingsStore& store, const QTextDocument& document)
    : m_store(store), m_document(document) {}

QString COutputSaver::StartFolder() const {
    QString stored = QString::fromStdString(m_store.GetProfileString(kSection, kFolderKey, ""));
    if (!stored.isEmpty() && QFileInfo(stored).isDir()) {
        return stored;
    }
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

void COutputSaver::Run(QWidget* parent) {
    const QString textFilter = Tr(kTextFilter);
    const QString htmlFilter = Tr(kHtmlFilter);
    QFileDialog dialog(parent, Tr("Save Output As"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDirectory(StartFolder());
    dialog.setNameFilters({textFilter, htmlFilter});
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    dialog.selectFile(QStringLiteral("vantrel-output.txt"));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog, htmlFilter](const QString& filter) {
                         dialog.setDefaultSuffix(filter == htmlFilter ? QStringLiteral("html")
                                                                      : QStringLiteral("txt"));
                     });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return;
    }
    const QString path = dialog.selectedFiles().constFirst();

    // The name's own suffix decides; without a known one, the chosen filter does.
    const QString suffix = QFileInfo(path).suffix().toLower();
    COutputExport::CFormat format = dialog.selectedNameFilter() == htmlFilter
                                        ? COutputExport::CFormat::Html
                                        : COutputExport::CFormat::PlainText;
    if (suffix == QLatin1String("html") || suffix == QLatin1String("htm")) {
        format = COutputExport::CFormat::Html;
    } else if (suffix == QLatin1String("txt")) {
        format = COutputExport::CFormat::PlainText;
    }

    const QString error = COutputExport::Save(m_document, format, path);
    if (!error.isEmpty()) {
        QMessageBox::warning(parent, Tr("Save Output As"),
                             Tr("The output could not be saved to \"%1\": %2.\n\nChoose a folder "
                                "that exists and that you may write to, and save again.")
                                 .arg(QDir::toNativeSeparators(path), error));
        return;
    }
    m_store.WriteProfileString(kSection, kFolderKey, QFileInfo(path).absolutePath().toStdString());
    m_store.Flush();
}
