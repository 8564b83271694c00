"""The one way the kit starts a tool: what reaches it from the environment,
and how a failing, hanging or flooding tool ends in one line."""

import os
import sys
import time

import pytest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "disckit"))

from discproject import tool_runner  # noqa: E402
from discproject.findings import Failure  # noqa: E402

CALLER = {"PATH": "/usr/bin:/bin", "SIGN_PASSWORD": "p12-secret", "SIGN_PIN": "1234", "SIGN_CERT": "vendor.pem",
          "LANG": "de_DE.UTF-8", "LC_TIME": "de_DE.UTF-8", "LANGUAGE": "de", "TZ": "Pacific/Kiritimati",
          "GS_OPTIONS": "-dNOSAFER", "MTOOLS_NAME_NUMERIC_TAIL": "0", "SOURCE_DATE_EPOCH": "5"}


def test_environment_policy():
    # Any tool: the caller's environment, the secrets left out.
    plain = tool_runner.environment(CALLER)
    assert plain == {k: v for k, v in CALLER.items() if k not in ("SIGN_PASSWORD", "SIGN_PIN")}
    # A tool of the disc: nothing of this machine's locale, zone or user
    # settings; the date only as given; named settings last, over all.
    disc = tool_runner.environment(CALLER, disc=True, date=981173106, settings={"HOME": os.devnull, "TZ": "X"})
    assert disc == {"PATH": "/usr/bin:/bin", "SIGN_CERT": "vendor.pem", "LANG": "de_DE.UTF-8", "LC_ALL": "C.UTF-8",
                    "TZ": "X", "SOURCE_DATE_EPOCH": "981173106", "HOME": os.devnull}
    assert "SOURCE_DATE_EPOCH" not in tool_runner.environment(CALLER, disc=True)


def test_ends_in_one_line():
    shell = ["sh", "-c"]
    done = tool_runner.run(shell + ['echo "$SIGN_PASSWORD"; echo first >&2; echo "  the cause  " >&2; exit 3'],
                           env=CALLER)
    assert (done.status, done.output) == (3, b"\n")
    assert done.failure("mcopy") == "mcopy failed (exit status 3): the cause"
    merged = tool_runner.run(shell + ["echo out; echo err >&2; exit 1"], errors=tool_runner.MERGE)
    assert merged.output.split() == [b"out", b"err"] and merged.failure("fsck.fat").endswith(": err")
    with pytest.raises(Failure, match=r"^no-such-tool is missing; run scripts/install-deps as root$"):
        tool_runner.run(["no-such-tool"])
    with pytest.raises(Failure, match=r"^/nowhere/pe_timestamp is missing$"):
        tool_runner.run(["/nowhere/pe_timestamp"])


def _alive(pid):
    try:
        with open(f"/proc/{pid}/stat") as f:
            return f.read().rsplit(")", 1)[1].split()[0] != "Z"
    except FileNotFoundError:
        return False


def test_limits_stop_the_tool_and_what_it_started(tmp_path):
    hung = tool_runner.run(["sleep", "60"], time_limit=0.2)
    assert (hung.status, hung.failure("xorriso")) == (None, "xorriso was stopped: it took longer than 0.2 s")
    # The flood begins only once the shell's child is started and named; a
    # kill of the shell alone would leave that child running.
    pid_file = tmp_path / "child"
    flood = tool_runner.run(["sh", "-c", f"sleep 60 & echo $! > {pid_file}; exec yes"], output_limit=1024 ** 2,
                            output_name="findings")
    assert flood.stopped == "wrote more than 1 MB of findings"
    pid = int(pid_file.read_text())
    deadline = time.monotonic() + 10
    while _alive(pid) and time.monotonic() < deadline:
        time.sleep(0.01)
    assert not _alive(pid)
