"""The project's files as the page sees them, and saving them back: only
the files the page changed, each atomically, never over a file that
changed on disk since the page read it."""

import hashlib
import os
import tempfile
import threading

from .guard import inside, writable_menu_file

PICTURE_EXTENSIONS = (".png", ".bmp", ".gif", ".jpg", ".jpeg", ".tif", ".tiff", ".webp")
# Saves of two tabs are taken one after the other, so that the test of a
# file's version and its replacement are one step.
_save_lock = threading.Lock()


def version_of(data):
    return hashlib.sha256(data).hexdigest() if data is not None else None


def _read(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except (FileNotFoundError, IsADirectoryError):
        return None


def text_file(project, relative):
    """{path, version, text} of a text of the project; text is None when it
    is no UTF-8 (the page shows it, but cannot keep its bytes, so it does
    not edit it) and the whole entry None when there is no such file."""
    path = inside(project, relative)
    data = _read(path) if path and os.path.isfile(path) else None
    if data is None:
        return None
    try:
        text = data.decode("utf-8")
    except UnicodeDecodeError:
        text = None
    return {"path": relative, "version": version_of(data), "text": text}


def _menu_file(project, menus, resource, extensions):
    """menus/NAME.EXT of a resource, matched without regard to case as the
    build matches it; the first in name order."""
    for name in sorted(os.listdir(menus)) if os.path.isdir(menus) else []:
        stem, ext = os.path.splitext(name)
        if stem.lower() == resource.lower() and ext.lower() in extensions:
            return "menus/" + name
    return None


def picture_size(path):
    try:
        from PIL import Image
        with Image.open(path) as image:
            return image.size
    except Exception:  # noqa: BLE001 - an unreadable picture is the checker's to tell
        return None


def menu_files(project, resources):
    """For each resource name: its menu index, names and picture."""
    menus = os.path.join(project, "menus")
    out = {}
    for resource in dict.fromkeys(resources):
        index = _menu_file(project, menus, resource, (".txt",))
        names = _menu_file(project, menus, resource, (".names",))
        picture = _menu_file(project, menus, resource, PICTURE_EXTENSIONS)
        size = picture_size(inside(project, picture)) if picture and inside(project, picture) else None
        double = _double_picture(project, menus, resource, size)
        out[resource] = {
            "index": text_file(project, index) if index else None,
            "indexPath": index or f"menus/{resource}.txt",
            "names": text_file(project, names) if names else None,
            "namesPath": names or f"menus/{resource}.names",
            "picture": picture,
            "size": list(size) if size else None,
            "double": double,
        }
    return out


def _double_picture(project, menus, resource, size):
    """menus/NAME@2x.EXT when it is exactly twice the 100 % picture: the
    page shows it in the 100 % picture's place, sharper on a high-DPI
    screen, while coordinates stay in 100 % pixels. One of another size is
    the check's to report, and the page keeps the 100 % picture."""
    double = _menu_file(project, menus, resource + "@2x", PICTURE_EXTENSIONS)
    if not double or not size or not inside(project, double):
        return None
    return double if picture_size(inside(project, double)) == (2 * size[0], 2 * size[1]) else None


def disc_names(project):
    """The names the disc will hold that a hotspot can start, as Windows
    writes them: disc/ as it is, the manuals' PDFs and docrunner."""
    names = {"autorun.exe", "software\\pdfreader\\docrunner.exe", "software\\pdfreader\\readme.txt"}
    disc = os.path.join(project, "disc")
    for folder, dirs, files in os.walk(disc):
        dirs.sort()
        for name in files:
            names.add(os.path.relpath(os.path.join(folder, name), disc).replace("/", "\\"))
    manuals = os.path.join(project, "manuals")
    if os.path.isdir(manuals):
        for name in os.listdir(manuals):
            if name.endswith((".ms", ".md")):
                names.add("manual\\" + name[:-3] + ".pdf")
    return sorted(names, key=str.lower)


class Conflict(Exception):
    def __init__(self, paths):
        super().__init__(", ".join(paths))
        self.paths = paths


class Refused(Exception):
    """A save names a file it may not write."""


def _replace(path, data):
    """Writes `data` as `path` through a temporary file in the same folder
    and a rename, keeping the file's mode."""
    try:
        mode = os.stat(path).st_mode & 0o7777
    except FileNotFoundError:
        mode = 0o644
    handle, temporary = tempfile.mkstemp(prefix="." + os.path.basename(path) + ".", suffix=".new",
                                         dir=os.path.dirname(path))
    try:
        with os.fdopen(handle, "wb") as f:
            f.write(data)
            f.flush()
            os.fsync(f.fileno())
        os.chmod(temporary, mode)
        os.replace(temporary, path)
    except BaseException:
        try:
            os.remove(temporary)
        except FileNotFoundError:
            pass
        raise


def save(project, changes):
    """Writes each change {path, base, text}: base is the version the page
    read (None: the file must not exist yet). Nothing is written when one
    file is refused or changed on disk; returns {path: new version}."""
    planned = []
    for change in changes:
        relative, text = change.get("path"), change.get("text")
        path = writable_menu_file(project, relative)
        if path is None or not isinstance(text, str):
            raise Refused(f"{relative!r} is not a text of menus/ that the editor writes")
        planned.append((relative, path, change.get("base"), text.encode("utf-8")))
    with _save_lock:
        stale = [relative for relative, path, base, _ in planned if version_of(_read(path)) != base]
        if stale:
            raise Conflict(stale)
        written = {}
        for relative, path, _, data in planned:
            _replace(path, data)
            written[relative] = version_of(data)
        return written


def free_name(project, relative):
    """A name beside `relative` that no file has: NAME.mine-N.EXT, for
    keeping the page's version of a file that changed on disk."""
    stem, ext = os.path.splitext(relative)
    for number in range(1, 1000):
        candidate = f"{stem}.mine-{number}{ext}"
        path = writable_menu_file(project, candidate)
        if path and not os.path.lexists(path):
            return candidate
    raise Refused(f"no free name beside {relative}")
