"""A Markdown manual's language: from its own setting, its name or the
project's default, and what the language decides."""

from discproject.findings import Findings
from discproject.manual_language import Language, language_of, named_language
from discproject.project_folder import Project


def test_the_end_of_a_name_counts_only_as_a_language_the_menus_speak():
    names = {"guide-de": "de", "guide.de": "de", "guide-pt-BR": "pt-BR", "guide.zh-TW": "zh-TW",
             "guide": None, "how-to": None, "user-guide": None, "guide-xx": None, "guide-DE": None}
    assert {name: named_language(name) for name in names} == names


def test_own_setting_before_name_before_project_default(tmp_path):
    (tmp_path / "manuals").mkdir()
    (tmp_path / "project.txt").write_text("manual-language = fr\nmanual-language.guide-de = pl\n"
                                          "manual-language.bad = english\n")
    findings = Findings(report=None)
    project = Project(str(tmp_path), findings)
    tags = {name: language_of(project, str(tmp_path / "manuals" / name)).tag
            for name in ("guide-de.md", "guide-ru.md", "guide.md", "bad.md")}
    assert tags == {"guide-de.md": "pl", "guide-ru.md": "ru", "guide.md": "fr", "bad.md": "en"}
    assert [r.text() for r in findings.records] == [f"{tmp_path}/project.txt:3: error: manual-language.bad \"english\": a language "
                                                    "the menus speak, such as de or pt-BR"]


def test_direction_quotes_and_han_forms():
    hebrew, german, japanese, taiwanese = (Language(t) for t in ("he", "de", "ja", "zh-TW"))
    assert (hebrew.direction, german.direction) == ("rtl", "ltr")
    assert german.quotes == ["„", "“", "‚", "‘"] and german.curls_quotes
    assert not japanese.curls_quotes
    assert (japanese.cjk_face, taiwanese.cjk_face, Language("ko").cjk_face) == ("JP", "TC", "KR")
