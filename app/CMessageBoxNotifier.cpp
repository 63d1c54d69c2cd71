#include "app/CMessageBoxNotifier.h"

#include <QCoreApplication>
#include <QMessageBox>

void CMessageBoxNotifier::ShowMessage(const std::string& text) {
    CDeviceCallGuard call(m_calls);
    QMessageBox::information(m_parent, QCoreApplication::applicationName(),
                             QString::fromStdString(text), QMessageBox::Ok);
}
