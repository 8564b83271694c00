"""project.txt: its settings and their defaults, the code page of each
language, the ISO volume id and the FAT label."""

import pytest

from conftest import told
from discproject.fat_label import fat_label_problem


@pytest.mark.parametrize("text, settings, overrides, errors, said", [
    ("\ufeff# a comment\r\n\r\n  Label =  Our Product \r\nVOLUME=OURS\n", {"label": "Our Product", "volume": "OURS"},
     {}, 0, ""),
    ("codepage.PL = 1252\ncodepage.ru = 1250\n", {}, {"pl": 1252, "ru": 1250}, 0, ""),
    ("label\n= x\n", {}, {}, 2, ':2: error: not a setting; write "name = value"'),
    ("label = A\nLABEL = B\n", {"label": "A"}, {}, 1, ':2: error: "label" is set again; first on line 1'),
    ("colour = red\n", {}, {}, 1, ':1: error: unknown setting "colour"'),
    ("codepage.el = 437\ncodepage.de = cp1250\n", {}, {}, 2, ':1: error: code page "437" is not one of 874, 932'),
])
def test_settings_file(make_project, text, settings, overrides, errors, said):
    project = make_project({"project.txt": text})
    assert (project.settings, project.code_page_overrides, project.findings.errors) == (settings, overrides, errors)
    assert said in told(project.findings)


@pytest.mark.parametrize("language, page", [
    ("pl", 1250), ("RU", 1251), ("de", 1252), ("el", 1253), ("tr", 1254), ("he", 1255), ("ar", 1256),
    ("lt", 1257), ("vi", 1258), ("th", 874), ("ja", 932), ("zh", 936), ("ko", 949), ("xx", 1252),
    ("hu", 1252),  # overridden in project.txt
])
def test_code_page_of_a_language(make_project, language, page):
    assert make_project({"project.txt": "codepage.HU = 1252\n"}).code_page(language) == page


@pytest.mark.parametrize("page, stored", [(1250, b"Za\xbf\xf3\xb3\xe6"), (1252, None)])
def test_text_in_its_code_page(make_project, page, stored):
    project = make_project()
    assert project.encode("menu.txt", 3, "Zażółć", page, "titles") == stored
    assert stored or f'menu.txt:3: error: "ż" (U+017C) cannot be stored in code page {page}' in told(project.findings)


@pytest.mark.parametrize("folder, files, name, value, error", [
    ("Our disc-2 (beta)", {}, "volume", "OUR_DISC_2__BETA_", None),
    ("p", {"project.txt": "volume = Ours\n"}, "volume", "Ours", 'volume "Ours": 1 to 32 of A-Z, 0-9 and "_"'),
    ("p", {"menus/menu.txt": "en;English;US;main;Our Product\r\n"}, "label", "Our Product", None),
    ("p", {"project.txt": "icon = art\\drive.ico\n", "disc/art/drive.ico": b"\0"}, "icon", "art\\drive.ico", None),
    ("p", {"project.txt": "icon = ../drive.ico\n", "drive.ico": b"\0"}, "icon", "../drive.ico", "is not a file in"),
    ("p", {"project.txt": "manual-language = German\n"}, "manual-language", "German", "a groff language such as"),
    ("velmora_product_disc", {}, "fat-label", "VELMORA_PRO", None),
    ("p", {"project.txt": "volume = \n"}, "fat-label", "", "(the volume id cut to 11 characters; set fat-label) is empty"),
    ("p", {"project.txt": "fat-label = Our disc\n"}, "fat-label", "Our disc", '(FAT labels are capitals: "OUR DISC")'),
])
def test_setting_with_its_default(make_project, folder, files, name, value, error):
    project = make_project(files, folder)
    assert project.setting(name) == value
    assert (error is None) == (project.findings.errors == 0) and (error or "") in told(project.findings)


@pytest.mark.parametrize("label, problem", [
    ("DISC_1 (A)", None), ("~!#$%&'@`{}", None), ("", "is empty"), ("ABCDEFGHIJKL", "has 12 characters; FAT holds 11"),
    (" DISC", "starts or ends with a blank"), ("NO NAME", "is what FAT shows for a volume without a label"),
    ("A.B", "holds '.'"), ("A^B", "holds '^'"),
])
def test_fat_label_problem(label, problem):
    found = fat_label_problem(label)
    assert found is None if problem is None else found.startswith(problem)
