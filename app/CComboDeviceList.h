// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "device/CDeviceList.h"

class QComboBox;

// The device list over the main dialog's combo box: items kept sorted ignoring case (a new
// item after equal ones), nothing selected until enumeration selects.
class CComboDeviceList : public CDeviceList {
public:
    explicit CComboDeviceList(QComboBox& combo) : m_combo(combo) {}

    int GetCount() const override;
    void DeleteItem(int index) override;
    void AddItem(const std::string& text) override;
    std::string GetCurrentText() const override;
    bool SelectPrefix(const std::string& prefix) override;

private:
    QComboBox& m_combo;
};
