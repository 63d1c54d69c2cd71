// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <QString>

class CSettingsStore;
class QTextDocument;
class QWidget;

// "Save Output As...": asks for a file in the desktop's file dialog, which opens in the folder
// used last, and writes the output window's content there as text or HTML. A failure is shown
// in a message box that names the file.
class COutputSaver {
public:
    // The folder is kept in a section of its own, apart from the program's other settings.
    static const char kSection[];
    static const char kFolderKey[];

    COutputSaver(CSettingsStore& store, const QTextDocument& document);

    void Run(QWidget* parent);

private:
    QString StartFolder() const;

    CSettingsStore& m_store;
    const QTextDocument& m_document;
};
