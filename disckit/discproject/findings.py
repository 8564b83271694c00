"""Findings about a project as records: each names the project's file and
line, carries a stable code and, where known, the menu and hotspot it
belongs to. Every step adds records; how they are shown (text for people,
JSON lines for programs) is decided once, by whoever made the collector."""

import json
import sys
from dataclasses import dataclass
from typing import Optional

from .finding_codes import CODES


class Stop(Exception):
    """The project cannot be read any further; the findings say why."""


class Failure(Exception):
    """A step cannot go on. str() is one line, ready to print."""


@dataclass(frozen=True)
class Finding:
    severity: str
    file: str
    line: int
    code: str
    message: str
    menu: Optional[str] = None
    hotspot: Optional[int] = None

    def text(self):
        """The line people read: FILE:LINE: SEVERITY: MESSAGE (no :LINE for
        the file as a whole)."""
        where = f"{self.file}:{self.line}" if self.line else self.file
        return f"{where}: {self.severity}: {self.message}"

    def fields(self):
        """The record as menucheck's JSON records have it, in its order."""
        return {"file": self.file, "line": self.line, "severity": self.severity, "code": self.code,
                "message": self.message, "menu": self.menu, "hotspot": self.hotspot}


def _utf8(value):
    # A name that is no UTF-8 reaches Python with escaped bytes; like
    # menucheck, JSON carries U+FFFD for them.
    if isinstance(value, str):
        return value.encode("utf-8", "surrogateescape").decode("utf-8", "replace")
    return value


def json_line(finding):
    return json.dumps({k: _utf8(v) for k, v in finding.fields().items()}, ensure_ascii=False)


def json_end(errors, warnings):
    return json.dumps({"end": {"errors": errors, "warnings": warnings}})


def print_text(finding):
    """Findings as people read them, on standard error as they are found."""
    print(finding.text(), file=sys.stderr, flush=True)


def print_json(finding):
    """Findings as programs read them: one JSON object a line on standard
    output; the end record is the caller's, once the step has finished."""
    print(json_line(finding), flush=True)


class Findings:
    """The records of one run. `report` is called once for each new record
    (None: only kept); `naming` gives the name a finding uses for a path
    the step read, by default the path as it is."""

    def __init__(self, report=print_text, naming=None):
        self.errors = 0
        self.warnings = 0
        self.records = []
        self.seen = set()
        self.report = report
        self.naming = naming

    def name(self, path):
        """A path as the findings name it, for the file of a record and for
        a path a message quotes."""
        path = str(path)
        return self.naming(path) if self.naming else path

    def add(self, finding):
        # A setting is read by several steps; its problem is told once. The
        # same place and words are the same finding, whichever step found it.
        key = (finding.severity, finding.file, finding.line, finding.message)
        if key in self.seen:
            return
        self.seen.add(key)
        self.records.append(finding)
        if finding.severity == "error":
            self.errors += 1
        else:
            self.warnings += 1
        if self.report:
            self.report(finding)

    def error(self, code, path, line, text):
        self._own("error", code, path, line, text)

    def warning(self, code, path, line, text):
        self._own("warning", code, path, line, text)

    def _own(self, severity, code, path, line, text):
        """A finding of the program's own steps; its code is one of the
        listed ones (menucheck's records bring their own)."""
        if code not in CODES:
            raise ValueError(f"a finding without a listed code: {code!r}")
        self.add(Finding(severity, self.name(path), line, code, text))

    def quiet_twin(self):
        """A collector that names paths as this one does and reports
        nothing: for a step whose records are kept before they are added."""
        return Findings(report=None, naming=self.naming)
