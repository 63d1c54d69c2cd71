// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "cli/CErrorReporter.h"
#include "device/CNotifier.h"

// Messages of the device layer go to standard error and make the command fail.
class CStderrNotifier : public CNotifier {
public:
    explicit CStderrNotifier(CErrorReporter& errors) : m_errors(errors) {}
    void ShowMessage(const std::string& text) override {
        m_errors.Report(text);
        ++m_count;
    }
    int Count() const { return m_count; }

private:
    CErrorReporter& m_errors;
    int m_count = 0;
};
