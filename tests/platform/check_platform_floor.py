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
  - the code: no CMOV, FCMOV, FCOMI/FUCOMI, long NOP, MMX or SSE.

usage: check_platform_floor.py OBJDUMP IMPORT_LIST PROGRAM...
Exit status 0 when every program passes, 1 otherwise.
"""
import os
import re
import subprocess
import sys

ALLOWED_DLLS = {"kernel32", "user32", "gdi32", "advapi32", "shell32", "comctl32",
                "comdlg32", "msvcrt", "version", "userenv"}

# Instructions beyond the Pentium (i586), in objdump's AT&T syntax.
LATER_INSTRUCTIONS = [
    ("CMOV (Pentium Pro)", re.compile(r"^cmov")),
    ("FCMOV (Pentium Pro)", re.compile(r"^fcmov")),
    ("FCOMI/FUCOMI (Pentium Pro)", re.compile(r"^fu?comip?$")),
    ("long NOP (Pentium Pro)", re.compile(r"^nop[wl]$")),
    ("SYSENTER/SYSCALL", re.compile(r"^sys(enter|exit|call|ret)")),
    ("SSE fence or prefetch", re.compile(r"^([lms]fence|prefetch|clflush)")),
]
LATER_REGISTERS = re.compile(r"%([xyz]?mm[0-9]+)")


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


def run_objdump(objdump, flag, program):
    result = subprocess.run([objdump, flag, program], capture_output=True, text=True)
    if result.returncode != 0:
        raise RuntimeError(f"{objdump} {flag} failed: {result.stderr.strip()}")
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


def instruction_faults(disassembly):
    found = {}
    count = 0
    for line in disassembly.splitlines():
        parts = line.split("\t")
        if len(parts) < 3 or not parts[0].strip().endswith(":"):
            continue
        count += 1
        text = parts[2].strip()
        mnemonic = text.split()[0] if text else ""
        for name, pattern in LATER_INSTRUCTIONS:
            if pattern.match(mnemonic):
                found.setdefault(name, []).append(f"{parts[0].strip()} {text}")
        register = LATER_REGISTERS.search(text)
        if register:
            kind = "SSE" if register.group(1).startswith(("x", "y", "z")) else "MMX"
            found.setdefault(f"{kind} register", []).append(f"{parts[0].strip()} {text}")
    faults = []
    for name, places in sorted(found.items()):
        shown = ", ".join(places[:3]) + (", ..." if len(places) > 3 else "")
        faults.append(f"{len(places)} x {name}: {shown}")
    return count, faults


def counted(number, noun):
    return f"{number} {noun}" + ("" if number == 1 else "s")


def check_program(objdump, allowed, list_name, program):
    name = os.path.basename(program)
    if not os.path.isfile(program):
        return [f"{name}: FAIL: missing ({program}); build the shipped programs first"]
    headers = run_objdump(objdump, "-p", program)
    imports = imports_of(headers)
    faults = header_faults(headers)
    for dll in sorted(imports):
        if dll not in ALLOWED_DLLS:
            faults.append(f"imports from {dll}.dll, which is not a system DLL of a plain NT 4.0")
        for function in imports[dll]:
            if (dll, function) not in allowed:
                faults.append(f"imports {dll}!{function}, not in {list_name}")
    count, code_faults = instruction_faults(run_objdump(objdump, "-d", program))
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
