#include "app/CDeviceComboBox.h"

CDeviceComboBox::CDeviceComboBox(QWidget* parent) : QComboBox(parent) {
    connect(this, &QComboBox::activated, this, &CDeviceComboBox::OnActivated);
}

void CDeviceComboBox::showPopup() {
    Q_EMIT DropDown();
    m_dropped = true;
    QComboBox::showPopup();
}

void CDeviceComboBox::hidePopup() {
    QComboBox::hidePopup();
    if (m_dropped) {
        m_dropped = false;
        PostCloseUp();
    }
}

void CDeviceComboBox::OnActivated() {
    // Only the user activates an item; the program's own selection changes open nothing.
    if (!m_dropped && !m_closeUpPosted) {
        PostCloseUp();
    }
}

void CDeviceComboBox::PostCloseUp() {
    // The list closes before the chosen item becomes the selection: the close-up is told
    // once that has happened.
    m_closeUpPosted = true;
    QMetaObject::invokeMethod(this, &CDeviceComboBox::DeliverCloseUp, Qt::QueuedConnection);
}

void CDeviceComboBox::DeliverCloseUp() {
    m_closeUpPosted = false;
    Q_EMIT CloseUp();
}
