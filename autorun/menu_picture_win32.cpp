#include "autorun/menu_picture_win32.h"

#include "autorun/display_scale.h"
#include "common/handle_win32.h"

#include <string>

namespace {

void Copy(HDC dc, HGDIOBJ bitmap, int width, int height)
{
    // Made for this paint only; the selection is undone before it goes.
    const UniqueMemoryDc memory(CreateCompatibleDC(dc));
    if (memory) {
        const ObjectSelection selection(memory.get(), bitmap);
        BitBlt(dc, 0, 0, width, height, memory.get(), 0, 0, SRCCOPY);
    }
}

// `source` (width x height) resampled to `width` x `height` at `dpi`.
// HALFTONE averages the source pixels that fall on each target pixel, which
// keeps thin strokes and text of a shrunk picture legible.
HGDIOBJ Resample(HDC dc, HGDIOBJ source, const BITMAP& size, int width, int height)
{
    const HBITMAP target = CreateCompatibleBitmap(dc, width, height);
    const UniqueMemoryDc from(CreateCompatibleDC(dc));
    const UniqueMemoryDc to(CreateCompatibleDC(dc));
    if (target != nullptr && from && to) {
        const ObjectSelection reading(from.get(), source);
        const ObjectSelection writing(to.get(), target);
        SetStretchBltMode(to.get(), HALFTONE);
        SetBrushOrgEx(to.get(), 0, 0, nullptr);
        StretchBlt(to.get(), 0, 0, width, height, from.get(), 0, 0, size.bmWidth, size.bmHeight, SRCCOPY);
    }
    return target;
}

// The picture of `menu` at `dpi` (not 100 %), ready to be copied: its 200 %
// picture as it is at 200 %, else that picture or, without a usable one, the
// 100 % picture resampled to the menu's size at the scale. The 200 %
// picture is loaded here, so nothing of it is touched at 100 %.
HGDIOBJ MakePicture(HDC dc, const Menu& menu, unsigned dpi)
{
    const std::string name = menu.resource + "@2x";
    UniqueGdiObject twice(LoadImageA(GetModuleHandleA(nullptr), name.c_str(), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
    BITMAP size = {};
    // One of another size (the check reports it) is as good as none.
    const bool usable = twice && GetObjectA(twice.get(), sizeof size, &size) != 0 &&
                        size.bmWidth == 2 * menu.bitmapInfo.width && size.bmHeight == 2 * menu.bitmapInfo.height;
    const PictureChoice choice = ChoosePicture(dpi, usable);
    if (!choice.resampled)
        return twice.release();
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the platform-free menu keeps the handle as a number
    HGDIOBJ source = usable ? twice.get() : reinterpret_cast<HGDIOBJ>(menu.bitmap);
    if (!usable) {
        size.bmWidth = menu.bitmapInfo.width;
        size.bmHeight = menu.bitmapInfo.height;
    }
    return Resample(dc, source, size, ToPhysical(menu.bitmapInfo.width, dpi), ToPhysical(menu.bitmapInfo.height, dpi));
}

// The picture of the menu and scale last drawn, kept until another menu or
// scale is drawn: a hover repaint then costs a copy, not a load and a
// resampling.
struct ScaledPicture {
    const Menu* menu = nullptr;
    unsigned dpi = 0;
    UniqueGdiObject picture;
};
ScaledPicture Scaled;

}  // namespace

void DrawMenuPicture(HDC dc, const Menu& menu, unsigned dpi)
{
    if (dpi == BaseDpi) {
        // NOLINTNEXTLINE(performance-no-int-to-ptr): the platform-free menu keeps the handle as a number
        Copy(dc, reinterpret_cast<HGDIOBJ>(menu.bitmap), menu.bitmapInfo.width, menu.bitmapInfo.height);
        return;
    }
    if (Scaled.menu != &menu || Scaled.dpi != dpi || !Scaled.picture) {
        Scaled.picture.reset(MakePicture(dc, menu, dpi));
        Scaled.menu = &menu;
        Scaled.dpi = dpi;
    }
    Copy(dc, Scaled.picture.get(), ToPhysical(menu.bitmapInfo.width, dpi), ToPhysical(menu.bitmapInfo.height, dpi));
}
