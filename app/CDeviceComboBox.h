#pragma once

#include <QComboBox>

// The device list's combo box: tells when its list is about to drop down (before it shows, so
// the list can be filled anew) and when it has closed up again, selected item or not, once
// the chosen item is the selection.
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
    bool m_dropped = false;
};
