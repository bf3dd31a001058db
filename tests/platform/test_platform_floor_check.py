#!/usr/bin/env python3
"""The platform floor check rejects each planted fault, and accepts the same
program without one and with a range of the Pentium's own instructions.

usage: test_platform_floor_check.py OBJDUMP IMPORT_LIST PLANTED_DIR
"""
import os
import subprocess
import sys

CHECK = os.path.join(os.path.dirname(os.path.abspath(__file__)), "check_platform_floor.py")

# Program, the exit status the check must give, and a text its report must hold.
PASSES = "OK (Windows 4.0 header"
CASES = [
    ("planted_clean.exe", 0, PASSES),
    ("planted_pentium.exe", 0, PASSES),
    ("planted_gettickcount64.exe", 1, "imports kernel32!GetTickCount64, not in nt4-imports.txt"),
    ("planted_shlwapi.exe", 1, "imports from shlwapi.dll, which is not a system DLL of a plain NT 4.0"),
    ("planted_newer_header.exe", 1, "header asks for subsystem version 5.1, not 4.0"),
    ("no_such_program.exe", 1, "FAIL: missing"),
] + [(f"planted_{plant}.exe", 1, f"1 x {later}, not a Pentium {kind}: ") for plant, later, kind in [
    ("cmov", "cmovne", "instruction"),
    ("long_nop", "nopw", "instruction"),
    ("nop_register", "nop %eax", "instruction"),
    ("endbr32", "endbr32", "instruction"),
    ("emms", "emms", "instruction"),
    ("fisttp", "fisttpl", "instruction"),
    ("lzcnt", "lzcnt", "instruction"),
    ("rdpmc", "rdpmc", "instruction"),
    ("fxsave", "fxsave", "instruction"),
    ("mmx_register", "%mm0", "register"),
]]


def main(objdump, import_list, planted_dir):
    failures = 0
    for program, expected_status, expected_text in CASES:
        result = subprocess.run([sys.executable, CHECK, objdump, import_list,
                                 os.path.join(planted_dir, program)],
                                capture_output=True, text=True)
        report = result.stdout + result.stderr
        if result.returncode != expected_status or expected_text not in report:
            failures += 1
            print(f"{program}: expected status {expected_status} and {expected_text!r}; "
                  f"got status {result.returncode}:\n{report}")
        else:
            print(f"{program}: status {result.returncode} as expected\n{report}")
    return 1 if failures else 0


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
