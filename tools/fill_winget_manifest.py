#!/usr/bin/env python3
"""Fills in the package manager's manifest for a built installer.

    fill_winget_manifest.py --templates packaging/winget --installer TessamoSetup.exe
                            --application Pinvora.exe --output DIR

Each template's @PACKAGE_VERSION@ becomes the installer's file version, @DISPLAY_VERSION@
the application's (what the uninstall entry's "DisplayVersion" holds) and
@INSTALLER_SHA256@ the installer's SHA-256 in capitals; the filled files keep their names.
The versions are read from the programs' own version resources.
"""
import argparse
import hashlib
import struct
import sys
from pathlib import Path

RT_VERSION = 16
# VS_FIXEDFILEINFO starts with this signature, then the structure version, then the file
# version as two 32-bit words.
FIXED_FILE_INFO_SIGNATURE = struct.pack("<I", 0xFEEF04BD)


def version_resource(data: bytes) -> bytes:
    """The program's own version resource, found through its resource directory: a
    plain search could find one of the programs the installer carries."""
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    sections, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
    optional = pe + 24
    directories = optional + (96 if struct.unpack_from("<H", data, optional)[0] == 0x10B else 112)
    resources_rva = struct.unpack_from("<I", data, directories + 2 * 8)[0]

    def offset(rva):
        for at in range(optional + optional_size, optional + optional_size + 40 * sections, 40):
            size, address, _, raw = struct.unpack_from("<IIII", data, at + 8)
            if address <= rva < address + size:
                return rva - address + raw
        sys.exit("fill_winget_manifest: a resource lies outside every section")

    root = offset(resources_rva)

    def entry(directory, wanted_id=None):
        named, numbered = struct.unpack_from("<HH", data, directory + 12)
        for at in range(directory + 16, directory + 16 + 8 * (named + numbered), 8):
            name, target = struct.unpack_from("<II", data, at)
            if wanted_id is None or name == wanted_id:
                return root + (target & 0x7FFFFFFF)
        sys.exit("fill_winget_manifest: the program has no version resource")

    leaf = entry(entry(entry(root, RT_VERSION)))
    rva, size = struct.unpack_from("<II", data, leaf)
    return data[offset(rva):offset(rva) + size]


def file_version(program: Path) -> str:
    resource = version_resource(program.read_bytes())
    at = resource.find(FIXED_FILE_INFO_SIGNATURE)
    most, least = struct.unpack_from("<II", resource, at + 8)
    return f"{most >> 16}.{most & 0xFFFF}.{least >> 16}.{least & 0xFFFF}"


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--templates", type=Path, required=True)
    parser.add_argument("--installer", type=Path, required=True)
    parser.add_argument("--application", type=Path, required=True)
    parser.add_argument("--output", type=Path, required=True)
    args = parser.parse_args()

    values = {
        "@PACKAGE_VERSION@": file_version(args.installer),
        "@DISPLAY_VERSION@": file_version(args.application),
        "@INSTALLER_SHA256@": hashlib.sha256(args.installer.read_bytes()).hexdigest().upper(),
    }
    args.output.mkdir(parents=True, exist_ok=True)
    for template in sorted(args.templates.glob("*.yaml")):
        text = template.read_text(encoding="utf-8")
        for placeholder, value in values.items():
            text = text.replace(placeholder, value)
        (args.output / template.name).write_text(text, encoding="utf-8")


if __name__ == "__main__":
    main()
