"""Whether a file is a Windows GUI program, as its PE header says: the
disc's reader is started by docrunner without a console, so anything else
(an archive, a Linux program, a console program) would fail on the
customer's machine, not on the vendor's."""

import struct

GUI_SUBSYSTEM = 2
SUBSYSTEMS = {1: "a driver", 3: "a console program", 9: "a Windows CE program", 10: "an EFI program"}
# The header fields read: e_lfanew at 0x3c, then "PE\0\0", the 20-byte file
# header, and the optional header, whose subsystem lies at offset 68 in both
# the 32-bit and the 64-bit form.
HEAD_BYTES = 64 * 1024


def gui_problem(data):
    """What keeps the file's first bytes `data` from being a Windows GUI
    program, or None when they are one."""
    if len(data) < 64 or data[:2] != b"MZ":
        return "not a Windows program (no MZ header)"
    (pe,) = struct.unpack_from("<I", data, 0x3C)
    optional = pe + 24
    if data[pe:pe + 4] != b"PE\0\0" or len(data) < optional + 70:
        return "not a Windows program (no PE header)"
    (magic,) = struct.unpack_from("<H", data, optional)
    if magic not in (0x10B, 0x20B):
        return "not a Windows program (an unknown PE optional header)"
    (subsystem,) = struct.unpack_from("<H", data, optional + 68)
    if subsystem != GUI_SUBSYSTEM:
        return SUBSYSTEMS.get(subsystem, f"a program of subsystem {subsystem}") + ", not a Windows GUI program"
    return None


def file_gui_problem(path):
    with open(path, "rb") as file:
        return gui_problem(file.read(HEAD_BYTES))
