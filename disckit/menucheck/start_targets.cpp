#include "disckit/menucheck/start_targets.h"

#include <algorithm>
#include <cctype>
#include <iterator>

namespace {

// On the search path of every Windows the menu runs on, or registered
// under the shell's App Paths, which the shell also consults.
constexpr const char* WindowsPrograms[] = {
    "calc",     "charmap",  "cmd",     "control", "cscript", "explorer", "hh",      "iexplore",
    "mmc",      "msiexec",  "mspaint", "notepad", "powershell", "regedit", "rundll32", "taskmgr",
    "winhlp32", "wordpad",  "write",   "wscript",
};
constexpr const char* ProgramExtensions[] = {".exe", ".com", ".bat", ".cmd"};
constexpr const char* Placeholders[] = {"%root%", "%hwnd%"};

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The extension of a name, lower case with its dot; empty without one.
std::string ExtensionOf(const std::string& name)
{
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : Lower(name.substr(dot));
}

bool IsProgramExtension(const std::string& extension)
{
    return std::find(std::begin(ProgramExtensions), std::end(ProgramExtensions), extension) !=
           std::end(ProgramExtensions);
}

// "scheme:" of two letters or more (one letter is a drive), or empty.
std::string SchemeOf(const std::string& target)
{
    const std::size_t colon = target.find(':');
    if (colon == std::string::npos || colon < 2)
        return {};
    for (std::size_t i = 0; i < colon; ++i) {
        const auto c = static_cast<unsigned char>(target[i]);
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.')
            return {};
    }
    return Lower(target.substr(0, colon));
}

TargetJudgement JudgeAddress(const std::string& target, const std::string& scheme)
{
    if (scheme != "http" && scheme != "https")
        return {TargetKind::Address, {}};
    const std::string path = target.substr(0, target.find_first_of("?#"));
    const std::size_t slash = path.find_last_of('/');
    const std::string last = slash == std::string::npos ? path : path.substr(slash + 1);
    if (!IsProgramExtension(ExtensionOf(last)) && ExtensionOf(last) != ".msi")
        return {TargetKind::Address, {}};
    return {TargetKind::Elsewhere,
            {"target-other-machine", "start target " + QuotedExcerpt(target) +
                                         " is a program on another machine; the browser downloads it "
                                         "instead of starting it, and only where that machine is reachable"}};
}

}  // namespace

bool IsWindowsProgram(const std::string& name)
{
    std::string key = Lower(name);
    if (EndsWith(key, ".exe"))
        key.erase(key.size() - 4);
    return std::find(std::begin(WindowsPrograms), std::end(WindowsPrograms), key) != std::end(WindowsPrograms);
}

TargetJudgement JudgeStartTarget(const std::string& target)
{
    for (const char* placeholder : Placeholders) {
        if (target.find(placeholder) != std::string::npos)
            return {TargetKind::Elsewhere,
                    {"target-placeholder",
                     "start target " + QuotedExcerpt(target) + " holds " + placeholder +
                         ", but autorun replaces %root% and %hwnd% only in the parameters; the shell is asked "
                         "for the target as it is written: name a file of the disc relative to its root"}};
    }
    if (target.rfind("\\\\", 0) == 0)
        return {TargetKind::Elsewhere,
                {"target-other-machine", "start target " + QuotedExcerpt(target) +
                                             " is on another machine; it starts only where that share is "
                                             "reachable, never from the disc alone"}};
    const std::string scheme = SchemeOf(target);
    if (!scheme.empty())
        return JudgeAddress(target, scheme);
    if (target.find(':') != std::string::npos || target.empty() || target[0] == '\\')
        return {TargetKind::Elsewhere, {}};
    if (target.find('\\') == std::string::npos) {
        const std::string extension = ExtensionOf(target);
        if (extension.empty() || IsProgramExtension(extension))
            return {TargetKind::BareName, {}};
    }
    return {TargetKind::DiscPath, {}};
}
