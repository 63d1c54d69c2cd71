#pragma once

#include "output/COutputSink.h"

#include <ostream>

// Text only: every line end becomes a newline.
class CPlainSink : public COutputSink {
public:
    explicit CPlainSink(std::ostream& out) : m_out(out) {}
    void AppendText(const std::string& text, uint32_t colour, bool bold) override;
    void AppendNewLine() override;
    void ScrollToEnd() override;

protected:
    // Writes `text` with "\r\n" as a newline.
    void WriteText(const std::string& text);
    std::ostream& m_out;
};
