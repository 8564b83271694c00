"""Pictures of the menus, as the bitmaps autorun loads, and the drive icon."""

import os
import warnings
from io import BytesIO

from PIL import Image

from .project_folder import file_kind

# Beyond this Pillow warns of a decompression bomb; a menu is far smaller.
Image.MAX_IMAGE_PIXELS = 64 * 1024 * 1024


class TooLarge(Exception):
    pass


def _opened(path):
    """The picture's first frame, fully read, or None when it is none;
    TooLarge beyond the pixels a menu's picture may have (judged from the
    header, before anything is decoded)."""
    try:
        with warnings.catch_warnings():
            warnings.simplefilter("ignore", Image.DecompressionBombWarning)
            with Image.open(path) as probe:
                if probe.width * probe.height > Image.MAX_IMAGE_PIXELS:
                    raise TooLarge()
                probe.verify()
            image = Image.open(path)
            image.load()
            return image
    except Image.DecompressionBombError:
        raise TooLarge() from None
    except (OSError, ValueError, SyntaxError, EOFError):
        return None


def picture_to_bmp(path, findings):
    """Any picture Pillow reads, as the bitmap autorun loads: 24 bits per
    pixel, uncompressed, bottom-up, with a BITMAPINFOHEADER and 72 dpi
    (2835 pixels a metre, as the menus were always written). Transparent
    parts are laid on white."""
    try:
        image = _opened(path)
    except TooLarge:
        findings.error("unreadable-picture", path, 0, f"a picture of more than {Image.MAX_IMAGE_PIXELS} pixels (8192 x 8192), which "
                       "no menu's window needs; make it smaller")
        return None
    if image is None:
        findings.error("unreadable-picture", path, 0, "not a picture that can be read (PNG, BMP, GIF, JPEG, ...)")
        return None
    with image:
        if image.mode in ("RGBA", "LA", "PA") or "transparency" in image.info:
            rgba = image.convert("RGBA")
            white = Image.new("RGBA", rgba.size, (255, 255, 255, 255))
            rgb = Image.alpha_composite(white, rgba).convert("RGB")
        else:
            rgb = image.convert("RGB")
    out = BytesIO()
    rgb.save(out, format="BMP", dpi=(72, 72))
    return out.getvalue()


DOUBLE_SUFFIX = "@2x"


def double_picture(project, resource):
    """The picture of `resource` for 200 % (menus/NAME@2x.png or any other
    picture format), matched without regard to case like the 100 % one; None
    when the menu has none. Two of them are an error."""
    wanted = (resource + DOUBLE_SUFFIX).lower()
    found = [os.path.join(project.menus, name) for name in project.menu_files()
             if os.path.splitext(name)[0].lower() == wanted and file_kind(name) == "picture"
             and os.path.isfile(os.path.join(project.menus, name))]
    if len(found) > 1:
        project.findings.error("menu-file-ambiguous", project.menus, 0, f"menu \"{resource}\" has more than one 200 % picture: "
                               + ", ".join(found))
        return None
    return found[0] if found else None


def is_icon(path):
    """Whether the file is an icon in ICO format that can be read."""
    try:
        with open(path, "rb") as f:
            header = f.read(6)
        # ICONDIR: reserved 0, type 1 (icon, not cursor), at least one image.
        if len(header) < 6 or header[:4] != b"\0\0\1\0" or header[4:6] == b"\0\0":
            return False
        with Image.open(path) as image:
            if image.format != "ICO":
                return False
            image.load()
        return True
    except (OSError, ValueError, SyntaxError, EOFError):
        return False
