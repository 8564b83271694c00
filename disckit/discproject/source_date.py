"""The one time everything on the disc carries: SOURCE_DATE_EPOCH, else the
date of the tree's last commit, so that rebuilding a commit gives the same
image bit for bit."""

import os
import re
import time

from . import tool_runner
from .findings import Failure

TREE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
# The programs' PE headers hold 32 bits of seconds; ISO 9660 and PDF dates
# reach further, so that field sets the limit.
LAST_SECOND = 4294967295


def source_date_epoch(env):
    """Seconds since 1970; Failure in one line when there is no usable date.
    A tree without git history has no date of its own: rather than stamp
    the disc with an arbitrary one, it asks for SOURCE_DATE_EPOCH."""
    value = env.get("SOURCE_DATE_EPOCH", "")
    if value:
        origin = "SOURCE_DATE_EPOCH"
    else:
        origin = "the last commit's date"
        try:
            done = tool_runner.run(["git", "-C", TREE, "log", "-1", "--format=%ct"], errors=tool_runner.DISCARD)
            value = done.output.decode().strip() if done.ok else ""
        except Failure:
            value = ""
        if not value:
            raise Failure(f"SOURCE_DATE_EPOCH is not set and {TREE} has no git history to date the disc by; "
                          "set SOURCE_DATE_EPOCH to the release time in seconds since 1970")
    # No leading zeros, which some tools would read as octal.
    if not re.fullmatch(r"0|[1-9][0-9]*", value):
        raise Failure(f"{origin} \"{value}\" is not a count of seconds since 1970")
    if int(value) > LAST_SECOND:
        raise Failure(f"{origin} {value} lies beyond 2106, past what a program's time stamp holds")
    return int(value)


def utc(epoch):
    """A date as every message of the disc build shows it."""
    return time.strftime("%Y-%m-%d %H:%M:%S UTC", time.gmtime(epoch))
