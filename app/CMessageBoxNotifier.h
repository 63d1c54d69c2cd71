#pragma once

#include "device/CNotifier.h"
#include "panels/CDeviceCallGuard.h"

class QWidget;

// Shows the device layer's messages in a message box with an OK button, titled with the
// application's name. The box belongs to the main dialog and counts as a call into the device,
// so that nothing replaces the device while it is open.
class CMessageBoxNotifier : public CNotifier {
public:
    CMessageBoxNotifier(QWidget* parent, CDeviceCallGuard::CCounter* calls)
        : m_parent(parent), m_calls(calls) {}
    void ShowMessage(const std::string& text) override;

private:
    QWidget* m_parent;
    CDeviceCallGuard::CCounter* m_calls;
};
