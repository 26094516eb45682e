#!/usr/bin/env python3
"""Whole-program test of Edgewake's settings dialog and Display Properties
page under Wine, on the session's display, with real clicks (xdotool): a
corner of the dialog's monitor is clicked, its menu answered, the page
check box clicked and OK pressed, and "Mouse Corners" read back with
Wine's reg; the same on the page in a property sheet with Apply. The
program is edgewake_settings_show.exe, which reports where its controls
are. Set EDGEWAKE_SHOTS to a folder to keep screenshots.
"""
import argparse
import os
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..",
                                "tools", "wine"))
import wine_testing  # noqa: E402
from wine_testing import windows_path  # noqa: E402,F401

ARGS = None
CORNERS_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Screen Savers"
PAGE_KEY = (r"HKLM\Software\Microsoft\Windows\CurrentVersion\Controls Folder\Display\shellex"
            r"\PropertySheetHandlers\Edgewake Properties")
# Where the corners lie on the monitor picture (string 4 of the library,
# corner pictures of 20 x 15): the middle of each.
CORNER_POINTS = ((26, 24), (159, 24), (159, 122), (26, 122))


def wait_for(what, condition, timeout=120.0, interval=0.2):
    return wine_testing.wait_for(what, condition, timeout, interval)


class Session:
    def __init__(self, state, session_script):
        self.env = wine_testing.session_environment(state, session_script)

    def xdotool(self, *arguments):
        subprocess.run(["xdotool", *map(str, arguments)], env=self.env, check=True)

    def click(self, x, y):
        self.xdotool("mousemove", x, y, "click", 1)

    def wine(self, *arguments):
        """A program to its end, its output through a file (helpers that
        Wine starts outlive it and would hold a pipe); the exit code and
        the output."""
        out = os.path.join(ARGS.work, "wine.out")
        with open(out, "wb") as output:
            code = subprocess.run(["wine", *arguments], env=self.env, stdin=subprocess.DEVNULL,
                                  stdout=output, stderr=subprocess.DEVNULL, timeout=600).returncode
        with open(out, encoding="latin-1") as output:
            return code, output.read()

    def screenshot(self, name):
        shots = os.environ.get("EDGEWAKE_SHOTS")
        if shots:
            os.makedirs(shots, exist_ok=True)
            subprocess.run(["import", "-window", "root", os.path.join(shots, name + ".png")],
                           env=self.env, check=True)

    def corners(self):
        _, output = self.wine("reg", "query", CORNERS_KEY, "/v", "Mouse Corners")
        for line in output.splitlines():
            if "Mouse Corners" in line and "REG_SZ" in line:
                return line.split("REG_SZ", 1)[1].strip()
        return None

    def remove_page(self):
        self.wine("reg", "delete", PAGE_KEY, "/f")

    def page_registered(self):
        return self.wine("reg", "query", PAGE_KEY)[0] == 0

    def set_corners(self, text):
        code, _ = self.wine("reg", "add", CORNERS_KEY, "/v", "Mouse Corners", "/t", "REG_SZ",
                            "/d", text, "/f")
        assert code == 0, "reg add failed"


class SettingsUiTest(unittest.TestCase):
    session = None

    def start(self, what):
        # The page check box starts unticked: a click ticks it, so that OK
        # keeps a way back and asks nothing.
        self.session.remove_page()
        self.log = os.path.join(ARGS.work, what + ".log")
        if os.path.exists(self.log):
            os.remove(self.log)
        env = dict(self.session.env, EDGEWAKE_SHOW_LOG=windows_path(self.log))
        with open(os.path.join(ARGS.work, what + ".out"), "wb") as output:
            self.process = subprocess.Popen(["wine", ARGS.show, what], env=env,
                                            stdin=subprocess.DEVNULL, stdout=output,
                                            stderr=subprocess.STDOUT)
        # Generous: Wine's first start in a session can take minutes.
        return wait_for("the window", lambda: self.places(), timeout=600)

    def places(self):
        if not os.path.exists(self.log):
            return None
        with open(self.log) as file:
            lines = [line.split() for line in file]
        found = {line[0]: tuple(map(int, line[1:])) for line in lines if len(line) == 5}
        return found if "ok" in found else None

    def ended(self):
        with open(self.log) as file:
            return "ended" in file.read()

    def tearDown(self):
        if self.process.poll() is None:
            self.process.kill()
        self.process.wait()

    def choose(self, monitor, corner, rows_down):
        """Clicks a corner of the monitor and picks a row of its menu."""
        x, y = CORNER_POINTS[corner]
        self.session.click(monitor[0] + x, monitor[1] + y)
        time.sleep(1.0)
        self.session.xdotool(*["key", "Down"] * rows_down, "key", "Return")
        time.sleep(0.5)

    @staticmethod
    def middle(rect):
        return (rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2

    def test_a_corner_changed_in_the_dialog_is_written_by_ok(self):
        self.session.set_corners("N---")
        places = self.start("dialog")
        self.session.screenshot("settings_dialog")
        self.choose(places["monitor"], 1, 2)  # top-right: Now
        self.session.click(*self.middle(places["page"]))
        self.session.screenshot("settings_dialog_changed")
        self.assertEqual(self.session.corners(), "N---")
        self.session.click(*self.middle(places["ok"]))
        wait_for("the dialog's end", self.ended, timeout=60)
        self.assertEqual(self.session.corners(), "NY--")
        self.assertTrue(self.session.page_registered())

    def test_the_page_in_a_sheet_applies(self):
        self.session.set_corners("-Y--")
        places = self.start("sheet")
        self.session.screenshot("settings_page")
        self.choose(places["monitor"], 3, 3)  # bottom-left: Never
        self.session.click(*self.middle(places["page"]))
        self.session.click(*self.middle(places["apply"]))
        wait_for("the applied corners", lambda: self.session.corners() == "-Y-N", timeout=60)
        self.session.screenshot("settings_page_applied")
        self.session.click(*self.middle(places["ok"]))
        wait_for("the sheet's end", self.ended, timeout=60)


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    for name in ("state", "session", "show", "work"):
        parser.add_argument("--" + name, required=True)
    ARGS, rest = parser.parse_known_args()
    os.makedirs(ARGS.work, exist_ok=True)
    subprocess.run([ARGS.session, "start", ARGS.state], check=True)
    SettingsUiTest.session = Session(ARGS.state, ARGS.session)
    unittest.main(argv=[sys.argv[0], *rest], verbosity=2)


if __name__ == "__main__":
    main()
