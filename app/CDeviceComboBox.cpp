#include "app/CDeviceComboBox.h"

CDeviceComboBox::CDeviceComboBox(QWidget* parent) : QComboBox(parent) {}

void CDeviceComboBox::showPopup() {
    Q_EMIT DropDown();
    m_dropped = true;
    QComboBox::showPopup();
}

void CDeviceComboBox::hidePopup() {
    QComboBox::hidePopup();
    if (m_dropped) {
        m_dropped = false;
        // The list closes before the chosen item becomes the selection: the close-up is told
        // once that has happened.
        QMetaObject::invokeMethod(this, &CDeviceComboBox::CloseUp, Qt::QueuedConnection);
    }
}
