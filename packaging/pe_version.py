"""The file version of a Windows program, read from its version resource.

Reads the VS_FIXEDFILEINFO of the RT_VERSION resource of a PE file (32- or
64-bit) through the resource directory, as Windows finds it.
"""
import struct

RT_VERSION = 16
FIXED_SIGNATURE = 0xFEEF04BD


class VersionError(Exception):
    pass


def _read(data, offset, fmt):
    size = struct.calcsize(fmt)
    if offset < 0 or offset + size > len(data):
        raise VersionError("truncated file")
    return struct.unpack_from(fmt, data, offset)


def _resource_section(data):
    if data[:2] != b"MZ":
        raise VersionError("not a Windows program")
    (pe,) = _read(data, 0x3C, "<I")
    if data[pe:pe + 4] != b"PE\0\0":
        raise VersionError("not a PE file")
    (sections,) = _read(data, pe + 6, "<H")
    (optional_size,) = _read(data, pe + 20, "<H")
    optional = pe + 24
    (magic,) = _read(data, optional, "<H")
    directories = optional + {0x10B: 96, 0x20B: 112}.get(magic, -1)
    if directories < optional:
        raise VersionError("unknown optional header")
    rva, _ = _read(data, directories + 2 * 8, "<II")  # entry 2: resources
    if rva == 0:
        raise VersionError("no resources")
    table = optional + optional_size
    for i in range(sections):
        fields = _read(data, table + 40 * i + 8, "<IIII")
        virtual_size, virtual_address, raw_size, raw_offset = fields
        if virtual_address <= rva < virtual_address + max(virtual_size, raw_size):
            return raw_offset + (rva - virtual_address), raw_offset - virtual_address
    raise VersionError("resource directory outside every section")


def _first_entry(data, directory, wanted_id=None):
    named, numbered = _read(data, directory + 12, "<HH")
    for i in range(named + numbered):
        name, target = _read(data, directory + 16 + 8 * i, "<II")
        if wanted_id is None or (not name & 0x80000000 and name == wanted_id):
            return target
    raise VersionError("no version resource")


def file_version(path):
    """The version as "MAJOR.MINOR.PATCH" (".BUILD" added when not 0)."""
    with open(path, "rb") as f:
        data = f.read()
    base, rva_to_offset = _resource_section(data)
    target = _first_entry(data, base, RT_VERSION)
    for _ in range(2):  # name, then language
        if not target & 0x80000000:
            raise VersionError("malformed resource directory")
        target = _first_entry(data, base + (target & 0x7FFFFFFF))
    if target & 0x80000000:
        raise VersionError("malformed resource directory")
    data_rva, data_size = _read(data, base + target, "<II")
    start = data_rva + rva_to_offset
    block = data[start:start + data_size]
    # VS_VERSIONINFO: three WORDs, the key "VS_VERSION_INFO", padding to a
    # DWORD, then the fixed record.
    key = "VS_VERSION_INFO\0".encode("utf-16-le")
    if block[6:6 + len(key)] != key:
        raise VersionError("malformed version resource")
    fixed = (6 + len(key) + 3) & ~3
    signature, _, ms, ls = _read(block, fixed, "<IIII")
    if signature != FIXED_SIGNATURE:
        raise VersionError("no fixed version record")
    parts = [ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF]
    if parts[3] == 0:
        parts.pop()
    return ".".join(str(p) for p in parts)
