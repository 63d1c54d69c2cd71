#pragma once

#include <QComboBox>

// The device list's combo box: tells when its list is about to drop down (before it shows, so
// the list can be filled anew) and when it has closed up again, selected item or not, once
// the chosen item is the selection. A selection the user changes while the list is closed (by
// keyboard or wheel) is told as a close-up too, so the window never shows another reader than
// the one it talks to.
class CDeviceComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit CDeviceComboBox(QWidget* parent = nullptr);

    void showPopup() override;
    void hidePopup() override;

Q_SIGNALS:
    void DropDown();
    void CloseUp();

private:
    void OnActivated();
    void PostCloseUp();
    void DeliverCloseUp();

    bool m_dropped = false;
    // A close-up is on its way; the activation that follows choosing from the list is part of it.
    bool m_closeUpPosted = false;
};
