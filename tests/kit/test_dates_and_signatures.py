"""The disc's date, and what signing decides before any key is read: which
programs take a recorded signature, and when there is nothing to sign with."""

import subprocess

import pytest

from discproject import source_date
from discproject.findings import Failure
from discproject.signing import UNSIGNED, SigningError, sign_programs


@pytest.mark.parametrize("value, outcome", [
    ("0", 0), ("4294967295", 4294967295),
    ("0170", 'SOURCE_DATE_EPOCH "0170" is not a count of seconds since 1970'),
    ("4294967296", "SOURCE_DATE_EPOCH 4294967296 lies beyond 2106, past what a program's time stamp holds"),
    ("", "has no git history to date the disc by; set SOURCE_DATE_EPOCH"),
])
def test_date_of_the_disc(tmp_path, monkeypatch, value, outcome):
    monkeypatch.setattr(source_date, "TREE", str(tmp_path))  # a tree without history
    monkeypatch.setenv("GIT_CEILING_DIRECTORIES", str(tmp_path.parent))
    try:
        assert source_date.source_date_epoch({"SOURCE_DATE_EPOCH": value}) == outcome
    except Failure as failure:
        assert outcome in str(failure)


@pytest.mark.parametrize("programs, recorded, env, outcome", [
    ([], [], {}, "no programs to sign"),
    (["a/autorun.exe", "b/autorun.exe"], [], {}, "two programs share a name: autorun.exe autorun.exe"),
    (["autorun.exe"], [], {}, UNSIGNED),
    (["autorun.exe"], ["autorun.exe"], {"SIGN_RENEW": "1"}, "SIGN_RENEW=1 signs afresh, but no key is given"),
    (["autorun.exe", "docrunner.exe"], ["autorun.exe"], {}, "docrunner.exe: no signature recorded in "),
    (["autorun.exe"], ["autorun.exe"], {"SIGN_RENEW": "0"}, "not a signature that osslsigncode recorded"),
])
def test_signature_records(tmp_path, programs, recorded, env, outcome):
    (tmp_path / "signatures").mkdir()
    for name in recorded:
        (tmp_path / "signatures" / (name + ".sig")).write_bytes(b"not DER")
    for program in programs:
        (tmp_path / program).parent.mkdir(exist_ok=True)
        (tmp_path / program).write_bytes(b"MZ")
    try:
        said = sign_programs(env, 0, str(tmp_path), [str(tmp_path / program) for program in programs])
    except SigningError as error:
        said = str(error)
    assert outcome in said
    assert all((tmp_path / program).read_bytes() == b"MZ" for program in programs)


def _commit(folder, seconds, monkeypatch):
    """A commit of everything in folder's repository, dated seconds."""
    for name, value in (("GIT_AUTHOR_DATE", f"@{seconds} +0000"), ("GIT_COMMITTER_DATE", f"@{seconds} +0000"),
                        ("GIT_AUTHOR_NAME", "kit"), ("GIT_AUTHOR_EMAIL", "kit@example.org"),
                        ("GIT_COMMITTER_NAME", "kit"), ("GIT_COMMITTER_EMAIL", "kit@example.org")):
        monkeypatch.setenv(name, value)
    for command in (["init", "-q"], ["add", "-A"], ["commit", "-q", "-m", "work"]):
        subprocess.run(["git", "-C", str(folder)] + command, check=True, capture_output=True)


@pytest.mark.parametrize("kit, project, edit, outcome", [
    (1000000000, 1500000000, None, (1500000000, "the project's last commit")),
    (1600000000, 1500000000, None, (1600000000, "the kit's last commit")),
    (1000000000, 1500000000, "project.txt", (1500000000, "the project's last commit; " + source_date.UNCOMMITTED)),
    # Records committed later, or not yet, leave the date of what they sign.
    (1000000000, 1500000000, "signatures", (1500000000, "the project's last commit")),
    (1000000000, None, None, (1000000000, "the kit's last commit")),
])
def test_date_of_the_project(tmp_path, monkeypatch, kit, project, edit, outcome):
    monkeypatch.setenv("GIT_CEILING_DIRECTORIES", str(tmp_path))
    (tmp_path / "kit").mkdir()
    (tmp_path / "kit" / "README").write_text("kit")
    _commit(tmp_path / "kit", kit, monkeypatch)
    monkeypatch.setattr(source_date, "TREE", str(tmp_path / "kit"))
    folder = tmp_path / "vendor" / "cd"
    folder.mkdir(parents=True)
    (folder / "project.txt").write_text("label = CD\n")
    if project:
        _commit(tmp_path / "vendor", project, monkeypatch)
    if edit == "signatures":
        (folder / "signatures").mkdir()
        (folder / "signatures" / "autorun.exe.sig").write_bytes(b"0")
        _commit(tmp_path / "vendor", project + 1000, monkeypatch)
        (folder / "signatures" / "docrunner.exe.sig").write_bytes(b"0")
    elif edit:
        (folder / edit).write_text("label = NEW\n")
    date = source_date.disc_date({}, str(folder))
    assert date == outcome
    assert source_date.disc_date({"SOURCE_DATE_EPOCH": "5"}, str(folder)) == (5, "SOURCE_DATE_EPOCH")
