"""The check's cache as the editor uses it between checks of one project: a
result is taken again only while every file its step read holds the same
bytes, a file that a manual includes too (named here so that it is no
manual of its own, which would be checked for itself)."""

import os
import shutil
import sys

import pytest

TREE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(TREE, "disckit"))

from discproject import manuals  # noqa: E402
from discproject.check_cache import CheckCache  # noqa: E402
from discproject.checking import check_project  # noqa: E402
from discproject.findings import Findings  # noqa: E402

POLISH = "Zażółć gęślą jaźń\n"


@pytest.fixture
def project(tmp_path):
    path = tmp_path / "project"
    shutil.copytree(os.path.join(TREE, "projects", "two-screens"), path)
    with open(path / "manuals" / "guide.ms", "a") as f:
        f.write(".so part.inc\n")
    (path / "manuals" / "part.inc").write_text(".PP\nPlain words.\n")
    return path


@pytest.fixture
def menucheck(tmp_path):
    """menucheck finding nothing: the manuals are what this is about."""
    path = tmp_path / "menucheck"
    path.write_text("#!/bin/sh\necho '{\"end\": {\"errors\": 0, \"warnings\": 0}}'\n")
    path.chmod(0o755)
    return str(path)


def check(project, menucheck, cache):
    findings = Findings(report=None)
    check_project(str(project), menucheck, findings, os.environ, cache=cache)
    return [(f.severity, os.path.basename(f.file), f.code) for f in findings.records]


def test_a_change_to_an_included_file_is_seen_at_the_next_check(project, menucheck, monkeypatch):
    runs = []
    step = manuals.check_characters
    monkeypatch.setattr(manuals, "check_characters", lambda *args: runs.append(args) or step(*args))
    cache = CheckCache()
    part = project / "manuals" / "part.inc"

    assert check(project, menucheck, cache) == []
    first = len(runs)
    assert check(project, menucheck, cache) == []
    assert len(runs) == first, "nothing changed: groff's runs are taken from the cache"

    # Same date as before: only the bytes tell the change.
    times = part.stat()
    part.write_text(".PP\n" + POLISH)
    os.utime(part, ns=(times.st_atime_ns, times.st_mtime_ns))
    # groff reads an included file without converting it from UTF-8: each
    # byte of the letters is a warning of its own.
    found = check(project, menucheck, cache)
    assert found and set(found) == {("warning", "part.inc", "groff-warning")}

    part.write_text(".PP\nPlain words.\n")
    assert check(project, menucheck, cache) == []
