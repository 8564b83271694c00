"""The menus that can be made, judged while another cannot: a menu whose
index is not written yet, or a setting in error, must not hide what
menucheck says about the hotspots of the others. Their steps run with
collectors of their own; only menucheck's findings about the menus that
were made join the check's findings (the errors that stopped the rest
are there already)."""

import os

from .check_cache import NO_CACHE
from .findings import Stop
from .menucheck import pass_on, run_menucheck
from .project_folder import Project
from .resources import generate, menus_rc, write_folder


def _made_menus(project_path, findings, out, cache):
    """Writes the resource folder of the menus made without an error; the
    map of its files to their sources and the menus' keys, or None."""
    standing = set()
    try:
        project = Project(project_path, findings)
        files, sources = generate(project, cache, standing=standing)
    except Stop:
        return None, standing
    if not standing:
        return None, standing
    # autorun's loader gives up on a language at its first menu that does
    # not load: a fallen menu stands there as an empty one, on the picture
    # of one that was made; nothing said about it is passed on.
    stand_in = next(data for name, data in sorted(files.items()) if name.endswith(".bmp"))
    for entry in project.main_lines():
        name = entry["fields"][3].lower()
        if entry["fields"][3].upper() not in standing:
            files[name + ".txt"], files[name + ".bmp"] = b"", stand_in
    files["menus.rc"] = menus_rc(project, out, files)
    write_folder(out, files)
    return sources, standing


def check_standing_menus(project_path, menucheck, findings, env, work, reader=None, cache=NO_CACHE):
    """Adds menucheck's findings about every menu that can be made."""
    out = os.path.join(work, "standing")
    sources, standing = _made_menus(project_path, findings.quiet_twin(), out, cache)
    if sources is None:
        return
    try:
        tree = cache.names_tree(Project(project_path, findings.quiet_twin()), findings.quiet_twin(), work, env, reader)
    except Stop:
        # disc/ or the settings keep the names from being laid out.
        tree = None
    note = f"no such file in {findings.name(os.path.join(project_path, 'disc'))}, nor made by the build"
    judged = findings.quiet_twin()
    pass_on(run_menucheck(menucheck, [out] + ([tree] if tree else []), env), judged, sources, out, note)
    for record in judged.records:
        if record.menu and record.menu.upper() in standing:
            findings.add(record)
