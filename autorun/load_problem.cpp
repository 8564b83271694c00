// The names and the line in a message are resource bytes that anyone can
// edit: they are shown as a printf "%s" would show them, never interpreted.
#include "autorun/load_problem.h"

std::string AsShown(const std::string& text)
{
    return text.substr(0, text.find('\0'));
}

std::string LoadProblemHeadline(const LoadProblem& problem)
{
    switch (problem.kind) {
    case LoadProblemKind::NoMainIndex:
        return "can't load main index from resources";
    case LoadProblemKind::BadMainIndexLine:
        return "invalid line in main index";
    case LoadProblemKind::NoMenuIndex:
        return "can't load menu index \"" + AsShown(problem.resource) + "\" from resources";
    case LoadProblemKind::NoMenuBitmap:
        return "can't load menu bitmap \"" + AsShown(problem.resource) + "\" from resources";
    case LoadProblemKind::BadMenuIndexLine:
        return "invalid line in menu index \"" + AsShown(problem.resource) + "\"";
    }
    return std::string();
}

bool ShowsLine(LoadProblemKind kind)
{
    return kind == LoadProblemKind::BadMainIndexLine || kind == LoadProblemKind::BadMenuIndexLine;
}

std::string FormatLoadProblem(const LoadProblem& problem)
{
    std::string message = "error: " + LoadProblemHeadline(problem);
    if (ShowsLine(problem.kind))
        message += ":\n" + AsShown(problem.line);
    message += "\n";
    return message;
}
