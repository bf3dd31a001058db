"""The virtual terminal's command line as the Python tests call it."""
import os
import subprocess

VT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "testbed", "vt")


def vt(*args, check=True, **kwargs):
    """Runs testbed/vt; with check, a non-zero exit fails the test with its output."""
    result = subprocess.run([VT, *args], capture_output=True, text=True, timeout=120, **kwargs)
    if check and result.returncode != 0:
        raise AssertionError(f"vt {' '.join(args)} -> {result.returncode}\n{result.stdout}\n{result.stderr}")
    return result
