"""Texts of a project: UTF-8 in, the code page Windows reads them in out."""

import re

# autorun hands titles and arguments to the ANSI ("A") calls of Windows, which
# read them in the system's ANSI code page. A disc cannot know that page, so
# each language's texts are stored in the page that Windows uses for it.
NUL = b"\0"
LINE_END = re.compile(rb"\r\n|\r|\n")
CODE_PAGES = {}
for _page, _languages in {
    1250: "pl cs sk hu sl hr ro sq bs sr",
    1251: "ru uk be bg mk kk ky tt mn",
    1252: "en de fr it nl es pt da sv no nb nn fi is ca eu gl af id ms sw ga lb fo rm",
    1253: "el",
    1254: "tr az uz",
    1255: "he yi",
    1256: "ar fa ur",
    1257: "et lv lt",
    1258: "vi",
    874: "th",
    932: "ja",
    936: "zh",
    949: "ko",
}.items():
    for _language in _languages.split():
        CODE_PAGES[_language] = _page
DEFAULT_CODE_PAGE = 1252
CODECS = {874: "cp874", 932: "cp932", 936: "gbk", 949: "cp949", 950: "cp950",
          **{page: f"cp{page}" for page in range(1250, 1259)}}


def read_lines(path, findings):
    """The lines of a UTF-8 text with their line ends (LF, CR LF, or CR
    alone, as old Mac editors write) removed, and whether the last line had
    one. A byte-order mark is dropped: Windows editors write one. A NUL
    byte is an error: Windows would end the text there."""
    with open(path, "rb") as f:
        data = f.read()
    if data.startswith(b"\xef\xbb\xbf"):
        data = data[3:]
    lines = LINE_END.split(data)
    ended = lines[-1] == b""
    if ended:
        lines.pop()
    out = []
    for number, raw in enumerate(lines, 1):
        if b"\0" in raw:
            findings.error("nul-byte", path, number, f"a NUL byte at column {raw.index(NUL) + 1}; a text holds none")
            raw = raw.replace(b"\0", b"")
        try:
            out.append(raw.decode("utf-8"))
        except UnicodeDecodeError as error:
            findings.error("not-utf8", path, number,
                           f"not UTF-8 (byte {raw[error.start]:#04x} at column {error.start + 1})")
            out.append(raw.decode("utf-8", "replace"))
    return out, ended


def encode(findings, path, number, text, page, why):
    """text in code page `page`, or None after an error naming the first
    character the page cannot hold."""
    try:
        return text.encode(CODECS[page])
    except UnicodeEncodeError as error:
        char = text[error.start]
        findings.error("not-in-code-page", path, number,
                       f"\"{char}\" (U+{ord(char):04X}) cannot be stored in code page {page}, "
                       f"in which Windows reads {why}")
        return None


def join_lines(lines, ended):
    """Lines joined with CR LF, the only line end autorun reads; a last
    line without a line end keeps none."""
    return b"\r\n".join(lines) + (b"\r\n" if ended and lines else b"")
