// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "settings/CDisplaySettings.h"

#include <QFont>
#include <QString>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextDocument>

#include <optional>
#include <ostream>
#include <utility>
#include <vector>

// One run of equally formatted text as a document holds it; a line end is a run of "\n".
struct CRun {
    QString text;
    std::optional<COLORREF> colour; // empty: the widget's default text colour
    bool bold = false;
    bool operator==(const CRun& other) const {
        return text == other.text && colour == other.colour && bold == other.bold;
    }
    friend std::ostream& operator<<(std::ostream& os, const CRun& run) {
        os << '"' << run.text.toStdString() << "\" ";
        if (run.colour) {
            os << std::hex << *run.colour << std::dec;
        } else {
            os << "automatic";
        }
        return os << (run.bold ? " bold" : "");
    }
};

inline const CRun kLineEnd{QStringLiteral("\n"), std::nullopt, false};

inline std::optional<COLORREF> ColourOf(const QTextCharFormat& format) {
    if (!format.hasProperty(QTextFormat::ForegroundBrush)) {
        return std::nullopt;
    }
    const QColor c = format.foreground().color();
    return RGB(uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue()));
}

// Adds `run`, joined to the run before it when both have one format and neither is a line end,
// for comparing outputs that may split their runs differently.
inline void AddMergedRun(std::vector<CRun>& runs, CRun run) {
    if (!runs.empty() && run.text != "\n" && runs.back().text != "\n" &&
        runs.back().colour == run.colour && runs.back().bold == run.bold) {
        runs.back().text += run.text;
    } else {
        runs.push_back(std::move(run));
    }
}

// Every run of `document` in order, as the document splits them or, with `merged`, joined.
inline std::vector<CRun> Runs(const QTextDocument& document, bool merged = false) {
    std::vector<CRun> runs;
    const auto add = [&](CRun run) {
        if (merged) {
            AddMergedRun(runs, std::move(run));
        } else {
            runs.push_back(std::move(run));
        }
    };
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin()) {
            add(kLineEnd);
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            add({it.fragment().text(), ColourOf(format), format.fontWeight() == QFont::Bold});
        }
    }
    return runs;
}
