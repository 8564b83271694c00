"""A project folder made from a table of files, and what its findings said."""

import pytest

from discproject.findings import Findings
from discproject.project_folder import Project


@pytest.fixture
def make_project(tmp_path):
    def make(files=None, folder="disc_project"):
        root = tmp_path / folder
        root.mkdir()
        for name, text in (files or {}).items():
            (root / name).parent.mkdir(parents=True, exist_ok=True)
            (root / name).write_bytes(text if isinstance(text, bytes) else text.encode("utf-8"))
        return Project(str(root), Findings(report=None))
    return make


def told(findings):
    """Every finding as the vendor reads it, one a line."""
    return "".join(record.text() + "\n" for record in findings.records)
