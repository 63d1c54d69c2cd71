// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "panels/CKeyboardPanel.h"

#include "device/CHidPort.h"
#include "device/CKeyboardDevice.h"
#include "device/ErrorText.h"
#include "panels/CPanelTemplate.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QMessageBox>

const CCommandEntry<CKeyboardPanel> CKeyboardPanel::kMessageMap[] = {
    {PanelControl::KeyboardLayout, &CKeyboardPanel::OnLayout},
    {PanelControl::Grab, &CKeyboardPanel::OnGrab},
};

CKeyboardPanel::CKeyboardPanel(CKeyboardDevice* device, CSettingsStore* store, QWidget* parent)
    : CDevicePanel(PanelTemplateId::Keyboard, device, store, parent), m_keyboard(device) {
    m_idle.setInterval(kIdleCheckMs);
    connect(&m_idle, &QTimer::timeout, this, [this] {
        if (m_keyboard) {
            m_keyboard->OnIdle(CKeyboardDevice::NowUs());
        }
    });
}

bool CKeyboardPanel::OnInitDialog() {
    CDevicePanel::OnInitDialog();
    if (auto* text = qobject_cast<QLabel*>(Control(PanelControl::KeyboardModeText))) {
        text->setWordWrap(true);
        text->setText(QString::fromUtf8(kExplanation));
    }
    auto* layouts = qobject_cast<QComboBox*>(Control(PanelControl::KeyboardLayout));
    if (layouts && m_keyboard) {
        for (const std::string& layout : m_keyboard->Layouts()) {
            layouts->addItem(QString::fromStdString(layout));
        }
        const QString current = QString::fromStdString(m_keyboard->Layout());
        if (layouts->findText(current) < 0) {
            layouts->addItem(current);
        }
        layouts->setCurrentText(current);
        connect(layouts, &QComboBox::activated, this,
                [this] { RunCommand(PanelControl::KeyboardLayout); });
    }
    if (auto* grab = Button(PanelControl::Grab); grab && m_keyboard) {
        grab->setChecked(m_keyboard->IsGrabbed());
    }
    m_idle.start();
    return true;
}

void CKeyboardPanel::OnCommand(int controlId) {
    DispatchCommand(*this, kMessageMap, controlId);
}

void CKeyboardPanel::OnLayout() {
    auto* layouts = qobject_cast<QComboBox*>(Control(PanelControl::KeyboardLayout));
    if (!layouts || !m_keyboard) {
        return;
    }
    const std::string chosen = layouts->currentText().toStdString();
    if (!m_keyboard->SetLayout(chosen)) {
        layouts->setCurrentText(QString::fromStdString(m_keyboard->Layout()));
        QMessageBox::warning(
            window(), QCoreApplication::applicationName(),
            tr("There is no keymap for the layout \"%1\" (xkeyboard-config); "
               "the reader's keys are still read under \"%2\".")
                .arg(QString::fromStdString(chosen), QString::fromStdString(m_keyboard->Layout())));
    }
}

void CKeyboardPanel::OnGrab() {
    QAbstractButton* grab = Button(PanelControl::Grab);
    if (!grab || !m_keyboard) {
        return;
    }
    const bool wanted = grab->isChecked();
    if (m_keyboard->SetGrab(wanted)) {
        return;
    }
    grab->setChecked(m_keyboard->IsGrabbed());
    QMessageBox::warning(
        window(), QCoreApplication::applicationName(),
        tr("The reader could not be %1: %2. %3")
            .arg(wanted ? tr("grabbed") : tr("released"),
                 QString::fromStdString(ErrnoText(m_keyboard->Port().LastError())),
                 wanted ? tr("Its scans still type into the window that has the focus.")
                        : tr("Close it to give it back to the desktop.")));
}
