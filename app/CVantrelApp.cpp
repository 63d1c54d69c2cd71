// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "app/CVantrelApp.h"

#include "app/CVantrelDlg.h"
#include "device/CHidDeviceFactory.h"
#include "platform/CHidPlatform.h"
#include "settings/qt/CQSettingsStore.h"

#include <QApplication>
#include <QFile>
#include <QTimer>

#include <clocale>

CVantrelApp::CVantrelApp(int& argc, char** argv) {
    // The store's names come first: nothing may read a setting under other names.
    QCoreApplication::setOrganizationName(QString::fromLatin1(CQSettingsStore::kOrganisation));
    QCoreApplication::setApplicationName(QString::fromLatin1(CQSettingsStore::kApplication));
    QCoreApplication::setApplicationVersion(QStringLiteral(VANTREL_VERSION));
    if (!QCoreApplication::instance()) {
        m_ownApplication = std::make_unique<QApplication>(argc, argv);
    }
    // Report bytes are shown as ISO-8859-1 characters and classified by IsControlByte, whatever
    // the user's locale; the C runtime keeps the user's character set for file names but
    // formats numbers the same everywhere.
    std::setlocale(LC_NUMERIC, "C");
    m_store = std::make_unique<CQSettingsStore>();
    // QApplication has taken its own options out of argv by now.
    for (int i = 1; i < argc; ++i) {
        m_files << QFile::decodeName(argv[i]);
    }
}

CVantrelApp::~CVantrelApp() = default;

CSettingsStore& CVantrelApp::Store() {
    return *m_store;
}

int CVantrelApp::Run() {
    // The platform outlives the dialog, whose port reads through it until the dialog is gone.
    const std::unique_ptr<CHidPlatform> platform = CreateHidPlatform();
    CVantrelDlg dialog(*m_store, *platform, &CreateHidDevice);
    // The files open once the window shows, so that what is wrong with them has a parent.
    if (!m_files.isEmpty()) {
        QTimer::singleShot(0, &dialog, [this, &dialog] { dialog.OpenRecordings(m_files); });
    }
    dialog.exec();
    return 0;
}
