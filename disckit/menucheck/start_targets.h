// What a start hotspot asks the shell to open, told apart by its target
// alone: a file of the disc, a program of Windows found through the search
// path, an address, or something elsewhere.
#pragma once

#include "disckit/menucheck/field_checks.h"

#include <string>

enum class TargetKind {
    DiscPath,  // a path relative to the disc's root: missing from it, nothing starts
    BareName,  // a program's name without a folder: the disc's root, then the search path
    Address,   // http:, https:, mailto: and the like, handed to their program
    Elsewhere  // a drive, the root of the current drive, another machine, a placeholder
};

struct TargetJudgement {
    TargetKind kind;
    FieldFinding finding;  // empty code: nothing to report before the disc is looked at
};

TargetJudgement JudgeStartTarget(const std::string& target);

// A program that Windows brings and the shell finds by its name alone
// ("explorer", "notepad.exe"), without regard to case.
bool IsWindowsProgram(const std::string& name);
