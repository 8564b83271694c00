"""A vendor's project folder: its settings (project.txt), its main index and
the files of its menus."""

import os
import re

from .fat_label import fat_label
from .findings import Failure, Findings, Stop
from .project_bounds import outside_links
from .texts import CODE_PAGES, CODECS, DEFAULT_CODE_PAGE, encode, read_lines

SETTINGS = ("label", "volume", "icon", "manual-language", "fat-label")
DEFAULT_ICON = "autorun.exe,0"
MAIN_FIELDS = 5
NAME_PATTERN = re.compile(r"^[A-Za-z0-9_-]+$")
# The main index and the about text live under these resource names.
RESERVED_NAMES = {"MENU": "the main index", "ABOUT": "the about text"}


class Project:
    def __init__(self, path, findings):
        self.path = path.rstrip("/") or "/"
        self.findings = findings
        self.menus = os.path.join(self.path, "menus")
        self.disc = os.path.join(self.path, "disc")
        self.manuals = os.path.join(self.path, "manuals")
        self.settings_file = os.path.join(self.path, "project.txt")
        self.main_file = os.path.join(self.menus, "menu.txt")
        self._main = None
        if not os.path.isdir(self.path):
            findings.error("no-project-folder", self.path, 0, "no such project folder")
            raise Stop()
        outside = outside_links(self.path)
        for path, problem in outside:
            findings.error("bad-link", path, 0, problem)
        if outside:
            raise Stop()
        self.settings, self.setting_lines, self.code_page_overrides = self.read_settings()

    def read_lines(self, path):
        return read_lines(path, self.findings)

    def encode(self, path, number, text, page, why):
        return encode(self.findings, path, number, text, page, why)

    def code_page(self, language):
        language = language.lower()
        if language in self.code_page_overrides:
            return self.code_page_overrides[language]
        return CODE_PAGES.get(language, DEFAULT_CODE_PAGE)

    def first_language(self):
        main = self.main_lines()
        return main[0]["language"] if main else "en"

    # ---- project.txt ---------------------------------------------------

    def read_settings(self):
        settings, where, overrides = {}, {}, {}
        if not os.path.exists(self.settings_file):
            return settings, where, overrides
        lines, _ = self.read_lines(self.settings_file)
        for number, line in enumerate(lines, 1):
            text = line.strip()
            if not text or text.startswith("#"):
                continue
            key, equals, value = text.partition("=")
            key, value = key.strip().lower(), value.strip()
            if not equals or not key:
                self.findings.error("not-a-setting", self.settings_file, number,
                                    "not a setting; write \"name = value\"")
                continue
            if key in where:
                self.findings.error("setting-repeated", self.settings_file, number,
                                    f"\"{key}\" is set again; first on line {where[key]}")
                continue
            where[key] = number
            if key.startswith("codepage."):
                if not value.isdigit() or int(value) not in CODECS:
                    pages = ", ".join(str(p) for p in sorted(CODECS))
                    self.findings.error("unknown-code-page", self.settings_file, number,
                                        f"code page \"{value}\" is not one of {pages}")
                    continue
                overrides[key[len("codepage."):]] = int(value)
            elif key in SETTINGS or key.startswith("manual-language."):
                # manual-language.NAME: the language of manuals/NAME.md alone.
                settings[key] = value
            else:
                self.findings.error("unknown-setting", self.settings_file, number,
                                    f"unknown setting \"{key}\"; known are {', '.join(SETTINGS)}, codepage.LANGUAGE")
        return settings, where, overrides

    def setting(self, name):
        """A setting with its default; an invalid value is an error."""
        value = self.settings.get(name)
        line = self.setting_lines.get(name, 0)
        if name == "volume":
            if value is None:
                # ISO 9660 allows A-Z, 0-9 and "_" in a volume id.
                value = re.sub(r"[^A-Z0-9_]", "_", os.path.basename(os.path.abspath(self.path)).upper())[:32]
            if not re.fullmatch(r"[A-Z0-9_]{1,32}", value):
                self.findings.error("bad-volume", self.settings_file, line,
                                    f"volume \"{value}\": 1 to 32 of A-Z, 0-9 and \"_\" (ISO 9660)")
        elif name == "label":
            if value is None:
                main = self.main_lines()
                value = main[0]["fields"][4] if main else ""
        elif name == "icon":
            if value is None:
                value = DEFAULT_ICON
            elif value != DEFAULT_ICON:
                parts = value.replace("\\", "/").split("/")
                icon = os.path.join(self.disc, *parts)
                if ".." in parts or value.startswith(("/", "\\")) or not os.path.isfile(icon):
                    self.findings.error("icon-not-on-disc", self.settings_file, line,
                                        f"icon \"{value}\" is not a file in {self.findings.name(self.disc)}")
        elif name == "fat-label":
            value = fat_label(self, value, line)
        elif name == "manual-language":
            value = value or ""
            if value and not re.fullmatch(r"[a-z]{2,3}", value):
                self.findings.error("bad-manual-language", self.settings_file, line,
                                    f"manual-language \"{value}\": a groff language such as de or fr")
        return value

    def icon_file(self):
        """The drive icon's file in disc/, or None for the program's own."""
        value = self.setting("icon")
        if value == DEFAULT_ICON:
            return None
        path = os.path.join(self.disc, *value.replace("\\", "/").split("/"))
        return path if os.path.isfile(path) else None

    # ---- The main index -----------------------------------------------

    def main_lines(self):
        if self._main is not None:
            return self._main
        if not os.path.isfile(self.main_file):
            self.findings.error("no-main-index", self.main_file, 0,
                                "the main index is missing; each line names a menu: "
                                "language;name;country;resource;title")
            raise Stop()
        lines, self.main_ended = self.read_lines(self.main_file)
        self.main_text = lines
        self._main = []
        for number, line in enumerate(lines, 1):
            if not line:
                continue
            fields = line.split(";", MAIN_FIELDS - 1)
            if len(fields) < MAIN_FIELDS:
                self.findings.error("invalid-main-index-line", self.main_file, number, "invalid line in main index "
                                    f"(language;name;country;resource;title): {line}")
                continue
            resource = fields[3]
            if not NAME_PATTERN.match(resource):
                self.findings.error("bad-resource-name", self.main_file, number,
                                    f"resource \"{resource}\": a menu's resource name is "
                                    "letters, digits, \"-\" and \"_\", and names its files in menus/")
                continue
            if resource.upper() in RESERVED_NAMES:
                self.findings.error("reserved-resource-name", self.main_file, number,
                                    f"resource \"{resource}\" is the name of "
                                    f"{RESERVED_NAMES[resource.upper()]}; give the menu another")
                continue
            self._main.append({"line": number, "fields": fields, "language": fields[0]})
        return self._main

    # ---- Files of a menu ----------------------------------------------

    def menu_files(self):
        try:
            return sorted(os.listdir(self.menus))
        except OSError:
            return []

    def find(self, resource, kind, number):
        """The file of `resource` in menus/ of one kind: "index" (.txt),
        "names" (.names) or "picture" (any other); matched without regard
        to case, as Windows finds resources. A missing names file is no
        error: the menu's hotspots keep their default names."""
        matches = []
        what = KIND_NAMES[kind]
        for name in self.menu_files():
            stem, ext = os.path.splitext(name)
            if stem.lower() != resource.lower() or file_kind(name) != kind:
                continue
            if not os.path.isfile(os.path.join(self.menus, name)):
                self.findings.error("menu-file-not-a-file", os.path.join(self.menus, name), 0, f"not a file; the {what} of menu "
                                    f"\"{resource}\" is one")
                return None
            matches.append(os.path.join(self.menus, name))
        if not matches:
            if kind != "names":
                expected = f"{resource}.txt" if kind == "index" else f"{resource}.png or {resource}.bmp"
                self.findings.error("menu-file-missing", self.main_file, number,
                                    f"the {what} of menu \"{resource}\" is missing: "
                                    f"no {self.findings.name(os.path.join(self.menus, expected))}")
            return None
        if len(matches) > 1:
            self.findings.error("menu-file-ambiguous", self.main_file, number,
                                f"menu \"{resource}\" has more than one {what}: "
                                + ", ".join(self.findings.name(m) for m in matches))
            return None
        return matches[0]


KIND_NAMES = {"index": "menu index", "names": "names file", "picture": "picture"}


def usable_setting(project_path, name):
    """One setting of the project, for a step that needs it and cannot go
    on without: Failure when it is not usable (the findings say why)."""
    findings = Findings()
    try:
        value = Project(project_path, findings).setting(name)
    except Stop:
        value = None
    if findings.errors or value is None:
        raise Failure(f"{project_path}: its {name} setting is not usable (see project.txt)")
    return value


def file_kind(name):
    """What a file of menus/ is to its menu, by its extension."""
    ext = os.path.splitext(name)[1].lower()
    return {".txt": "index", ".names": "names"}.get(ext, "picture")
