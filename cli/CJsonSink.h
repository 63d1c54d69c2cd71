#pragma once

#include "output/COutputSink.h"

#include <ostream>

// One JSON object per insertion, one per line: {"text": "...", "color": N, "bold": b}, where N is
// the colour word as the settings store keeps it; a line end of its own has "color": null.
class CJsonSink : public COutputSink {
public:
    explicit CJsonSink(std::ostream& out) : m_out(out) {}
    void AppendText(const std::string& text, uint32_t colour, bool bold) override;
    void AppendNewLine() override;
    void ScrollToEnd() override;

private:
    std::ostream& m_out;
};
