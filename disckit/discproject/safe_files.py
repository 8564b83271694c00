"""Writing and removing files without touching what the program did not make:
files are replaced atomically (a temporary file in the same folder, then a
rename), and a folder is removed only when it holds nothing but what the
program itself writes there."""

import os
import shutil
import tempfile

from .findings import Failure


def replace_file(path, data, unchanged_kept=False):
    """Writes `data` as `path`, atomically; with unchanged_kept a file that
    already holds these bytes keeps its time."""
    if unchanged_kept:
        try:
            with open(path, "rb") as f:
                if f.read() == data:
                    return
        except OSError:
            pass
    folder = os.path.dirname(os.path.abspath(path))
    handle, temporary = tempfile.mkstemp(prefix="." + os.path.basename(path) + ".", suffix=".new", dir=folder)
    try:
        with os.fdopen(handle, "wb") as f:
            f.write(data)
        os.chmod(temporary, 0o644)
        os.replace(temporary, path)
    except OSError as error:
        remove_file(temporary)
        # A failed write names no file; the one it was for is named.
        raise OSError(error.errno, error.strerror, error.filename or path) from None
    except BaseException:
        remove_file(temporary)
        raise


def remove_file(path):
    try:
        os.remove(path)
    except FileNotFoundError:
        pass


def temporary_beside(path, folder=False):
    """A new, unique temporary file (or folder) in the folder of `path`, so
    that a rename puts it in place atomically."""
    parent = os.path.dirname(os.path.abspath(path))
    prefix = "." + os.path.basename(path) + "."
    if folder:
        return tempfile.mkdtemp(prefix=prefix, suffix=".new", dir=parent)
    handle, name = tempfile.mkstemp(prefix=prefix, suffix=".new", dir=parent)
    os.close(handle)
    return name


def remove_tree(path, owned=None):
    """Removes the folder `path` that the program made. `owned(name)` says
    whether an entry of the folder's top level is one the program writes
    there; a folder holding anything else is refused with Failure, and
    nothing of it is removed. A symbolic link is never followed."""
    if not os.path.lexists(path):
        return
    if os.path.islink(path) or not os.path.isdir(path):
        raise Failure(f"{path} is not a folder this program made; it is left as it is, remove or rename it")
    if owned is not None:
        strangers = sorted(name for name in os.listdir(path) if not owned(name))
        if strangers:
            raise Failure(f"{path} holds {strangers[0]}, which this program did not make; "
                          "nothing in it is removed: remove it yourself or choose another folder")
    shutil.rmtree(path)


def is_our_resource(name):
    return name == "menus.rc" or name.endswith((".txt", ".bmp", ".names"))
