"""The disc tree as an ISO 9660 image with Joliet names (what Windows reads)
and without Rock Ridge, checked against the tree and the record of its
layout before it gets its name; and the image's files taken back out.

The same tree gives the same image, byte for byte: every entry and the
volume's dates carry one time, and file times, modes, owners and directory
order of the build machine do not enter it (no Rock Ridge, names sorted by
xorriso), nor do xorriso start-up files. xorriso runs under a fixed UTF-8
locale, whatever the caller's, so names are read alike everywhere."""

import datetime
import os
import re
import shutil
import subprocess
import tempfile

from .disc_tree import record_of
from .findings import Failure
from .safe_files import remove_file, temporary_beside

REQUIRED = ("autorun.exe", "autorun.inf", "software/pdfreader/docrunner.exe", "software/pdfreader/readme.txt")
SERIOUS = re.compile(r"^.*?: (?:FATAL|ABORT|FAILURE|SORRY) : (.*)$")


def _tool_env():
    env = {k: v for k, v in os.environ.items() if k not in ("SOURCE_DATE_EPOCH", "LANGUAGE") and not k.startswith("LC_")}
    env.update(LC_ALL="C.UTF-8", TZ="UTC")
    return env


def judge_destination(image):
    """The image's place, judged before anything is built: its folder exists
    and takes new files, and the name is no folder."""
    folder = os.path.dirname(os.path.abspath(image))
    if not os.path.basename(image) or os.path.isdir(image):
        raise Failure(f"{image} is a folder; name the image's file")
    if not os.path.isdir(folder):
        raise Failure(f"its folder {folder} does not exist")
    if not os.access(folder, os.W_OK | os.X_OK):
        raise Failure(f"its folder {folder} is not writable")


def _xorriso_reason(stderr, status):
    lines = [l for l in stderr.decode("utf-8", "replace").splitlines() if l.strip()]
    reason = next((m.group(1) for m in map(SERIOUS.match, lines) if m), None) or (lines[-1] if lines else "")
    return f"xorriso failed (exit status {status})" + (f": {reason.strip()}" if reason else "")


def write_image(tree, new, volume, epoch):
    """Writes the image of `tree` to the file `new` (which may exist, empty)."""
    volume_date = datetime.datetime.fromtimestamp(epoch, datetime.timezone.utc).strftime("%Y%m%d%H%M%S00")
    # -no_rc first: no start-up file of this machine or user changes the
    # image. "uuid" fixes the volume's creation and modification dates,
    # all_file_dates every entry's time; -iso_nowtime covers what has no
    # file behind it. These options say it all, so xorriso's own reading of
    # SOURCE_DATE_EPOCH is left out of its environment.
    command = ["xorriso", "-no_rc", "-report_about", "WARNING", "-abort_on", "FAILURE",
               "-outdev", "stdio:" + os.path.abspath(new), "-volid", volume, "-volset_id", volume,
               "-joliet", "on", "-rockridge", "off",
               "-volume_date", "uuid", volume_date, "-volume_date", "all_file_dates", f"={epoch}",
               "-iso_nowtime", f"={epoch}", "-map", os.path.abspath(tree), "/", "-commit"]
    result = subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, env=_tool_env())
    if result.returncode != 0 or not os.path.getsize(new):
        raise Failure(_xorriso_reason(result.stderr, result.returncode))


def extract(image, out):
    """The image's files through its Joliet tree, as a drive letter shows
    them, in the new folder `out`."""
    result = subprocess.run(["xorriso", "-no_rc", "-report_about", "WARNING", "-osirrox", "on", "-rockridge", "off",
                             "-joliet", "on", "-indev", "stdio:" + os.path.abspath(image), "-extract", "/",
                             os.path.abspath(out)], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                            env=_tool_env())
    if result.returncode != 0:
        raise Failure(_xorriso_reason(result.stderr, result.returncode))


def _descriptor(image):
    result = subprocess.run(["isoinfo", "-d", "-i", image], stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                            env=_tool_env())
    if result.returncode != 0:
        raise Failure(f"{image}: not an ISO 9660 image")
    return result.stdout.decode("utf-8", "replace")


