#include "disckit/menucheck/field_checks.h"

#include "autorun/command_words.h"
#include "autorun/commands_logic.h"
#include "autorun/menu_text.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr std::size_t MaxExcerpt = 40;
constexpr std::size_t MaxSuggestionDistance = 2;
constexpr const char* CommandWords[] = {"close", "showmenu", "back", "execute"};

// The blanks that atol skips before a number.
bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::size_t EditDistance(const std::string& a, const std::string& b)
{
    std::vector<std::size_t> previous(b.size() + 1), current(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        previous[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        current[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j)
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + (a[i - 1] != b[j - 1])});
        previous.swap(current);
    }
    return previous[b.size()];
}

// The command word that `word` most likely meant, or nothing.
std::string Suggestion(const std::string& word)
{
    const std::string lower = Lower(word);
    std::string best;
    std::size_t bestDistance = MaxSuggestionDistance + 1;
    for (const char* candidate : CommandWords) {
        const std::string known = candidate;
        // Far longer or shorter words cannot be near; they are not measured.
        if (lower.size() > known.size() + MaxSuggestionDistance || known.size() > lower.size() + MaxSuggestionDistance)
            continue;
        const std::size_t distance = EditDistance(lower, known);
        if (distance < bestDistance) {
            best = known;
            bestDistance = distance;
        }
    }
    return best;
}

}  // namespace

std::string QuotedExcerpt(const std::string& text)
{
    if (text.size() <= MaxExcerpt)
        return "\"" + text + "\"";
    return "\"" + text.substr(0, MaxExcerpt) + "...\"";
}

std::vector<int> LinesWithNul(const std::string& text)
{
    std::vector<int> lines;
    int line = 1;
    for (char c : text) {
        if (c == '\n')
            ++line;
        else if (c == '\0' && (lines.empty() || lines.back() != line))
            lines.push_back(line);
    }
    return lines;
}

FieldFinding CheckCoordinate(const std::string& field)
{
    std::size_t i = 0;
    while (i < field.size() && IsBlank(field[i]))
        ++i;
    if (i < field.size() && (field[i] == '+' || field[i] == '-'))
        ++i;
    const std::size_t digits = i;
    while (i < field.size() && IsDigit(field[i]))
        ++i;
    const std::string value = std::to_string(ReadCoordinate(field));
    if (i == digits)
        return {"coordinate-not-a-number",
                "coordinate " + QuotedExcerpt(field) + " is not a number; autorun reads it as " + value};
    while (i < field.size() && IsBlank(field[i]))
        ++i;
    if (i == field.size())
        return {};
    return {"coordinate-trailing-text",
            "coordinate " + QuotedExcerpt(field) + " has text after its number; autorun reads it as " + value};
}

FieldFinding CheckCommandWord(const std::string& command, const std::string& argument)
{
    if (ChooseCommand(command) != CommandKind::Execute || command == "execute")
        return {};
    const std::string target = SplitExecuteArgument(argument).target;
    std::string text = "command " + QuotedExcerpt(command) + " is none of close, showmenu, back and execute; ";
    text += target.empty() ? std::string("autorun takes it for a start command")
                           : "autorun starts " + QuotedExcerpt(target) + " through the shell";
    const std::string suggestion = Suggestion(command);
    if (!suggestion.empty())
        text += "; did you mean " + suggestion + "?";
    return {"unknown-command", text};
}

FieldFinding CheckFieldLength(const std::string& field, const std::string& what)
{
    if (field.size() < LongFieldLength)
        return {};
    return {"long-field", "the " + what + " field has " + std::to_string(field.size()) +
                              " characters; a menu text this long is a damaged or wrong file"};
}
