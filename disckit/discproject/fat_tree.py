"""The disc tree written into a FAT32 volume that mkfs.fat formatted and
mlabel labelled: folders, long and short names, clusters and both FATs
written here directly, in one pass over the tree. A copy tool that looks up
every new short name in its folder takes time growing with the square of a
folder's size; here each name costs the same, however many lie beside it.

Clusters are handed out in a fixed order (the folders, parents first, then
each folder's files in name order), every entry carries the disc's date, so
the same tree gives the same bytes. Names are stored as Windows writes
them: a name of the 8.3 form alone (its case kept by the flags Windows NT
reads), any other as a long name in UTF-16 with a unique short name beside
it."""

import datetime
import os
import re
import shutil
import struct

ENTRY = 32
FREE_ENTRY, DELETED_ENTRY = 0x00, 0xE5
END_OF_CHAIN = 0x0FFFFFFF
DIRECTORY, ARCHIVE, LONG_NAME = 0x10, 0x20, 0x0F
LOWER_BASE, LOWER_EXTENSION = 0x08, 0x10
# What a short name holds besides A-Z and 0-9.
SHORT_SPECIALS = "!#$%&'()-@^_`{}~"
SHORT_CHAR = re.compile("[A-Z0-9" + re.escape(SHORT_SPECIALS) + "]")
LONG_NAME_CHARS = 13


