// Reads the resources of the built autorun.exe the way Windows and the
// program itself find them: the manifest, the icon group, the version block,
// the string tables of every language, the menu texts and the menu bitmaps.
#include "autorun/resources/resource_ids.h"
#include "tests/wine/support/test_support.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

// The module is mapped as data only: nothing of it runs, and the resource
// functions work on it just as on a loaded program.
UniqueLibrary OpenModule()
{
    return UniqueLibrary(LoadLibraryExA(WindowsPath(RESOURCE_MODULE).c_str(), nullptr,
                                        LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
}

// The bytes of one resource in one language; empty when there is none.
std::string ResourceBytes(HMODULE module, LPCSTR type, LPCSTR name,
                          WORD language = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL))
{
    HRSRC found = FindResourceExA(module, type, name, language);
    if (!found)
        return {};
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data)
        return {};
    return std::string(static_cast<const char*>(data), SizeofResource(module, found));
}

// A named CALLBACK function: a lambda would have the wrong calling
// convention on i686.
BOOL CALLBACK CollectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR list)
{
    reinterpret_cast<std::vector<WORD>*>(list)->push_back(language);
    return TRUE;
}

std::vector<WORD> ResourceLanguages(HMODULE module, LPCSTR type, LPCSTR name)
{
    std::vector<WORD> languages;
    EnumResourceLanguagesA(module, type, name, CollectLanguage, reinterpret_cast<LONG_PTR>(&languages));
    return languages;
}

std::string Utf8(const wchar_t* text, size_t length)
{
    if (length == 0)
        return {};
    int size = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), &out[0], size, nullptr, nullptr);
    return out;
}

// The entries of one string-table block: 16 counted UTF-16 strings.
std::vector<std::string> StringBlock(const std::string& bytes)
{
    std::vector<std::string> entries;
    size_t pos = 0;
    while (entries.size() < 16 && pos + 2 <= bytes.size()) {
        WORD length = 0;
        std::memcpy(&length, bytes.data() + pos, 2);
        pos += 2;
        if (pos + length * 2u > bytes.size())
            break;
        std::wstring text(length, L'\0');
        std::memcpy(&text[0], bytes.data() + pos, length * 2u);
        pos += length * 2u;
        entries.push_back(Utf8(text.data(), text.size()));
    }
    return entries;
}

// The language code, About and copyright strings lie in one block of 16.
constexpr WORD LanguageCodeBlock = IDS_LANGUAGE / 16 + 1;
static_assert(IDS_COPYRIGHT / 16 + 1 == LanguageCodeBlock, "the strings share a block");
constexpr int FirstIdOfBlock = (LanguageCodeBlock - 1) * 16;

struct LanguageStrings {
    WORD language;
    const char* code;
    const char* about;  // UTF-8
};

const LanguageStrings Languages[] = {
    {MAKELANGID(LANG_SPANISH, SUBLANG_NEUTRAL), "es", "Sobre este CD"},
    {MAKELANGID(LANG_POLISH, SUBLANG_NEUTRAL), "pl", "About this CD"},
    {MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), "de", "Über diese CD"},
    {MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), "en", "About this CD"},
    {MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH), "fr", "À propos de ce CD-ROM"},
    {MAKELANGID(LANG_ITALIAN, SUBLANG_ITALIAN), "it", "Informazioni su questo CD-ROM"},
    {MAKELANGID(LANG_DUTCH, SUBLANG_DUTCH), "nl", "Info CD"},
    {MAKELANGID(LANG_PORTUGUESE, SUBLANG_PORTUGUESE), "pt", "About this CD"},
};

// The text between "<name" and the next ">": one element's attributes.
std::string Element(const std::string& xml, const std::string& name, size_t& from)
{
    size_t start = xml.find("<" + name + " ", from);
    if (start == std::string::npos)
        return {};
    size_t end = xml.find('>', start);
    from = end;
    return xml.substr(start, end == std::string::npos ? std::string::npos : end - start + 1);
}

bool Has(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width;
    BYTE height;
    BYTE colours;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

std::string VersionString(const std::vector<char>& block, const char* name)
{
    char* value = nullptr;
    UINT length = 0;
    std::string path = std::string("\\StringFileInfo\\000004B0\\") + name;
    if (!VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) || !value)
        return "(missing)";
    return std::string(value);
}

