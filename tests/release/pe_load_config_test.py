#!/usr/bin/env python3
"""tools/pe-load-config.py on a program as GNU ld links it (its load
configuration in .rdata, the directory entry empty) and on images spoilt one
field at a time.

    pe_load_config_test.py PROBE.exe PROBE.map
"""
import pathlib
import runpy
import shutil
import struct
import subprocess
import sys
import tempfile
import types
import unittest

TOOL = pathlib.Path(__file__).resolve().parents[2] / "tools" / "pe-load-config.py"
# The tool's file name has dashes: its functions are taken by running it by path.
pe = types.SimpleNamespace(**runpy.run_path(str(TOOL)))

PROBE = MAP = None


def run(*args):
    return subprocess.run([sys.executable, str(TOOL), *map(str, args)], capture_output=True, text=True)


class LoadConfigTest(unittest.TestCase):
    def setUp(self):
        self.dir = pathlib.Path(tempfile.mkdtemp())
        self.image = self.dir / "probe.exe"
        self.map = self.dir / "probe.map"
        shutil.copy(PROBE, self.image)
        shutil.copy(MAP, self.map)

    def tearDown(self):
        shutil.rmtree(self.dir)

    def address(self):
        return pe.symbol_address(self.map.read_text(), "_load_config_used")

    def test_the_checksum_is_the_one_ld_writes(self):
        image = pe.Image(PROBE.read_bytes())
        (stored,) = struct.unpack_from("<I", image.data, image.checksum_at)
        self.assertNotEqual(stored, 0)
        self.assertEqual(image.checksum(), stored)

    def test_set_points_the_entry_at_the_structure_and_check_accepts_it(self):
        before = self.image.read_bytes()
        self.assertEqual(pe.Image(before).load_config(), (0, 0))
        self.assertNotEqual(run("check", self.image).returncode, 0)
        self.assertEqual(run("set", self.image, self.map).returncode, 0)
        image = pe.Image(self.image.read_bytes())
        self.assertEqual(image.load_config(), (self.address() - image.image_base, image.layout.covers_seh))
        result = run("check", self.image, "--dependent-load-flags", "0x800")
        self.assertEqual(result.returncode, 0, result.stderr)
        # Only the directory entry and the checksum changed.
        changed = [i for i, (a, b) in enumerate(zip(before, self.image.read_bytes())) if a != b]
        allowed = set(range(image.load_config_at, image.load_config_at + 8)) | set(
            range(image.checksum_at, image.checksum_at + 4))
        self.assertTrue(changed and set(changed) <= allowed, changed)
        # Set again: the same bytes.
        once = self.image.read_bytes()
        self.assertEqual(run("set", self.image, self.map).returncode, 0)
        self.assertEqual(self.image.read_bytes(), once)
        self.assertEqual(sorted(p.name for p in self.dir.iterdir()), ["probe.exe", "probe.map"])

    def test_set_refuses_and_removes_the_image(self):
        text = self.map.read_text()
        line = next(l for l in text.splitlines() if l.strip().endswith(" _load_config_used"))
        probe = pe.Image(PROBE.read_bytes())
        base = probe.image_base
        address = self.address()

        def at(value):
            return text.replace(line, f"                0x{value:08x}                _load_config_used")

        cases = {
            "no symbol": (text.replace(line, ""), "0 times"),
            "named twice": (text.replace(line, line + "\n" + line), "2 times"),
            "outside the sections": (at(base + 0x7FFF0000), "not in any section"),
            "below the image base": (at(0x10), "below the image base"),
            # Its second field, zero, read as the size.
            "too small": (at(address + 4), f"less than {probe.layout.covers_seh:#x}"),
        }
        for name, (spoilt, message) in cases.items():
            with self.subTest(name):
                shutil.copy(PROBE, self.image)
                self.map.write_text(spoilt)
                result = run("set", self.image, self.map)
                self.assertEqual(result.returncode, 1)
                self.assertIn(message, result.stderr)
                self.assertEqual(sorted(p.name for p in self.dir.iterdir()), ["probe.map"])
        self.map.write_text(text)
        (self.dir / "not.exe").write_bytes(b"MZ" + b"\0" * 100)
        self.assertEqual(run("set", self.dir / "not.exe", self.map).returncode, 1)
        self.assertFalse((self.dir / "not.exe").exists())

    def test_check_refuses_each_spoilt_field(self):
        self.assertEqual(run("set", self.image, self.map).returncode, 0)
        good = bytearray(self.image.read_bytes())
        image = pe.Image(good)
        rva, size = image.load_config()
        at = image.file_offset(rva, size)
        layout = image.layout

        def put(offset, fmt, value, fix_checksum=True):
            data = bytearray(good)
            struct.pack_into(fmt, data, offset, value)
            if fix_checksum:
                spoilt = pe.Image(data)
                struct.pack_into("<I", spoilt.data, spoilt.checksum_at, spoilt.checksum())
                data = spoilt.data
            return data

        cases = {
            "flags": (put(at + layout.dependent_load_flags, "<H", 0), "DependentLoadFlags 0x0"),
            "own size": (put(at, "<I", 0x40), "gives its size as 0x40"),
            "short entry": (put(image.load_config_at + 4, "<I", 0x30), "does not cover"),
            "SEH table": (put(at + layout.se_handler_count, layout.seh_format, 1), "SEH handler table"),
            "checksum": (put(at + 0x3C, "<I", 1, fix_checksum=False), "header checksum"),
        }
        for name, (data, message) in cases.items():
            with self.subTest(name):
                self.image.write_bytes(data)
                result = run("check", self.image, "--dependent-load-flags", "0x800")
                self.assertEqual(result.returncode, 1)
                self.assertIn(message, result.stderr)
                self.assertEqual(self.image.read_bytes(), data)  # check never writes


if __name__ == "__main__":
    PROBE, MAP = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    unittest.main(argv=sys.argv[:1], verbosity=2)
