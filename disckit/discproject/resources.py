"""The menus of a project as the resource compiler takes them: menus.rc and
the texts and bitmaps it names."""

import os
import tempfile

from .check_cache import NO_CACHE
from .pictures import double_picture
from .disc_names import link_problem
from . import hotspot_names
from .main_reach import warn_unreachable
from .findings import Failure, Stop
from .safe_files import is_our_resource, remove_tree, replace_file
from .texts import join_lines


def _menu_texts(project, files, sources):
    """The main index, each line in its own language's code page."""
    findings = project.findings
    encoded = []
    for number, line in enumerate(project.main_text, 1):
        language = line.split(";", 1)[0] if line else ""
        page = project.code_page(language)
        data = project.encode(project.main_file, number, line, page, f"the texts of language \"{language}\"")
        encoded.append(data or b"")
    files["menu.txt"] = join_lines(encoded, project.main_ended)
    sources["menu.txt"] = project.main_file
    if not project.main_lines() and not findings.errors:
        findings.error("main-index-empty", project.main_file, 0, "the main index names no menu")


def _menu_index(project, text, languages):
    """A menu index in the code pages of every language that uses it; one
    set of bytes, or None."""
    lines, ended = project.read_lines(text)
    return _in_code_pages(project, text, lines, ended, languages, "menu index")


def _names(project, path, text, languages):
    """The hotspot names of a menu, stored like its index: in the code page
    of every language that uses it, CR LF; one set of bytes, or None."""
    lines, ended = project.read_lines(path)
    hotspot_names.judge(project, path, text, lines)
    return _in_code_pages(project, path, lines, ended, languages, "names file")


def _in_code_pages(project, text, lines, ended, languages, what):
    variants = {}
    for language in dict.fromkeys(languages):
        page = project.code_page(language)
        out = [project.encode(text, number, line, page, f"the texts of language \"{language}\"")
               for number, line in enumerate(lines, 1)]
        if None not in out:
            variants.setdefault(join_lines(out, ended), []).append(f"\"{language}\" ({page})")
    if len(variants) > 1:
        project.findings.error("code-pages-differ", text, 0,
                               "languages " + " and ".join(l for v in variants.values() for l in v) +
                               f" share this {what}, but their code pages store it differently; "
                               "give each its own")
        return None
    return next(iter(variants)) if variants else None


def _about_text(project, files, sources):
    """One line, in the code page of the first language, the one whose
    title the About box shows."""
    findings = project.findings
    about = os.path.join(project.menus, "about.txt")
    if not os.path.isfile(about):
        return
    lines, _ = project.read_lines(about)
    while lines and not lines[-1].strip():
        lines.pop()
    if not lines:
        findings.error("about-empty", about, 0,
                       "the about text is empty; remove the file for a disc without an About box")
    elif len(lines) > 1:
        findings.error("about-two-lines", about, 2, "the about text is one line; the About box shows no second")
    elif project.main_lines():
        language = project.first_language()
        data = project.encode(about, 1, lines[0], project.code_page(language),
                              f"the texts of language \"{language}\", the first of the main index")
        if data is not None:
            files["about.txt"] = data
            sources["about.txt"] = about


class Staged:
    """A generated file's bytes kept in a file until they are written: the
    pictures of a large project together would take gigabytes."""

    def __init__(self, folder, data):
        handle, self.path = tempfile.mkstemp(suffix=".bmp", dir=folder)
        with os.fdopen(handle, "wb") as f:
            f.write(data)

    def read(self):
        with open(self.path, "rb") as f:
            return f.read()


