// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "cli/CErrorReporter.h"

#include "cli/COutputFileBuf.h"
#include "device/ErrorText.h"

#include <cerrno>

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

bool CErrorReporter::CheckWritten(std::ostream& out) {
    // A stream without a buffer discards what it is given on purpose.
    if (out.good() || !out.rdbuf() || m_writeFailed) {
        return !m_writeFailed;
    }
    // Standard output keeps the reason; another stream has left it in errno at best.
    const auto* file = dynamic_cast<const COutputFileBuf*>(out.rdbuf());
    const int code = file ? file->Error() : errno;
    m_writeFailed = true;
    Report("cannot write the output: " + (code != 0 ? ErrnoText(code) : "the write failed"));
    return false;
}
