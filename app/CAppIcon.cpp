// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "app/CAppIcon.h"

// The resources live in a static library: they are registered on first use.
static void InitResources() {
    Q_INIT_RESOURCE(vantrel);
}

QIcon CAppIcon::Get() {
    static const bool initialised = (InitResources(), true);
    (void)initialised;
    return QIcon(QStringLiteral(":/vantrel.svg"));
}
