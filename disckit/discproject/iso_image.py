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
import tempfile

import pycdlib

from . import tool_runner
from .findings import Failure
from .image_files import compare_content, judge_destination, judge_inputs, judge_record, replace_when_checked

SERIOUS = re.compile(r"^.*?: (?:FATAL|ABORT|FAILURE|SORRY) : (.*)$")


def _xorriso(command, made=None):
    """Runs xorriso as a tool of the disc; Failure with its most serious
    message when it fails or leaves the file `made` empty."""
    done = tool_runner.run(command, disc=True, output=tool_runner.DISCARD)
    if not done.ok or (made is not None and not os.path.getsize(made)):
        lines = done.errors.decode("utf-8", "replace").splitlines()
        serious = next((m.group(1).strip() for m in map(SERIOUS.match, lines) if m), None)
        raise Failure(done.failure("xorriso", serious))


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
    _xorriso(command, made=new)


def extract(image, out):
    """The image's files through its Joliet tree, as a drive letter shows
    them, in the new folder `out`."""
    _xorriso(["xorriso", "-no_rc", "-report_about", "WARNING", "-osirrox", "on", "-rockridge", "off",
              "-joliet", "on", "-indev", "stdio:" + os.path.abspath(image), "-extract", "/", os.path.abspath(out)])


def _trees(image):
    """Whether the image has a Joliet tree and Rock Ridge entries, read from
    its volume descriptors and root directory."""
    iso = pycdlib.PyCdlib()
    try:
        iso.open(image)
    # A damaged image can make the reader fail in ways of its own besides
    # its exceptions (short reads, bad numbers): each means "not an image".
    except Exception:
        raise Failure(f"{image}: not an ISO 9660 image") from None
    try:
        return iso.has_joliet(), iso.has_rock_ridge()
    finally:
        iso.close()


def check_image(image, tree, sums=None, shown_name=None):
    """Passes when the image carries exactly the files of `tree` (names,
    contents), autorun.inf opening autorun.exe at its root, the programs, a
    Joliet tree and no Rock Ridge; with `sums` also exactly what was laid
    out then, so a tree changed after its layout is caught. Returns the
    number of files."""
    name = shown_name or image
    if not os.path.isfile(image):
        raise Failure(f"{name}: no such image")
    judge_record(sums)
    joliet, rock_ridge = _trees(image)
    if not joliet:
        raise Failure(f"{name}: no Joliet tree")
    if rock_ridge:
        raise Failure(f"{name}: Rock Ridge is present")
    with tempfile.TemporaryDirectory() as work:
        content = os.path.join(work, "content")
        extract(image, content)
        with open(os.path.join(content, "autorun.inf"), "rb") as f:
            if not re.search(rb"^open=autorun.exe\r?$", f.read(), re.M):
                raise Failure(f"{name}: autorun.inf does not open autorun.exe")
        return compare_content(name, content, tree, sums)


def make_image(tree, image, volume, epoch, sums=None):
    """Writes and checks the image; only a finished, checked one gets the
    name `image`."""
    judge_destination(image)
    judge_inputs(tree, sums)
    return replace_when_checked(image, lambda new: write_image(tree, new, volume, epoch),
                                lambda new: check_image(new, tree, sums, shown_name=image))
