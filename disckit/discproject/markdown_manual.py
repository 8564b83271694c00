"""Markdown manuals: manuals/NAME.md (UTF-8, with tables, images and style
sheets of manuals/) set into NAME.pdf by WeasyPrint, in this process.

Nothing from outside reaches the PDF: every file the typesetter asks for
goes through one fetcher that hands out files inside manuals/ only (no
network, no host file), and the fonts are the Debian files that
manual_fonts names. What can be judged from the text (addresses,
characters the fonts lack) is judged before anything is set, by file and
line."""

import contextlib
import hashlib
import html
import logging
import mimetypes
import os
import re
import time
import unicodedata
import urllib.parse

from . import manual_fonts
from .disc_names import check_file, shown
from .findings import Failure
from .manual_language import language_of

EXTENSIONS = ["tables", "fenced_code", "sane_lists", "toc", "smarty"]
SCHEME = re.compile(r"^[A-Za-z][A-Za-z0-9+.-]*:")
# Addresses in a line of Markdown, HTML or CSS, and whether a link (which
# the PDF points at, never reads) or a file the typesetter would read.
ADDRESSES = [
    (re.compile(r"!\[[^\]]*\]\(\s*<?([^)\s>]+)"), "file"),
    (re.compile(r"(?<!!)\[[^\[\]]*\]\(\s*<?([^)\s>]+)"), "link"),
    (re.compile(r"^\s{0,3}\[[^\]]+\]:\s*<?([^\s>]+)"), "link"),
    (re.compile(r"url\(\s*[\"']?([^\"')\s]+)", re.I), "file"),
    (re.compile(r"@import\s+[\"']([^\"']+)", re.I), "file"),
]
# HTML tags in the text and the attributes of theirs that hold an address;
# only <a href> is a link.
TAG = re.compile(r"<(\w+)\b([^>]*)", re.I)
ATTRIBUTE = re.compile(r"(?<![\w-])(?:xlink:)?(src|href|data|poster|srcset)\s*=\s*(?:\"([^\"]*)\"|'([^']*)'|([^\s>]+))",
                       re.I)
LINK_SCHEMES = ("http:", "https:", "mailto:")
CODE_SPAN = re.compile(r"(`+).*?\1")
FENCE = re.compile(r"^\s{0,3}(`{3,}|~{3,})")
NUL = b"\0"
# A line break between two Chinese or Japanese characters is no space: those
# scripts set none between words.
WIDE_BREAK = re.compile("(?<=[\u3000-\u30ff\u3400-\u4dbf\u4e00-\u9fff\uf900-\ufaff\uff00-\uffef])\n"
                        "(?=[\u3000-\u30ff\u3400-\u4dbf\u4e00-\u9fff\uf900-\ufaff\uff00-\uffef])")
# Characters that are never drawn: their absence from the fonts loses nothing.
INVISIBLE = {"\t", "\r", "\n", "\ufeff"}

STYLE = """
@page { size: A4; margin: 2cm 2cm 2.4cm;
        @bottom-center { content: counter(page); font-size: 9pt; } }
html { font-family: %(families)s; font-size: 10.5pt; line-height: 1.4;
       hyphens: auto; quotes: %(quotes)s; direction: %(direction)s; }
h1, h2, h3, h4 { hyphens: manual; line-height: 1.2; page-break-after: avoid; }
h1 { font-size: 20pt; } h2 { font-size: 15pt; } h3 { font-size: 12pt; }
table { border-collapse: collapse; margin: 0.8em 0; }
th, td { border: 0.5pt solid #888; padding: 3pt 6pt; text-align: start; vertical-align: top; }
th { background: #eee; }
pre, code { font-family: "DejaVu Sans Mono", %(families)s; font-size: 9pt; hyphens: manual; }
pre { white-space: pre-wrap; background: #f4f4f4; padding: 6pt; }
img { max-width: 100%%; }
"""


def pdf_name(source):
    return os.path.splitext(os.path.basename(source))[0] + ".pdf"


def _inside(manuals, path):
    inside = os.path.realpath(manuals)
    return os.path.commonpath([os.path.realpath(path), inside]) == inside


