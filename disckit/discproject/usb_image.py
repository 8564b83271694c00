"""The disc tree as a FAT32 image for a USB stick, formatted by dosfstools,
labelled by mtools and filled by fat_tree (no mount, no root), checked
against the tree and the record of its layout before it gets its name; and
the image's files taken back out.

The same tree gives the same image, byte for byte. The volume serial is
the first 32 bits of the SHA-256 of the tree's record and the date, so two
discs of one date still differ; the label entry, every file and folder
carry SOURCE_DATE_EPOCH, as UTC; folders and files are written in sorted
order, so the build machine's directory order does not enter, nor do its
file times and modes. mtools reads no user's
configuration file, its global settings are given outright, and it runs
under a fixed UTF-8 locale, whatever the caller's.

Windows since 7 starts nothing from a stick: autorun.inf gives the drive its
label and icon, and the customer starts autorun.exe himself."""

import hashlib
import math
import os
import struct
import tempfile

from . import tool_runner
from .disc_tree import record_of
from .findings import Failure
from . import fat_tree, image_files
from .image_files import compare_content, judge_destination, judge_inputs, judge_record, replace_when_checked
from .source_date import utc

SECTOR = 512
# FAT32 needs this many clusters at least; fewer and Windows reads the
# volume as FAT16 whatever its boot sector says.
FAT32_MIN_CLUSTERS = 65525
RESERVED_SECTORS = 32
# mkfs.fat aligns its structures, which takes a few sectors beyond the sum.
ALIGNMENT_SLACK_KIB = 64
# A FAT file's size is 32 bits.
LARGEST_FILE = 0xFFFFFFFF
# FAT dates start at 1980-01-01 (FAT keeps local time; the image's is UTC).
FAT_FIRST_SECOND = 315532800


# mtools' global settings, each given outright: the environment overrides
# /etc/mtools.conf and ~/.mtoolsrc, so neither changes names on the image.
MTOOLS_SETTINGS = {"MTOOLS_SKIP_CHECK": "1", "MTOOLS_FAT_COMPATIBILITY": "0", "MTOOLS_LOWER_CASE": "0",
                   "MTOOLS_NO_VFAT": "0", "MTOOLS_DOTTED_DIR": "0", "MTOOLS_NAME_NUMERIC_TAIL": "1",
                   "MTOOLS_TWENTY_FOUR_HOUR_CLOCK": "1"}


# Beside them, mtools and dosfstools run as tools of the disc: no user's
# ~/.mtoolsrc (HOME leads nowhere) and no further configuration file.
TOOL_SETTINGS = {**MTOOLS_SETTINGS, "HOME": os.devnull, "MTOOLSRC": os.devnull}


def _run(command, what, epoch):
    """Runs one of mtools or dosfstools with the disc's date as 'now';
    returns its output and errors, merged."""
    done = tool_runner.run(command, disc=True, date=epoch, settings=TOOL_SETTINGS, errors=tool_runner.MERGE)
    if not done.ok:
        raise Failure(done.failure(what))
    return done.output.decode("utf-8", "replace")


def _clusters(image):
    """The data clusters of the FAT32 volume at the start of `image`, read
    from its boot sector."""
    with open(image, "rb") as f:
        boot = f.read(SECTOR)
    per_cluster, reserved, fats = struct.unpack_from("<BHB", boot, 13)
    total, fat_sectors = struct.unpack_from("<II", boot, 32)
    return (total - reserved - fats * fat_sectors) // max(per_cluster, 1)


def layout_of(tree):
    """The folders (parents first) and, for each, its files, all sorted;
    paths relative to the tree, "/"-separated, "" for the root."""
    folders, files = [""], {"": []}
    for folder, dirs, names in os.walk(tree):
        dirs.sort()
        relative = os.path.relpath(folder, tree)
        relative = "" if relative == "." else relative.replace(os.sep, "/")
        for name in dirs:
            path = f"{relative}/{name}".lstrip("/")
            folders.append(path)
            files[path] = []
        files[relative] = sorted(names)
    return folders, files


