#!/usr/bin/env python3
"""Checks that programs will start on Windows NT 4.0 on a Pentium-class x86.

Wine exports every later Windows function and runs on a modern processor, so
the virtual terminal shows neither an import that NT 4.0 lacks nor an
instruction that a Geode GX1, VIA C3 or K6 lacks. This reads each program with
the toolchain's objdump instead:
  - the header: an x86 image asking for Windows 4.0, subsystem version 4.0;
  - the DLLs: only system DLLs a plain NT 4.0 has;
  - every imported function: listed in the import list (DLL!function, with
    where its NT 4.0 availability comes from), so that a new import fails
    until someone checks it and adds it;
  - the code: every instruction and register one the Pentium has
    (pentium_instructions.py); the static constructor and destructor lists
    that the linker puts at the end of .text are data, and left out.

usage: check_platform_floor.py OBJDUMP IMPORT_LIST PROGRAM...
Exit status 0 when every program passes, 1 otherwise.
"""
import os
import re
import struct
import subprocess
import sys

from pentium_instructions import later_parts

ALLOWED_DLLS = {"kernel32", "user32", "gdi32", "advapi32", "shell32", "comctl32",
                "comdlg32", "msvcrt", "version", "userenv"}


def read_import_list(path):
    allowed = set()
    with open(path, encoding="utf-8") as listing:
        for number, line in enumerate(listing, 1):
            line = line.split("#", 1)[0].strip()
            if not line:
                continue
            fields = line.split(None, 1)
            if "!" not in fields[0] or len(fields) < 2:
                raise SystemExit(f"{path}:{number}: expected 'dll!Function  source', got {line!r}")
            dll, function = fields[0].split("!", 1)
            allowed.add((dll.lower(), function))
    return allowed


def run_objdump(objdump, program, *flags):
    result = subprocess.run([objdump, *flags, program], capture_output=True, text=True)
    if result.returncode != 0:
        raise RuntimeError(f"{objdump} {' '.join(flags)} failed: {result.stderr.strip()}")
    return result.stdout


def header_faults(private_headers):
    faults = []
    if not re.search(r"file format pei-i386\b", private_headers):
        faults.append("not a 32-bit x86 image")
    for field, meaning in (("OSystemVersion", "OS"), ("SubsystemVersion", "subsystem")):
        major = re.search(r"^Major%s\s+(\d+)" % field, private_headers, re.M)
        minor = re.search(r"^Minor%s\s+(\d+)" % field, private_headers, re.M)
        version = f"{major.group(1)}.{minor.group(1)}" if major and minor else "unknown"
        if version != "4.0":
            faults.append(f"header asks for {meaning} version {version}, not 4.0")
    return faults


def imports_of(private_headers):
    """{dll: [function or '#ordinal', ...]} from objdump -p's import tables."""
    imports = {}
    dll = None
    for line in private_headers.splitlines():
        named = re.match(r"\s*DLL Name: (\S+)", line)
        if named:
            dll = named.group(1).lower()
            if dll.endswith(".dll"):
                dll = dll[:-4]
            imports.setdefault(dll, [])
            continue
        if dll is None:
            continue
        if not line.strip():
            dll = None
            continue
        # An import by ordinal shows as "<none>" after its ordinal.
        entry = re.match(r"\t[0-9a-f]+\t\s*(\d+)\s+(\S+)", line)
        if entry:
            name = entry.group(2)
            imports[dll].append("#" + entry.group(1) if name == "<none>" else name)
    return imports


def text_section(program):
    """(address, contents) of the image's .text, or None."""
    try:
        with open(program, "rb") as image:
            data = image.read()
        pe = struct.unpack_from("<I", data, 0x3c)[0]
        sections, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
        image_base = struct.unpack_from("<I", data, pe + 24 + 28)[0]
        for at in range(pe + 24 + optional_size, pe + 24 + optional_size + 40 * sections, 40):
            name, size, address, raw_size, raw_at = struct.unpack_from("<8sIIII", data, at)
            if name.rstrip(b"\0") == b".text":
                return image_base + address, data[raw_at:raw_at + min(size, raw_size)]
    except struct.error:
        pass
    return None


def code_end(program):
    """The address where .text turns to the linker's two lists, each a -1
    marker, function addresses and a 0 end marker (constructors, then
    destructors); None when .text does not end so."""
    section = text_section(program)
    if section is None or len(section[1]) % 4:
        return None
    address, text = section
    words = struct.unpack(f"<{len(text) // 4}I", text)

    def list_start(end):
        if end < 2 or words[end - 1] != 0:
            return None
        at = end - 2
        while at >= 0 and words[at] not in (0, 0xffffffff):
            at -= 1
        return at if at >= 0 and words[at] == 0xffffffff else None

    destructors = list_start(len(words))
    constructors = None if destructors is None else list_start(destructors)
    return None if constructors is None else address + 4 * constructors


def instruction_faults(disassembly):
    found = {}
    count = 0
    for line in disassembly.splitlines():
        parts = line.split("\t")
        if len(parts) < 3 or not parts[0].strip().endswith(":"):
            continue
        count += 1
        text = parts[2].strip()
        for later in later_parts(text):
            found.setdefault(later, []).append(f"{parts[0].strip()} {text}")
    faults = []
    for later, places in sorted(found.items()):
        shown = ", ".join(places[:3]) + (", ..." if len(places) > 3 else "")
        kind = "register" if later.startswith("%") else "instruction"
        faults.append(f"{len(places)} x {later}, not a Pentium {kind}: {shown}")
    return count, faults


def counted(number, noun):
    return f"{number} {noun}" + ("" if number == 1 else "s")


def check_program(objdump, allowed, list_name, program):
    name = os.path.basename(program)
    if not os.path.isfile(program):
        return [f"{name}: FAIL: missing ({program}); build the shipped programs first"]
    headers = run_objdump(objdump, program, "-p")
    imports = imports_of(headers)
    faults = header_faults(headers)
    for dll in sorted(imports):
        if dll not in ALLOWED_DLLS:
            faults.append(f"imports from {dll}.dll, which is not a system DLL of a plain NT 4.0")
        for function in imports[dll]:
            if (dll, function) not in allowed:
                faults.append(f"imports {dll}!{function}, not in {list_name}")
    end = code_end(program)
    stop = [f"--stop-address={end:#x}"] if end is not None else []
    count, code_faults = instruction_faults(run_objdump(objdump, program, "-d", *stop))
    faults += code_faults
    summary = (f"{name}: {os.path.getsize(program)} bytes, {counted(len(imports), 'DLL')} "
               f"({', '.join(sorted(imports))}), "
               f"{counted(sum(len(f) for f in imports.values()), 'import')}, "
               f"{counted(count, 'instruction')}")
    if faults:
        return [f"{summary}: FAIL"] + [f"  {fault}" for fault in faults]
    return [f"{summary}: OK (Windows 4.0 header, every import in {list_name}, "
            f"nothing beyond the Pentium)"]


def main(arguments):
    if len(arguments) < 3:
        print(__doc__.strip().split("\n\n")[-1], file=sys.stderr)
        return 2
    objdump, import_list, programs = arguments[0], arguments[1], arguments[2:]
    allowed = read_import_list(import_list)
    failed = False
    for program in programs:
        lines = check_program(objdump, allowed, os.path.basename(import_list), program)
        failed |= lines[0].endswith("FAIL") or ": FAIL:" in lines[0]
        print("\n".join(lines))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