def address_problem(manuals, folder, address, role):
    """Why an address of a file in `folder` (inside manuals/) may not be set,
    or None. Links may lead to the web or to a heading; files must lie in
    manuals/."""
    if role == "link":
        if address.startswith("#") or address.lower().startswith(LINK_SCHEMES):
            return None
        return (f"the link {address} would point at a file of the machine that reads the PDF; "
                "link to a web address (https:, http:, mailto:) or a heading (#...)")
    if address.lower().startswith("data:"):
        return None
    if SCHEME.match(address) or address.startswith(("/", "\\")):
        return f"{address} lies outside {manuals}; images, style sheets and fonts come from that folder only"
    path = os.path.join(folder, urllib.parse.unquote(address.split("#")[0].split("?")[0]))
    if not _inside(manuals, path):
        return f"{address} lies outside {manuals}; images, style sheets and fonts come from that folder only"
    if not os.path.isfile(path):
        return f"{address}: no such file in {manuals}"
    return None


def _addresses(line):
    """(address, role) of every address the line names outside code spans."""
    line = CODE_SPAN.sub("", line)
    for pattern, role in ADDRESSES:
        for address in pattern.findall(line):
            yield address, role
    for tag, attributes in TAG.findall(line):
        for name, *values in ATTRIBUTE.findall(attributes):
            role = "link" if tag.lower() == "a" and name.lower() == "href" else "file"
            yield "".join(values).strip(), role


def _check_addresses(manuals, path, number, line, findings):
    for address, role in _addresses(line):
        problem = address_problem(manuals, os.path.dirname(path), address, role)
        if problem:
            findings.error("reads-outside-manuals", path, number, problem)


def _check_characters(path, number, line, held, findings):
    lacking = []
    for char in html.unescape(line):
        if char in INVISIBLE or char in lacking:
            continue
        if ord(char) < 0x20 or 0x7F <= ord(char) < 0xA0:
            findings.error("control-character", path, number, f"the control character U+{ord(char):04X}; a manual holds none")
        elif ord(char) not in held and not _unseen(char):
            lacking.append(char)
    if lacking:
        codes = " ".join(f"U+{ord(c):04X}" for c in lacking)
        findings.error("glyph-missing", path, number, f"\"{''.join(lacking)}\" ({codes}) is in none of the manual's fonts; "
                       "the PDF would lose it")


def _unseen(char):
    return unicodedata.category(char) == "Cf"


def _lines(path, findings):
    """The text's lines, or None after an error."""
    with open(path, "rb") as f:
        data = f.read()
    if data.startswith(b"\xef\xbb\xbf"):
        data = data[3:]
    lines = data.split(b"\n")
    text = []
    for number, raw in enumerate(lines, 1):
        if b"\0" in raw:
            findings.error("nul-byte", path, number, f"a NUL byte at column {raw.index(NUL) + 1}; a text holds none")
            return None
        try:
            text.append(raw.decode("utf-8"))
        except UnicodeDecodeError as error:
            findings.error("not-utf8", path, number, f"not UTF-8 at byte {error.start + 1} of the line")
            return None
    return [line.rstrip("\r") for line in text]


def check_source(project, path, findings):
    """Errors for a manual, or a style sheet or SVG picture of manuals/,
    that names a file outside manuals/, and for a character of the manual
    that none of its fonts holds; nothing is set for this."""
    if not check_file(project, path, findings):
        return
    twin = os.path.splitext(path)[0] + ".ms"
    if os.path.exists(twin):
        findings.error("manual-twin", path, 0, f"{os.path.basename(twin)} becomes {pdf_name(path)} as well; keep one of them")
    missing = manual_fonts.missing_fonts()
    if missing:
        findings.error("font-missing", path, 0, f"the font {missing[0]} is missing; run scripts/install-deps")
        return
    language_of(project, path)
    lines = _lines(path, findings)
    if lines is not None:
        _check_text(project, path, lines, findings)
    for other in _read_by_reference(project.manuals):
        if check_file(project, other, findings):
            for number, line in enumerate(_lines(other, findings) or [], 1):
                _check_addresses(project.manuals, other, number, line, findings)


