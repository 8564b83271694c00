"""Names: the file names a disc can carry, the lines of a text file, and the
names a screen reader says for the hotspots of a menu."""

import os

import pytest

from conftest import told
from discproject.disc_names import check_file, name_problem
from discproject.hotspot_names import judge, orphans, write_for_preview
from discproject.texts import read_lines


@pytest.mark.parametrize("name, problem", [
    ("Setup (x86) – \u00e9t\u00e9\u4e2d.exe", None), ("console.txt", None), ("a" * 64, None),
    ("a\x7fb", "holds the control character U+007F"),
    ("what?.txt", "holds '?', which Windows forbids in a name"),
    ("a;b.txt", "holds ';', which the disc's Joliet names cannot carry"),
    ("\U0001F600.txt", "holds \"\U0001F600\" (U+1F600), which neither image can carry: their names are UCS-2"),
    ("readme ", "ends in a dot or a blank, which Windows drops"),
    ("Com1 .tar.gz", "is COM1 , a device name on Windows"),
    ("a" * 65, "is longer than the 64 characters a Joliet name holds"),
    ("bad\udcff.txt", "is not valid Unicode"),
])
def test_name_the_disc_can_hold(name, problem):
    assert name_problem(name) == problem


@pytest.mark.parametrize("link, problem", [
    ("disc/inside.txt", None),
    ("disc", "is a symbolic link to a folder"),
    ("../outside.txt", "outside the project; nothing from outside goes onto the disc"),
    ("disc/gone.txt", "which does not exist"),
])
def test_link_onto_the_disc(make_project, link, problem):
    project = make_project({"disc/inside.txt": "x", "../outside.txt": "x"})
    path = os.path.join(project.disc, "link")
    os.symlink(os.path.relpath(os.path.join(project.path, link), project.disc), path)
    assert check_file(project, path, project.findings) == (problem is None)
    assert (problem or "") in told(project.findings)


@pytest.mark.parametrize("data, lines, ended, said", [
    (b"\xef\xbb\xbfone\r\ntwo\nthree", ["one", "two", "three"], False, ""),
    (b"one\r\n\r\n", ["one", ""], True, ""),
    (b"a\0b\n", ["ab"], True, ":1: error: a NUL byte at column 2; a text holds none"),
    (b"ok\nZa\xbf\xf3\n", ["ok", "Za\ufffd\ufffd"], True, ":2: error: not UTF-8 (byte 0xbf at column 3)"),
])
def test_lines_of_a_text(make_project, data, lines, ended, said):
    project = make_project({"menus/menu.txt": data})
    assert read_lines(project.main_file, project.findings) == (lines, ended)
    assert said in told(project.findings) and (project.findings.errors > 0) == bool(said)


@pytest.mark.parametrize("index, names, said", [
    ("a\n\nb\n", "A\nB\n\n\n", []),
    ("a\nbroken\n\nc\n", "A\n\n", ["names:2: warning: the hotspot on line 2 of main.txt has no name",
                                   "names:3: warning: the hotspot on line 4 of main.txt has no name"]),
    ("a\n", "A\nB\nC\n", ["names:2: error: a name beyond the last hotspot: main.txt has 1 hotspot(s)"]),
])
def test_names_of_the_hotspots(make_project, index, names, said):
    project = make_project({"menus/main.txt": index})
    judge(project, "names", os.path.join(project.menus, "main.txt"), names.splitlines())
    assert [line.split("; ")[0] for line in told(project.findings).splitlines()] == said


def test_names_without_a_menu_index(make_project):
    project = make_project({"menus/Main.TXT": "a\n", "menus/main.names": "A\n", "menus/old.names": "A\n"})
    orphans(project)
    assert project.findings.errors == 1 and "old.names: error: names without a menu index" in told(project.findings)


def test_names_for_the_preview_stand_on_their_hotspots_lines(make_project, tmp_path):
    # As autorun counts: a blank line is no hotspot, a damaged one is.
    project = make_project({"menus/Main.TXT": "a\n\nbroken\n\nc\n", "menus/MAIN.names": "\ufeffÄ\r\nB\r\nC\r\nD\r\n",
                            "menus/old.names": "A\n"})
    write_for_preview(project, str(tmp_path / "names"))
    assert os.listdir(tmp_path / "names") == ["main.names"]
    assert (tmp_path / "names" / "main.names").read_text(encoding="utf-8") == "Ä\n\nB\n\nC\n"
