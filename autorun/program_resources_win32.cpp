#include "autorun/program_resources_win32.h"

#include "autorun/menu_text.h"
#include "common/standard_output.h"

#include <cstddef>
#include <cstring>
#include <cstdint>
#include <string>

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

std::string LoadStringResource(HINSTANCE instance, UINT id)
{
    // LoadStringA cuts without saying so; a text that fills the buffer may
    // have been cut, so try again with more room.
    std::string buffer(256, '\0');
    for (;;) {
        const int count = LoadStringA(instance, id, buffer.data(), static_cast<int>(buffer.size()));
        if (count != static_cast<int>(buffer.size()) - 1)
            break;
        buffer.assign(buffer.size() + 256, '\0');
    }
    // The text ends at its first NUL; the buffer itself is handed back.
    buffer.resize(std::strlen(buffer.data()));
    return buffer;
}

namespace {

bool LoadResourceBytes(HINSTANCE instance, const char* name, const char* type, std::string& out)
{
    HRSRC resource = FindResourceA(instance, name, type);
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

}  // namespace

bool LoadTextResource(HINSTANCE instance, const char* name, std::string& out)
{
    return LoadResourceBytes(instance, name, RT_RCDATA, out);
}

namespace {

// The resource type of the hotspot names, named like the menu they belong to.
constexpr const char* HotspotNamesType = "HOTSPOTNAMES";

// What the menu loader reads from the program.
class ProgramMenuResources : public MenuResources {
public:
    explicit ProgramMenuResources(HINSTANCE instance) : instance_(instance) {}

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

    void Report(const LoadProblem& problem) override { WriteStandardOutput(FormatLoadProblem(problem)); }

    bool LoadNames(const std::string& name, std::string& out) override
    {
        return LoadResourceBytes(instance_, name.c_str(), HotspotNamesType, out);
    }

private:
    HINSTANCE instance_;
};

}  // namespace

bool LoadProgramMenus(HINSTANCE instance, const std::string& language, Menus& menus)
{
    ProgramMenuResources resources(instance);
    return LoadMenusFrom(resources, language, menus);
}