def _check_text(project, path, lines, findings):
    """Every line's characters; the addresses of those outside fenced code,
    which is shown, never read."""
    held = manual_fonts.characters(manual_fonts.font_files(project.manuals))
    fence = None
    for number, line in enumerate(lines, 1):
        _check_characters(path, number, line, held, findings)
        opening = FENCE.match(line)
        if fence is None and opening:
            fence = opening.group(1)[0] * len(opening.group(1))
        elif fence is not None:
            if line.strip().startswith(fence):
                fence = None
        else:
            _check_addresses(project.manuals, path, number, line, findings)


def _read_by_reference(manuals):
    """The files of manuals/ that name files in turn: style sheets and SVG
    pictures."""
    found = []
    for folder, dirs, files in os.walk(manuals):
        dirs.sort()
        found += [os.path.join(folder, n) for n in sorted(files) if n.lower().endswith((".css", ".svg"))]
    return found


# ---- Setting ---------------------------------------------------------------


class Fetcher:
    """WeasyPrint's only way to read a file: files inside manuals/, and data:
    addresses, which hold their content. Everything else is refused and
    remembered, since WeasyPrint itself only warns and goes on without.
    The manual's addresses are resolved against ROOT, not against the
    folder the project lies in: WeasyPrint names images in the PDF by their
    address, and the PDF must not depend on where the project was cloned."""

    ROOT = "/manuals/"

    def __init__(self, manuals):
        self.manuals = manuals
        self.read = []
        self.refused = []

    def url(self, path):
        relative = os.path.relpath(path, self.manuals).replace(os.sep, "/")
        return "file://" + urllib.parse.quote(self.ROOT + relative)

    def __call__(self, url, timeout=10, ssl_context=None):
        from weasyprint import default_url_fetcher
        if url.lower().startswith("data:"):
            return default_url_fetcher(url)
        parts = urllib.parse.urlsplit(url)
        address = urllib.parse.unquote(parts.path)
        path = os.path.join(self.manuals, address[len(self.ROOT):])
        if parts.scheme != "file" or parts.netloc or not address.startswith(self.ROOT) or \
                not _inside(self.manuals, path):
            self.refused.append((url, f"{url} lies outside {self.manuals}; images, style sheets and fonts "
                                 "come from that folder only"))
            raise ValueError("refused")
        if not os.path.isfile(path):
            self.refused.append((url, f"{address[len(self.ROOT):]}: no such file in {self.manuals}"))
            raise ValueError("missing")
        with open(path, "rb") as f:
            data = f.read()
        self.read.append(os.path.realpath(path))
        return {"string": data, "redirected_url": url, "mime_type": mimetypes.guess_type(path)[0]}


class _Warnings(logging.Handler):
    def __init__(self):
        super().__init__(logging.WARNING)
        self.messages = []

    def emit(self, record):
        self.messages.append(record.getMessage())


def _html(text, language, title):
    import markdown
    quotes = language.quotes
    # Only "..." takes the language's marks: a ' is far more often an
    # apostrophe (l'installation, geht's), which is ’ in every language.
    names = ("left-double-quote", "right-double-quote")
    config = {"smarty": {"smart_quotes": language.curls_quotes,
                         "substitutions": {name: html.escape(q) for name, q in zip(names, quotes)}}}
    body = markdown.Markdown(extensions=EXTENSIONS, extension_configs=config, output_format="html").convert(text)
    # Outside <pre>, where every line break stays.
    body = "".join(part if part.startswith("<pre") else WIDE_BREAK.sub("", part)
                   for part in re.split(r"(<pre\b.*?</pre>)", body, flags=re.S))
    return (f'<!DOCTYPE html><html lang="{language.tag}" dir="{language.direction}"><head><meta charset="utf-8">'
            f"<title>{html.escape(title)}</title></head><body>{body}</body></html>")


