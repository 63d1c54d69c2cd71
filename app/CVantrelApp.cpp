// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "app/CVantrelApp.h"

#include "app/CVantrelDlg.h"
#include "device/CHidDeviceFactory.h"
#include "platform/CHidPlatform.h"
#include "settings/qt/CQSettingsStore.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QMessageBox>
#include <QTimer>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>

CVantrelApp::CVantrelApp(int& argc, char** argv) {
    // The store's names come first: nothing may read a setting under other names.
    QCoreApplication::setOrganizationName(QString::fromLatin1(CQSettingsStore::kOrganisation));
    QCoreApplication::setApplicationName(QString::fromLatin1(CQSettingsStore::kApplication));
    QCoreApplication::setApplicationVersion(QStringLiteral(VANTREL_VERSION));
    if (!QCoreApplication::instance()) {
        // --help and --version print without a display, so they are looked for before Qt starts
        // (a failure here may be an option of Qt's own, which QApplication takes out first).
        ParseCommandLine(argc, argv);
        if (m_printExitCode == 0) {
            return;
        }
        m_ownApplication = std::make_unique<QApplication>(argc, argv);
    }
    // Report bytes are shown as ISO-8859-1 characters and classified by IsControlByte, whatever
    // the user's locale; the C runtime keeps the user's character set for file names but
    // formats numbers the same everywhere.
    std::setlocale(LC_NUMERIC, "C");
    m_store = std::make_unique<CQSettingsStore>();
    ParseCommandLine(argc, argv);
}

void CVantrelApp::ParseCommandLine(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QFile::decodeName(argv[i]);
    }
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Diagnostic and demonstration tool for USB bar-code readers.\nEach FILE is a recording "
        "of input reports (as vantrel-cli monitor --record writes)\nto play in the window."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("A recording to open."),
                                 QStringLiteral("[FILE...]"));
    m_printInstead.clear();
    m_printExitCode = -1;
    if (!parser.parse(arguments)) {
        m_printInstead =
            QStringLiteral("vantrel: %1\nTry 'vantrel --help'.\n").arg(parser.errorText());
        m_printExitCode = 2;
    } else if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        // Before Qt starts, the parser cannot know the program's name.
        m_printInstead = parser.helpText().replace(QStringLiteral("<executable_name>"),
                                                   QStringLiteral("vantrel"));
        m_printExitCode = 0;
    } else if (parser.isSet(version)) {
        m_printInstead = QStringLiteral("vantrel %1\n").arg(QStringLiteral(VANTREL_VERSION));
        m_printExitCode = 0;
    }
    m_files = parser.positionalArguments();
}

namespace {

// For VANTREL_CLOSE_WHEN_SHOWN: says what the shown window listed and closes it as Exit does.
// 0 when it listed a reader, so that a start that finds none fails.
int ListAndClose(CVantrelDlg& dialog) {
    if (!dialog.isVisible()) {
        std::printf("vantrel: the window was not shown\n");
        return 1;
    }
    const auto& names = dialog.Port().NameTable();
    std::printf("vantrel: the window was shown with %zu readers listed\n", names.size());
    for (const auto& entry : names) {
        std::printf("  %s\n", entry.first.c_str());
    }
    std::fflush(stdout);
    // Exit's own slot, public in QDialog.
    static_cast<QDialog&>(dialog).accept();
    return names.empty() ? 1 : 0;
}

} // namespace

CVantrelApp::~CVantrelApp() = default;

CSettingsStore& CVantrelApp::Store() {
    return *m_store;
}

int CVantrelApp::Run() {
    if (m_printExitCode >= 0) {
        std::fputs(m_printInstead.toLocal8Bit().constData(),
                   m_printExitCode == 0 ? stdout : stderr);
        return m_printExitCode;
    }
    // The platform outlives the dialog, whose port reads through it until the dialog is gone.
    const std::unique_ptr<CHidPlatform> platform = CreateHidPlatform();
    CVantrelDlg dialog(*m_store, *platform, &CreateHidDevice);
    // The files open once the window shows, so that what is wrong with them has a parent.
    if (!m_store->Refusal().empty()) {
        QTimer::singleShot(0, &dialog, [this, &dialog] {
            QMessageBox::warning(&dialog, QStringLiteral("Vantrel"),
                                 QString::fromStdString(m_store->Refusal()));
        });
    }
    if (!m_files.isEmpty()) {
        QTimer::singleShot(0, &dialog, [this, &dialog] { dialog.OpenRecordings(m_files); });
    }
    int exitCode = 0;
    const char* closeWhenShown = std::getenv("VANTREL_CLOSE_WHEN_SHOWN");
    if (closeWhenShown && std::string(closeWhenShown) == "1") {
        QTimer::singleShot(0, &dialog, [&dialog, &exitCode] { exitCode = ListAndClose(dialog); });
    }
    dialog.exec();
    return exitCode;
}
