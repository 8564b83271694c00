#include "tools/menucheck/diagnostic.h"

std::string FormatDiagnostic(const Diagnostic& diagnostic)
{
    std::string text = diagnostic.file;
    if (diagnostic.line > 0)
        text += ":" + std::to_string(diagnostic.line);
    text += diagnostic.severity == Severity::Error ? ": error: " : ": warning: ";
    // A line that autorun would show may hold any bytes; keep one finding on
    // one output line.
    for (char c : diagnostic.text) {
        if (c == '\n')
            text += "\\n";
        else if (c == '\r')
            text += "\\r";
        else
            text += c;
    }
    return text;
}

bool HasErrors(const std::vector<Diagnostic>& diagnostics)
{
    for (const Diagnostic& diagnostic : diagnostics) {
        if (diagnostic.severity == Severity::Error)
            return true;
    }
    return false;
}