def _style(language):
    families = ", ".join(f'"{f}"' for f in ("Noto Sans", "Noto Sans Hebrew", "Noto Sans Arabic", "Noto Sans Thai",
                                            f"Noto Sans CJK {language.cjk_face}", "DejaVu Sans"))
    quotes = " ".join(f'"{q}"' for q in language.quotes)
    return STYLE % {"families": families, "quotes": quotes, "direction": language.direction}


def _title(lines, source):
    for line in lines:
        if line.startswith("# "):
            return line[2:].strip().strip("#").strip()
    return os.path.splitext(os.path.basename(source))[0]


def render(project, source, findings):
    """The manual laid out in pages, and the files it was made of (the
    manual first, then what WeasyPrint read from manuals/ and the fonts of
    manuals/); None after an error, which the findings name."""
    try:
        import weasyprint
    except ImportError:
        raise Failure("WeasyPrint is missing; run scripts/install-deps") from None
    lines = _lines(source, findings)
    if lines is None:
        return None
    language = language_of(project, source)
    page = _html("\n".join(lines), language, _title(lines, source))
    fetcher = Fetcher(project.manuals)
    warnings = _Warnings()
    logger = logging.getLogger("weasyprint")
    logger.addHandler(warnings)
    try:
        fonts = manual_fonts.font_configuration(manual_fonts.font_files(project.manuals))
        style = weasyprint.CSS(string=_style(language), font_config=fonts, url_fetcher=fetcher)
        document = weasyprint.HTML(string=page, base_url=fetcher.url(source), url_fetcher=fetcher) \
            .render(stylesheets=[style], font_config=fonts, presentational_hints=True)
    finally:
        logger.removeHandler(warnings)
    for url, problem in fetcher.refused:
        findings.error("reads-outside-manuals", source, _line_naming(lines, url), problem)
    for message in warnings.messages:
        if not any(url in message for url, _ in fetcher.refused):
            findings.warning("typesetter-warning", source, 0, message)
    if fetcher.refused:
        return None
    return document, [os.path.realpath(source)] + fetcher.read + manual_fonts.own_fonts(project.manuals)


def _line_naming(lines, url):
    """The first line that names the address, or 0."""
    path = urllib.parse.unquote(urllib.parse.urlsplit(url).path)
    for number, line in enumerate(lines, 1):
        if url in line or (path and path in line):
            return number
    return 0


@contextlib.contextmanager
def _dated(epoch):
    """fontTools stamps each font subset with the time it reads from
    SOURCE_DATE_EPOCH, else with the clock: the disc's date makes the PDF
    the same on every run."""
    earlier = os.environ.get("SOURCE_DATE_EPOCH")
    os.environ["SOURCE_DATE_EPOCH"] = str(epoch)
    try:
        yield
    finally:
        if earlier is None:
            del os.environ["SOURCE_DATE_EPOCH"]
        else:
            os.environ["SOURCE_DATE_EPOCH"] = earlier


def _date_info(epoch):
    """The PDF's creation and change dates: the disc's."""
    def finish(document, pdf):
        import pydyf
        date = pydyf.String(time.strftime("D:%Y%m%d%H%M%SZ", time.gmtime(epoch)))
        pdf.info["CreationDate"] = pdf.info["ModDate"] = date
    return finish


def set_manual(project, source, pdf, epoch, findings):
    """Sets `source` into the file `pdf`, dated `epoch`; the files it read."""
    errors = findings.errors
    rendered = render(project, source, findings)
    if rendered is None or findings.errors > errors:
        raise Failure(f"{shown(source)} cannot be set; the errors above say why")
    document, read = rendered
    with open(source, "rb") as f:
        # The document id: the same manual gives the same id.
        identifier = hashlib.md5(os.path.basename(source).encode() + b"\0" + f.read()).hexdigest().encode()
    with _dated(epoch):
        document.write_pdf(pdf, identifier=identifier, finisher=_date_info(epoch))
    return read


def check_layout(project, source, findings):
    """Lays the manual out without writing it, for what only the typesetter
    finds: a file refused by the fetcher, a style sheet it cannot read. The
    files it read, or None after an error."""
    rendered = render(project, source, findings)
    return rendered and rendered[1]
