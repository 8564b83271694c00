"""The check that `make check` runs, on the page's unsaved edits: the
project is mirrored into a scratch folder, the page's texts are laid over
it, and the program's check runs there with a cache of its own. Its
findings come back as records, named by the project's own files."""

import os
import shutil
import threading

from ..check_cache import CheckCache
from ..checking import check_project
from ..findings import Failure, Findings

from .guard import writable_menu_file
from .picture_files import picture_path, removable_path


def _mirror(source, target):
    """Makes `target` a copy of `source` (links kept as links), copying only
    files whose size or time differ."""
    wanted = set()
    for folder, dirs, files in os.walk(source):
        relative = os.path.relpath(folder, source)
        out_folder = os.path.normpath(os.path.join(target, relative))
        os.makedirs(out_folder, exist_ok=True)
        for name in dirs + files:
            src, dst = os.path.join(folder, name), os.path.join(out_folder, name)
            wanted.add(os.path.normpath(dst))
            if os.path.islink(src):
                link = os.readlink(src)
                if not os.path.islink(dst) or os.readlink(dst) != link:
                    _remove(dst)
                    os.symlink(link, dst)
            elif name in files:
                info = os.stat(src)
                try:
                    mine = os.lstat(dst)
                    same = (mine.st_size, mine.st_mtime_ns) == (info.st_size, info.st_mtime_ns)
                except FileNotFoundError:
                    same = False
                if not same:
                    _remove(dst)
                    _link_or_copy(src, dst)
        dirs[:] = [d for d in dirs if not os.path.islink(os.path.join(folder, d))]
    for folder, dirs, files in os.walk(target, topdown=False):
        for name in dirs + files:
            path = os.path.normpath(os.path.join(folder, name))
            if path not in wanted:
                _remove(path)


def _link_or_copy(src, dst):
    """A disc folder of large setup programs is not copied where a hard link
    can stand for it; nothing writes through one (a file laid over the copy
    replaces its link)."""
    try:
        os.link(src, dst)
    except OSError:
        shutil.copy2(src, dst)


def _remove(path):
    if os.path.islink(path) or os.path.isfile(path):
        os.remove(path)
    elif os.path.isdir(path):
        shutil.rmtree(path)


class LiveCheck:
    def __init__(self, project, menucheck, scratch, env=None):
        self.project = os.path.abspath(project)
        self.menucheck = menucheck
        self.copy = os.path.join(scratch, os.path.basename(self.project) or "project")
        self.env = dict(env if env is not None else os.environ)
        # A sanitized menucheck looks for leaks as it ends, longer than its
        # check of a few menus takes; its own tests look for them.
        self.env["ASAN_OPTIONS"] = ":".join(filter(None, [self.env.get("ASAN_OPTIONS"), "detect_leaks=0"]))
        self.lock = threading.Lock()
        # The pictures' conversion and groff's run over a manual do not
        # change when a hotspot moves; kept while their files stay as they are.
        # The generated files and the disc's names stay in a folder of their
        # own between checks.
        self.cache = CheckCache(os.path.join(scratch, "work"))

    def _shown(self, path):
        """A path of the scratch copy as the project's file, relative to it."""
        for root in (self.copy, os.path.realpath(self.copy)):
            if path == root:
                return "."
            if path.startswith(root + os.sep):
                return os.path.relpath(path, root).replace(os.sep, "/")
        return path

    def run(self, edits, pictures=None, removed=()):
        """Findings for the project with `edits` ({path: text} of menus/)
        and `pictures` ({path: bytes} of menus/) in place of its files and
        the files of menus/ in `removed` gone:
        {"findings": [record...], "failure": str or None}."""
        laid = [(relative, text.encode("utf-8")) for relative, text in edits.items()
                if writable_menu_file(self.project, relative) is not None]
        laid += [(relative, data) for relative, data in (pictures or {}).items()
                 if picture_path(self.project, relative) is not None]
        gone = [relative for relative in removed if removable_path(self.project, relative) is not None]
        with self.lock:
            _mirror(self.project, self.copy)
            for relative in gone:
                # Not in the copy now; the next mirror brings it back.
                _remove(os.path.join(self.copy, *relative.split("/")))
            for relative, data in laid:
                path = os.path.join(self.copy, *relative.split("/"))
                _remove(path)
                with open(path, "wb") as f:
                    f.write(data)
                # Older than any real file: the next mirror puts the
                # project's own bytes back.
                os.utime(path, ns=(0, 0))
            findings = Findings(report=None, naming=self._shown)
            failure = None
            try:
                # As make check: the vendor's PDF reader (SUMATRAPDF) judged too.
                check_project(self.copy, self.menucheck, findings, self.env,
                              self.env.get("SUMATRAPDF") or None, cache=self.cache, every_menu=True)
            except Failure as error:
                failure = str(error)
            return {"findings": [finding.fields() for finding in findings.records], "failure": failure}
