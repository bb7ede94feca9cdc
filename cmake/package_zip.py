#!/usr/bin/env python3
"""Builds the release zip: the selector, the inspector and the user guide.

The guide goes in as text a Windows user opens with a double click: CRLF line
ends and UTF-8 with a byte-order mark, which Notepad reads correctly under any
system code page. Entries carry one fixed date so that the same inputs give the
same zip.
"""
import argparse
import pathlib
import zipfile

FIXED_DATE = (2006, 1, 28, 0, 0, 0)


def guide_text(markdown: pathlib.Path) -> bytes:
    text = markdown.read_text(encoding="utf-8").replace("\r\n", "\n").replace("\n", "\r\n")
    return b"\xef\xbb\xbf" + text.encode("utf-8")


def add(archive: zipfile.ZipFile, name: str, data: bytes) -> None:
    info = zipfile.ZipInfo(name, date_time=FIXED_DATE)
    info.compress_type = zipfile.ZIP_DEFLATED
    info.external_attr = 0o644 << 16
    archive.writestr(info, data)


def main() -> None:
    parser = argparse.ArgumentParser()
    parser.add_argument("--output", required=True, type=pathlib.Path)
    parser.add_argument("--folder", required=True, help="the folder at the top of the zip")
    parser.add_argument("--exe", required=True, type=pathlib.Path, action="append", help="a program to ship")
    parser.add_argument("--docs", required=True, type=pathlib.Path, help="the folder of guide-ja.md and guide-en.md")
    args = parser.parse_args()

    partial = args.output.with_suffix(".zip.part")
    with zipfile.ZipFile(partial, "w") as archive:
        for exe in args.exe:
            add(archive, f"{args.folder}/{exe.name}", exe.read_bytes())
        for lang in ("ja", "en"):
            add(archive, f"{args.folder}/README-{lang}.txt", guide_text(args.docs / f"guide-{lang}.md"))
    partial.replace(args.output)


if __name__ == "__main__":
    main()