const char* const MenuIndex =
    "75;163;258;206;execute;software\\pdfreader\\docrunner.exe manual\\manual-de.pdf\r\n"
    "75;214;279;257;execute;software\\pdfreader\\docrunner.exe manual\\produktblatt.pdf\r\n"
    "584;5;595;16;close;\r\n";

}  // namespace

// Each build asks for the Common-Controls assembly of its own architecture.
#ifdef _WIN64
const char* const OwnArchitecture = "processorArchitecture=\"amd64\"";
#else
const char* const OwnArchitecture = "processorArchitecture=\"X86\"";
#endif

WINE_TEST(manifest_names_the_program_and_its_needs)
{
    UniqueLibrary module = OpenModule();
    REQUIRE(module);
    std::string xml = ResourceBytes(module.get(), MAKEINTRESOURCEA(24), MAKEINTRESOURCEA(1));
    REQUIRE(!xml.empty());

    size_t pos = 0;
    std::string identity = Element(xml, "assemblyIdentity", pos);
    CHECK(Has(identity, "name=\"Velmora.autorun\""));
    CHECK(Has(identity, "version=\"30.0.0.0\""));
    CHECK(Has(identity, OwnArchitecture));
    CHECK(Has(identity, "type=\"win32\""));

    size_t dependency = xml.find("<dependency>");
    REQUIRE(dependency != std::string::npos);
    std::string controls = Element(xml, "assemblyIdentity", dependency);
    CHECK(Has(controls, "name=\"Microsoft.Windows.Common-Controls\""));
    CHECK(Has(controls, "version=\"6.0.0.0\""));
    CHECK(Has(controls, OwnArchitecture));

    pos = 0;
    std::string level = Element(xml, "requestedExecutionLevel", pos);
    CHECK(Has(level, "level=\"asInvoker\""));
    CHECK(Has(level, "uiAccess=\"false\""));

    // Windows Vista and Windows 7, and nothing else.
    pos = 0;
    std::vector<std::string> systems;
    for (std::string os; !(os = Element(xml, "supportedOS", pos)).empty();)
        systems.push_back(os);
    REQUIRE(systems.size() == 2u);
    CHECK(Has(systems[0], "{e2011457-1546-43c5-a5fe-008deee3d3f0}"));
    CHECK(Has(systems[1], "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"));
}

