#!/usr/bin/env python3
"""Points a PE image's load-configuration directory at its
`_load_config_used`, and checks one that has it: the 32-bit image (PE32,
i386) that is shipped, and the 64-bit one (PE32+, x86-64) of the tests under
the 64-bit Wine.

GNU ld (2.40) links the structure into .rdata but leaves entry 10 of the
optional header's data directories empty, so the loader never reads it. After
the link this tool takes the structure's address from the linker's map, sets
the entry to that address and the size the structure gives in its own first
field, and writes the header checksum again. The image is rewritten in place
through a temporary file; when the tool refuses, the image is removed, so that
a build does not go on with a program that lacks its load configuration.

    pe-load-config.py set IMAGE MAP
    pe-load-config.py check IMAGE [--dependent-load-flags N]

`check` prints the load configuration and fails unless the directory points
inside a section's data at a structure whose Size equals the directory's size
and covers DependentLoadFlags, the structure has no SEH handler table, the
flags are N where given, and the checksum is right.
"""
import argparse
import os
import pathlib
import re
import struct
import sys
import tempfile

LOAD_CONFIG_ENTRY = 10


class Layout:
    """Where a kind of image keeps what the tool reads: the optional header's
    image base and data directories, and the load configuration's fields."""

    def __init__(self, name, machine, magic, base_at, base_format, directories_at, dependent_load_flags,
                 seh_format, se_handler_table):
        self.name, self.machine, self.magic = name, machine, magic
        self.base_at, self.base_format = base_at, base_format  # the image base in the optional header
        self.directories_at = directories_at  # NumberOfRvaAndSizes; the entries follow it
        self.dependent_load_flags = dependent_load_flags  # the 16-bit field's offset in the structure
        self.seh_format = seh_format
        self.se_handler_table = se_handler_table  # the SEH handler table and its count follow each other
        self.se_handler_count = se_handler_table + struct.calcsize(seh_format)
        self.covers_seh = self.se_handler_count + struct.calcsize(seh_format)  # the size that covers both


LAYOUTS = (
    Layout("32-bit (i386, PE32)", 0x14C, 0x10B, 28, "<I", 92, 0x36, "<I", 0x40),
    Layout("64-bit (x86-64, PE32+)", 0x8664, 0x20B, 24, "<Q", 108, 0x4E, "<Q", 0x60),
)


class PeError(Exception):
    pass


class Image:
    """The headers of a PE32 or PE32+ image held as bytes."""

    def __init__(self, data: bytes):
        self.data = bytearray(data)
        if len(data) < 0x40 or data[:2] != b"MZ":
            raise PeError("not a PE image: no MZ header")
        (pe,) = struct.unpack_from("<I", data, 0x3C)
        if pe + 24 > len(data) or data[pe:pe + 4] != b"PE\0\0":
            raise PeError("not a PE image: no PE signature")
        machine, sections, _, _, _, optional_size, _ = struct.unpack_from("<HHIIIHH", data, pe + 4)
        self.optional = pe + 24
        if self.optional + optional_size > len(data) or optional_size < 96:
            raise PeError("optional header cut short")
        (magic,) = struct.unpack_from("<H", data, self.optional)
        kinds = [layout for layout in LAYOUTS if (layout.machine, layout.magic) == (machine, magic)]
        if not kinds:
            raise PeError("neither a " + " nor a ".join(layout.name for layout in LAYOUTS) + " image")
        self.layout = layout = kinds[0]
        first_entry = layout.directories_at + 4
        if optional_size < first_entry:
            raise PeError("optional header cut short")
        (self.image_base,) = struct.unpack_from(layout.base_format, data, self.optional + layout.base_at)
        self.checksum_at = self.optional + 64
        (directories,) = struct.unpack_from("<I", data, self.optional + layout.directories_at)
        if directories <= LOAD_CONFIG_ENTRY or first_entry + 8 * (LOAD_CONFIG_ENTRY + 1) > optional_size:
            raise PeError("no load-configuration entry among the data directories")
        self.load_config_at = self.optional + first_entry + 8 * LOAD_CONFIG_ENTRY
        table = self.optional + optional_size
        if table + 40 * sections > len(data):
            raise PeError("section table cut short")
        self.sections = []
        for i in range(sections):
            name, virtual_size, rva, raw_size, raw_at = struct.unpack_from("<8sIIII", data, table + 40 * i)
            self.sections.append((name.rstrip(b"\0").decode("latin-1"), rva, virtual_size, raw_at, raw_size))

    def file_offset(self, rva: int, size: int) -> int:
        """Where `size` bytes at `rva` lie in the file; they must lie in one
        section's data as stored in the file."""
        for name, start, virtual_size, raw_at, raw_size in self.sections:
            if start <= rva and rva + size <= start + min(virtual_size, raw_size):
                return raw_at + rva - start
        raise PeError(f"{size} bytes at RVA {rva:#x} are not in any section's data")

    def load_config(self) -> tuple:
        return struct.unpack_from("<II", self.data, self.load_config_at)

    def checksum(self) -> int:
        """The header checksum as the system's image loader and ld compute
        it: 16-bit words summed with carries folded, the checksum field
        taken as zero, plus the length of the file."""
        data = bytes(self.data[:self.checksum_at]) + b"\0\0\0\0" + bytes(self.data[self.checksum_at + 4:])
        if len(data) % 2:
            data += b"\0"
        total = 0
        for (word,) in struct.iter_unpack("<H", data):
            total += word
            total = (total & 0xFFFF) + (total >> 16)
        total = (total & 0xFFFF) + (total >> 16)
        return (total + len(self.data)) & 0xFFFFFFFF

    def set_load_config(self, rva: int) -> None:
        at = self.file_offset(rva, 4)
        (size,) = struct.unpack_from("<I", self.data, at)
        if size < self.layout.covers_seh:
            raise PeError(f"_load_config_used gives its size as {size:#x}, less than {self.layout.covers_seh:#x}")
        self.file_offset(rva, size)  # the whole structure in the section's data
        struct.pack_into("<II", self.data, self.load_config_at, rva, size)
        struct.pack_into("<I", self.data, self.checksum_at, self.checksum())


