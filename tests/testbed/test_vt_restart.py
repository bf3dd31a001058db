#!/usr/bin/env python3
"""vt restart on a terminal of its own: the registry and drive C: fall back
to the last flush since the last start, or without one to that start, as the
terminal's write filter keeps only what was in its cache at the flush; the
flash store and drive Z: keep their changes either way."""
import os
import shutil
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from vt_command import vt  # noqa: E402

BIN = os.environ["VT_TEST_BIN"]
TERMINAL = os.path.join(os.environ["VT_TEST_TERMINALS"], "vt_restart")
KEY = r"HKLM\Software\VtRestartTest"


def run(*args):
    return vt("run", TERMINAL, *args, check=False).returncode


class RestartTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        shutil.rmtree(TERMINAL, ignore_errors=True)
        vt("create", TERMINAL)
        vt("start", TERMINAL)

    @classmethod
    def tearDownClass(cls):
        vt("stop", TERMINAL, check=False)
        shutil.rmtree(TERMINAL, ignore_errors=True)

    def value_exists(self, name):
        return run("reg", "query", KEY, "/v", name) == 0

    def test_changes_survive_only_a_flush_and_flash_survives_both(self):
        drive_c = os.path.join(TERMINAL, "prefix", "drive_c", "restart-probe.txt")
        drive_z = os.path.join(TERMINAL, "staging", "restart-probe.txt")

        self.assertEqual(run("reg", "add", KEY, "/v", "unflushed", "/d", "1", "/f"), 0)
        self.assertEqual(run(os.path.join(BIN, "flash_put.exe"), "kept.txt", "on flash"), 0)
        for path in (drive_c, drive_z):
            with open(path, "w") as probe:
                probe.write("probe")
        restart = vt("restart", TERMINAL)
        self.assertIn("gone", restart.stdout)
        self.assertFalse(self.value_exists("unflushed"))
        self.assertFalse(os.path.exists(drive_c))
        self.assertTrue(os.path.exists(drive_z))
        self.assertIn("8\tkept.txt", vt("flash", TERMINAL).stdout.splitlines())

        # Two flushes: the second one's moment is what the restart keeps,
        # changes made after it are lost.
        c_file = lambda name: os.path.join(TERMINAL, "prefix", "drive_c", name)
        for name in ("first.txt", "gone-at-flush.txt"):
            with open(c_file(name), "w") as probe:
                probe.write(name)
        self.assertEqual(run("reg", "add", KEY, "/v", "flushed", "/d", "1", "/f"), 0)
        self.assertEqual(run(os.path.join(BIN, "flush_or_exit.exe"), "0"), 0)
        self.assertEqual(run("reg", "add", KEY, "/v", "flushed second", "/d", "1", "/f"), 0)
        os.remove(c_file("gone-at-flush.txt"))
        with open(c_file("first.txt"), "w") as probe:
            probe.write("as flushed")
        self.assertEqual(run(os.path.join(BIN, "flush_or_exit.exe"), "0"), 0)
        self.assertEqual(run("reg", "add", KEY, "/v", "after flush", "/d", "1", "/f"), 0)
        self.assertEqual(run("reg", "delete", KEY, "/v", "flushed", "/f"), 0)
        with open(c_file("first.txt"), "w") as probe:
            probe.write("after the flush")
        with open(c_file("after-flush.txt"), "w") as probe:
            probe.write("after the flush")
        restart = vt("restart", TERMINAL)
        self.assertIn("kept", restart.stdout)
        self.assertTrue(self.value_exists("flushed"))
        self.assertTrue(self.value_exists("flushed second"))
        self.assertFalse(self.value_exists("after flush"))
        with open(c_file("first.txt")) as probe:
            self.assertEqual(probe.read(), "as flushed")
        self.assertFalse(os.path.exists(c_file("after-flush.txt")))
        self.assertFalse(os.path.exists(c_file("gone-at-flush.txt")))
        self.assertIn("8\tkept.txt", vt("flash", TERMINAL).stdout.splitlines())

        # The flush belonged to the previous start only.
        self.assertEqual(run("reg", "add", KEY, "/v", "later", "/d", "1", "/f"), 0)
        vt("restart", TERMINAL)
        self.assertFalse(self.value_exists("later"))
        self.assertTrue(self.value_exists("flushed"))

    def test_writefilter_command_sets_and_shows_the_state(self):
        shown = vt("writefilter", TERMINAL, "blocksInUse=5", "blocksTotal=5", "mode=2",
                   "faults=fail-flush").stdout.splitlines()
        for line in ("blocksInUse=5", "blocksTotal=5", "mode=2", "faults=fail-flush"):
            self.assertIn(line, shown)
        self.assertNotEqual(vt("writefilter", TERMINAL, "mode=256", check=False).returncode, 0)
        self.assertNotEqual(vt("writefilter", TERMINAL, "faults=bogus", check=False).returncode, 0)
        self.assertIn("mode=2", vt("writefilter", TERMINAL).stdout.splitlines())
        vt("writefilter", TERMINAL, "blocksInUse=96", "blocksTotal=8192", "mode=0", "faults=")


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v"])
