// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <QIcon>

// The application icon, drawn as a scalable image in the resources.
class CAppIcon {
public:
    static QIcon Get();
};
