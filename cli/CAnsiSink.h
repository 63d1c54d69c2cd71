#pragma once

#include "cli/CPlainSink.h"

// Text in the colours of the display settings as 24-bit terminal colours, bold where the window
// shows bold; "Automatic" is the terminal's own text colour.
class CAnsiSink : public CPlainSink {
public:
    using CPlainSink::CPlainSink;
    ~CAnsiSink() override;
    void AppendText(const std::string& text, uint32_t colour, bool bold) override;
    void AppendNewLine() override;
};
