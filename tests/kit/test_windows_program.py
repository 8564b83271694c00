"""The reader given for the disc must be a Windows GUI program."""

import struct

import pytest

from discproject.windows_program import gui_problem


def _program(subsystem, magic=0x10B):
    head = bytearray(b"MZ" + bytes(0x3A) + struct.pack("<I", 0x40))
    optional = bytearray(96)
    struct.pack_into("<H", optional, 0, magic)
    struct.pack_into("<H", optional, 68, subsystem)
    return bytes(head + b"PE\0\0" + bytes(20) + optional)


@pytest.mark.parametrize("data, problem", [
    (_program(2), None),
    (_program(2, 0x20B), None),
    (_program(3), "a console program, not a Windows GUI program"),
    (_program(2, 0x107), "not a Windows program (an unknown PE optional header)"),
    (b"PK\x03\x04" + bytes(100), "not a Windows program (no MZ header)"),
    (b"\x7fELF" + bytes(100), "not a Windows program (no MZ header)"),
    (_program(2)[:0x50], "not a Windows program (no PE header)"),
    (b"MZ" + bytes(0x3A) + struct.pack("<I", 0xFFFFFF00), "not a Windows program (no PE header)"),
])
def test_reader_must_be_a_gui_program(data, problem):
    assert gui_problem(data) == problem
