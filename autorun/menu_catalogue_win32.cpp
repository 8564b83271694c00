// The menu definitions as the program's own resources hold them: raw-data
// texts for the indexes, bitmaps for the pictures. The loader itself is
// platform-free; this file only reaches the resources and standard output.
#include "autorun/menu_catalogue_win32.h"

#include "autorun/launcher_state.h"
#include "autorun/menu_text.h"

#include <cstddef>
#include <cstdio>
#include <vector>

// The loader stores what GetObjectA reports straight into the platform-free
// record, so both must agree field for field.
static_assert(sizeof(BitmapInfo) == sizeof(BITMAP), "BitmapInfo must be laid out like BITMAP");
static_assert(offsetof(BitmapInfo, type) == offsetof(BITMAP, bmType), "BitmapInfo::type");
static_assert(offsetof(BitmapInfo, width) == offsetof(BITMAP, bmWidth), "BitmapInfo::width");
static_assert(offsetof(BitmapInfo, height) == offsetof(BITMAP, bmHeight), "BitmapInfo::height");
static_assert(offsetof(BitmapInfo, bytesPerRow) == offsetof(BITMAP, bmWidthBytes), "BitmapInfo::bytesPerRow");
static_assert(offsetof(BitmapInfo, planes) == offsetof(BITMAP, bmPlanes), "BitmapInfo::planes");
static_assert(offsetof(BitmapInfo, bitsPerPixel) == offsetof(BITMAP, bmBitsPixel), "BitmapInfo::bitsPerPixel");
static_assert(offsetof(BitmapInfo, bits) == offsetof(BITMAP, bmBits), "BitmapInfo::bits");

namespace {

class ModuleResources : public MenuResources {
public:
    explicit ModuleResources(HINSTANCE instance) : instance_(instance) {}

    bool LoadText(const std::string& name, std::string& out) override
    {
        return LoadTextResource(instance_, name.c_str(), out);
    }

    // The handle is kept for the whole run: menus are never unloaded.
    bool LoadBitmap(const std::string& name, Menu& menu) override
    {
        HANDLE bitmap = LoadImageA(instance_, name.c_str(), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR);
        if (!bitmap)
            return false;
        menu.bitmap = reinterpret_cast<std::uintptr_t>(bitmap);
        GetObjectA(bitmap, sizeof(BITMAP), &menu.bitmapInfo);
        return true;
    }

    // One complete message per problem, flushed at once like the program's
    // other messages.
    void Report(const LoadProblem& problem) override
    {
        std::fputs(FormatLoadProblem(problem).c_str(), stdout);
        std::fflush(stdout);
    }

private:
    HINSTANCE instance_;
};

}  // namespace

bool LoadTextResource(HINSTANCE instance, const char* name, std::string& out)
{
    HRSRC resource = FindResourceA(instance, name, RT_RCDATA);
    if (!resource)
        return false;
    const DWORD size = SizeofResource(instance, resource);
    HGLOBAL loaded = LoadResource(instance, resource);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes)
        return false;
    out.assign(static_cast<const char*>(bytes), size);
    return true;
}

bool LoadMenus(HINSTANCE instance, const std::string& language)
{
    ModuleResources resources(instance);
    return LoadMenusFrom(resources, language, MenuList);
}

MenuPosition FindMenu(const std::string& name)
{
    // Read afresh on every call: the user may change the region while the
    // menu is open.
    return FindMenuIn(MenuList, name, UserCountryName());
}

std::string UserCountryName()
{
    const int needed = GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SENGCOUNTRY, nullptr, 0);
    if (needed <= 0)
        return std::string();
    std::vector<char> buffer(static_cast<std::size_t>(needed) + 1, '\0');
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SENGCOUNTRY, buffer.data(), needed) == 0)
        return std::string();
    return std::string(buffer.data());
}
