"""make on a machine that has never built the project: it installs what is
missing before it builds, and a configure that failed leaves nothing behind.

The machine is this one with the cross toolchain, Wine and Xvfb taken off the
PATH: every other command is the real one, and so are the Makefile, the
toolchain file, cmake and, once "installed", the compiler. Only the package
tools are stand-ins: dpkg-query reports the toolchain's, Wine's and Xvfb's
packages missing, and apt-get puts their commands back on the PATH when asked
to install them, or refuses as it does for a user who is not root. The project
built is a one-file program, so that the run stays short; `testbed/demo`
records that it ran and what the build left for it.
"""
import os
import shutil
import subprocess
import tempfile
import unittest

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
HIDDEN_PREFIXES = ("i686-w64-mingw32-", "x86_64-w64-mingw32-", "wine")
MISSING_PACKAGES = ["g++-mingw-w64-i686-posix", "gcc-mingw-w64-i686-posix",
                    "wine", "wine32:i386", "xvfb"]

PROJECT = """cmake_minimum_required(VERSION 3.20)
project(probe C)
option(VT_TESTS "" OFF)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
add_executable(probe probe.c)
"""

STUBS = {
    "dpkg": """#!/bin/sh
[ "$1" = --print-foreign-architectures ] && echo i386
exit 0
""",
    "dpkg-query": """#!/bin/sh
for p; do :; done
grep -qx "$p" "$MACHINE/missing" && exit 1
echo "install ok installed"
""",
    "apt-get": """#!/bin/sh
echo "apt-get $*" >>"$MACHINE/log"
[ "$1" = install ] || exit 0
if [ -e "$MACHINE/not-root" ]; then
    echo "E: Could not open lock file - open (13: Permission denied)" >&2
    exit 100
fi
while read -r name target; do ln -s "$target" "$MACHINE/bin/$name"; done <"$MACHINE/hidden"
: >"$MACHINE/missing"
""",
}

DEMO = """#!/bin/sh
echo "demo: $(ls build/bin/probe.exe build/terminal/bin/probe.exe | tr '\\n' ' ')" >>"$MACHINE/log"
"""


def write(path, text, mode=0o644):
    with open(path, "w") as f:
        f.write(text)
    os.chmod(path, mode)


class FirstRun(unittest.TestCase):
    def setUp(self):
        self.machine = tempfile.mkdtemp(prefix="first_run_")
        self.addCleanup(shutil.rmtree, self.machine, ignore_errors=True)
        self.bin = os.path.join(self.machine, "bin")
        os.mkdir(self.bin)
        commands = {}
        for folder in reversed(os.environ["PATH"].split(os.pathsep)):  # the first one found wins
            for name in os.listdir(folder) if os.path.isdir(folder) else []:
                target = os.path.join(folder, name)
                if os.access(target, os.X_OK) and not os.path.isdir(target):
                    commands[name] = target
        hidden = {n: t for n, t in commands.items() if n.startswith(HIDDEN_PREFIXES) or n == "Xvfb"}
        self.assertIn("i686-w64-mingw32-gcc-posix", hidden)
        for name, target in commands.items():
            if name not in hidden and name not in STUBS:
                os.symlink(target, os.path.join(self.bin, name))
        for name, text in STUBS.items():
            write(os.path.join(self.bin, name), text, 0o755)
        write(os.path.join(self.machine, "hidden"), "".join(f"{n} {t}\n" for n, t in hidden.items()))
        write(os.path.join(self.machine, "missing"), "".join(p + "\n" for p in MISSING_PACKAGES))

        self.project = os.path.join(self.machine, "project")
        os.makedirs(os.path.join(self.project, "cmake"))
        os.makedirs(os.path.join(self.project, "testbed"))
        for name in ("Makefile", "cmake/mingw-toolchain.cmake", "testbed/vt"):
            shutil.copy(os.path.join(ROOT, name), os.path.join(self.project, name))
        write(os.path.join(self.project, "CMakeLists.txt"), PROJECT)
        write(os.path.join(self.project, "probe.c"), "int main(void) { return 0; }\n")
        write(os.path.join(self.project, "testbed", "demo"), DEMO, 0o755)

    def make(self, *arguments):
        environment = {k: v for k, v in os.environ.items()
                       if not k.startswith("MAKE") and k not in ("CC", "CXX", "MFLAGS")}
        environment.update(PATH=self.bin, MACHINE=self.machine)
        result = subprocess.run(["make", "JOBS=1", *arguments], cwd=self.project, env=environment,
                                capture_output=True, text=True, timeout=600)
        return result.returncode, result.stdout + result.stderr

    def log(self):
        path = os.path.join(self.machine, "log")
        if not os.path.exists(path):
            return []
        with open(path) as f:
            return f.read().splitlines()

    def build_folder(self):
        folder = os.path.join(self.project, "build")
        return sorted(os.listdir(folder)) if os.path.isdir(folder) else []

    def test_demo_installs_what_is_missing_then_builds_and_runs(self):
        # Not root: setup's refusal stops make before anything is configured.
        open(os.path.join(self.machine, "not-root"), "w").close()
        status, output = self.make("demo")
        self.assertNotEqual(status, 0, output)
        self.assertIn("Permission denied", output)
        self.assertNotIn("demo: ", "\n".join(self.log()))
        self.assertEqual(self.build_folder(), [])

        # Configured without the check, for want of the compiler: the failed
        # configure takes its cache away with it.
        status, output = self.make("-o", "tools", "build")
        self.assertNotEqual(status, 0, output)
        self.assertIn("i686-w64-mingw32-gcc-posix", output)
        self.assertEqual(self.build_folder(), [])

        # As root: setup installs the missing packages, and the demo runs on
        # what the build made.
        os.remove(os.path.join(self.machine, "not-root"))
        status, output = self.make("demo")
        self.assertEqual(status, 0, output)
        installs = [line for line in self.log() if line.startswith("apt-get install")]
        self.assertEqual(len(installs), 2, self.log())
        self.assertEqual(installs[1].split()[-len(MISSING_PACKAGES):], MISSING_PACKAGES)
        self.assertEqual(self.log()[-1], "demo: build/bin/probe.exe build/terminal/bin/probe.exe ")
        self.assertLess(output.index("setup: installing"), output.index("cmake -S . -B build "))
        with open(os.path.join(self.project, "build", "bin", "probe.exe"), "rb") as f:
            self.assertEqual(f.read(2), b"MZ")

        # Everything is there now: the next run neither installs nor configures.
        lines = len(self.log())
        status, output = self.make("demo")
        self.assertEqual(status, 0, output)
        self.assertEqual(self.log()[lines:], [self.log()[-1]])
        self.assertNotIn("cmake -S", output)


if __name__ == "__main__":
    unittest.main(verbosity=2)
