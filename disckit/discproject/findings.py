"""Findings about a project: one line each, named by the project's file and
line, counted by severity."""

import sys


class Stop(Exception):
    """The project cannot be read any further; the findings say why."""


class Failure(Exception):
    """A step cannot go on. str() is one line, ready to print."""


class Findings:
    def __init__(self, stream=None):
        self.errors = 0
        self.warnings = 0
        self.seen = set()
        self.stream = stream or sys.stderr

    def add(self, severity, path, line, text):
        where = f"{path}:{line}" if line else path
        finding = f"{where}: {severity}: {text}"
        # A setting is read by several steps; its problem is told once.
        if finding in self.seen:
            return
        self.seen.add(finding)
        print(finding, file=self.stream, flush=True)
        if severity == "error":
            self.errors += 1
        else:
            self.warnings += 1

    def error(self, path, line, text):
        self.add("error", path, line, text)

    def warning(self, path, line, text):
        self.add("warning", path, line, text)
