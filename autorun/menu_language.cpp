#include "autorun/menu_language.h"

#include <cstddef>

namespace {

struct LanguagePage {
    std::uint32_t page;
    const char* languages;  // blank-separated, each followed by a blank
};

// As the kit writes the texts; a language missing here is stored in 1252.
constexpr LanguagePage LanguagePages[] = {
    {1250, "pl cs sk hu sl hr ro sq bs sr "},
    {1251, "ru uk be bg mk kk ky tt mn "},
    {1253, "el "},
    {1254, "tr az uz "},
    {1255, "he yi "},
    {1256, "ar fa ur "},
    {1257, "et lv lt "},
    {1258, "vi "},
    {874, "th "},
    {932, "ja "},
    {936, "zh "},
    {949, "ko "},
};
constexpr std::uint32_t DefaultCodePage = 1252;

std::string AsciiLower(std::string text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

}  // namespace

std::vector<std::string> MenuLanguagesToTry(const std::string& interfaceLanguage, const CommandLine& cmdline)
{
    const CommandLineOption& option = cmdline.FindOption("lang");
    const bool given = option.valid && option.values.size() == 1;
    return {given ? option.values[0] : interfaceLanguage, "en"};
}

std::uint32_t CodePageOfLanguage(const std::string& language)
{
    // A blank inside the language would match across two names.
    if (language.empty() || language.find(' ') != std::string::npos)
        return DefaultCodePage;
    const std::string word = AsciiLower(language) + " ";
    for (const LanguagePage& entry : LanguagePages) {
        const std::string list = std::string(" ") + entry.languages;
        if (list.find(" " + word) != std::string::npos)
            return entry.page;
    }
    return DefaultCodePage;
}
