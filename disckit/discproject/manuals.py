"""The manuals: manuals/NAME.ms (groff -ms, UTF-8) set into NAME.pdf, with
nothing read from outside the project and no character silently lost."""

import os
import re
import unicodedata

NUL = b"\0"

from . import markdown_manual, tool_runner
from .disc_names import check_file, shown
from .findings import Failure

# Requests that read a file (.so, .mso, .cf, .trf, .PSPIC) may name one inside
# manuals/ only; those that run a command or write a file never pass.
READING = {"so", "mso", "cf", "trf", "PSPIC"}
REFUSED = {"pso", "sy", "pi", "open", "opena", "pipe"}
REQUEST = re.compile(r"^[.'][ \t]*([A-Za-z]+)(?:[ \t]+(\S+))?")
# grops copies the file of a "ps: file" or "ps: import" into the output.
POSTSCRIPT_FILE = re.compile(r"\\X'\s*ps:\s*(?:file|import)\s+([^' ]+)")
MISSING_GLYPH = re.compile(r"^troff: (.*?):(\d+): warning: (?:can't find special character '([^']*)'|"
                           r"character with input code (\d+) not defined)")
GROFF_WARNING = re.compile(r"^troff: (.*?):(\d+): warning: (.*)$")


def sources(project):
    """The manuals' sources in name order: groff's .ms and Markdown's .md."""
    try:
        names = sorted(n for n in os.listdir(project.manuals) if n.endswith((".ms", ".md")))
    except OSError:
        return []
    return [os.path.join(project.manuals, n) for n in names]


def _leaves(manuals, argument):
    if argument.startswith("/") or ".." in argument.split("/"):
        return True
    target = os.path.realpath(os.path.join(manuals, argument))
    inside = os.path.realpath(manuals)
    return os.path.commonpath([target, inside]) != inside


def check_source(project, path, findings):
    """Errors for a source that would read outside manuals/, run a command
    or hold a NUL byte; the sources are read before anything is set."""
    if path.endswith(".md"):
        return markdown_manual.check_source(project, path, findings)
    if not check_file(project, path, findings):
        return
    with open(path, "rb") as f:
        data = f.read()
    if data.startswith((b"\xff\xfe", b"\xfe\xff")):
        findings.error("not-utf8", path, 1, f"UTF-16 (it starts with the bytes {data[0]:02X} {data[1]:02X}); a manual is UTF-8, "
                       "groff would set those bytes as text")
        return
    for number, raw in enumerate(data.split(b"\n"), 1):
        if b"\0" in raw:
            findings.error("nul-byte", path, number, f"a NUL byte at column {raw.index(NUL) + 1}; a text holds none")
            continue
        line = raw.decode("utf-8", "replace")
        match = REQUEST.match(line)
        if match:
            request, argument = match.group(1), match.group(2) or ""
            if request in REFUSED:
                findings.error("request-refused", path, number,
                               f"the request .{request} runs a command or writes a file; "
                               "a manual may not")
            elif request in READING and argument and _leaves(project.manuals, argument):
                findings.error("reads-outside-manuals", path, number, f".{request} {argument} reads a file outside "
                               f"{findings.name(project.manuals)}; a manual reads only its own folder")
        for argument in POSTSCRIPT_FILE.findall(line):
            if _leaves(project.manuals, argument):
                findings.error("reads-outside-manuals", path, number,
                               f"\\X'ps: ...' reads {argument}, outside {findings.name(project.manuals)}")


def files_read(source):
    """The files setting `source` reads: itself and, followed through, the
    files of manuals/ that its reading requests (.so, .mso, ...) and
    PostScript inclusions name. Names that resolve to no file there (a
    macro package of groff's own) are groff's and never change."""
    folder = os.path.dirname(source)
    found, waiting = [], [source]
    while waiting:
        path = waiting.pop()
        if path in found:
            continue
        found.append(path)
        try:
            with open(path, "rb") as f:
                text = f.read().decode("utf-8", "replace")
        except OSError:
            continue
        for line in text.split("\n"):
            match = REQUEST.match(line)
            named = [match.group(2)] if match and match.group(1) in READING and match.group(2) else []
            for argument in named + POSTSCRIPT_FILE.findall(line):
                target = os.path.normpath(os.path.join(folder, argument))
                if not _leaves(folder, argument) and os.path.isfile(target):
                    waiting.append(target)
    return found


