"""Results of the check's slow steps kept between checks of one project (the
editor checks at every edit): a picture's conversion and groff's run over
a manual. An entry stands for the content of every file its step read, a
file that a manual includes too, so a change to any of them is seen at the
next check. One cache serves one project, environment and naming of
findings."""

import hashlib
import os
import threading

from . import manuals, markdown_manual
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


NO_CACHE = NoCache()


class CheckCache(NoCache):
    """The last result of each step, with the digests of the files it read;
    taken again only while every one of them holds the same bytes."""

    def __init__(self):
        self._kept = {}
        self._lock = threading.Lock()

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