def generate(project, cache=NO_CACHE, staging=None, standing=None):
    """{file name: bytes} of the generated resource folder, and the map of
    each generated file to the project file it comes from; (None, None)
    when the findings hold an error. `cache` keeps pictures converted; with
    a `staging` folder, the pictures' bytes wait there (Staged) instead of
    in memory. Given a set as `standing`, it is filled with the keys of the
    menus made without an error and the folder holds only them, whatever
    the others' errors."""
    findings = project.findings
    main = project.main_lines()
    files, sources = {}, {}
    _menu_texts(project, files, sources)
    warn_unreachable(project, main)

    # Each menu once, in the code pages of every language that uses it.
    resources = {}
    for entry in main:
        key = entry["fields"][3].upper()
        resources.setdefault(key, {"entry": entry, "languages": []})["languages"].append(entry["language"])
    pictures = {}
    for key, use in resources.items():
        errors_before = findings.errors
        entry = use["entry"]
        resource = entry["fields"][3]
        text = project.find(resource, "index", entry["line"])
        picture = project.find(resource, "picture", entry["line"])
        names = project.find(resource, "names", entry["line"])
        name = key.lower()
        if text:
            data = _menu_index(project, text, use["languages"])
            if data is not None:
                files[name + ".txt"] = data
                sources[name + ".txt"] = text
        if text and names:
            data = _names(project, names, text, use["languages"])
            if data is not None:
                files[name + ".names"] = data
                sources[name + ".names"] = names
        elif text:
            hotspot_names.missing(project, resource, entry["line"])
        if picture:
            # The 200 % picture, where there is one, beside the 100 % one.
            for stored, source in ((name + ".bmp", picture), (name + "@2x.bmp", double_picture(project, resource))):
                if source and source not in pictures:
                    pictures[source] = cache.picture(source, findings)
                    if staging and pictures[source] is not None:
                        pictures[source] = Staged(staging, pictures[source])
                if source and pictures[source] is not None:
                    files[stored] = pictures[source]
                    sources[stored] = source
        if standing is not None and findings.errors == errors_before:
            standing.add(key)
    _about_text(project, files, sources)
    hotspot_names.orphans(project)

    # Files that nothing uses are most likely a typing mistake in menu.txt.
    used = set(sources.values())
    for name in project.menu_files():
        path = os.path.join(project.menus, name)
        if path not in used and os.path.isfile(path) and not findings.errors:
            findings.warning("unused-menu-file", path, 0,
                             "no line of menu.txt names this file; it is not built into the program")

    # What goes into the program goes onto the disc: nothing from outside.
    for source in sorted(set(sources.values())):
        problem = link_problem(project.path, source)
        if problem:
            findings.error("bad-link", source, 0, problem)

    if standing is not None:
        fallen = [n for n in files if n not in ("menu.txt", "about.txt") and n.split(".")[0].upper() not in standing]
        for name in fallen:
            del files[name], sources[name]
    elif findings.errors:
        return None, None
    return files, sources


# autorun finds a menu's picture and its hotspot names by these types.
RESOURCE_TYPES = {".bmp": "BITMAP", ".names": "HOTSPOTNAMES"}


def rc_string(path):
    return '"' + path.replace("\\", "\\\\").replace('"', '\\"') + '"'


def menus_rc(project, out, files):
    """The resource script. Names are quoted, so that no name is taken for a
    keyword or a macro of the resource compiler; a LANGUAGE statement before
    each keeps windres from joining a quoted name with the file name that
    ends the line before it."""
    where = os.path.abspath(project.path).replace("\r", " ").replace("\n", " ")
    lines = [f"// The menus of {where}, made by disckit/project: do not edit.",
             "#include <winresrc.h>", ""]
    ordered = ["menu.txt"] + sorted(n for n in files if n.endswith(".txt") and n not in ("menu.txt", "about.txt"))
    ordered += sorted(n for n in files if n.endswith(".bmp"))
    ordered += sorted(n for n in files if n.endswith(".names"))
    ordered += ["about.txt"] if "about.txt" in files else []
    for name in ordered:
        stem, ext = os.path.splitext(name)
        kind = RESOURCE_TYPES.get(ext, "RCDATA")
        lines.append("LANGUAGE LANG_ENGLISH, SUBLANG_ENGLISH_US")
        lines.append(f"{rc_string(stem.upper())} {kind} {rc_string(os.path.join(out, name))}")
    return ("\n".join(lines) + "\n").encode("utf-8")


def remove_tree_unless_ours(out):
    """A resource folder holds only what the generator writes."""
    if os.path.isdir(out):
        strangers = sorted(n for n in os.listdir(out) if not is_our_resource(n))
        if strangers:
            raise Failure(f"{out} holds {strangers[0]}, which this program did not make; "
                          "nothing is written there")


def write_folder(out, files):
    """Makes `out` hold exactly `files`; unchanged files are not rewritten."""
    remove_tree_unless_ours(out)
    os.makedirs(out, exist_ok=True)
    for name, data in files.items():
        replace_file(os.path.join(out, name), data.read() if isinstance(data, Staged) else data,
                     unchanged_kept=True)
    for name in os.listdir(out):
        if name not in files and is_our_resource(name):
            os.remove(os.path.join(out, name))


def build_resources(project, out, cache=NO_CACHE):
    """Writes the resource folder; on any error removes it entirely, so that
    no program is built from the menus of an earlier state."""
    out = os.path.abspath(out)
    with tempfile.TemporaryDirectory(prefix="menus.") as staging:
        return _build_resources(project, out, cache, staging)


def _build_resources(project, out, cache, staging):
    try:
        files, sources = generate(project, cache, staging)
    except Stop:
        files = None
    if files is None:
        try:
            remove_tree(out, owned=is_our_resource)
        except Failure as failure:
            project.findings.error("resource-folder", out, 0, str(failure))
        return None
    if any(c in out for c in '"\n\r'):
        project.findings.error("resource-folder", out, 0, "the resource folder's path holds a quote or a line end")
        return None
    files["menus.rc"] = menus_rc(project, out, files)
    try:
        write_folder(out, files)
    except Failure as failure:
        project.findings.error("resource-folder", out, 0, str(failure))
        return None
    return sources
