#!/usr/bin/env python3
"""Fails unless the program carries its manifest as Windows reads it: resource type 24,
number 1, well-formed XML that asks for the administrator, names Windows Vista to 11 as
supported, and depends on no other assembly (the common controls' look is not wanted).
usage: check_manifest.py PROGRAM.exe"""
import struct
import sys
import xml.etree.ElementTree as ElementTree

RT_MANIFEST = 24
MANIFEST_ID = 1
RESOURCE_DIRECTORY = 2  # the data directory's entry for resources
SUPPORTED_OS = {
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}",  # Vista
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  # 7
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  # 8
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  # 8.1
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  # 10 and 11
}
ASM_V1 = "{urn:schemas-microsoft-com:asm.v1}"
ASM_V3 = "{urn:schemas-microsoft-com:asm.v3}"
COMPATIBILITY = "{urn:schemas-microsoft-com:compatibility.v1}"


def fail(message):
    print("manifest check failed: " + message, file=sys.stderr)
    sys.exit(1)


def manifest_bytes(image):
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    sections, optional_size = struct.unpack_from("<H", image, pe + 6)[0], struct.unpack_from("<H", image, pe + 20)[0]
    magic = struct.unpack_from("<H", image, pe + 24)[0]
    directories = pe + 24 + (96 if magic == 0x10B else 112)
    root_rva = struct.unpack_from("<I", image, directories + 8 * RESOURCE_DIRECTORY)[0]
    table = pe + 24 + optional_size
    spans = [struct.unpack_from("<IIII", image, table + 40 * i + 8) for i in range(sections)]

    def offset(rva):
        for virtual_size, address, raw_size, raw_at in spans:
            if address <= rva < address + max(virtual_size, raw_size):
                return raw_at + rva - address
        fail("address %#x lies in no section" % rva)

    root = offset(root_rva)

    def entry(directory, wanted):
        named, numbered = struct.unpack_from("<HH", image, directory + 12)
        for i in range(named + numbered):
            name, target = struct.unpack_from("<II", image, directory + 16 + 8 * i)
            if wanted is None or (not name & 0x80000000 and name == wanted):
                return target
        fail("no resource entry %s" % wanted)

    by_type = entry(root, RT_MANIFEST)
    by_id = entry(root + (by_type & 0x7FFFFFFF), MANIFEST_ID)
    data = entry(root + (by_id & 0x7FFFFFFF), None)  # the one language
    rva, size = struct.unpack_from("<II", image, root + data)
    return image[offset(rva):offset(rva) + size]


def main():
    image = open(sys.argv[1], "rb").read()
    try:
        assembly = ElementTree.fromstring(manifest_bytes(image))
    except ElementTree.ParseError as error:
        fail("not well-formed XML: %s" % error)
    if assembly.tag != ASM_V1 + "assembly" or assembly.get("manifestVersion") != "1.0":
        fail("the root is not a version 1.0 assembly")
    levels = assembly.findall(".//%srequestedExecutionLevel" % ASM_V3)
    if [level.get("level") for level in levels] != ["requireAdministrator"]:
        fail("the execution level is not requireAdministrator alone")
    named = {os.get("Id") for os in assembly.findall(".//%ssupportedOS" % COMPATIBILITY)}
    if named != SUPPORTED_OS:
        fail("supported systems %s, expected Vista to 11" % sorted(named))
    if assembly.findall(".//%sdependency" % ASM_V1):
        fail("the manifest depends on another assembly")
    print("manifest ok: requireAdministrator, Windows Vista to 11, no dependency")


main()
