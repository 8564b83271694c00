"""Results of the check's slow steps kept between checks of one project (the
editor checks at every edit): a picture's conversion and groff's run over
a manual. An entry stands for the content of every file its step read, a
file that a manual includes too, so a change to any of them is seen at the
next check. One cache serves one project, environment and naming of
findings."""

import contextlib
import hashlib
import os
import tempfile
import threading

from . import manuals, markdown_manual
from .disc_tree import lay_out
from .findings import Stop
from .pictures import picture_to_bmp


def _digest(path):
    try:
        with open(path, "rb") as f:
            return hashlib.file_digest(f, "sha256").hexdigest()
    except OSError:
        return None


def _files_under(folder):
    found = []
    for parent, dirs, files in os.walk(folder):
        dirs.sort()
        found.extend(os.path.join(parent, name) for name in sorted(files))
    return found


class NoCache:
    """Every step run afresh, as one run of the program checks."""

    def picture(self, path, findings):
        return picture_to_bmp(path, findings)

    def manual_characters(self, source, language, findings, env):
        manuals.check_characters(source, language, findings, env)

    def markdown_layout(self, project, source, findings):
        markdown_manual.check_layout(project, source, findings)

    @contextlib.contextmanager
    def work_folder(self):
        """A folder for the check's generated files, its own."""
        with tempfile.TemporaryDirectory() as work:
            yield work

    def names_tree(self, project, findings, work, env, reader):
        """The names the disc will have, laid out as empty files in `work`;
        Stop when they cannot be."""
        tree = os.path.join(work, "disc")
        lay_out(project, findings, tree, 0, env, reader=reader)
        return tree


NO_CACHE = NoCache()


def _tree_inputs(project, reader):
    """What the names of the disc follow: the files of disc/ and manuals/
    (names, sizes, times), the settings and the main index."""
    seen = [reader]
    for top in (project.disc, project.manuals):
        for folder, dirs, files in os.walk(top):
            dirs.sort()
            for name in sorted(dirs + files):
                try:
                    info = os.lstat(os.path.join(folder, name))
                except OSError:
                    continue
                seen.append((os.path.relpath(os.path.join(folder, name), project.path), info.st_mode,
                             info.st_size, info.st_mtime_ns))
    seen += [_digest(project.settings_file), _digest(project.main_file)]
    return tuple(seen)


class CheckCache(NoCache):
    """The last result of each step, with the digests of the files it read;
    taken again only while every one of them holds the same bytes."""

    def __init__(self, folder=None):
        """`folder`: where the generated files stay between checks (the
        unchanged ones are not written again); one check at a time uses it."""
        self._kept = {}
        self._lock = threading.Lock()
        self._folder = folder

    @contextlib.contextmanager
    def work_folder(self):
        if self._folder is None:
            with super().work_folder() as work:
                yield work
            return
        os.makedirs(self._folder, exist_ok=True)
        yield self._folder

    def names_tree(self, project, findings, work, env, reader):
        """Laid out again only when what the names follow has changed; a
        menu's edit does not change them."""
        if self._folder is None:
            return super().names_tree(project, findings, work, env, reader)
        inputs = _tree_inputs(project, reader)
        tree = os.path.join(work, "disc")
        kept = self._kept.get("tree")
        if kept is None or kept[0] != inputs or not os.path.isdir(tree):
            probe = findings.quiet_twin()
            try:
                lay_out(project, probe, tree, 0, env, reader=reader)
                laid = True
            except Stop:
                laid = False
            kept = (inputs, laid, probe.records)
            self._kept["tree"] = kept
        for record in kept[2]:
            findings.add(record)
        if not kept[1]:
            raise Stop()
        return tree

    def picture(self, path, findings):
        return self._remember(("picture", path), [path], findings, lambda probe: picture_to_bmp(path, probe))

    def manual_characters(self, source, language, findings, env):
        self._remember(("manual", source, language), manuals.files_read(source), findings,
                       lambda probe: manuals.check_characters(source, language, probe, env))

    def markdown_layout(self, project, source, findings):
        # The typesetter reads only files of manuals/ (its fetcher refuses
        # the rest) and the settings: all of them stand for what it read.
        inputs = [project.settings_file] + _files_under(project.manuals)
        self._remember(("markdown", source), inputs, findings,
                       lambda probe: markdown_manual.check_layout(project, source, probe))

    def _remember(self, step, inputs, findings, run):
        digests = tuple((path, _digest(path)) for path in inputs)
        with self._lock:
            kept = self._kept.get(step)
        if kept is None or kept[0] != digests:
            probe = findings.quiet_twin()
            kept = (digests, run(probe), probe.records)
            with self._lock:
                self._kept[step] = kept
        _, result, records = kept
        for record in records:
            findings.add(record)
        return result
