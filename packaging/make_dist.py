#!/usr/bin/env python3
"""make dist: the zip an administrator deploys from.

    make_dist.py [--bin FOLDER] [--out FOLDER]

Holds the three shipped programs (from build/bin), the example configuration
and key list, and the guide (docs/: its pages and images, without
developers.md, which is for the next developer), in one folder named after the
zip: terminal-maintenance-VERSION. VERSION is the file version of the programs'
version resources; the three must carry the same one. The guide's
requirements page carries the platform floor check's output on the programs
packed. Fails, and writes nothing, when a program or an example is missing,
the versions differ or a program fails the check.
"""
import argparse
import os
import sys
import zipfile

from pe_version import VersionError, file_version
from platform_report import REPORT_PAGE, ReportError, platform_report, with_report

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PROGRAMS = ["Fenwash.exe", "Pendrax.exe", "Stavix.exe"]
EXAMPLES = ["examples/Fenwash.ini", "examples/stavix.ini", "examples/pendrax-cache-check.cmd"]
NAME = "terminal-maintenance"
LEFT_OUT_DOCS = {"docs/developers.md"}


class DistError(Exception):
    pass


def programs_version(bin_folder):
    versions = {}
    for program in PROGRAMS:
        path = os.path.join(bin_folder, program)
        if not os.path.isfile(path):
            raise DistError(f"{path} is missing (make build builds it)")
        try:
            versions[program] = file_version(path)
        except VersionError as error:
            raise DistError(f"{path}: {error}")
    if len(set(versions.values())) != 1:
        raise DistError("the programs carry different versions: "
                        + ", ".join(f"{p} {v}" for p, v in versions.items()))
    return versions[PROGRAMS[0]]


def contents(root, bin_folder):
    """(path in the zip under its folder, file on disk) of everything shipped."""
    files = [(program, os.path.join(bin_folder, program)) for program in PROGRAMS]
    for example in EXAMPLES:
        path = os.path.join(root, example)
        if not os.path.isfile(path):
            raise DistError(f"{path} is missing")
        files.append((example, path))
    docs = os.path.join(root, "docs")
    for folder, subfolders, names in os.walk(docs):
        subfolders[:] = sorted(d for d in subfolders if not d.startswith("."))
        for name in sorted(names):
            if not name.startswith("."):
                path = os.path.join(folder, name)
                shipped = os.path.relpath(path, root).replace(os.sep, "/")
                if shipped not in LEFT_OUT_DOCS:
                    files.append((shipped, path))
    return files


def make_dist(root, bin_folder, out_folder):
    """Writes the zip and returns its path."""
    version = programs_version(bin_folder)
    files = contents(root, bin_folder)
    try:
        report = platform_report([os.path.join(bin_folder, p) for p in PROGRAMS])
        with open(os.path.join(root, REPORT_PAGE), encoding="utf-8") as page:
            requirements = with_report(page.read(), report)
    except ReportError as error:
        raise DistError(str(error))
    top = f"{NAME}-{version}"
    os.makedirs(out_folder, exist_ok=True)
    target = os.path.join(out_folder, top + ".zip")
    partial = target + ".part"
    with zipfile.ZipFile(partial, "w", zipfile.ZIP_DEFLATED) as archive:
        for name, path in files:
            if name == REPORT_PAGE:
                archive.writestr(f"{top}/{name}", requirements)
            else:
                archive.write(path, f"{top}/{name}")
    os.replace(partial, target)
    return target


def main():
    parser = argparse.ArgumentParser(description="Builds the zip of the shipped programs and the guide.")
    parser.add_argument("--bin", default=os.path.join(ROOT, "build", "bin"))
    parser.add_argument("--out", default=os.path.join(ROOT, "build", "dist"))
    args = parser.parse_args()
    try:
        target = make_dist(ROOT, args.bin, args.out)
    except DistError as error:
        print(f"dist: {error}", file=sys.stderr)
        return 1
    print(f"dist: {os.path.relpath(target)}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
