"""What may go onto the disc from a project's folders: names that the image
and Windows can hold, and nothing reached through a link that leaves the
project."""

import os

from .image_names import name_problem as image_name_problem

# Windows forbids these in a name; "\" and "/" separate folders there.
FORBIDDEN = set('<>:"|?*\\')
RESERVED = {"CON", "PRN", "AUX", "NUL", *(f"COM{i}" for i in range(1, 10)), *(f"LPT{i}" for i in range(1, 10))}


def name_problem(name):
    """Why Windows or a Joliet image cannot hold this file name, or None."""
    for char in name:
        if ord(char) < 0x20 or ord(char) == 0x7F:
            return f"holds the control character U+{ord(char):04X}"
        if char in FORBIDDEN:
            return f"holds '{char}', which Windows forbids in a name"
    if name.endswith((".", " ")):
        return "ends in a dot or a blank, which Windows drops"
    if name.split(".")[0].upper().rstrip(" ") in RESERVED:
        return f"is {name.split('.')[0].upper()}, a device name on Windows"
    if len(name) > 64:
        return "is longer than the 64 characters a Joliet name holds"
    try:
        name.encode("utf-16-le")
    except UnicodeEncodeError:
        return "is not valid Unicode"
    return image_name_problem(name)


def shown(path):
    """A path as a finding names it: one line, whatever it holds."""
    return path.encode("unicode_escape").decode("ascii") if any(ord(c) < 0x20 for c in path) else path


def link_problem(project_path, path, folder_ok=False):
    """Why a symbolic link cannot be followed onto the disc, or None. A link
    to a file inside the project is followed: the file it names is copied
    as it is; with folder_ok, so is one to a folder inside."""
    if not os.path.islink(path):
        return None
    target = os.path.realpath(path)
    inside = os.path.realpath(project_path)
    if os.path.commonpath([target, inside]) != inside:
        return f"is a symbolic link to {shown(os.readlink(path))}, outside the project; nothing from outside goes onto the disc"
    if not os.path.exists(target):
        return f"is a symbolic link to {shown(os.readlink(path))}, which does not exist"
    if os.path.isdir(target) and not folder_ok:
        return "is a symbolic link to a folder; put the folder itself there"
    return None


def check_file(project, path, findings):
    """Errors for a file of disc/ or manuals/ that cannot go onto the disc;
    True when it can."""
    problem = link_problem(project.path, path)
    if problem:
        findings.error("bad-link", shown(path), 0, problem)
        return False
    problem = name_problem(os.path.basename(path))
    if problem:
        findings.error("bad-name", shown(path), 0, f"the name {problem}")
        return False
    return True


