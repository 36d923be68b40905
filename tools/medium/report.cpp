#include "report.h"

#include <algorithm>

void Report::Error(const std::string& file, int line, const std::string& text)
{
    findings.push_back({file, line, Severity::Error, text});
}

void Report::Warning(const std::string& file, int line, const std::string& text)
{
    findings.push_back({file, line, Severity::Warning, text});
}

int Report::Count(Severity severity) const
{
    return static_cast<int>(std::count_if(findings.begin(), findings.end(),
                                          [&](const Finding& f) { return f.severity == severity; }));
}

std::string FormatFinding(const Finding& finding)
{
    return finding.file + ":" + std::to_string(finding.line) + ": " +
           (finding.severity == Severity::Error ? "error: " : "warning: ") + finding.text;
}

namespace {
std::string Counted(int n, const char* what)
{
    return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
}
}  // namespace

std::string Summary(const Report& report)
{
    return Counted(report.Count(Severity::Error), "error") + ", " +
           Counted(report.Count(Severity::Warning), "warning");
}

void PrintReport(FILE* out, const Report& report)
{
    for (const Finding& finding : report.findings)
        std::fprintf(out, "%s\n", FormatFinding(finding).c_str());
    std::fprintf(out, "%s\n", Summary(report).c_str());
}
