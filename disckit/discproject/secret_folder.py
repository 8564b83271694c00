"""A folder for the signing tools' secrets (the password or PIN file) that
does not outlive its run: kept in memory (/dev/shm) where there is one,
named by the process that made it, and a run removes the folders that runs
killed before their end left behind."""

import os
import shutil
import stat
import tempfile

PREFIX = "disckit-sign."


def _parent():
    shared = "/dev/shm"
    return shared if os.path.isdir(shared) and os.access(shared, os.W_OK | os.X_OK) else tempfile.gettempdir()


def _alive(pid):
    try:
        os.kill(pid, 0)
    except ProcessLookupError:
        return False
    except PermissionError:
        return True
    return True


def sweep(parent):
    """Removes this user's folders of runs whose process is gone."""
    for name in os.listdir(parent):
        pid = name[len(PREFIX):].partition(".")[0]
        if not name.startswith(PREFIX) or not pid.isdigit() or _alive(int(pid)):
            continue
        path = os.path.join(parent, name)
        info = os.lstat(path)
        if stat.S_ISDIR(info.st_mode) and info.st_uid == os.getuid():
            shutil.rmtree(path, ignore_errors=True)


def workspace():
    """A new folder, removed when the `with` block ends."""
    parent = _parent()
    sweep(parent)
    return tempfile.TemporaryDirectory(prefix=f"{PREFIX}{os.getpid()}.", dir=parent)
