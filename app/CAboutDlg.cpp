// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "app/CAboutDlg.h"

#include "app/CAppIcon.h"
#include "app/CVersionInfo.h"
#include "layout/CDialogTemplate.h"

#include <QLabel>
#include <QPushButton>

namespace {

const CDialogTemplate kAboutTemplate{
    10002,
    "About",
    233,
    86,
    false,
    {
        {1, CControlKind::PushButton, "OK", 167, 22, 53, 15, CTL_DEFAULT},
        {IDC_STATIC, CControlKind::Icon, nullptr, 13, 27, 16, 16, CTL_NONE},
        {12007, CControlKind::Static, "App", 48, 6, 119, 9, CTL_NOPREFIX},
        {12009, CControlKind::Static, "Vxx", 48, 22, 105, 8, CTL_NONE},
        {12008, CControlKind::Static, "", 48, 33, 94, 8, CTL_NONE},
        {12010, CControlKind::Static, "", 48, 44, 94, 8, CTL_NONE},
        {IDC_STATIC, CControlKind::Static, "Made by Corvasse", 48, 55, 73, 8, CTL_NONE},
        {IDC_STATIC, CControlKind::Static, "All rights reserved.", 48, 66, 69, 8, CTL_NONE},
    }};

QString VersionString(const char* name) {
    return QString::fromStdString(CVersionInfo::GetVersionString(name));
}

void SetLabel(QDialog& dialog, int id, const QString& text) {
    if (auto* label = dialog.findChild<QLabel*>(QString::number(id))) {
        label->setText(text);
    }
}

} // namespace

const CDialogTemplate& CAboutDlg::Template() {
    return kAboutTemplate;
}

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    m_productName = VersionString("ProductName");
    m_productVersion = VersionString("ProductVersion");
    m_legalCopyright = VersionString("LegalCopyright");
    m_companyName = VersionString("CompanyName");
    setWindowIcon(CAppIcon::Get());
    CDialogBuilder::Build(kAboutTemplate, *this);
    setFixedSize(size());
    SetLabel(*this, 12008, m_legalCopyright);
    SetLabel(*this, 12007, m_productName);
    SetLabel(*this, 12009, m_productVersion);
    SetLabel(*this, 12010, m_companyName);
    if (auto* ok = findChild<QPushButton*>(QStringLiteral("1"))) {
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    }
}
