"""make dist: the zip's name and contents, and its refusals.

Runs against the real build/bin when all three programs and both examples are
there; until then against stand-ins: copies of a built Fenwash.exe (with its
real version resource) under the three names, beside the real docs/.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest
import zipfile

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
sys.path.insert(0, os.path.join(ROOT, "packaging"))
import make_dist  # noqa: E402
from pe_version import file_version  # noqa: E402

SHIPPED_BIN = os.environ.get("DIST_BIN", os.path.join(ROOT, "build", "bin"))
TERMINAL_BIN = os.environ.get("VT_TEST_BIN", os.path.join(ROOT, "build", "terminal", "bin"))


def real_build_complete():
    return all(os.path.isfile(os.path.join(SHIPPED_BIN, p)) for p in make_dist.PROGRAMS) and \
        all(os.path.isfile(os.path.join(ROOT, e)) for e in make_dist.EXAMPLES)


class Dist(unittest.TestCase):
    def setUp(self):
        self.temp = tempfile.mkdtemp(prefix="dist_test_")
        self.out = os.path.join(self.temp, "out")
        # A tree of stand-ins that the refusal cases can break.
        self.root = os.path.join(self.temp, "root")
        self.bin = os.path.join(self.temp, "bin")
        os.makedirs(os.path.join(self.root, "examples"))
        os.makedirs(self.bin)
        shutil.copytree(os.path.join(ROOT, "docs"), os.path.join(self.root, "docs"))
        shutil.copy(os.path.join(ROOT, "examples", "Fenwash.ini"), os.path.join(self.root, "examples"))
        shutil.copy(os.path.join(ROOT, "examples", "pendrax-cache-check.cmd"), os.path.join(self.root, "examples"))
        with open(os.path.join(self.root, "examples", "stavix.ini"), "w") as f:
            f.write("; stand-in key list\n")
        fenwash = next(p for p in (os.path.join(SHIPPED_BIN, "Fenwash.exe"), os.path.join(TERMINAL_BIN, "Fenwash.exe"))
                       if os.path.isfile(p))
        for program in make_dist.PROGRAMS:
            shutil.copy(fenwash, os.path.join(self.bin, program))

    def tearDown(self):
        shutil.rmtree(self.temp, ignore_errors=True)

    def test_zip_holds_programs_examples_and_guide_under_its_version(self):
        root, bin_folder = (ROOT, SHIPPED_BIN) if real_build_complete() else (self.root, self.bin)
        version = file_version(os.path.join(bin_folder, "Fenwash.exe"))
        self.assertRegex(version, r"^\d+\.\d+\.\d+(\.\d+)?$")
        target = make_dist.make_dist(root, bin_folder, self.out)
        top = f"terminal-maintenance-{version}"
        self.assertEqual(os.path.basename(target), top + ".zip")
        self.assertEqual(os.listdir(self.out), [top + ".zip"])

        docs = []
        for folder, _, names in os.walk(os.path.join(root, "docs")):
            docs += [os.path.relpath(os.path.join(folder, n), root).replace(os.sep, "/") for n in names]
        self.assertIn("docs/README.md", docs)
        self.assertIn("docs/images/fenwash-help.png", docs)
        docs.remove("docs/developers.md")  # for the next developer, not the administrator
        expected = make_dist.PROGRAMS + make_dist.EXAMPLES + docs
        with zipfile.ZipFile(target) as archive:
            self.assertEqual(sorted(archive.namelist()), sorted(f"{top}/{name}" for name in expected))
            self.assertIsNone(archive.testzip())
            for program in make_dist.PROGRAMS:
                with open(os.path.join(bin_folder, program), "rb") as f:
                    self.assertEqual(archive.read(f"{top}/{program}"), f.read())
            pages = {name: archive.read(f"{top}/{name}").decode("utf-8")
                     for name in docs if name.endswith(".md")}

        # Every link between pages leads to a file in the zip.
        for name, page in pages.items():
            for link in re.findall(r"\]\(([^)#\s]+)", page):
                if "://" not in link:
                    shipped = os.path.normpath(os.path.join(os.path.dirname(name), link))
                    self.assertIn(shipped, expected, f"{name} links to {link}")

        # The requirements page carries the check's figures for these programs.
        requirements = pages["docs/requirements.md"]
        self.assertNotIn("make dist writes the check's output here", requirements)
        for program in make_dist.PROGRAMS:
            size = os.path.getsize(os.path.join(bin_folder, program))
            self.assertRegex(requirements, rf"\n{re.escape(program)}: {size} bytes, .* imports, "
                             r"\d+ instructions: OK \(Windows 4.0 header")
        with open(os.path.join(root, "docs", "requirements.md"), encoding="utf-8") as f:
            self.assertIn("make dist writes the check's output here", f.read())

    def test_refuses_a_missing_program_or_example_and_differing_versions(self):
        def refused(fragment):
            with self.assertRaises(make_dist.DistError) as caught:
                make_dist.make_dist(self.root, self.bin, self.out)
            self.assertIn(fragment, str(caught.exception))
            self.assertFalse(os.path.exists(self.out) and os.listdir(self.out))

        os.remove(os.path.join(self.root, "examples", "stavix.ini"))
        refused("stavix.ini is missing")
        with open(os.path.join(self.root, "examples", "stavix.ini"), "w") as f:
            f.write("; stand-in key list\n")

        # Pendrax.exe one minor version on: the fixed record starts with its
        # signature and structure version, then the minor and major numbers.
        path = os.path.join(self.bin, "Pendrax.exe")
        with open(path, "rb") as f:
            data = bytearray(f.read())
        at = data.index(bytes.fromhex("bd04effe")) + 8
        data[at] += 1
        with open(path, "wb") as f:
            f.write(data)
        refused("different versions")
        self.assertNotEqual(file_version(path), file_version(os.path.join(self.bin, "Stavix.exe")))
        shutil.copy(os.path.join(self.bin, "Fenwash.exe"), path)

        # Stavix.exe asking for subsystem 5.0 fails the platform check.
        path = os.path.join(self.bin, "Stavix.exe")
        shutil.copy(os.path.join(self.bin, "Fenwash.exe"), path)
        with open(path, "r+b") as f:
            f.seek(0x3c)
            f.seek(int.from_bytes(f.read(4), "little") + 24 + 48)  # MajorSubsystemVersion
            f.write(b"\x05")
        refused("Stavix.exe: ")
        refused("header asks for subsystem version 5.0")

        os.remove(path)
        refused("Stavix.exe is missing")
        result = subprocess.run([sys.executable, os.path.join(ROOT, "packaging", "make_dist.py"),
                                 "--bin", self.bin, "--out", self.out], capture_output=True, text=True)
        self.assertEqual(result.returncode, 1)
        self.assertIn("dist: ", result.stderr)
        self.assertIn("Stavix.exe is missing", result.stderr)


if __name__ == "__main__":
    unittest.main(verbosity=2)
