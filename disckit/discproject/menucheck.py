"""Runs menucheck, autorun's own loader, on a generated resource folder and
reads its findings as records (menucheck --format json): one JSON object a
line, and a last record {"end": {...}} when the check ran to its end.

A check that did not finish is never taken for a clean one: a signal, the
limits set here, an exit status without records, a missing end record or a
line that is not a record each make the run fail, said in one line."""

import json
import os
import re
import signal

from . import tool_runner
from .findings import Failure, Finding

# Generous: the samples take well under a second and a few megabytes.
TIME_LIMIT_SECONDS = 300
MEMORY_LIMIT_BYTES = 4 * 1024 ** 3
OUTPUT_LIMIT_BYTES = 64 * 1024 ** 2

# Promoted to errors here: the disc would be burnt with a dead button.
NOT_ON_DISC = "target-not-on-disc"
SEVERITIES = ("error", "warning")


def run_limited(command, time_limit=TIME_LIMIT_SECONDS, memory_limit=MEMORY_LIMIT_BYTES, env=None):
    """Runs `command` (an argument list) in `env` (None: this program's);
    returns (status, stdout bytes, stderr bytes, why it was stopped or None)."""
    done = tool_runner.run(command, env=env, time_limit=time_limit, memory_limit=memory_limit,
                           output_limit=OUTPUT_LIMIT_BYTES, output_name="findings")
    return done.status, done.output, done.errors, done.stopped


def _first_line(data):
    for line in data.decode("utf-8", "replace").splitlines():
        if line.strip():
            return line.strip()
    return ""


def _record(line):
    """A finding record as the contract gives it, or None."""
    try:
        record = json.loads(line)
    except ValueError:
        return None
    if not isinstance(record, dict):
        return None
    if set(record) == {"end"}:
        end = record["end"]
        if isinstance(end, dict) and isinstance(end.get("errors"), int) and isinstance(end.get("warnings"), int):
            return record
        return None
    if not (isinstance(record.get("file"), str) and isinstance(record.get("line"), int)
            and record.get("severity") in SEVERITIES and isinstance(record.get("code"), str)
            and isinstance(record.get("message"), str) and isinstance(record.get("menu"), (str, type(None)))
            and isinstance(record.get("hotspot"), (int, type(None)))):
        return None
    return record


def read_records(status, stdout, stderr, stopped, menucheck):
    """The finding records of a finished run; Failure for any run that did
    not finish."""
    name = os.path.basename(menucheck)
    if stopped:
        raise Failure(f"{name} was stopped: it {stopped}; the check did not finish")
    if status is not None and status < 0:
        try:
            signame = signal.Signals(-status).name
        except ValueError:
            signame = f"signal {-status}"
        raise Failure(f"{name} was killed by {signame}; the check did not finish")
    if status not in (0, 1):
        reason = _first_line(stderr) or "no message"
        raise Failure(f"{name} failed with exit status {status} ({reason}); the check did not finish")
    records, end = [], None
    for number, line in enumerate(stdout.decode("utf-8", "replace").splitlines(), 1):
        if not line.strip():
            continue
        record = _record(line)
        if record is None or end is not None:
            what = "a line after its end record" if end is not None else "a line that is no finding record"
            raise Failure(f"{name} wrote {what} (line {number}); the check did not finish")
        if "end" in record:
            end = record["end"]
        else:
            records.append(record)
    if end is None:
        raise Failure(f"{name} ended without its end record; the check did not finish")
    counted = sum(1 for r in records if r["severity"] == "error"), sum(1 for r in records if r["severity"] == "warning")
    if counted != (end["errors"], end["warnings"]):
        raise Failure(f"{name} counted {end['errors']} error(s) and {end['warnings']} warning(s) but wrote "
                      f"{counted[0]} and {counted[1]}; the check did not finish")
    if status == 1 and not counted[0]:
        raise Failure(f"{name} failed without an error record; the check did not finish")
    return records


def run_menucheck(menucheck, arguments, env=None):
    """menucheck's finding records for `arguments` (an argument list), run
    in `env` (None: this program's)."""
    if not os.path.isfile(menucheck) or not os.access(menucheck, os.X_OK):
        raise Failure(f"{menucheck} is missing; build it first (make host)")
    return read_records(*run_limited([menucheck, "--format", "json"] + arguments, env=env), menucheck)


def pass_on(records, findings, sources, out, tree_note):
    """The records as findings named by the project's files. Start targets
    and documents missing from the disc are errors."""
    names = {}
    for name, source in sources.items():
        for spelling in (os.path.join(out, name), os.path.join(os.path.realpath(out), name)):
            names[spelling] = findings.name(source)
    for record in records:
        severity, text = record["severity"], record["message"]
        # menucheck names the generated files; the vendor knows the sources.
        for generated, source in names.items():
            text = text.replace(generated, source)
        if record["code"] == NOT_ON_DISC:
            severity = "error"
            text = re.sub(r" is not in the disc tree.*$", "", text) + " is not on the disc: " + tree_note
        findings.add(Finding(severity, names.get(record["file"]) or findings.name(record["file"]), record["line"],
                             record["code"], text, record.get("menu"), record.get("hotspot")))
