"""Pictures that the page adds: a new screen's picture, a language's
copy of another's, a screen's new picture. They come as base64 in the
request, are laid over the check's copy like the page's texts, and are
written by a save only as menus/RESOURCE.EXT, directly in menus/, each
through a temporary file and a rename, never over a file that changed
since the page read it. The files of a deleted screen are removed the
same way: only files of menus/ the page may write, only while unchanged."""

import base64
import binascii
import os
import re

from . import project_files
from .guard import RESERVED, inside

RESOURCE_FILE = re.compile(r"^[A-Za-z0-9_-]+$")


def picture_path(project, relative):
    """The path that `relative` names when it is a picture the page may
    write: menus/NAME.EXT of a picture's extension, no link; else None."""
    parts = relative.split("/") if isinstance(relative, str) else []
    if len(parts) != 2 or parts[0] != "menus":
        return None
    stem, ext = os.path.splitext(parts[1])
    # The names a menu's resource can have, no device name among them.
    if not RESOURCE_FILE.match(stem) or stem.upper() in RESERVED or ext.lower() not in project_files.PICTURE_EXTENSIONS:
        return None
    menus = inside(project, "menus")
    if menus is None or not os.path.isdir(menus) or os.path.islink(os.path.join(project, "menus")):
        return None
    path = os.path.join(menus, parts[1])
    if os.path.islink(path) or inside(project, relative) != path:
        return None
    return path


def removable_path(project, relative):
    """A text or picture of menus/ that the page may remove, or None."""
    return project_files.writable_menu_file(project, relative) or picture_path(project, relative)


def decoded(pictures):
    """{path: bytes} of {path: base64}; ValueError for anything else."""
    if not isinstance(pictures, dict):
        raise ValueError("pictures: {path: base64}")
    out = {}
    for relative, data in pictures.items():
        if not isinstance(data, str):
            raise ValueError("pictures: {path: base64}")
        try:
            out[relative] = base64.b64decode(data, validate=True)
        except (binascii.Error, ValueError):
            raise ValueError(f"{relative}: not base64") from None
    return out


def _planned(project, changes, where, what):
    """(relative, path, base, change) of each change; Refused for a path
    that `where` does not give."""
    planned = []
    for change in changes:
        relative = change.get("path")
        path = where(project, relative)
        if path is None:
            raise project_files.Refused(f"{relative!r} is not {what}")
        planned.append((relative, path, change.get("base"), change))
    return planned


def _unchanged(planned):
    """Conflict unless each (relative, path, base, ...) holds its base."""
    stale = [entry[0] for entry in planned if project_files.version_of(project_files._read(entry[1])) != entry[2]]
    if stale:
        raise project_files.Conflict(stale)


def remove(project, changes):
    """Removes each {path, base}; nothing when one is refused or changed on
    disk. Returns {path: None}."""
    planned = _planned(project, changes, removable_path, "a file of menus/ that the editor removes")
    with project_files._save_lock:
        _unchanged(planned)
        for _, path, _, _ in planned:
            if os.path.lexists(path):
                os.remove(path)
        return {relative: None for relative, _, _, _ in planned}


def save(project, changes):
    """Writes each {path, base, data}: base is the version the page read
    (None: no such file yet). Nothing is written when one is refused or
    changed on disk; returns {path: new version}."""
    planned = _planned(project, changes, picture_path, "a picture of menus/ that the editor writes")
    try:
        data = {relative: decoded({relative: change.get("data")})[relative] for relative, _, _, change in planned}
    except ValueError as error:
        raise project_files.Refused(str(error)) from None
    with project_files._save_lock:
        _unchanged(planned)
        written = {}
        for relative, path, _, _ in planned:
            project_files._replace(path, data[relative])
            written[relative] = project_files.version_of(data[relative])
        return written
