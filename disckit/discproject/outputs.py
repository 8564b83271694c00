"""The places the program writes a result to (ISO=, USB=, PREVIEW=): files
of its own. What is there already is replaced only when it is a plain file
(or, for the preview, a folder), never through a link, never a device, FIFO
or socket, and never inside the project, whose files go onto the next disc.
A failure of the file system is one line naming the path."""

import os
import stat

from .findings import Failure
from .safe_files import remove_file, temporary_beside

KINDS = ((stat.S_ISBLK, "a device"), (stat.S_ISCHR, "a device"), (stat.S_ISFIFO, "a FIFO"),
         (stat.S_ISSOCK, "a socket"))


def judge_kind(path, what):
    """Failure when `path` is something the program must not replace."""
    if os.path.islink(path):
        raise Failure(f"{path} is a symbolic link; {what} is written only to a file of its own, not where a link "
                      "leads")
    try:
        mode = os.lstat(path).st_mode
    except FileNotFoundError:
        return
    except OSError as error:
        raise Failure(one_line(error)) from None
    for test, kind in KINDS:
        if test(mode):
            raise Failure(f"{path} is {kind}, not a file; {what} is written only to a file of its own")
    if stat.S_ISDIR(mode):
        raise Failure(f"{path} is a folder; name the image's file")


def judge_place(path, project, what, folder_ok=False):
    """The kind of `path` (for a folder, its owner judges that), and that it
    lies outside the project folder; the folder it goes into takes a new
    file (a pseudo file system such as /proc passes the permission test but
    takes none)."""
    if not folder_ok:
        judge_kind(path, what)
    inside = os.path.realpath(project)
    where = os.path.join(os.path.realpath(os.path.dirname(os.path.abspath(path))), os.path.basename(path))
    if os.path.commonpath([where, inside]) == inside:
        raise Failure(f"{path} lies inside the project folder {project}; {what} written there would go onto "
                      "the next disc: write it outside")
    folder = os.path.dirname(os.path.abspath(path))
    if os.path.isdir(folder):
        try:
            remove_file(temporary_beside(path))
        except OSError as error:
            raise Failure(f"its folder {folder} takes no new file: {error.strerror}") from None


def one_line(error):
    """An OSError as one line naming the path."""
    names = [str(n) for n in (error.filename, error.filename2) if n is not None]
    return ": ".join(names + [error.strerror or str(error)])