WINE_TEST(icon_group_has_nine_images)
{
    UniqueLibrary module = OpenModule();
    REQUIRE(module);
    HRSRC found = FindResourceA(module.get(), MAKEINTRESOURCEA(IDI_AUTORUN), RT_GROUP_ICON);
    REQUIRE(found);
    const BYTE* group = static_cast<const BYTE*>(LockResource(LoadResource(module.get(), found)));
    REQUIRE(group);
    WORD header[3];
    std::memcpy(header, group, sizeof header);
    CHECK_EQ(header[1], 1);  // icons, not cursors
    REQUIRE(header[2] == 9);
    REQUIRE(SizeofResource(module.get(), found) >= 6 + 9 * sizeof(GroupIconEntry));

    std::vector<std::string> seen;
    for (int i = 0; i < 9; ++i) {
        GroupIconEntry entry;
        std::memcpy(&entry, group + 6 + i * sizeof entry, sizeof entry);
        int size = entry.width ? entry.width : 256;
        seen.push_back(std::to_string(size) + "x" + std::to_string(entry.height) + "@" +
                       std::to_string(entry.bitCount));

        // The image itself must agree with what the group says of it, or
        // Windows picks one and draws another.
        std::string image =
            ResourceBytes(module.get(), RT_ICON, MAKEINTRESOURCEA(entry.id), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
        REQUIRE(image.size() >= sizeof(BITMAPINFOHEADER));
        CHECK_EQ(image.size(), static_cast<size_t>(entry.bytes));
        BITMAPINFOHEADER info;
        std::memcpy(&info, image.data(), sizeof info);
        CHECK_EQ(info.biWidth, size);
        CHECK_EQ(info.biHeight, 2 * size);  // colour rows and mask rows
        CHECK_EQ(info.biBitCount, entry.bitCount);
        CHECK_EQ(info.biCompression, static_cast<DWORD>(BI_RGB));
        CHECK_EQ(entry.colours, entry.bitCount == 4 ? 16 : 0);
    }
    const std::vector<std::string> expected = {"48x48@4",  "48x48@8", "48x48@32", "32x32@4", "32x32@8",
                                               "32x32@32", "16x16@4", "16x16@8",  "16x16@32"};
    CHECK(seen == expected);

    for (int size : {48, 32, 16}) {
        HICON loaded =
            static_cast<HICON>(LoadImageA(module.get(), MAKEINTRESOURCEA(IDI_AUTORUN), IMAGE_ICON, size, size, 0));
        CHECK(loaded != nullptr);
        if (!loaded)
            continue;
        ICONINFO info = {};
        CHECK(GetIconInfo(loaded, &info));
        BITMAP colour = {};
        if (info.hbmColor)
            GetObjectA(info.hbmColor, sizeof colour, &colour);
        CHECK_EQ(colour.bmWidth, size);
        if (info.hbmColor)
            DeleteObject(info.hbmColor);
        if (info.hbmMask)
            DeleteObject(info.hbmMask);
        DestroyIcon(loaded);
    }
}

WINE_TEST(version_block_gives_version_30)
{
    std::string path = WindowsPath(RESOURCE_MODULE);
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    REQUIRE(size > 0);
    std::vector<char> block(size);
    REQUIRE(GetFileVersionInfoA(path.c_str(), 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    REQUIRE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length) && fixed);
    CHECK_EQ(fixed->dwSignature, 0xFEEF04BDu);
    CHECK_EQ(fixed->dwFileVersionMS, 30u << 16);
    CHECK_EQ(fixed->dwFileVersionLS, 0u);
    CHECK_EQ(fixed->dwProductVersionMS, 30u << 16);
    CHECK_EQ(fixed->dwProductVersionLS, 0u);
    CHECK_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

    CHECK_EQ(VersionString(block, "FileVersion"), "30.0.0.0");
    CHECK_EQ(VersionString(block, "ProductVersion"), "30.0.0.0");
    CHECK_EQ(VersionString(block, "CompanyName"), "Velmora");
    CHECK(Has(VersionString(block, "LegalCopyright"), "Velmora"));
    CHECK(Has(VersionString(block, "FileDescription"), "CD launcher application"));
    CHECK(Has(VersionString(block, "ProductName"), "CD launcher application"));

    // Explorer reads the strings in the language and code page named here.
    WORD* translation = nullptr;
    REQUIRE(
        VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length) &&
        translation);
    REQUIRE(length >= 4);
    CHECK_EQ(translation[0], 0);
    CHECK_EQ(translation[1], 1200);
}

WINE_TEST(string_tables_in_eight_languages)
{
    UniqueLibrary module = OpenModule();
    REQUIRE(module);
    std::vector<WORD> languages = ResourceLanguages(module.get(), RT_STRING, MAKEINTRESOURCEA(LanguageCodeBlock));
    CHECK_EQ(languages.size(), sizeof Languages / sizeof Languages[0]);

    for (const LanguageStrings& expected : Languages) {
        std::string bytes =
            ResourceBytes(module.get(), RT_STRING, MAKEINTRESOURCEA(LanguageCodeBlock), expected.language);
        CHECK(!bytes.empty());
        if (bytes.empty()) {
            std::printf("    no strings for language 0x%04X\n", expected.language);
            continue;
        }
        std::vector<std::string> entries = StringBlock(bytes);
        REQUIRE(entries.size() == 16u);
        CHECK_EQ(entries[IDS_LANGUAGE - FirstIdOfBlock], expected.code);
        CHECK_EQ(entries[IDS_ABOUT - FirstIdOfBlock], expected.about);

        // The copyright notice is a printf format for the year alone.
        const std::string& copyright = entries[IDS_COPYRIGHT - FirstIdOfBlock];
        size_t mark = copyright.find('%');
        CHECK(mark != std::string::npos && copyright.compare(mark, 2, "%d") == 0);
        CHECK(mark == std::string::npos || copyright.find('%', mark + 1) == std::string::npos);
        CHECK(Has(copyright, "Velmora"));
        // What a reader says for unnamed close and back hotspots and for
        // their default action, in every language.
        for (const int word : {IDS_CLOSE, IDS_BACK, IDS_PRESS})
            CHECK(!entries[word - FirstIdOfBlock].empty());
    }
}

