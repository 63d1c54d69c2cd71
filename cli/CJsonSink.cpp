#include "cli/CJsonSink.h"

#include "cli/CTerminalText.h"

void CJsonSink::AppendText(const std::string& text, uint32_t colour, bool bold) {
    if (text.empty())
        return;
    m_out << "{\"text\": " << JsonString(text) << ", \"color\": " << colour
          << ", \"bold\": " << (bold ? "true" : "false") << "}\n";
}

void CJsonSink::AppendNewLine() {
    m_out << "{\"text\": \"\\r\\n\", \"color\": null, \"bold\": false}\n";
}

void CJsonSink::ScrollToEnd() {
    m_out.flush();
}
