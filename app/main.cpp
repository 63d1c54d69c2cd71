// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "app/CVantrelApp.h"

int main(int argc, char** argv) {
    CVantrelApp app(argc, argv);
    return app.Run();
}