class Volume:
    """The formatted image's geometry, read from its boot sector."""

    def __init__(self, f):
        f.seek(0)
        boot = f.read(512)
        self.sector, self.per_cluster, reserved, fats = struct.unpack_from("<HBHB", boot, 11)
        self.total_sectors, self.fat_sectors = struct.unpack_from("<II", boot, 32)
        self.root, fsinfo = struct.unpack_from("<IH", boot, 44)
        self.cluster = self.sector * self.per_cluster
        self.fats = [(reserved + n * self.fat_sectors) * self.sector for n in range(fats)]
        self.data = (reserved + fats * self.fat_sectors) * self.sector
        self.clusters = (self.total_sectors - self.data // self.sector) // self.per_cluster
        self.fsinfo = fsinfo * self.sector

    def offset(self, cluster):
        return self.data + (cluster - 2) * self.cluster


def fat_date_time(epoch):
    when = datetime.datetime.fromtimestamp(epoch, datetime.timezone.utc)
    date = ((when.year - 1980) << 9) | (when.month << 5) | when.day
    time = (when.hour << 11) | (when.minute << 5) | (when.second // 2)
    return date, time, (when.second % 2) * 100


def _split(name):
    stem = name.lstrip(".")
    base, dot, extension = stem.rpartition(".")
    return (base, extension) if dot and base else (stem, "")


def exact_short(name):
    """(11-byte short name, case flags) when the name is of the 8.3 form
    and needs no long name, else None."""
    if name in (".", "..") or name.startswith("."):
        return None
    base, extension = _split(name)
    if not 1 <= len(base) <= 8 or len(extension) > 3 or name.count(".") > 1 or not name.isascii():
        return None
    flags = 0
    for part, lower in ((base, LOWER_BASE), (extension, LOWER_EXTENSION)):
        if not all(SHORT_CHAR.fullmatch(char) for char in part.upper()):
            return None
        if part != part.upper():
            if part != part.lower():
                return None
            flags |= lower
    return (base.upper().ljust(8) + extension.upper().ljust(3)).encode("ascii"), flags


class ShortNames:
    """Unique short names of one folder, each found without searching: a
    counter for each basis."""

    def __init__(self, taken):
        self.taken = set(taken)
        self.next = {}

    def make(self, name):
        base, extension = _split(name.replace(" ", ""))
        base = "".join(c if SHORT_CHAR.fullmatch(c) else "_" for c in base.upper().replace(".", ""))[:8] or "_"
        extension = "".join(c if SHORT_CHAR.fullmatch(c) else "_" for c in extension.upper())[:3]
        key = (base[:6], extension)
        number = self.next.get(key, 1)
        while True:
            tail = f"~{number}"
            short = (base[:8 - len(tail)] + tail).ljust(8) + extension.ljust(3)
            number += 1
            if short not in self.taken:
                break
        self.next[key] = number
        self.taken.add(short)
        return short.encode("ascii")


def checksum(short):
    total = 0
    for byte in short:
        total = (((total & 1) << 7) + (total >> 1) + byte) & 0xFF
    return total


def long_entries(name, short):
    """The long-name entries of `name`, last part first, as they precede
    its short entry."""
    units = name.encode("utf-16-le")
    units += b"\0\0" if len(units) // 2 % LONG_NAME_CHARS else b""
    count = -(-len(units) // (2 * LONG_NAME_CHARS))
    units = units.ljust(count * 2 * LONG_NAME_CHARS, b"\xff")
    check = checksum(short)
    entries = []
    for number in range(count, 0, -1):
        part = units[(number - 1) * 26:number * 26]
        order = number | (0x40 if number == count else 0)
        entries.append(struct.pack("<B10sBBB12sH4s", order, part[:10], LONG_NAME, 0, check, part[10:22], 0,
                                   part[22:26]))
    return entries


def short_entry(short, attributes, flags, cluster, size, stamp):
    date, time, tenths = stamp
    return struct.pack("<11sBBBHHHHHHHI", short, attributes, flags, tenths, time, date, date, cluster >> 16,
                       time, date, cluster & 0xFFFF, size)


def _used_root_entries(f, volume):
    """The entries mlabel left in the root (the label's), up to the first
    free one."""
    f.seek(volume.offset(volume.root))
    data = f.read(volume.cluster)
    used = []
    for at in range(0, len(data), ENTRY):
        entry = data[at:at + ENTRY]
        if entry[0] == FREE_ENTRY:
            break
        if entry[0] != DELETED_ENTRY:
            used.append(entry)
    return used


def fill(image, tree, folders, files, epoch):
    """Writes the folders (parents first, "" the root) and their files
    (`files[folder]`, sorted names) of `tree` into the formatted `image`."""
    stamp = fat_date_time(epoch)
    with open(image, "r+b") as f:
        volume = Volume(f)
        children = {folder: [] for folder in folders}
        for folder in folders[1:]:
            children[folder.rpartition("/")[0]].append(folder)
        fat = {volume.root: END_OF_CHAIN}
        free = [volume.root + 1]

        def allocate(count):
            first = free[0]
            for cluster in range(first, first + count):
                fat[cluster] = cluster + 1 if cluster + 1 < first + count else END_OF_CHAIN
            free[0] += count
            if free[0] - 2 > volume.clusters:
                raise OSError(28, "No space left on device", image)
            return first

        # Each folder's entries, before any cluster is known: names first.
        names = {folder: _names(folder, children[folder], files[folder]) for folder in folders}
        root_used = _used_root_entries(f, volume)
        starts = {"": volume.root}
        for folder in folders:
            count = len(root_used) if folder == "" else 2
            count += sum(len(long) + 1 for _, long, _ in names[folder])
            clusters = max(1, -(-count * ENTRY // volume.cluster))
            if folder == "":
                if clusters > 1:
                    extra = allocate(clusters - 1)
                    fat[volume.root] = extra
            else:
                starts[folder] = allocate(clusters)
        contents = {}
        for folder in folders:
            for name in files[folder]:
                size = os.path.getsize(os.path.join(tree, *folder.split("/"), name))
                contents[(folder, name)] = (allocate(-(-size // volume.cluster)) if size else 0, size)
        for folder in folders:
            entries = list(root_used) if folder == "" else [
                short_entry(b".          ", DIRECTORY, 0, starts[folder], 0, stamp),
                short_entry(b"..         ", DIRECTORY, 0, starts.get(folder.rpartition("/")[0], 0)
                            if folder.rpartition("/")[0] else 0, 0, stamp)]
            for name, long, (short, flags) in names[folder]:
                path = f"{folder}/{name}".lstrip("/")
                if path in starts:
                    entry = short_entry(short, DIRECTORY, flags, starts[path], 0, stamp)
                else:
                    cluster, size = contents[(folder, name)]
                    entry = short_entry(short, ARCHIVE, flags, cluster, size, stamp)
                entries += long + [entry]
            _write_chain(f, volume, starts[folder], b"".join(entries))
        # The image is all zeros beyond what mkfs.fat wrote: a file's last
        # cluster needs no padding.
        for (folder, name), (cluster, size) in contents.items():
            if size:
                with open(os.path.join(tree, *folder.split("/"), name), "rb") as source:
                    f.seek(volume.offset(cluster))
                    shutil.copyfileobj(source, f)
        _write_fats(f, volume, fat)
        f.seek(volume.fsinfo + 488)
        f.write(struct.pack("<II", volume.clusters - (free[0] - 2), free[0]))


def _names(folder, subfolders, names):
    """(name, long-name entries, (short name, case flags)) of a folder's
    entries: its subfolders and files, in name order."""
    everything = sorted([path.rpartition("/")[2] for path in subfolders] + list(names))
    exact = {name: exact_short(name) for name in everything}
    shorts = ShortNames(short.decode("ascii") for short, _ in filter(None, exact.values()))
    out = []
    for name in everything:
        if exact[name]:
            out.append((name, [], exact[name]))
        else:
            short = shorts.make(name)
            out.append((name, long_entries(name, short), (short, 0)))
    return out


def _write_chain(f, volume, cluster, data):
    """`data` into the chain starting at `cluster` (consecutive clusters,
    as allocated here), padded with zeros."""
    f.seek(volume.offset(cluster))
    f.write(data.ljust(-(-len(data) // volume.cluster) * volume.cluster or volume.cluster, b"\0"))


def _write_fats(f, volume, fat):
    """The allocated entries, from cluster 2 on, into each FAT."""
    table = bytearray(4 * (max(fat) - 1))
    for cluster, value in fat.items():
        struct.pack_into("<I", table, (cluster - 2) * 4, value)
    for start in volume.fats:
        f.seek(start + 8)
        f.write(table)
