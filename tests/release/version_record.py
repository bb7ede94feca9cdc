#!/usr/bin/env python3
"""The released program's version record holds the numbers it must show.

   version_record.py koltSSel.exe

Reads the record straight from the PE file (resource type 16), the way the
About box's reader finds it, and checks the fixed part and the strings
against the values the program is released with. This is the one place those
numbers are written in the tests; every other test takes them from the build.
"""
import struct
import sys

EXPECTED_FIXED = {"file": (1, 4, 2006, 128), "product": (1, 4, 0, 0)}
EXPECTED_STRINGS = {"FileVersion": "1, 4, 2006, 128", "ProductVersion": "1.04"}
RT_VERSION = 16


def resource_bytes(pe, type_id):
    (pe_at,) = struct.unpack_from("<I", pe, 0x3C)
    if pe[pe_at:pe_at + 4] != b"PE\0\0":
        raise ValueError("not a PE file")
    sections, optional_size = struct.unpack_from("<H12xH", pe, pe_at + 6)
    optional = pe_at + 24
    rsrc_rva, _ = struct.unpack_from("<II", pe, optional + 96 + 2 * 8)  # data directory 2
    table = optional + optional_size

    def offset_of(rva):
        for i in range(sections):
            size, va, raw_size, raw_at = struct.unpack_from("<IIII", pe, table + 40 * i + 8)
            if va <= rva < va + max(size, raw_size):
                return raw_at + rva - va
        raise ValueError(f"RVA {rva:#x} is in no section")

    root = offset_of(rsrc_rva)

    def first_entry(directory, wanted=None):
        named, numbered = struct.unpack_from("<HH", pe, directory + 12)
        for i in range(named + numbered):
            name, target = struct.unpack_from("<II", pe, directory + 16 + 8 * i)
            if wanted is None or name == wanted:
                return target
        raise ValueError(f"no resource entry {wanted}")

    level = root + (first_entry(root, type_id) & 0x7FFFFFFF)
    level = root + (first_entry(level) & 0x7FFFFFFF)
    data = root + first_entry(level)
    rva, size = struct.unpack_from("<II", pe, data)
    at = offset_of(rva)
    return pe[at:at + size]


def walk(block, at=0, end=None):
    """(key, value bytes, is text) of every node of a version-record tree."""
    end = len(block) if end is None else end
    while at + 6 <= end:
        length, value_length, is_text = struct.unpack_from("<HHH", block, at)
        if length == 0:
            break
        key_end = at + 6
        while block[key_end:key_end + 2] != b"\0\0":
            key_end += 2
        key = block[at + 6:key_end].decode("utf-16-le")
        value_at = (key_end + 2 + 3) & ~3
        value_size = value_length * 2 if is_text else value_length
        yield key, block[value_at:value_at + value_size], is_text
        children = (value_at + value_size + 3) & ~3
        yield from walk(block, children, at + length)
        at = (at + length + 3) & ~3


def main(path):
    with open(path, "rb") as f:
        record = resource_bytes(f.read(), RT_VERSION)
    nodes = list(walk(record))
    failures = []
    fixed = next((value for key, value, _ in nodes if key == "VS_VERSION_INFO"), b"")
    if len(fixed) < 52 or struct.unpack_from("<I", fixed)[0] != 0xFEEF04BD:
        failures.append("no fixed part")
    else:
        file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<IIII", fixed, 8)
        found = {"file": (file_ms >> 16, file_ms & 0xFFFF, file_ls >> 16, file_ls & 0xFFFF),
                 "product": (product_ms >> 16, product_ms & 0xFFFF, product_ls >> 16, product_ls & 0xFFFF)}
        for part, numbers in EXPECTED_FIXED.items():
            if found[part] != numbers:
                failures.append(f"{part} version {found[part]}, expected {numbers}")
    strings = {key: value.decode("utf-16-le").rstrip("\0") for key, value, text in nodes if text}
    for key, text in EXPECTED_STRINGS.items():
        if strings.get(key) != text:
            failures.append(f'"{key}" is {strings.get(key)!r}, expected {text!r}')
    for failure in failures:
        print(f"{path}: {failure}", file=sys.stderr)
    if not failures:
        print(f"{path}: version record {EXPECTED_STRINGS['FileVersion']} / {EXPECTED_STRINGS['ProductVersion']}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
