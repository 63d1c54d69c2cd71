#include "cli/CAnsiSink.h"

#include <cstdio>

namespace {
constexpr uint32_t kAutomatic = 0xFF000000u;
constexpr char kReset[] = "\x1b[0m";
} // namespace

CAnsiSink::~CAnsiSink() {
    m_out.flush();
}

void CAnsiSink::AppendText(const std::string& text, uint32_t colour, bool bold) {
    if (text.empty())
        return;
    char sgr[40];
    if (colour == kAutomatic)
        std::snprintf(sgr, sizeof sgr, "\x1b[%s39m", bold ? "1;" : "");
    else
        std::snprintf(sgr, sizeof sgr, "\x1b[%s38;2;%u;%u;%um", bold ? "1;" : "", colour & 0xFF,
                      (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
    m_out << sgr;
    WriteText(text);
    m_out << kReset;
}

void CAnsiSink::AppendNewLine() {
    m_out << kReset << '\n';
}
