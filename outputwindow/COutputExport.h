// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <QString>

class QIODevice;
class QTextDocument;

// The output window's content as a file: plain UTF-8 text with one "\n" per line, the control
// bytes in the "[XX]" form the window shows, or an HTML page that keeps every run's colour
// and boldness on the window's white background.
class COutputExport {
public:
    enum class CFormat { PlainText, Html };

    static void Write(const QTextDocument& document, CFormat format, QIODevice& file);
    // Writes to `path`, replacing the file only once all was written. Empty on success, else
    // the reason in words.
    static QString Save(const QTextDocument& document, CFormat format, const QString& path);
};
