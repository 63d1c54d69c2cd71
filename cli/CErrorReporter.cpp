// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "cli/CErrorReporter.h"

namespace {
constexpr char kPrefix[] = "vantrel-cli: ";
} // namespace

int CErrorReporter::Fail(const std::string& message, int code) {
    Report(message);
    return code;
}

int CErrorReporter::Usage(const std::string& problem) {
    Report(problem + "\n(\"vantrel-cli --help\" shows the usage)");
    return kExitUsage;
}

void CErrorReporter::Report(const std::string& message) {
    if (++m_count <= kShownLimit) {
        m_err << kPrefix << message << "\n";
    }
}

void CErrorReporter::Finish() {
    if (m_count > kShownLimit) {
        m_err << kPrefix << m_count - kShownLimit << " more errors were not shown\n";
    }
    m_err.flush();
}
