// One finding of the menu checker: a record from which both the text for
// people ("file:line: error: text") and the JSON line for programs are made.
#pragma once

#include <optional>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

enum class Severity { Error, Warning };

struct Diagnostic {
    Diagnostic(std::string file, int line, Severity severity, std::string text, std::string code = std::string())
        : file(std::move(file)), line(line), severity(severity), text(std::move(text)), code(std::move(code))
    {
    }

    std::string file;
    int line = 0;  // 0: the file as a whole
    Severity severity = Severity::Error;
    std::string text;
    std::string code;                 // a stable kebab-case name of the kind of finding
    std::optional<std::string> menu;  // the resource name of the menu it belongs to
    int hotspot = 0;                  // 1-based position of the hotspot in its menu index; 0: none
};

std::string FormatDiagnostic(const Diagnostic& diagnostic);

// One JSON object on one line, without its line end.
std::string FormatJsonRecord(const Diagnostic& diagnostic);
// The record that closes a complete JSON run; a reader that does not see it
// knows the check did not finish.
std::string FormatJsonEnd(std::size_t errors, std::size_t warnings);
