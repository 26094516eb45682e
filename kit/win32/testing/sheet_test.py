#!/usr/bin/env python3
"""Whole-program test of the kit's configuration sheet under Wine, on the
session's Xvfb display: the kit's test saver lets the kit show its own sheet
(/c), and real clicks and keys from xdotool change the general page. The
controls are found with saver_probe.exe. Set REDIRA_SAVER_SHOTS to a folder
to keep the screenshot of the sheet.
"""
import argparse
import os
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..",
                                "tools", "wine"))
import wine_testing  # noqa: E402
from wine_testing import windows_path  # noqa: E402,F401

ARGS = None


def wait_for(what, condition, timeout=30.0, interval=0.2):
    return wine_testing.wait_for(what, condition, timeout, interval)


class SheetTest(unittest.TestCase):
    def setUp(self):
        self.env = wine_testing.session_environment(ARGS.state, ARGS.session)
        self.log = os.path.join(ARGS.work, "sheet.log")
        if os.path.exists(self.log):
            os.remove(self.log)

    def run_probe(self, *arguments):
        # Output through a file: helpers that Wine starts outlive the probe.
        with tempfile.TemporaryFile() as file:
            subprocess.run(["wine", ARGS.probe, *map(str, arguments)], env=self.env,
                           stdin=subprocess.DEVNULL, stdout=file, stderr=file, timeout=60)
            file.seek(0)
            return file.read().decode("latin-1")

    def controls(self):
        """The sheet's controls by id: visible, checked and screen rectangle."""
        controls = {}
        for line in self.run_probe("window", "Screen Saver Properties", 20000).splitlines()[1:]:
            parts = line.split(" ", 10)
            controls[int(parts[1])] = {"visible": parts[3] == "1", "checked": parts[5] == "1",
                                       "rect": tuple(map(int, parts[6:10]))}
        return controls

    def logged(self, prefix):
        if not os.path.exists(self.log):
            return []
        with open(self.log, encoding="latin-1") as file:
            return [line.strip() for line in file if line.startswith(prefix)]

    def xdotool(self, *arguments):
        subprocess.run(["xdotool", *map(str, arguments)], env=self.env, check=True)

    def click(self, control):
        left, top, right, bottom = control["rect"]
        self.xdotool("mousemove", (left + right) // 2, (top + bottom) // 2, "click", 1)

    def test_clicks_change_the_page_and_ok_keeps_them(self):
        env = dict(self.env, KITTEST_CONFIG="default", KITTEST_PREFS="activeconfig",
                   KITTEST_LOG=windows_path(self.log))
        process = subprocess.Popen(["wine", ARGS.saver, "/c"], env=env, stdin=subprocess.DEVNULL,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            controls = wait_for("the sheet", lambda: (c := self.controls()).get(3641) and c)
            shots = os.environ.get("REDIRA_SAVER_SHOTS")
            if shots:
                os.makedirs(shots, exist_ok=True)
                subprocess.run(["import", "-window", "root", os.path.join(shots, "sheet.png")],
                               env=self.env, check=True)
            muted = controls[3641]["checked"]
            self.click(controls[3641])
            wait_for("the mute box to change", lambda: self.controls()[3641]["checked"] != muted)

            # F1 on the check box just clicked asks WinHelp about it.
            self.xdotool("key", "F1")
            asked = wait_for("help", lambda: self.logged("winhelp "))
            self.assertIn("command=12", asked[0])

            self.click(controls[1])  # OK
            process.wait(timeout=30)
            settings = self.logged("settings ")
            self.assertEqual(len(settings), 1)
            self.assertTrue(settings[0].startswith(f"settings mute={0 if muted else 1} "))
        finally:
            if process.poll() is None:
                process.kill()


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    for name in ("state", "session", "saver", "probe", "work"):
        parser.add_argument("--" + name, required=True)
    ARGS, rest = parser.parse_known_args()
    os.makedirs(ARGS.work, exist_ok=True)
    subprocess.run([ARGS.session, "start", ARGS.state], check=True)
    unittest.main(argv=[sys.argv[0], *rest], verbosity=2)


if __name__ == "__main__":
    main()
