// One finding of the menu checker, written as "file:line: error: text".
#pragma once

#include <string>
#include <vector>

enum class Severity { Error, Warning };

struct Diagnostic {
    std::string file;
    int line = 0;  // 0: the file as a whole
    Severity severity = Severity::Error;
    std::string text;
};

std::string FormatDiagnostic(const Diagnostic& diagnostic);
bool HasErrors(const std::vector<Diagnostic>& diagnostics);