def _entries(name):
    """Directory entries of one name: its short entry and the long name's."""
    return 1 + math.ceil(len(name.encode("utf-16-le")) // 2 / 13)


def size_kib(tree):
    """The image's size: just enough for the tree on 512-byte clusters, and
    never below FAT32's least number of clusters."""
    folders, files = layout_of(tree)
    clusters = 0
    children = {folder: 0 for folder in folders}
    for folder in folders[1:]:
        parent, _, name = folder.rpartition("/")
        children[parent] += _entries(name)
    for folder in folders:
        for name in files[folder]:
            children[folder] += _entries(name)
            size = os.path.getsize(os.path.join(tree, *folder.split("/"), name))
            if size > LARGEST_FILE:
                path = f"{folder}/{name}".lstrip("/")
                raise Failure(f"{path} takes {size} bytes; a file on FAT holds at most {LARGEST_FILE}")
            clusters += math.ceil(size / SECTOR)
    # ".", ".." in a folder, the label's entry in the root; a free entry at
    # the end of each.
    for folder, count in children.items():
        clusters += math.ceil((count + 3) * 32 / SECTOR)
    clusters = max(clusters, FAT32_MIN_CLUSTERS)
    fat_sectors = math.ceil((clusters + 2) * 4 / SECTOR)
    sectors = RESERVED_SECTORS + 2 * fat_sectors + clusters
    return math.ceil(sectors * SECTOR / 1024) + ALIGNMENT_SLACK_KIB


def serial_of(tree, epoch):
    digest = hashlib.sha256(record_of(tree) + f"{epoch}\n".encode()).hexdigest()
    return digest[:8]


def check_epoch(epoch):
    if epoch < FAT_FIRST_SECOND:
        raise Failure(f"the disc's date {epoch} lies before 1980, which FAT cannot carry; set SOURCE_DATE_EPOCH")


def write_image(tree, new, label, epoch):
    """Writes the FAT32 image of `tree` to the file `new` (which may exist,
    empty). A fake partition table in the boot sector lets Windows take the
    stick also where it reports itself as a fixed disk."""
    check_epoch(epoch)
    image = os.path.abspath(new)
    os.truncate(image, size_kib(tree) * 1024)
    output = _run(["mkfs.fat", "-F", "32", "-S", str(SECTOR), "-s", "1", "-R", str(RESERVED_SECTORS), "-f", "2",
                   "--mbr=y", "--invariant", "-i", serial_of(tree, epoch), image], "mkfs.fat", epoch)
    if _clusters(image) < FAT32_MIN_CLUSTERS:
        raise Failure(f"mkfs.fat made too few clusters for FAT32: {tool_runner.one_line(output, last=True)}")
    # mlabel writes the label into both boot sectors and the root's entry,
    # which it dates SOURCE_DATE_EPOCH (mkfs.fat would date it its own way).
    _run(["mlabel", "-i", image, "::" + label], "mlabel", epoch)
    fat_tree.fill(image, tree, *layout_of(tree), epoch)


def extract(image, out):
    """The image's files, as Windows shows them (long names), in the new
    folder `out`."""
    os.makedirs(out)
    _run(["mcopy", "-s", "-n", "-m", "-i", os.path.abspath(image), "::/*", os.path.abspath(out) + "/"],
         "mcopy (extracting)", FAT_FIRST_SECOND)


def label_of(image):
    return _run(["fatlabel", os.path.abspath(image)], "fatlabel", FAT_FIRST_SECOND).strip()


def check_usb_image(image, tree, label=None, sums=None, shown_name=None):
    """Passes when fsck.fat finds nothing, the label is `label` (when
    given), and the image carries exactly the files of `tree` (names,
    contents), autorun.inf and the programs; with `sums` also exactly what
    was laid out then. Returns the number of files."""
    name = shown_name or image
    if not os.path.isfile(image):
        raise Failure(f"{name}: no such image")
    judge_record(sums)
    done = tool_runner.run(["fsck.fat", "-n", os.path.abspath(image)], disc=True, date=FAT_FIRST_SECOND,
                           settings=TOOL_SETTINGS, errors=tool_runner.MERGE)
    lines = done.output.decode("utf-8", "replace").splitlines()
    # A clean volume: fsck.fat's name line and its count of files.
    if not done.ok or len(lines) != 2:
        raise Failure(f"{name}: fsck.fat -n found faults: " + " ".join(l.strip() for l in lines[1:3]))
    if label is not None and label_of(image) != label:
        raise Failure(f"{name}: its label is \"{label_of(image)}\", not \"{label}\"")
    with tempfile.TemporaryDirectory() as work:
        content = os.path.join(work, "content")
        extract(image, content)
        return compare_content(name, content, tree, sums)


def make_usb_image(tree, image, label, epoch, sums=None):
    """Writes and checks the image; only a finished, checked one gets the
    name `image`."""
    judge_destination(image)
    check_epoch(epoch)
    judge_inputs(tree, sums)
    return replace_when_checked(image, lambda new: write_image(tree, new, label, epoch),
                                lambda new: check_usb_image(new, tree, label, sums, shown_name=image))


def usb_target(places, env):
    """The image at USB=FILE, else the build's NAME.img, and whether its
    folder is the build's own (made when missing)."""
    if env.get("USB"):
        return os.path.join(os.getcwd(), env["USB"]), False
    return os.path.join(places.build, places.name + ".img"), True


def publish(project_path, tree, target, sums=None):
    """The image of `tree` with the project's label at `target`, reported in
    one line; Failure, saying what became of an earlier image, when not."""
    label, epoch, count = image_files.publish(
        project_path, target, "fat-label", lambda label, epoch: make_usb_image(tree, target, label, epoch, sums))
    print(f"usb: {target} written and checked ({count} files, FAT32, label {label}), dated {utc(epoch)}")


def extract_as_drive(image, out):
    """The stick's files in `out`, made anew and read-only, as a drive shows them."""
    image_files.extract_as_drive(image, out, extract)
