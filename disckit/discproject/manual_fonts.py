"""The fonts a Markdown manual is set in: Debian's Noto and DejaVu files,
named one by one, and any font file the vendor put into manuals/. The
typesetter sees these and nothing else (no fonts of the user's home, no
other fonts of the system), so the characters they hold are exactly the
characters a manual may use, and the PDF does not depend on the machine."""

import functools
import os

NOTO = "/usr/share/fonts/truetype/noto"
NOTO_CJK = "/usr/share/fonts/opentype/noto"
DEJAVU = "/usr/share/fonts/truetype/dejavu"
# Noto Sans: Latin, Greek, Cyrillic and Vietnamese; the scripts of the
# other code pages each have a font of their own; DejaVu holds symbols and
# the monospaced face of code.
PACKAGED = [
    *(f"{NOTO}/NotoSans-{style}.ttf" for style in ("Regular", "Bold", "Italic", "BoldItalic")),
    *(f"{NOTO}/NotoSans{script}-{weight}.ttf" for script in ("Hebrew", "Arabic", "Thai")
      for weight in ("Regular", "Bold")),
    f"{NOTO_CJK}/NotoSansCJK-Regular.ttc", f"{NOTO_CJK}/NotoSansCJK-Bold.ttc",
    *(f"{DEJAVU}/DejaVuSans{style}.ttf" for style in ("", "-Bold", "Mono", "Mono-Bold")),
]
FONT_ENDINGS = (".ttf", ".otf", ".ttc")


def font_files(manuals):
    """The packaged fonts, then those of manuals/ in name order."""
    return PACKAGED + own_fonts(manuals)


def own_fonts(manuals):
    """The font files in manuals/; one that a link leads to from outside it
    stays out."""
    inside = os.path.realpath(manuals)
    own = []
    for folder, dirs, files in os.walk(manuals):
        dirs.sort()
        own += [os.path.join(folder, n) for n in sorted(files) if n.lower().endswith(FONT_ENDINGS) and
                os.path.commonpath([os.path.realpath(os.path.join(folder, n)), inside]) == inside]
    return own


def missing_fonts():
    return [path for path in PACKAGED if not os.path.isfile(path)]


@functools.lru_cache(maxsize=None)
def _characters_of(path, size, mtime):
    from fontTools.ttLib import TTFont
    # The faces of a collection (Noto CJK's JP, KR, SC, TC, HK) map the same
    # characters; reading one is five times faster than reading them all.
    return frozenset(TTFont(path, fontNumber=0, lazy=True)["cmap"].getBestCmap() or {})


def characters(files):
    """Every character that one of the font files holds."""
    held = set()
    for path in files:
        status = os.stat(path)
        try:
            held |= _characters_of(path, status.st_size, status.st_mtime_ns)
        except Exception:  # fontTools raises many kinds on a broken file
            continue
    return held


def font_configuration(files):
    """A WeasyPrint font configuration that knows only `files`: fontconfig's
    configuration of the system (and with it the user's own fonts) is
    replaced by an empty one holding these files."""
    import cffi
    from weasyprint.text.ffi import ffi, pangoft2
    from weasyprint.text.fonts import FontConfiguration

    own_ffi = cffi.FFI()
    own_ffi.cdef("void *FcConfigCreate(void); int FcConfigAppFontAddFile(void *, const char *);")
    fontconfig = own_ffi.dlopen("libfontconfig.so.1")

    class OnlyTheseFonts(FontConfiguration):
        def __init__(self):
            super().__init__()
            config = fontconfig.FcConfigCreate()
            for path in files:
                fontconfig.FcConfigAppFontAddFile(config, os.fsencode(path))
            config = ffi.cast("FcConfig *", int(own_ffi.cast("uintptr_t", config)))
            pangoft2.pango_fc_font_map_set_config(ffi.cast("PangoFcFontMap *", self.font_map), config)
            # The font map holds its own reference now; @font-face rules of
            # a style sheet in manuals/ add their fonts to this one.
            self._fontconfig_config = config

    return OnlyTheseFonts()
