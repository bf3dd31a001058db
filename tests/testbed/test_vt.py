"""The virtual terminal's command line, used as a person would use it."""
import os
import shutil
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from vt_command import VT, vt  # noqa: E402

BIN = os.environ["VT_TEST_BIN"]
ROOT = os.environ["VT_TEST_TERMINALS"]


def wait_for(predicate, seconds=20):
    end = time.time() + seconds
    while time.time() < end:
        if predicate():
            return True
        time.sleep(0.2)
    return False


class TerminalCommandLine(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.a = os.path.join(ROOT, "vt_cli_a")
        cls.b = os.path.join(ROOT, "vt_cli_b")
        for d in (cls.a, cls.b):
            shutil.rmtree(d, ignore_errors=True)
            vt("create", d)
            vt("start", d)

    @classmethod
    def tearDownClass(cls):
        for d in (cls.a, cls.b):
            vt("stop", d, check=False)
            if not os.environ.get("VT_KEEP"):
                shutil.rmtree(d, ignore_errors=True)

    def test_drive_z_is_the_terminals_own_staging_folder(self):
        vt("run", self.a, "cmd", "/c", "echo one>Z:\\mark.txt")
        with open(os.path.join(self.a, "staging", "mark.txt")) as f:
            self.assertEqual(f.read().strip(), "one")
        self.assertFalse(os.path.exists(os.path.join(self.b, "staging", "mark.txt")))
        self.assertEqual(vt("run", self.b, "cmd", "/c", "if exist Z:\\mark.txt (exit 1) else (exit 0)").returncode, 0)
        # Z: is not the root of the Linux file system.
        self.assertEqual(vt("run", self.a, "cmd", "/c", "if exist Z:\\etc\\passwd (exit 1) else (exit 0)").returncode, 0)

    def test_run_passes_output_and_exit_status(self):
        result = vt("run", self.a, "cmd", "/c", "echo hello& exit 7", check=False)
        self.assertEqual(result.returncode, 7)
        self.assertIn("hello", result.stdout)

    def test_run_refuses_a_terminal_without_session(self):
        c = os.path.join(ROOT, "vt_cli_c")
        shutil.rmtree(c, ignore_errors=True)
        vt("create", c)
        try:
            result = vt("run", c, "cmd", "/c", "exit 0", check=False)
            self.assertEqual(result.returncode, 125)
            self.assertIn("vt start", result.stderr)
        finally:
            shutil.rmtree(c, ignore_errors=True)

    def test_eventlog_lists_entries_in_both_forms(self):
        report = os.path.join(BIN, "report_event.exe")
        vt("run", self.b, report, "CliSource", "4", "first line")
        vt("run", self.b, report, "Other", "2", "tab\there", "second string")
        lines = vt("eventlog", self.b).stdout.splitlines()
        self.assertEqual(lines[-2:], ["CliSource\tfirst line", "Other\ttab\\there\tsecond string"])
        full = vt("eventlog", self.b, "--full").stdout.splitlines()[-1].split("\t")
        self.assertEqual(len(full), 8)
        int(full[0], 16), int(full[1], 16)
        self.assertEqual(full[2:], ["Other", "2", "0", "0", "tab\\there", "second string"])
        # For people: single backslashes, a line end as a new indented line.
        vt("run", self.b, report, "Paths", "4", "C:\\Temp\\x.log", "line one\nline two")
        self.assertEqual(vt("eventlog", self.b).stdout.splitlines()[-1], "Paths\tC:\\\\Temp\\\\x.log\tline one\\nline two")
        self.assertEqual(vt("eventlog", self.b, "--readable").stdout.splitlines()[-3:],
                         ["Other: tab\there | second string", "Paths: C:\\Temp\\x.log | line one", "    line two"])

    def test_test_run_with_a_relative_terminals_folder(self):
        # The program runs from the terminal's own folder; a relative root must
        # still name the terminal. report_event without a text exits with 2.
        kept = os.path.join(ROOT, "relative", "vt_cli_relative")
        shutil.rmtree(os.path.dirname(kept), ignore_errors=True)
        try:
            result = vt("test-run", "--terminals", "relative", "--name", "vt_cli_relative",
                        os.path.join(BIN, "report_event.exe"), "OnlySource", check=False, cwd=ROOT)
            self.assertEqual(result.returncode, 2, result.stderr)
            self.assertTrue(os.path.isdir(os.path.join(kept, "prefix")), result.stderr)
        finally:
            shutil.rmtree(os.path.dirname(kept), ignore_errors=True)

    def test_ctrl_delivers_an_event_and_waits_for_the_handler(self):
        target = os.path.join(BIN, "ctrl_target.exe")
        log = os.path.join(self.a, "staging", "ctrl.txt")
        process = subprocess.Popen([VT, "run", self.a, target, "Z:\\ctrl.txt"],
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            self.assertTrue(wait_for(lambda: os.path.exists(log) and open(log).read().startswith("pid")))
            pid = open(log).read().split()[1]
            self.assertEqual(vt("ctrl", self.a, pid, "5").stdout.strip(), "1")
            self.assertEqual(open(log).read().split("\n")[1:3], ["got 5", "done 5"])
            self.assertEqual(vt("ctrl", self.a, "999999", "5", check=False).returncode, 1)
        finally:
            process.kill()
            process.wait()

    def test_shot_of_the_screen_and_of_one_window(self):
        screen = os.path.join(self.b, "host", "screen.png")
        window = os.path.join(self.b, "host", "window.png")
        notepad = subprocess.Popen([VT, "run", self.b, "notepad"],
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            vt("shot", self.b, window, "Untitled - Notepad")
            vt("shot", self.b, screen)
        finally:
            notepad.kill()
            notepad.wait()

        def size(path):
            out = subprocess.run(["identify", "-format", "%w %h", path], capture_output=True, text=True, check=True)
            return tuple(int(v) for v in out.stdout.split())

        self.assertEqual(size(screen), (1024, 768))
        w, h = size(window)
        self.assertTrue(100 < w < 1024 and 50 < h < 768, (w, h))
        self.assertNotEqual(vt("shot", self.b, window, "No such window title", check=False).returncode, 0)

    def test_press_clicks_a_button_of_a_window(self):
        # Pendrax's box for a wrong switch waits for its OK button.
        box = subprocess.Popen([VT, "run", self.b, os.path.join(BIN, "Pendrax.exe"), "/wrong"],
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            self.assertTrue(wait_for(lambda: vt("press", self.b, "Pendrax", "1", check=False).returncode == 0))
            box.wait(timeout=20)
        finally:
            box.kill()
            box.wait()
        self.assertEqual(vt("press", self.b, "No such window title", "1", check=False).returncode, 1)


if __name__ == "__main__":
    unittest.main(verbosity=2)