// What the program reads with LoadStringA: the table of the user's language,
// in the ANSI code page (1252 for both languages here).
static void CheckUserStrings(const char* code, const char* about)
{
    REQUIRE(GetACP() == 1252);
    UniqueLibrary module = OpenModule();
    REQUIRE(module);
    char text[256];
    LoadStringA(module.get(), IDS_LANGUAGE, text, sizeof text);
    CHECK_EQ(std::string(text), code);
    LoadStringA(module.get(), IDS_ABOUT, text, sizeof text);
    CHECK_EQ(std::string(text), about);
}

WINE_TEST(german_user_reads_german_strings, "de_DE.UTF-8")
{
    CheckUserStrings("de",
                     "\xDC"
                     "ber diese CD");
}
WINE_TEST(french_user_reads_french_strings, "fr_FR.UTF-8")
{
    CheckUserStrings("fr", "\xC0 propos de ce CD-ROM");
}
WINE_TEST(english_user_reads_english_strings)
{
    CheckUserStrings("en", "About this CD");
}

WINE_TEST(menu_texts_are_byte_exact, "en_US.UTF-8", "de_DE.UTF-8")
{
    UniqueLibrary module = OpenModule();
    REQUIRE(module);
    // Asked for in lower case, as the program does; only English (United
    // States) copies exist, found from any user language.
    auto text = [&](const char* name) {
        HRSRC found = FindResourceA(module.get(), name, RT_RCDATA);
        if (!found)
            return std::string("(missing)");
        const char* data = static_cast<const char*>(LockResource(LoadResource(module.get(), found)));
        return std::string(data, SizeofResource(module.get(), found));
    };
    CHECK_EQ(text("menu"),
             "en;;;menu-en;Brenna Netquill 4412\r\n"
             "de;;;menu-de;Brenna Netquill 4412\r\n");
    CHECK_EQ(text("menu-en"), MenuIndex);
    CHECK_EQ(text("menu-de"), MenuIndex);
    for (const char* name : {"MENU", "MENU-EN", "MENU-DE"}) {
        std::vector<WORD> languages = ResourceLanguages(module.get(), RT_RCDATA, name);
        CHECK(languages == std::vector<WORD>{MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)});
    }
}

WINE_TEST(menu_bitmaps_are_600_by_450_true_colour, "en_US.UTF-8", "de_DE.UTF-8")
{
    UniqueLibrary module = OpenModule();
    REQUIRE(module);
    for (const char* name : {"MENU-EN", "MENU-DE"}) {
        std::string bytes = ResourceBytes(module.get(), RT_BITMAP, name, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
        REQUIRE(bytes.size() >= sizeof(BITMAPINFOHEADER));
        BITMAPINFOHEADER info;
        std::memcpy(&info, bytes.data(), sizeof info);
        CHECK_EQ(info.biSize, static_cast<DWORD>(sizeof info));
        CHECK_EQ(info.biWidth, 600);
        CHECK_EQ(info.biHeight, 450);  // positive: bottom-up rows
        CHECK_EQ(info.biPlanes, 1);
        CHECK_EQ(info.biBitCount, 24);
        CHECK_EQ(info.biCompression, static_cast<DWORD>(BI_RGB));
        CHECK_EQ(bytes.size(), sizeof info + 600u * 3 * 450);

        // What the program's loader gets from it.
        UniqueGdiObject bitmap(LoadImageA(module.get(), name, IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
        REQUIRE(bitmap);
        BITMAP loaded = {};
        GetObjectA(bitmap.get(), sizeof loaded, &loaded);
        CHECK_EQ(loaded.bmWidth, 600);
        CHECK_EQ(loaded.bmHeight, 450);
    }

    // Each language labels its buttons in its own words.
    Pixels english = LoadBitmapPixels(RESOURCE_MODULE, "menu-en");
    Pixels german = LoadBitmapPixels(RESOURCE_MODULE, "menu-de");
    REQUIRE(english.width == 600 && german.width == 600);
    const RECT buttons[] = {{75, 163, 258, 206}, {75, 214, 279, 257}};
    for (const RECT& button : buttons) {
        int differing = 0;
        for (int y = button.top; y < button.bottom; ++y)
            for (int x = button.left; x < button.right; ++x)
                differing += english.At(x, y) != german.At(x, y);
        CHECK(differing > 50);
    }
}