def _character(name, code):
    if code:
        return chr(int(code))
    if name.startswith("u") and re.fullmatch(r"u[0-9A-F]{4,6}(_[0-9A-F]{4,6})*", name):
        text = "".join(chr(int(part.lstrip("u"), 16)) for part in name.split("_"))
        return unicodedata.normalize("NFC", text)
    return name


def _groff_findings(stderr, folder, findings):
    """groff's warnings named by the source; a character the fonts lack is
    an error: the PDF would silently lose it."""
    missing = 0
    for line in stderr.decode("utf-8", "replace").splitlines():
        glyph = MISSING_GLYPH.match(line)
        warning = GROFF_WARNING.match(line)
        if glyph:
            name, number, special, code = glyph.groups()
            char = _character(special, code)
            codes = " ".join(f"U+{ord(c):04X}" for c in char)
            findings.error("glyph-missing", os.path.join(folder, name), int(number),
                           f"\"{char}\" ({codes}) is not in the manual's fonts; the PDF would lose it")
            missing += 1
        elif warning:
            name, number, text = warning.groups()
            findings.warning("groff-warning", os.path.join(folder, name), int(number), text)
    return missing


def set_manual(source, language, out_dir, findings, env, epoch):
    """Sets `source` into out_dir/NAME.pdf, dated `epoch`. groff runs in
    safer mode (-S, its default, stated) inside manuals/, so a relative .so
    finds the manual's own files; ghostscript runs in the output folder on
    bare names, since it derives the PDF's document id from the output name
    as given. Both run as tools of the disc in the caller's environment
    `env`."""
    folder, name = os.path.split(source)
    stem = name[:-len(".ms")]
    postscript = os.path.join(out_dir, stem + ".ps")
    command = ["groff", "-S", "-K", "utf-8", "-t", "-ms"] + ([f"-m{language}"] if language else []) + \
              ["-Tps", "-ww", "--", name]
    with open(postscript, "wb") as out:
        result = tool_runner.run(command, cwd=folder, output=out, env=env, disc=True, date=epoch)
    errors = findings.errors
    _groff_findings(result.errors, folder, findings)
    if not result.ok:
        raise Failure(f"groff could not set {shown(source)} ({_ending(result)})")
    if findings.errors > errors:
        raise Failure(f"{shown(source)} uses characters its fonts lack")
    pdf = tool_runner.run(["ps2pdf", "-dPDFSETTINGS=/prepress", stem + ".ps", stem + ".pdf"], cwd=out_dir,
                          output=tool_runner.DISCARD, env=env, disc=True, date=epoch)
    if not pdf.ok:
        reason = tool_runner.one_line(pdf.errors, last=True)
        raise Failure(f"ps2pdf could not turn {stem}.ps into PDF" + (f": {reason}" if reason else ""))
    os.remove(postscript)


def check_characters(source, language, findings, env):
    """Sets the source without output, only for groff's warnings: a
    character the fonts lack is found by the check, before any build."""
    folder, name = os.path.split(source)
    command = ["groff", "-S", "-Z", "-K", "utf-8", "-t", "-ms"] + ([f"-m{language}"] if language else []) + \
              ["-Tps", "-ww", "--", name]
    result = tool_runner.run(command, cwd=folder, output=tool_runner.DISCARD, env=env, disc=True)
    _groff_findings(result.errors, folder, findings)
    if not result.ok:
        findings.error("groff-failed", shown(source), 0, f"groff cannot set this manual ({_ending(result)})")


def _ending(result):
    return f"it {result.stopped}" if result.stopped else f"exit status {result.status}"
