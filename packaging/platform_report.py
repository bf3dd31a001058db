"""The platform floor check's report on the programs a zip ships, and the
requirements page carrying it.

docs/requirements.md keeps, after the line REPORT_MARK, a fenced block for
the check's output; the copy in the zip gets the output for the very programs
beside it, so its figures (size, imports, instructions) are never those of an
older build.
"""
import os
import re
import shutil
import subprocess
import sys

REPORT_PAGE = "docs/requirements.md"
REPORT_MARK = "<!-- the platform check's output on the programs of this release -->"
OBJDUMP = "i686-w64-mingw32-objdump"
CHECK_FOLDER = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))),
                            "tests", "platform")


class ReportError(Exception):
    pass


def platform_report(programs):
    """The check's output on PROGRAMS; raises ReportError when one fails it."""
    objdump = shutil.which(OBJDUMP)
    if objdump is None:
        raise ReportError(f"{OBJDUMP} is missing (make setup installs it)")
    result = subprocess.run([sys.executable, os.path.join(CHECK_FOLDER, "check_platform_floor.py"),
                             objdump, os.path.join(CHECK_FOLDER, "nt4-imports.txt"), *programs],
                            capture_output=True, text=True)
    if result.returncode != 0:
        raise ReportError("the programs fail the platform check:\n"
                          + (result.stdout + result.stderr).strip())
    return result.stdout.strip()


def with_report(page, report):
    """PAGE with the fenced block after REPORT_MARK holding REPORT."""
    block = re.compile(r"(^" + re.escape(REPORT_MARK) + r"\n```\n).*?(^```$)", re.M | re.S)
    if not block.search(page):
        raise ReportError(f"{REPORT_PAGE} has no block for the report after {REPORT_MARK!r}")
    return block.sub(lambda m: m.group(1) + report + "\n" + m.group(2), page, count=1)
