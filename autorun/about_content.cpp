#include "autorun/about_content.h"

#include <cstddef>
#include <cstdio>
#include <string>

namespace {

constexpr std::size_t MaxUnmeasuredText = 16u << 20;

// `format` with `year` for its one conversion; the result is the whole text
// whatever its length. The format is the program's own resource.
std::string FormatYear(const std::string& format, int year)
{
    std::string buffer(256, '\0');
    for (;;) {
        const int length = std::snprintf(buffer.data(), buffer.size(), format.c_str(), year);
        if (length >= 0 && static_cast<std::size_t>(length) < buffer.size()) {
            buffer.resize(static_cast<std::size_t>(length));
            return buffer;
        }
        if (length >= 0) {
            buffer.resize(static_cast<std::size_t>(length) + 1);
            continue;
        }
        // Some C runtimes report only that the text did not fit; a formatter
        // that still fails with this much room meets a bad argument, not a
        // short buffer, and there is no complete text to give.
        if (buffer.size() >= MaxUnmeasuredText)
            return std::string();
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

AboutContent MakeAboutContent(const Menus& menus, const AboutFacts& facts)
{
    AboutContent content;
    if (!menus.empty())
        content.title = menus.front().title;
    const std::string date = facts.buildTimeRead ? facts.buildDate : std::string();
    content.text = facts.aboutText + " (" + date + ")";
    content.copyright = FormatYear(facts.copyrightFormat, facts.buildTimeRead ? facts.buildYear : facts.currentYear);
    return content;
}
