"""Names as the disc's two images hold them, judged when the project is
checked, so that neither image fails late on a name: Windows' own case
folding, what a Joliet tree and the stick's FAT can carry, the length of a path and the size of a file."""

import os

# A Joliet path holds 240 bytes of UCS-2 (xorriso leaves longer ones out).
JOLIET_PATH = 120
# A FAT file's size is 32 bits.
FAT_LARGEST = 0xFFFFFFFF


def fold(char):
    """A character as Windows compares names on FAT and ISO 9660: its
    simple upper case, one UTF-16 unit for another (ı and i both fold to I,
    ſ and s to S; ß stays)."""
    upper = char.upper()
    return upper if len(upper) == 1 and ord(char) <= 0xFFFF and ord(upper) <= 0xFFFF else char


def windows_key(path):
    """The path as Windows tells names apart: two paths of one key are one."""
    return "".join(fold(char) for char in path)


def name_problem(name):
    """Why either image cannot hold the name as it is, or None."""
    for char in name:
        if ord(char) > 0xFFFF:
            return f"holds \"{char}\" (U+{ord(char):04X}), which neither image can carry: their names are UCS-2"
        if char == ";":
            return "holds ';', which the disc's Joliet names cannot carry"
    return None


def place_problem(relative, path):
    """Why the file or folder `path`, at `relative` on the disc, cannot go
    into both images, or None."""
    if len(relative) > JOLIET_PATH:
        return f"the path on the disc is {len(relative)} characters long; the disc holds paths of {JOLIET_PATH} at most"
    if os.path.isfile(path) and os.path.getsize(path) > FAT_LARGEST:
        return f"takes {os.path.getsize(path)} bytes; a file on the stick (FAT) holds at most {FAT_LARGEST}"
    return None
