"""The FAT volume label of a USB stick's image: the project's fat-label
setting, by default its ISO volume id cut to the 11 characters FAT holds."""

import re

LENGTH = 11
# What DOS and Windows put in a FAT label: capitals, digits, blanks and the
# punctuation of short file names. Windows stores a label in capitals and
# reads it in the OEM code page, so lower case and other letters would not
# come out as written; a trailing blank is padding and would be lost. "^"
# is left out: mtools writes it as "~".
LABEL = re.compile(r"[A-Z0-9!#$%&'()@_`{}~ -]{1,11}")


def fat_label_problem(label):
    """Why FAT cannot hold `label`, or None."""
    if not label:
        return "is empty; a label is 1 to 11 characters"
    if len(label) > LENGTH:
        return f"has {len(label)} characters; FAT holds {LENGTH}"
    if label.startswith(" ") or label.endswith(" "):
        return "starts or ends with a blank, which FAT does not keep"
    if label == "NO NAME":
        return "is what FAT shows for a volume without a label"
    if not LABEL.fullmatch(label):
        bad = next(c for c in label if not LABEL.fullmatch(c))
        hint = f" (FAT labels are capitals: \"{label.upper()}\")" if bad.islower() else ""
        return f"holds '{bad}'; FAT takes A-Z, 0-9, blanks and ! # $ % & ' ( ) @ _ ` {{ }} ~ -{hint}"
    return None


def fat_label(project, value, line):
    """The setting's value with its default; an error when FAT cannot hold it."""
    explicit = value is not None
    if not explicit:
        value = project.setting("volume")[:LENGTH]
    problem = fat_label_problem(value)
    if problem:
        origin = "" if explicit else " (the volume id cut to 11 characters; set fat-label)"
        project.findings.error("bad-fat-label", project.settings_file, line, f"fat-label \"{value}\"{origin} {problem}")
    return value
