// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <QDialog>
#include <QString>

struct CDialogTemplate;

// The About box: icon, product name, version, legal notice and company, read from the
// executable's version information when it is constructed.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    static const CDialogTemplate& Template();

    explicit CAboutDlg(QWidget* parent = nullptr);

private:
    QString m_legalCopyright;
    QString m_productName;
    QString m_productVersion;
    QString m_companyName;
};
