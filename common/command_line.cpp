// Parses the untrusted command-line text handed to a GUI entry point. Every
// byte sequence yields a sequence of entries ending with the end marker; the
// walks below only read up to the terminating NUL.
#include "common/command_line.h"

namespace {

bool IsOptionPrefix(char c)
{
    return c == '-' || c == '/';
}

// Strips the quotes a user put around a value. With a single quote left open
// the text ran to the end of the value, so only the opening quote goes.
std::string Unquote(const char* begin, const char* end, std::size_t quotes)
{
    std::size_t length = static_cast<std::size_t>(end - begin);
    if (quotes >= 2 && begin[0] == '"' && end[-1] == '"') {
        return std::string(begin + 1, length - 2);
    }
    if (quotes == 1 && begin[0] == '"') {
        return std::string(begin + 1, length - 1);
    }
    return std::string(begin, length);
}

void CutValues(const char* begin, const char* end, std::vector<std::string>& values)
{
    const char* piece = begin;
    while (piece < end) {
        std::size_t quotes = 0;
        const char* pos = piece;
        while (pos < end && !(*pos == ',' && quotes % 2 == 0)) {
            if (*pos == '"')
                ++quotes;
            ++pos;
        }
        values.push_back(Unquote(piece, pos, quotes));
        piece = pos + 1;
    }
}

}  // namespace

CommandLine::CommandLine(const char* text)
{
    // A missing text is read as an empty command line rather than a crash.
    const char* cursor = text != nullptr ? text : "";
    while (*cursor != '\0') {
        while (*cursor == ' ')
            ++cursor;

        // The cursor may now rest on the NUL: trailing blanks beyond the one
        // that ends the last token make an empty positional argument.
        const char* start = cursor;
        const bool option = IsOptionPrefix(*start);
        std::size_t quotes = 0;
        const char* colon = nullptr;
        const char* end = start;
        while (*end != '\0' && !(*end == ' ' && quotes % 2 == 0)) {
            if (*end == '"') {
                ++quotes;
            } else if (option && *end == ':' && quotes == 0 && colon == nullptr) {
                colon = end;
            }
            ++end;
        }

        CommandLineOption entry;
        entry.valid = true;
        entry.token.assign(start, end);
        if (option && colon == nullptr) {
            entry.name.assign(start + 1, end);
        } else if (option) {
            entry.name.assign(start + 1, colon);
            CutValues(colon + 1, end, entry.values);
        } else {
            entry.values.push_back(Unquote(start, end, quotes));
        }
        entries_.push_back(std::move(entry));

        cursor = end;
        if (*cursor != '\0')
            ++cursor;
    }
    entries_.emplace_back();
}

const CommandLineOption& CommandLine::FindOption(const std::string& name) const
{
    for (const CommandLineOption& entry : entries_) {
        if (!entry.valid)
            break;
        if (entry.name == name)
            return entry;
    }
    return entries_.back();
}

const CommandLineOption& CommandLine::OptionAt(std::size_t i) const
{
    return i < entries_.size() ? entries_[i] : entries_.back();
}
