"""The disc's autorun.inf: the label and icon Explorer shows for the drive."""

from .pictures import is_icon

# Windows reads autorun.inf as an INI file: ";" starts a comment, a line
# break ends the value, "[" at a line's start opens a section, and Explorer
# takes quotes as part of the value. A value holding any of them would not
# come out as written.
def ini_value_problem(value):
    for char in value:
        if char in "\r\n":
            return "is one line"
        if ord(char) < 0x20 or ord(char) == 0x7F:
            return f"holds the control character U+{ord(char):04X}"
        if char in ';"':
            return f"holds '{char}', which autorun.inf cannot carry in a value"
    if value.startswith(("[", "]")):
        return f"starts with '{value[0]}', which autorun.inf reads as a section"
    return None


def autorun_inf(project):
    """The bytes of the disc's autorun.inf, or None after an error."""
    findings = project.findings
    errors = findings.errors
    label = project.setting("label")
    icon = project.setting("icon").replace("/", "\\")
    line = project.setting_lines.get("label", 0)
    icon_line = project.setting_lines.get("icon", 0)
    problem = ini_value_problem(label)
    if problem:
        findings.error("bad-label", project.settings_file, line, f"the label {problem}")
    # The icon is a path; its "," separates the icon's index.
    problem = ini_value_problem(icon)
    if problem:
        findings.error("bad-icon-path", project.settings_file, icon_line, f"the icon's path {problem}")
    icon_file = project.icon_file()
    if icon_file and not is_icon(icon_file):
        findings.error("not-an-icon", project.settings_file, icon_line,
                       f"icon \"{project.setting('icon')}\" is not an icon (.ico format) that Windows shows")
    # Explorer reads autorun.inf in the ANSI code page, as autorun reads the
    # titles; the label is stored like the first menu's title.
    language = project.first_language()
    encoded = project.encode(project.settings_file, line, label, project.code_page(language),
                             f"the texts of language \"{language}\", the first of the main index")
    try:
        icon_bytes = icon.encode("ascii")
    except UnicodeEncodeError:
        findings.error("bad-icon-path", project.settings_file, icon_line,
                       "the icon's path is ASCII only, which every Windows reads alike")
        icon_bytes = None
    if findings.errors > errors or encoded is None or icon_bytes is None:
        return None
    return b"[AutoRun]\r\nopen=autorun.exe\r\nicon=" + icon_bytes + b"\r\nlabel=" + encoded + b"\r\n"
