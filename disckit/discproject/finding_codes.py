"""The codes of the program's own findings: stable, short, one a kind of
fault, so that a program reading the JSON records can tell them apart
without reading the text. menucheck's records keep menucheck's codes."""

# code: (e = error, w = warning; what it says)
CODES = {
    "no-project-folder": ("e", "the project folder does not exist"),
    "not-a-setting": ("e", "a line of project.txt that is no \"name = value\""),
    "setting-repeated": ("e", "a setting given twice"),
    "unknown-setting": ("e", "a setting the program does not know"),
    "unknown-code-page": ("e", "a codepage.LANGUAGE the program cannot write"),
    "bad-volume": ("e", "a volume id ISO 9660 cannot hold"),
    "bad-label": ("e", "a label autorun.inf cannot carry"),
    "bad-fat-label": ("e", "a fat-label FAT cannot hold"),
    "bad-manual-language": ("e", "a manual-language that is no groff language"),
    "icon-not-on-disc": ("e", "the icon setting names no file of disc/"),
    "bad-icon-path": ("e", "an icon path autorun.inf cannot carry"),
    "not-an-icon": ("e", "the icon is no .ico file Windows shows"),
    "no-main-index": ("e", "menus/menu.txt is missing"),
    "main-index-empty": ("e", "the main index names no menu"),
    "invalid-main-index-line": ("e", "a main-index line with too few fields"),
    "bad-resource-name": ("e", "a menu's resource name that cannot name its files"),
    "reserved-resource-name": ("e", "a menu named like the main index or the about text"),
    "menu-file-missing": ("e", "a menu index or picture is missing"),
    "menu-file-not-a-file": ("e", "a menu index, picture or names file that is a folder or device"),
    "unreachable-main-line": ("w", "a line of menu.txt that an earlier line of the same menu hides"),
    "menu-file-ambiguous": ("e", "a menu has more than one index, picture or names file"),
    "unused-menu-file": ("w", "a file of menus/ that no line of menu.txt names"),
    "nul-byte": ("e", "a text or manual holds a NUL byte"),
    "not-utf8": ("e", "a text that is not UTF-8"),
    "not-in-code-page": ("e", "a character the language's code page cannot hold"),
    "code-pages-differ": ("e", "languages sharing a file store it in different code pages"),
    "about-empty": ("e", "an empty about text"),
    "about-two-lines": ("e", "an about text of more than one line"),
    "unreadable-picture": ("e", "a menu picture that cannot be read"),
    "hotspot-without-name": ("w", "a hotspot without a name for screen readers"),
    "name-beyond-hotspots": ("e", "a name beyond the last hotspot"),
    "menu-without-names": ("w", "a menu without a names file"),
    "names-without-index": ("e", "a names file without a menu index"),
    "bad-link": ("e", "a symbolic link that leaves the project, dangles or names a folder"),
    "bad-name": ("e", "a name Windows or a Joliet image cannot hold"),
    "not-file-or-folder": ("e", "an entry of disc/ that is neither file nor folder"),
    "name-beyond-images": ("e", "a path or file the ISO or the stick cannot hold (length, size)"),
    "same-name-ignoring-case": ("e", "two names of the disc that differ only in case"),
    "name-made-by-build": ("e", "a name of disc/ that the build itself puts on the disc"),
    "resource-folder": ("e", "the resource folder cannot be written"),
    "request-refused": ("e", "a manual's request that runs a command or writes a file"),
    "reads-outside-manuals": ("e", "a manual reads a file outside manuals/"),
    "glyph-missing": ("e", "a character the manual's fonts lack"),
    "groff-warning": ("w", "groff's own warning on a manual"),
    "groff-failed": ("e", "groff cannot set a manual"),
    "control-character": ("e", "a hotspot name or Markdown manual holds a control character"),
    "manual-twin": ("e", "two manuals that become the same PDF"),
    "font-missing": ("e", "a font the Markdown manuals are set in is not installed"),
    "typesetter-warning": ("w", "the typesetter's own warning on a Markdown manual"),
}


def codes_help():
    """The list for --help: one code a line, its severity and meaning."""
    width = max(len(code) for code in CODES)
    return "\n".join(f"  {code:<{width}} {kind}  {what}" for code, (kind, what) in CODES.items())
