#!/usr/bin/env python3
"""Stavix.exe /s with drive Z: full or missing, on a terminal of its own whose
Z: is a real 64 KiB volume (a tmpfs mounted on its staging folder): no cut
script is stored, the save is never recorded as err:0, and the debugger
output (in the Wine trace) says what failed. Mounting needs root: without
it the test reports itself skipped (exit status 77)."""
import os
import shutil
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from vt_command import vt  # noqa: E402

SKIPPED = 77
BIN = os.environ["VT_TEST_BIN"]
TERMINAL = os.path.join(os.environ["VT_TEST_TERMINALS"], "stavix_full_drive")
STAGING = os.path.join(TERMINAL, "staging")
FLASH = os.path.join(TERMINAL, "host", "flash")
TRACE = os.path.join(TERMINAL, "host", "session.trace")
STAVIX = os.path.join(BIN, "Stavix.exe")
PENDRAX = r"HKLM\SOFTWARE\ZRT\pendrax"
# Debugger output shows in the Wine trace on this channel.
WATCHED = dict(os.environ, VT_WINEDEBUG="+pid,warn+debugstr")


class StavixFullDriveTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        # A run that was killed may have left its volume mounted.
        subprocess.run(["umount", STAGING], capture_output=True, check=False)
        shutil.rmtree(TERMINAL, ignore_errors=True)
        vt("create", TERMINAL)
        folder = os.path.join(TERMINAL, "prefix", "drive_c", "winnt", "system32")
        os.makedirs(folder)
        with open(os.path.join(folder, "stavix.ini"), "wb") as key_list:
            key_list.write(b"<TSCAL path>\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixFull]\r\n")
        subprocess.run(["mount", "-t", "tmpfs", "-o", "size=64k", "tmpfs", STAGING], check=True)
        vt("start", TERMINAL)

    @classmethod
    def tearDownClass(cls):
        vt("stop", TERMINAL, check=False)
        subprocess.run(["umount", STAGING], check=False)
        shutil.rmtree(TERMINAL, ignore_errors=True)

    def run_stavix(self, *args):
        """Exit status and the debugger lines of one run."""
        start = os.path.getsize(TRACE)
        status = vt("run", TERMINAL, STAVIX, *args, check=False, env=WATCHED).returncode
        with open(TRACE, "rb") as trace:
            trace.seek(start)
            lines = trace.read().decode("latin-1").splitlines()
        return status, [line for line in lines if "OutputDebugStringA \"Stavix:" in line]

    def fill_z(self, leave):
        """Fills Z: up to `leave` bytes, Z:\\info removed as a restore leaves it."""
        for name in os.listdir(STAGING):
            os.remove(os.path.join(STAGING, name))
        size = os.statvfs(STAGING).f_bavail * os.statvfs(STAGING).f_frsize - leave
        with open(os.path.join(STAGING, "filler"), "wb") as filler:
            filler.write(b"\0" * size)
        self.assertEqual(os.statvfs(STAGING).f_bavail * os.statvfs(STAGING).f_frsize, leave)

    def put_earlier_save(self):
        for name, data in (("stavix.reg", b"REGEDIT4\r\n\r\n"), ("info", b"err:0,flush:0")):
            with open(os.path.join(FLASH, name), "wb") as stored:
                stored.write(data)

    def flash(self, name):
        path = os.path.join(FLASH, name)
        if not os.path.exists(path):
            return None
        with open(path, "rb") as stored:
            return stored.read()

    def test_full_or_missing_z_is_never_recorded_as_a_stored_script(self):
        # A script of about 12 KB.
        value = "ab" * 4000
        self.assertEqual(vt("run", TERMINAL, "reg", "add", r"HKLM\SOFTWARE\StavixFull", "/v", "big",
                            "/t", "REG_BINARY", "/d", value, "/f", check=False).returncode, 0)
        self.assertEqual(vt("run", TERMINAL, "reg", "add", PENDRAX, "/v", "autoflush", "/t", "REG_DWORD",
                            "/d", "0", "/f", check=False).returncode, 0)

        # No room at all: neither the script nor the record is written, the
        # earlier save's files are gone from flash, and the save ends with 1.
        self.put_earlier_save()
        self.fill_z(0)
        status, lines = self.run_stavix("/s")
        self.assertEqual(status, 1, lines)
        self.assertIsNone(self.flash("stavix.reg"))
        self.assertIsNone(self.flash("info"))
        self.assertFalse(os.path.exists(os.path.join(STAGING, "stavix.reg")))
        self.assertTrue(any("stavix.reg could not be written whole" in line for line in lines), lines)
        self.assertTrue(any("info could not be written whole" in line for line in lines), lines)

        # Room for the record but not the script: the cut script is deleted,
        # and the record tells of it.
        self.put_earlier_save()
        self.fill_z(8192)
        status, lines = self.run_stavix("/s")
        self.assertEqual(status, 0, lines)
        self.assertIsNone(self.flash("stavix.reg"))
        self.assertEqual(self.flash("info"), b"err:6,flush:0")
        self.assertFalse(os.path.exists(os.path.join(STAGING, "stavix.reg")))
        self.assertTrue(any("record err:6,flush:0 stored" in line for line in lines), lines)
        status, lines = self.run_stavix()
        self.assertEqual(status, 0, lines)
        query = vt("run", TERMINAL, "reg", "query", PENDRAX, "/v", "error").stdout
        self.assertIn("err:6,flush:0", query)

        # With room, the same save stores its script.
        self.fill_z(40960)
        status, lines = self.run_stavix("/s")
        self.assertEqual(status, 0, lines)
        self.assertEqual(self.flash("info"), b"err:0,flush:0")
        self.assertGreater(len(self.flash("stavix.reg")), 12000)

        # Without drive Z: the script cannot be created.
        z_drive = os.path.join(TERMINAL, "prefix", "dosdevices", "z:")
        os.rename(z_drive, z_drive + "away")
        try:
            status, lines = self.run_stavix("/s")
        finally:
            os.rename(z_drive + "away", z_drive)
        self.assertEqual(status, 1, lines)
        self.assertTrue(any("stavix.reg could not be created" in line for line in lines), lines)
        self.assertIsNone(self.flash("info"))


def can_mount():
    probe = os.path.join(os.environ["VT_TEST_TERMINALS"], "mount-probe")
    os.makedirs(probe, exist_ok=True)
    mounted = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=64k", "tmpfs", probe],
                             capture_output=True).returncode == 0
    if mounted:
        subprocess.run(["umount", probe], check=False)
    os.rmdir(probe)
    return mounted


if __name__ == "__main__":
    if not can_mount():
        print("skipped: a tmpfs cannot be mounted here (needs root)")
        sys.exit(SKIPPED)
    unittest.main(argv=[sys.argv[0], "-v"])
