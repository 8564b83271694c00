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

// `language` is `word` (lower case) but for the case of its ASCII letters.
bool SameWord(const std::string& language, const char* word, std::size_t length)
{
    if (language.size() != length)
        return false;
    for (std::size_t i = 0; i < length; ++i) {
        char c = language[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != word[i])
            return false;
    }
    return true;
}

}  // namespace

std::vector<std::string> MenuLanguagesToTry(const std::string& interfaceLanguage, const CommandLine& cmdline)
{
    const CommandLineOption& option = cmdline.FindOption("lang");
    const bool given = option.valid && option.values.size() == 1;
    // Filled in place: a braced list would copy both strings once more.
    std::vector<std::string> languages(2);
    languages[0] = given ? option.values[0] : interfaceLanguage;
    languages[1] = "en";
    return languages;
}

std::uint32_t CodePageOfLanguage(const std::string& language)
{
    // Word by word, without building strings: no word of the table is empty
    // or holds a blank, so neither matches any.
    for (const LanguagePage& entry : LanguagePages) {
        for (const char* word = entry.languages; *word != '\0';) {
            const char* end = word;
            while (*end != ' ' && *end != '\0')
                ++end;
            if (SameWord(language, word, static_cast<std::size_t>(end - word)))
                return entry.page;
            word = *end == '\0' ? end : end + 1;
        }
    }
    return DefaultCodePage;
}
