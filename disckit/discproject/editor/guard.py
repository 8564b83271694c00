"""Who may ask and what may be named: the run's token, the Host header and
paths that must stay inside the project."""

import hmac
import os
import re
import secrets

from ..disc_names import RESERVED

# What a menu's text may be called: the main index, a menu's resource name
# (letters, digits, "-", "_") with .txt or .names, or the page's kept copy
# of one (NAME.mine-N.EXT); nothing a menu cannot use, and no device name.
MENU_TEXT = re.compile(r"([A-Za-z0-9_-]+)(?:\.mine-[0-9]+)?\.(?:txt|names)", re.IGNORECASE)

# The menus and a picture or two: far below this. A larger body is refused
# before it is read.
MAX_BODY_BYTES = 8 * 1024 * 1024


def new_token():
    return secrets.token_urlsafe(24)


def token_matches(token, given):
    return bool(given) and hmac.compare_digest(token.encode(), given.encode("utf-8", "replace"))


def host_allowed(host, port):
    """Only the loopback with this run's port: a page of another site whose
    name was made to point at 127.0.0.1 sends its own name here."""
    return host in (f"127.0.0.1:{port}", f"localhost:{port}")


def origin_allowed(origin, port):
    """Requests that change something come from our own page (or from a
    client that sends no Origin at all, such as a test)."""
    return origin is None or origin in (f"http://127.0.0.1:{port}", f"http://localhost:{port}")


def inside(root, relative):
    """The real path of `relative` (slash-separated) under `root`, or None
    when it names nothing inside `root` once links are followed."""
    if not relative or "\0" in relative or "\\" in relative or relative.startswith("/"):
        return None
    parts = relative.split("/")
    if any(part in ("", ".", "..") for part in parts):
        return None
    real_root = os.path.realpath(root)
    path = os.path.realpath(os.path.join(real_root, *parts))
    if os.path.commonpath([real_root, path]) != real_root or path == real_root:
        return None
    return path


def menu_name(name):
    match = MENU_TEXT.fullmatch(name)
    return bool(match) and match.group(1).upper() not in RESERVED


def writable_menu_file(project, relative):
    """The path that a save may write for `relative`: a text of menus/ (a
    menu index, the main index, the names of a menu), itself no link and
    directly in menus/; None for anything else."""
    parts = relative.split("/") if isinstance(relative, str) else []
    if len(parts) != 2 or parts[0] != "menus":
        return None
    name = parts[1]
    if not menu_name(name):
        return None
    menus = inside(project, "menus")
    if menus is None or not os.path.isdir(menus) or os.path.islink(os.path.join(project, "menus")):
        return None
    path = os.path.join(menus, name)
    if os.path.islink(path) or inside(project, relative) != path:
        return None
    return path
