#include "disckit/menucheck/diagnostic.h"

#include "disckit/menucheck/json_text.h"

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
        else if (c == '\0')
            text += "\\0";  // printed whole, not cut off at the NUL
        else
            text += c;
    }
    return text;
}

std::string FormatJsonRecord(const Diagnostic& diagnostic)
{
    std::string record = "{\"file\": " + JsonString(diagnostic.file);
    record += ", \"line\": " + std::to_string(diagnostic.line);
    record += diagnostic.severity == Severity::Error ? ", \"severity\": \"error\"" : ", \"severity\": \"warning\"";
    record += ", \"code\": " + JsonString(diagnostic.code);
    record += ", \"message\": " + JsonString(diagnostic.text);
    record += ", \"menu\": " + (diagnostic.menu ? JsonString(*diagnostic.menu) : std::string("null"));
    record += ", \"hotspot\": " + (diagnostic.hotspot > 0 ? std::to_string(diagnostic.hotspot) : std::string("null"));
    return record + "}";
}

std::string FormatJsonEnd(std::size_t errors, std::size_t warnings)
{
    return "{\"end\": {\"errors\": " + std::to_string(errors) + ", \"warnings\": " + std::to_string(warnings) + "}}";
}
