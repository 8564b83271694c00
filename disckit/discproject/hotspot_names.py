"""The names a screen reader says for the hotspots of a menu:
menus/NAME.names beside menus/NAME.txt, one line a hotspot."""

import os

from .project_folder import file_kind


def hotspot_lines(index_lines):
    """The line numbers of the hotspots of a menu index. autorun skips
    empty lines and counts every other one, a damaged line too, so that
    the names after a damaged line stay with their hotspots."""
    return [number for number, line in enumerate(index_lines, 1) if line]


def by_index_line(index_lines, names):
    """The names placed on the lines of the index that their hotspots
    stand on; "" on every other line."""
    placed = [""] * len(index_lines)
    for name, number in zip(names, hotspot_lines(index_lines)):
        placed[number - 1] = name
    return placed


def write_for_preview(project, folder):
    """Each menu's names for the preview's labels, as menucheck reads them:
    FOLDER/RESOURCE.names (lower case), UTF-8, line N the name of the
    hotspot on line N of the menu index."""
    os.makedirs(folder, exist_ok=True)
    indexes = {os.path.splitext(n)[0].lower(): n for n in project.menu_files() if file_kind(n) == "index"}
    for name in project.menu_files():
        stem = os.path.splitext(name)[0].lower()
        if file_kind(name) != "names" or stem not in indexes:
            continue
        names, _ = project.read_lines(os.path.join(project.menus, name))
        index_lines, _ = project.read_lines(os.path.join(project.menus, indexes[stem]))
        with open(os.path.join(folder, stem + ".names"), "w", encoding="utf-8", newline="\n") as out:
            out.write("".join(line + "\n" for line in by_index_line(index_lines, names)))


def judge(project, names_path, index_path, names):
    """Findings on the names of one menu: a hotspot without a name is a
    warning naming the line that should hold it; a name beyond the last
    hotspot an error, as it names nothing. Blank lines after the last
    hotspot carry no name and are left alone."""
    findings = project.findings
    for number, name in enumerate(names, 1):
        control = next((char for char in name if ord(char) < 0x20 or ord(char) == 0x7F), None)
        if control is not None:
            findings.error("control-character", names_path, number, f"the name holds the control character U+{ord(control):04X}; "
                           "a screen reader would say it or stop there")
    index_lines, _ = project.read_lines(index_path)
    hotspots = hotspot_lines(index_lines)
    for ordinal, line in enumerate(hotspots):
        if ordinal >= len(names) or not names[ordinal].strip():
            findings.warning("hotspot-without-name", names_path, ordinal + 1,
                             f"the hotspot on line {line} of {os.path.basename(index_path)} has no name; "
                             "a screen reader says its default")
    for number, name in enumerate(names[len(hotspots):], len(hotspots) + 1):
        if name.strip():
            findings.error("name-beyond-hotspots", names_path, number, f"a name beyond the last hotspot: "
                           f"{os.path.basename(index_path)} has {len(hotspots)} hotspot(s)")
            return


def missing(project, resource, number):
    """A menu without a names file: one warning for the menu."""
    project.findings.warning("menu-without-names", project.main_file, number,
                             f"menu \"{resource}\" has no names for screen readers: "
                             f"no {project.findings.name(os.path.join(project.menus, resource + '.names'))}")


def orphans(project):
    """Names files beside which no menu index lies name nothing."""
    stems = {os.path.splitext(n)[0].lower() for n in project.menu_files() if file_kind(n) == "index"}
    for name in project.menu_files():
        stem = os.path.splitext(name)[0]
        if file_kind(name) == "names" and stem.lower() not in stems:
            project.findings.error("names-without-index", os.path.join(project.menus, name), 0,
                                   "names without a menu index: no "
                                   + project.findings.name(os.path.join(project.menus, stem + ".txt")))
