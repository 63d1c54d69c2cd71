#pragma once

#include "device/CNotifier.h"

class QWidget;

// Shows the device layer's messages in a message box with an OK button, titled with the
// application's name.
class CMessageBoxNotifier : public CNotifier {
public:
    explicit CMessageBoxNotifier(QWidget* parent) : m_parent(parent) {}
    void ShowMessage(const std::string& text) override;

private:
    QWidget* m_parent;
};