def _differing(one, other):
    paths = set(one.splitlines()) ^ set(other.splitlines())
    return " ".join(sorted({line.split(b"  ", 1)[1][1:].decode("utf-8", "replace") for line in paths}))


def _sorted_lines(record):
    return b"".join(sorted(record.splitlines(keepends=True)))


def check_image(image, tree, sums=None, shown_name=None):
    """Passes when the image carries exactly the files of `tree` (names,
    contents), autorun.inf opening autorun.exe at its root, the programs, a
    Joliet tree and no Rock Ridge; with `sums` also exactly what was laid
    out then, so a tree changed after its layout is caught. Returns the
    number of files."""
    name = shown_name or image
    if not os.path.isfile(image):
        raise Failure(f"{name}: no such image")
    if sums and not os.path.isfile(sums):
        raise Failure(f"no record {sums} of the laid-out tree; lay it out first")
    descriptor = _descriptor(image)
    if not re.search(r"^Joliet with UCS level", descriptor, re.M):
        raise Failure(f"{name}: no Joliet tree")
    if not re.search(r"^NO Rock Ridge present", descriptor, re.M):
        raise Failure(f"{name}: Rock Ridge is present")
    with tempfile.TemporaryDirectory() as work:
        content = os.path.join(work, "content")
        extract(image, content)
        in_image = record_of(content)
        for path in REQUIRED:
            if not os.path.isfile(os.path.join(content, *path.split("/"))):
                raise Failure(f"{name}: /{path} is missing")
        with open(os.path.join(content, "autorun.inf"), "rb") as f:
            if not re.search(rb"^open=autorun.exe\r?$", f.read(), re.M):
                raise Failure(f"{name}: autorun.inf does not open autorun.exe")
    in_image = _sorted_lines(in_image)
    in_tree = _sorted_lines(record_of(tree))
    if in_image != in_tree:
        raise Failure(f"{name}: contents differ from {tree}: {_differing(in_image, in_tree)}")
    if sums:
        with open(sums, "rb") as f:
            laid_out = _sorted_lines(f.read())
        if in_image != laid_out:
            raise Failure(f"{name}: the tree changed after it was laid out (record {sums}): "
                          f"{_differing(in_image, laid_out)}")
    return len(in_image.splitlines())


def make_image(tree, image, volume, epoch, sums=None):
    """Writes and checks the image as a temporary file beside `image`, and
    only then renames it to `image`: an earlier image stays as it was until
    a finished, checked one replaces it."""
    judge_destination(image)
    if not os.path.isfile(os.path.join(tree, "autorun.inf")):
        raise Failure(f"{tree} is not a disc tree (no autorun.inf)")
    if sums and not os.path.isfile(sums):
        raise Failure(f"no record {sums} of the laid-out tree; lay it out first")
    new = temporary_beside(image)
    try:
        write_image(tree, new, volume, epoch)
        count = check_image(new, tree, sums, shown_name=image)
        os.chmod(new, 0o644)
        os.replace(new, image)
    except BaseException:
        remove_file(new)
        raise
    return count


def earlier_image_note(image):
    return f"; the earlier {image} is left as it was" if os.path.exists(image) else ""


def remove_extracted(out):
    """An extracted disc is read-only; made writable to be replaced. A
    folder that holds something but no autorun.inf is no disc of ours and
    stays as it is."""
    if os.path.lexists(out):
        if os.path.islink(out) or not os.path.isdir(out) or (
                os.listdir(out) and not os.path.isfile(os.path.join(out, "autorun.inf"))):
            raise Failure(f"{out} is not a disc extracted by this program; it is left as it is")
        for folder, dirs, _ in os.walk(out):
            os.chmod(folder, 0o755)
        shutil.rmtree(out)


def make_read_only(out):
    for folder, dirs, files in os.walk(out):
        for name in files:
            os.chmod(os.path.join(folder, name), 0o444)
    for folder, dirs, files in os.walk(out, topdown=False):
        os.chmod(folder, 0o555)
