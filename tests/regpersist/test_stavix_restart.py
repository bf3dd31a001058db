#!/usr/bin/env python3
"""Stavix.exe across restarts of a terminal of its own: a key saved with /s
is gone after a restart and back after a restore; with "autoflush" 1 the
restore's flush makes it survive a further restart without Stavix, while
"error", published after the flush, is lost with the rest of the session.
The event source Stavix registers at each run goes the same way: lost with
an unflushed session (and its entries), kept by the restore's flush."""
import os
import shutil
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from vt_command import vt  # noqa: E402

BIN = os.environ["VT_TEST_BIN"]
TERMINAL = os.path.join(os.environ["VT_TEST_TERMINALS"], "stavix_restart")
STAVIX = os.path.join(BIN, "Stavix.exe")
KEY = r"HKLM\SOFTWARE\StavixRestart"
PENDRAX = r"HKLM\SOFTWARE\ZRT\pendrax"
SOURCE = r"HKLM\SYSTEM\CurrentControlSet\Services\EventLog\Application\Stavix"


def run(*args):
    return vt("run", TERMINAL, *args, check=False)


class StavixRestartTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        shutil.rmtree(TERMINAL, ignore_errors=True)
        vt("create", TERMINAL)
        # The key list is part of what the write filter protects, there
        # from the first start on.
        folder = os.path.join(TERMINAL, "prefix", "drive_c", "winnt", "system32")
        os.makedirs(folder)
        with open(os.path.join(folder, "stavix.ini"), "wb") as key_list:
            key_list.write(b"<TSCAL path>\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixRestart]\r\n")
        vt("start", TERMINAL)

    @classmethod
    def tearDownClass(cls):
        vt("stop", TERMINAL, check=False)
        shutil.rmtree(TERMINAL, ignore_errors=True)

    def query(self, key, name):
        result = run("reg", "query", key, "/v", name)
        return result.stdout if result.returncode == 0 else None

    def set(self, key, name, *data):
        self.assertEqual(run("reg", "add", key, "/v", name, *data, "/f").returncode, 0)

    def flash(self):
        return sorted(line.split("\t")[1] for line in vt("flash", TERMINAL).stdout.splitlines())

    def test_saved_key_comes_back_after_a_restart_and_survives_one_flushed(self):
        self.set(PENDRAX, "autoflush", "/t", "REG_DWORD", "/d", "0")
        self.assertEqual(run(os.path.join(BIN, "flush_or_exit.exe"), "0").returncode, 0)
        self.assertIn("kept", vt("restart", TERMINAL).stdout)

        self.set(KEY, "licence", "/d", "C:\\cal \"1\"")
        self.assertEqual(run(STAVIX, "/s").returncode, 0)
        self.assertEqual(self.flash(), ["info", "stavix.reg"])
        self.assertIn("Stavix.exe", self.query(SOURCE, "EventMessageFile"))
        self.assertIn("gone", vt("restart", TERMINAL).stdout)
        self.assertIsNone(self.query(KEY, "licence"))
        self.assertIsNone(self.query(SOURCE, "EventMessageFile"))

        self.assertEqual(run(STAVIX).returncode, 0)
        self.assertIn('C:\\cal "1"', self.query(KEY, "licence"))
        self.assertIn("err:0,flush:0", self.query(PENDRAX, "error"))
        self.assertEqual(self.flash(), [])
        # Nothing flushed it: the next restart takes it away again.
        self.assertIn("gone", vt("restart", TERMINAL).stdout)
        self.assertIsNone(self.query(KEY, "licence"))

        self.set(KEY, "licence", "/d", "flushed")
        self.set(PENDRAX, "autoflush", "/t", "REG_DWORD", "/d", "1")
        self.assertEqual(run(STAVIX, "/s").returncode, 0)
        self.assertIn("gone", vt("restart", TERMINAL).stdout)
        self.assertIsNone(self.query(KEY, "licence"))
        self.assertEqual(run(STAVIX).returncode, 0)
        self.assertIn("flushed", self.query(KEY, "licence"))
        self.assertIn("err:0,flush:1", self.query(PENDRAX, "error"))
        self.assertIn("kept", vt("restart", TERMINAL).stdout)
        self.assertIn("flushed", self.query(KEY, "licence"))
        self.assertIn("Stavix.exe", self.query(SOURCE, "EventMessageFile"))
        self.assertIsNone(self.query(PENDRAX, "error"))
        self.assertIn("0x0", self.query(PENDRAX, "autoflush"))


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v"])
