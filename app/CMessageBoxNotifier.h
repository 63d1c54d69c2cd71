// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "device/CNotifier.h"
#include "panels/CDeviceCallGuard.h"

#include <functional>
#include <string>

class QWidget;

// Shows the device layer's messages in a message box with an OK button, titled with the
// application's name. The box belongs to the main dialog and counts as a call into the device,
// so that nothing replaces the device while it is open.
class CMessageBoxNotifier : public CNotifier {
public:
    CMessageBoxNotifier(QWidget* parent, CDeviceCallGuard::CCounter* calls)
        : m_parent(parent), m_calls(calls) {}
    void ShowMessage(const std::string& text) override;
    void SuggestCompleteDecoding(const std::string& why) override {
        if (m_suggest) {
            m_suggest(why);
        }
    }
    // Where suggestions go: the main dialog's hint bar.
    void SetSuggestionHandler(std::function<void(const std::string&)> suggest) {
        m_suggest = std::move(suggest);
    }

private:
    QWidget* m_parent;
    CDeviceCallGuard::CCounter* m_calls;
    std::function<void(const std::string&)> m_suggest;
};