def symbol_address(map_text: str, symbol: str) -> int:
    """The address the map gives `symbol`; it must be there once."""
    found = re.findall(r"^\s+0x([0-9a-fA-F]+)\s+" + re.escape(symbol) + r"\s*$", map_text, re.MULTILINE)
    if len(found) != 1:
        raise PeError(f"the map names {symbol} {len(found)} times, not once")
    return int(found[0], 16)


def set_directory(image_path: pathlib.Path, map_path: pathlib.Path) -> None:
    image = Image(image_path.read_bytes())
    address = symbol_address(map_path.read_text(encoding="utf-8", errors="replace"), "_load_config_used")
    if address < image.image_base:
        raise PeError(f"_load_config_used at {address:#x}, below the image base {image.image_base:#x}")
    image.set_load_config(address - image.image_base)
    handle, temporary = tempfile.mkstemp(dir=image_path.parent, prefix=image_path.name + ".", suffix=".tmp")
    try:
        with os.fdopen(handle, "wb") as out:
            out.write(image.data)
        os.chmod(temporary, image_path.stat().st_mode & 0o7777)
        os.replace(temporary, image_path)
    except BaseException:
        os.unlink(temporary)
        raise


def check(image_path: pathlib.Path, flags: int | None) -> str:
    image = Image(image_path.read_bytes())
    rva, size = image.load_config()
    layout = image.layout
    if rva == 0 and size == 0:
        raise PeError("no load configuration: directory entry 10 is empty")
    if size < layout.dependent_load_flags + 2:
        raise PeError(f"load configuration of {size:#x} bytes does not cover DependentLoadFlags")
    at = image.file_offset(rva, size)
    (own_size,) = struct.unpack_from("<I", image.data, at)
    if own_size != size:
        raise PeError(f"the structure gives its size as {own_size:#x}, the directory {size:#x}")
    (dependent,) = struct.unpack_from("<H", image.data, at + layout.dependent_load_flags)
    if flags is not None and dependent != flags:
        raise PeError(f"DependentLoadFlags {dependent:#x}, expected {flags:#x}")
    if size >= layout.covers_seh:
        (table,) = struct.unpack_from(layout.seh_format, image.data, at + layout.se_handler_table)
        (count,) = struct.unpack_from(layout.seh_format, image.data, at + layout.se_handler_count)
        if table or count:
            raise PeError(f"an SEH handler table ({count} at {table:#x}) in a NO_SEH image")
    (stored,) = struct.unpack_from("<I", image.data, image.checksum_at)
    if stored != image.checksum():
        raise PeError(f"header checksum {stored:#x}, the image sums to {image.checksum():#x}")
    return f"load configuration at RVA {rva:#x}, {size:#x} bytes, DependentLoadFlags {dependent:#x}, checksum {stored:#x}"


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    commands = parser.add_subparsers(dest="command", required=True)
    setter = commands.add_parser("set")
    setter.add_argument("image", type=pathlib.Path)
    setter.add_argument("map", type=pathlib.Path)
    checker = commands.add_parser("check")
    checker.add_argument("image", type=pathlib.Path)
    checker.add_argument("--dependent-load-flags", type=lambda text: int(text, 0))
    args = parser.parse_args()
    try:
        if args.command == "set":
            try:
                set_directory(args.image, args.map)
            except (PeError, OSError):
                args.image.unlink(missing_ok=True)
                raise
        else:
            print(f"{args.image}: {check(args.image, args.dependent_load_flags)}")
    except (PeError, OSError) as error:
        print(f"pe-load-config: {args.image}: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
