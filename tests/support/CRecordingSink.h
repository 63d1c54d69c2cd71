#pragma once

#include "output/COutputSink.h"

#include <optional>
#include <vector>

// Keeps every insertion with its text, colour and boldness, in order. A line end from
// AppendNewLine has no colour of its own; ScrollToEnd is counted.
class CRecordingSink : public COutputSink {
public:
    struct CInsertion {
        std::string text;
        std::optional<uint32_t> colour; // empty for AppendNewLine
        bool bold = false;
        bool operator==(const CInsertion& other) const {
            return text == other.text && colour == other.colour && bold == other.bold;
        }
    };

    void AppendText(const std::string& text, uint32_t colour, bool bold) override;
    void AppendNewLine() override;
    void ScrollToEnd() override { ++m_scrolls; }

    const std::vector<CInsertion>& Insertions() const { return m_insertions; }
    // All inserted text concatenated, as the window would show it.
    std::string Text() const;
    int Scrolls() const { return m_scrolls; }
    void Clear();

private:
    std::vector<CInsertion> m_insertions;
    int m_scrolls = 0;
};
