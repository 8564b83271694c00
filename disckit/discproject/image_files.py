"""What the disc's two images share: the files every disc must hold, the
comparison of an image's content with the tree and the record of its
layout, the judgement of the image's place, and the rule that an image gets
its name only once it is written and checked."""

import os
import shutil

from .disc_tree import record_of
from .findings import Failure
from .outputs import judge_kind, judge_place, one_line
from .project_folder import usable_setting
from .safe_files import remove_file, temporary_beside
from .source_date import source_date_epoch

REQUIRED = ("autorun.exe", "autorun.inf", "software/pdfreader/docrunner.exe", "software/pdfreader/readme.txt")


def judge_destination(image):
    """The image's place, judged before anything is built: its folder exists
    and takes new files, and the name is no folder."""
    folder = os.path.dirname(os.path.abspath(image))
    judge_kind(image, "the image")
    if not os.path.basename(image) or os.path.isdir(image):
        raise Failure(f"{image} is a folder; name the image's file")
    if not os.path.isdir(folder):
        raise Failure(f"its folder {folder} does not exist")
    if not os.access(folder, os.W_OK | os.X_OK):
        raise Failure(f"its folder {folder} is not writable")


def judge_inputs(tree, sums):
    if not os.path.isfile(os.path.join(tree, "autorun.inf")):
        raise Failure(f"{tree} is not a disc tree (no autorun.inf)")
    judge_record(sums)


def judge_record(sums):
    if sums and not os.path.isfile(sums):
        raise Failure(f"no record {sums} of the laid-out tree; lay it out first")


def _differing(one, other):
    paths = set(one.splitlines()) ^ set(other.splitlines())
    return " ".join(sorted({line.split(b"  ", 1)[1][1:].decode("utf-8", "replace") for line in paths}))


def _sorted_lines(record):
    return b"".join(sorted(record.splitlines(keepends=True)))


def compare_content(name, content, tree, sums):
    """The files taken out of an image (the folder `content`) against the
    tree and, with `sums`, against what was laid out then, so a tree changed
    after its layout is caught. Returns the number of files."""
    for path in REQUIRED:
        if not os.path.isfile(os.path.join(content, *path.split("/"))):
            raise Failure(f"{name}: /{path} is missing")
    in_image = _sorted_lines(record_of(content))
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


def replace_when_checked(image, write, check):
    """Writes the image as a temporary file beside `image` (`write(new)`),
    checks it (`check(new)`, which returns the number of files), and only
    then renames it to `image`: an earlier image stays as it was until a
    finished, checked one replaces it."""
    try:
        new = temporary_beside(image)
    except OSError as error:
        raise Failure(one_line(error)) from None
    try:
        write(new)
        count = check(new)
        os.chmod(new, 0o644)
        os.replace(new, image)
    except OSError as error:
        remove_file(new)
        # The unfinished file is gone; the image it was for is named.
        raise Failure(one_line(error).replace(new, image)) from None
    except BaseException:
        remove_file(new)
        raise
    return count


def earlier_image_note(image):
    return f"; the earlier {image} is left as it was" if os.path.exists(image) else ""


def publish(project_path, target, setting, make):
    """The one way either image is written: its place judged first, then
    `make(value of the project's setting, the disc's date)`, which returns
    the image's file count. Returns (value, date, count); Failure, saying
    what became of an earlier image, when it is not written."""
    try:
        judge_place(target, project_path, "the image")
        value = usable_setting(project_path, setting)
        epoch = source_date_epoch(os.environ, project_path)
        count = make(value, epoch)
    except Failure as failure:
        raise Failure(f"{target} not written: {failure}{earlier_image_note(target)}") from None
    return value, epoch, count


def extract_as_drive(image, out, extract):
    """The image's files in `out` (made anew, read-only) through the
    image's own `extract(image, out)`: the copy is the disc, as a drive
    shows it, and nothing may write into it."""
    if not os.path.isfile(image):
        raise Failure(f"{image} does not exist")
    if os.path.abspath(out) == "/":
        raise Failure("refusing to extract into '/'")
    _remove_extracted(out)
    extract(image, out)
    _make_read_only(out)


def _remove_extracted(out):
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


def _make_read_only(out):
    for folder, dirs, files in os.walk(out):
        for name in files:
            os.chmod(os.path.join(folder, name), 0o444)
    for folder, dirs, files in os.walk(out, topdown=False):
        os.chmod(folder, 0o555)
