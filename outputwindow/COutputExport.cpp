// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "outputwindow/COutputExport.h"

#include <QColor>
#include <QFont>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextDocument>

#include <cerrno>
#include <cstring>

namespace {

// The window's text of one line: the document keeps a few characters in forms of its own.
QString LineText(const QTextBlock& block) {
    QString text = block.text();
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

void WritePlainText(const QTextDocument& document, QIODevice& file) {
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QByteArray line = LineText(block).toUtf8();
        if (block.next().isValid()) {
            line += '\n';
        }
        file.write(line);
    }
}

QString RunStyle(const QTextCharFormat& format) {
    QString style;
    if (format.hasProperty(QTextFormat::ForegroundBrush)) {
        style += QStringLiteral("color:%1;").arg(format.foreground().color().name());
    }
    if (format.fontWeight() >= QFont::Bold) {
        style += QStringLiteral("font-weight:bold;");
    }
    return style;
}

void WriteHtml(const QTextDocument& document, QIODevice& file) {
    const QFont font = document.defaultFont();
    file.write(QStringLiteral("<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n"
                              "<title>Vantrel output</title>\n</head>\n"
                              "<body style=\"background:#ffffff;color:#000000\">\n"
                              "<pre style=\"font-family:'%1',monospace;font-size:%2pt\">")
                   .arg(font.family().toHtmlEscaped())
                   .arg(font.pointSizeF())
                   .toUtf8());
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QString line;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QString text = fragment.text().toHtmlEscaped();
            const QString style = RunStyle(fragment.charFormat());
            if (style.isEmpty()) {
                line += text;
            } else {
                line += QStringLiteral("<span style=\"%1\">%2</span>").arg(style, text);
            }
        }
        if (block.next().isValid()) {
            line += QLatin1Char('\n');
        }
        file.write(line.toUtf8());
    }
    file.write("</pre></body></html>");
}

} // namespace

void COutputExport::Write(const QTextDocument& document, CFormat format, QIODevice& file) {
    if (format == CFormat::Html) {
        WriteHtml(document, file);
    } else {
        WritePlainText(document, file);
    }
}

QString COutputExport::Save(const QTextDocument& document, CFormat format, const QString& path) {
    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) {
        // The system's own words say more than the file class's generic ones.
        return errno != 0 ? QString::fromLocal8Bit(std::strerror(errno)) : file.errorString();
    }
    Write(document, format, file);
    errno = 0;
    if (!file.commit()) {
        return errno != 0 ? QString::fromLocal8Bit(std::strerror(errno)) : file.errorString();
    }
    return QString();
}
