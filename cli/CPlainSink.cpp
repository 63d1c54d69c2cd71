#include "cli/CPlainSink.h"

#include "cli/CTerminalText.h"

void CPlainSink::AppendText(const std::string& text, uint32_t, bool) {
    WriteText(text);
}

void CPlainSink::AppendNewLine() {
    m_out << '\n';
}

void CPlainSink::ScrollToEnd() {
    m_out.flush();
}

void CPlainSink::WriteText(const std::string& text) {
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        m_out << Latin1ToUtf8(text.substr(start, end - start)) << '\n';
    m_out << Latin1ToUtf8(text.substr(start));
}
