#include "autorun/menu_picture_win32.h"

#include "autorun/display_scale.h"
#include "common/handle_win32.h"

#include <map>
#include <string>

namespace {

struct Picture {
    HBITMAP bitmap = nullptr;
    int width = 0;
    int height = 0;
};

// The 200 % pictures, each loaded the first time its menu is drawn above
// 100 % and then kept for the run like the 100 % ones; a menu without one
// is noted too, so its resource is looked for once.
Picture DoublePicture(const Menu& menu)
{
    static std::map<const Menu*, Picture> loaded;
    const auto found = loaded.find(&menu);
    if (found != loaded.end())
        return found->second;
    Picture picture;
    const std::string name = menu.resource + "@2x";
    picture.bitmap = static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), name.c_str(), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
    BITMAP info = {};
    if (picture.bitmap != nullptr && GetObjectA(picture.bitmap, sizeof info, &info) != 0 &&
        info.bmWidth == 2 * menu.bitmapInfo.width && info.bmHeight == 2 * menu.bitmapInfo.height) {
        picture.width = info.bmWidth;
        picture.height = info.bmHeight;
    } else if (picture.bitmap != nullptr) {
        // Not twice the 100 % picture (the check reports it): unusable here.
        DeleteObject(picture.bitmap);
        picture.bitmap = nullptr;
    }
    loaded.emplace(&menu, picture);
    return picture;
}

// The picture resampled for one menu at one scale, made on its first paint
// and kept until another menu or scale is drawn: a hover repaint then costs a
// copy, not a resampling.
struct Resampled {
    const Menu* menu = nullptr;
    unsigned dpi = 0;
    UniqueGdiObject bitmap;
};

void Copy(HDC dc, HGDIOBJ bitmap, int width, int height)
{
    // Made for this paint only; the selection is undone before it goes.
    const UniqueMemoryDc memory(CreateCompatibleDC(dc));
    if (memory) {
        const ObjectSelection selection(memory.get(), bitmap);
        BitBlt(dc, 0, 0, width, height, memory.get(), 0, 0, SRCCOPY);
    }
}

// HALFTONE averages the source pixels that fall on each target pixel, which
// keeps thin strokes and text of a shrunk picture legible.
HGDIOBJ Resample(HDC dc, const Picture& source, int width, int height)
{
    const HBITMAP target = CreateCompatibleBitmap(dc, width, height);
    const UniqueMemoryDc from(CreateCompatibleDC(dc));
    const UniqueMemoryDc to(CreateCompatibleDC(dc));
    if (target == nullptr || !from || !to)
        return target;
    const ObjectSelection reading(from.get(), source.bitmap);
    const ObjectSelection writing(to.get(), target);
    SetStretchBltMode(to.get(), HALFTONE);
    SetBrushOrgEx(to.get(), 0, 0, nullptr);
    StretchBlt(to.get(), 0, 0, width, height, from.get(), 0, 0, source.width, source.height, SRCCOPY);
    return target;
}

}  // namespace

void DrawMenuPicture(HDC dc, const Menu& menu, unsigned dpi)
{
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the platform-free menu keeps the handle as a number
    const auto base = reinterpret_cast<HBITMAP>(menu.bitmap);
    if (dpi == BaseDpi) {
        Copy(dc, base, menu.bitmapInfo.width, menu.bitmapInfo.height);
        return;
    }
    const Picture twice = DoublePicture(menu);
    const PictureChoice choice = ChoosePicture(dpi, twice.bitmap != nullptr);
    const Picture source = choice.source == PictureSource::Double
                               ? twice
                               : Picture{base, menu.bitmapInfo.width, menu.bitmapInfo.height};
    if (!choice.resampled) {
        Copy(dc, source.bitmap, source.width, source.height);
        return;
    }
    static Resampled resampled;
    const int width = ToPhysical(menu.bitmapInfo.width, dpi);
    const int height = ToPhysical(menu.bitmapInfo.height, dpi);
    if (resampled.menu != &menu || resampled.dpi != dpi || !resampled.bitmap) {
        resampled.bitmap.reset(Resample(dc, source, width, height));
        resampled.menu = &menu;
        resampled.dpi = dpi;
    }
    Copy(dc, resampled.bitmap.get(), width, height);
}
