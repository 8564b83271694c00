"""Every external program of the kit starts here: an argument list, never a
shell string, so a blank, quote or ";" in a path is only data; an
environment decided here alone; a time limit; and, on failure, the tool's
own message in one line.

What reaches a tool besides its arguments (environment()):
- every tool: the caller's environment without the signing secrets, which
  reach the signing tools only through a file this user alone can read;
- a tool that writes or reads the disc's files (disc=True) also runs apart
  from this machine's settings, so the same tree gives the same image and
  names read alike everywhere: a fixed UTF-8 locale, UTC, no user's
  ghostscript options or mtools settings, and SOURCE_DATE_EPOCH only as the
  disc's date the caller gives (xorriso gets none: its options date
  everything);
- last, the named variables a caller adds (mtools' own settings, the
  token's module)."""

import os
import signal
import subprocess
import tempfile
import time

from .findings import Failure

SECRETS = ("SIGN_PASSWORD", "SIGN_PIN")
# What a user may have set that would change a disc tool's names or bytes.
DISC_DROPPED = ("LANGUAGE", "GS_OPTIONS", "SOURCE_DATE_EPOCH")
DISC_DROPPED_PREFIXES = ("LC_", "MTOOLS")
DISC_FIXED = {"LC_ALL": "C.UTF-8", "TZ": "UTC"}
# Far beyond what any tool of a disc takes, short of waiting for ever on
# one that hangs.
TIME_LIMIT_SECONDS = 1800
POLL_SECONDS = 0.05

# Where a tool's output goes: kept for the caller, thrown away, or (for
# errors) into the same stream as its output. An open file is taken too.
CAPTURE = "capture"
DISCARD = "discard"
MERGE = "merge"


def environment(env=None, disc=False, date=None, settings=None):
    """A tool's environment: `env` (a mapping like os.environ, by default
    the process's own) as the policy above leaves it."""
    child = {k: v for k, v in (os.environ if env is None else env).items() if k not in SECRETS}
    if disc:
        child = {k: v for k, v in child.items()
                 if k not in DISC_DROPPED and not k.startswith(DISC_DROPPED_PREFIXES)}
        child.update(DISC_FIXED)
        if date is not None:
            child["SOURCE_DATE_EPOCH"] = str(date)
    child.update(settings or {})
    return child


def one_line(data, last=False, skip=lambda line: False):
    """The first (or last) line of a tool's output that says something."""
    text = data.decode("utf-8", "replace") if isinstance(data, bytes) else data
    lines = [line.strip() for line in text.splitlines() if line.strip() and not skip(line)]
    return (lines[-1] if last else lines[0]) if lines else ""


class Finished:
    """A tool's end: its exit status (negative: the signal that killed it;
    None: stopped here, `stopped` says why) and what it wrote."""

    def __init__(self, status, output, errors, stopped=None):
        self.status = status
        self.output = output
        self.errors = errors
        self.stopped = stopped

    @property
    def ok(self):
        return self.status == 0

    def failure(self, what, reason=None):
        """One line: what failed, how, and the tool's own last word."""
        if self.stopped:
            return f"{what} was stopped: it {self.stopped}"
        if reason is None:
            reason = one_line(self.errors or self.output, last=True)
        return f"{what} failed (exit status {self.status})" + (f": {reason}" if reason else "")


def _start(command, **options):
    try:
        return subprocess.Popen(command, **options)
    except FileNotFoundError:
        if "/" in command[0]:
            raise Failure(f"{command[0]} is missing") from None
        raise Failure(f"{command[0]} is missing; run scripts/install-deps as root") from None
    except OSError as error:
        raise Failure(f"{command[0]} cannot be started: {error.strerror}") from None


def _resident_bytes(pid):
    try:
        with open(f"/proc/{pid}/status") as f:
            for line in f:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1]) * 1024
    except (OSError, ValueError, IndexError):
        pass
    return 0


def _stop(process):
    """Ends the tool with whatever it started: it leads a process group of
    its own."""
    try:
        os.killpg(process.pid, signal.SIGKILL)
    except ProcessLookupError:
        pass
    process.wait()


def _watch(process, out, time_limit, memory_limit, output_limit, output_name):
    """Waits for the tool; the reason it had to be stopped, or None. The
    memory limit watches the resident size, which a sanitizer's reserved
    address space does not inflate."""
    started = time.monotonic()
    while True:
        try:
            process.wait(timeout=POLL_SECONDS)
            return None
        except subprocess.TimeoutExpired:
            pass
        if time_limit is not None and time.monotonic() - started > time_limit:
            return f"took longer than {time_limit} s"
        if memory_limit is not None and _resident_bytes(process.pid) > memory_limit:
            return f"grew past {memory_limit // 1024 ** 2} MB of memory"
        if output_limit is not None and out is not None and os.fstat(out.fileno()).st_size > output_limit:
            return f"wrote more than {output_limit // 1024 ** 2} MB of {output_name}"


def _target(where, capture):
    if where == CAPTURE:
        return capture
    if where == DISCARD:
        return subprocess.DEVNULL
    if where == MERGE:
        return subprocess.STDOUT
    return where


def run(command, *, env=None, disc=False, date=None, settings=None, cwd=None, output=CAPTURE, errors=CAPTURE,
        time_limit=TIME_LIMIT_SECONDS, memory_limit=None, output_limit=None, output_name="output"):
    """Runs `command` (an argument list) to its end, reading nothing, and
    returns its Finished. Failure only when it cannot be started. A tool
    over a limit is stopped with all it started."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        process = _start(command, stdin=subprocess.DEVNULL, stdout=_target(output, out),
                         stderr=_target(errors, err), cwd=cwd, env=environment(env, disc, date, settings),
                         start_new_session=True)
        try:
            stopped = _watch(process, out if output == CAPTURE else None, time_limit, memory_limit, output_limit,
                             output_name)
        except BaseException:
            _stop(process)
            raise
        if stopped:
            _stop(process)
        out.seek(0)
        err.seek(0)
        return Finished(None if stopped else process.returncode, out.read(), err.read(), stopped)


def stream(command, *, env=None):
    """Runs a long child that talks to the user (a build, the demo: no time
    limit, it runs as long as the user lets it) with the terminal as its
    own and returns its exit status; Ctrl-C reaches it as it reaches us."""
    process = _start(command, env=environment(env))
    try:
        process.wait()
    except BaseException:
        process.kill()
        process.wait()
        raise
    return process.returncode


def detach(command, *, env=None):
    """Starts a program that lives on by itself (the browser showing the
    editor): no output of ours, no waiting, not ended with us."""
    _start(command, env=environment(env), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
           stderr=subprocess.DEVNULL, start_new_session=True)
