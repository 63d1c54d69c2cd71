#include "cli/CErrorReporter.h"

namespace {
constexpr char kPrefix[] = "vantrel-cli: ";
} // namespace

int CErrorReporter::Fail(const std::string& message, int code) {
    Report(message);
    return code;
}

int CErrorReporter::Usage(const std::string& problem) {
    ++m_count;
    m_err << kPrefix << problem << "\n(\"vantrel-cli --help\" shows the usage)\n";
    return kExitUsage;
}

void CErrorReporter::Report(const std::string& message) {
    ++m_count;
    m_err << kPrefix << message << "\n";
}
