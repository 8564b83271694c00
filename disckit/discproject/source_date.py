"""The one time everything on the disc carries, so that rebuilding a commit
gives the same image bit for bit: SOURCE_DATE_EPOCH, else the later of the
kit's last commit and the last commit that changed the project's folder
(when the project lies in a git work tree; its recorded signatures aside). A vendor's release is so dated
by the vendor's own work, and a newer kit dates it no earlier than the kit
that built it."""

import os
import re
import time
from typing import NamedTuple

from . import tool_runner
from .findings import Failure

TREE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
# The programs' PE headers hold 32 bits of seconds; ISO 9660 and PDF dates
# reach further, so that field sets the limit.
LAST_SECOND = 4294967295
KIT = "the kit's last commit"
PROJECT = "the project's last commit"
RECORDS = "signatures"  # the folder of the recorded signatures, see signing.py
UNCOMMITTED = "the project has uncommitted changes, which the date does not cover"


class DiscDate(NamedTuple):
    epoch: int
    origin: str  # where the date came from, for the report line


def _git(folder, *args):
    """git's output in folder, "" when it fails (no work tree, no git)."""
    try:
        done = tool_runner.run(["git", "-C", folder] + list(args), errors=tool_runner.DISCARD)
    except Failure:
        return ""
    return done.output.decode(errors="replace").strip() if done.ok else ""


def _project_date(project):
    """(seconds, uncommitted) of the last commit that changed the project's
    folder; None outside a git work tree or before its first commit. The
    recorded signatures do not count: they are made for the programs of a
    date, and committing them must not move that date, or the programs
    would change and the records no longer fit them."""
    if not project or not os.path.isdir(project):
        return None
    sources = ["--", ".", f":(exclude){RECORDS}"]
    value = _git(project, "log", "-1", "--format=%ct", *sources)
    if not value.isdigit():
        return None
    return int(value), bool(_git(project, "status", "--porcelain", *sources))


def disc_date(env, project=None):
    """The disc's DiscDate; Failure in one line when there is no usable date.
    Without any git history there is no date of its own: rather than stamp
    the disc with an arbitrary one, it asks for SOURCE_DATE_EPOCH."""
    value = env.get("SOURCE_DATE_EPOCH", "")
    if value:
        origin = "SOURCE_DATE_EPOCH"
    else:
        kit = _git(TREE, "log", "-1", "--format=%ct")
        candidates = [(int(kit), KIT)] if kit.isdigit() else []
        own = _project_date(project)
        if own:
            candidates.append((own[0], PROJECT + (f"; {UNCOMMITTED}" if own[1] else "")))
        if not candidates:
            raise Failure(f"SOURCE_DATE_EPOCH is not set and {TREE} has no git history to date the disc by; "
                          "set SOURCE_DATE_EPOCH to the release time in seconds since 1970")
        # The project wins a tie: it is the vendor's own work.
        seconds, origin = max(candidates, key=lambda candidate: (candidate[0], candidate[1] != KIT))
        value = str(seconds)
    # No leading zeros, which some tools would read as octal.
    if not re.fullmatch(r"0|[1-9][0-9]*", value):
        raise Failure(f"{origin} \"{value}\" is not a count of seconds since 1970")
    if int(value) > LAST_SECOND:
        raise Failure(f"{origin} {value} lies beyond 2106, past what a program's time stamp holds")
    return DiscDate(int(value), origin)


def source_date_epoch(env, project=None):
    """The disc's date in seconds since 1970 (see disc_date)."""
    return disc_date(env, project).epoch


def utc(epoch):
    """A date as every message of the disc build shows it."""
    return time.strftime("%Y-%m-%d %H:%M:%S UTC", time.gmtime(epoch))
