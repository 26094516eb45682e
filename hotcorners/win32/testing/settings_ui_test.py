#!/usr/bin/env python3
"""Whole-program test of Edgewake's Display Properties page under Wine, on
the session's display, with real clicks (xdotool): in a property sheet, a
corner of the page's monitor is clicked, its menu answered, the page check
box clicked and Apply pressed, and "Mouse Corners" read back with Wine's
reg. (The dialog gets the same clicks in settings_service_test.py.) The
program is edgewake_settings_show.exe, which reports where its controls
are. Set EDGEWAKE_SHOTS to a folder to keep screenshots.
"""
import functools
import os
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


wait_for = functools.partial(wine_testing.wait_for, timeout=120.0)


class Session(wine_testing.Display):
    def wine(self, *arguments):
        """A program to its end: the exit code and the output."""
        return wine_testing.run(["wine", *arguments], self.env, errors=False)

    def screenshot(self, name):
        shots = os.environ.get("EDGEWAKE_SHOTS")
        if shots:
            super().screenshot(shots, name)

    def corners(self):
        _, output = self.wine("reg", "query", CORNERS_KEY, "/v", "Mouse Corners")
        for line in output.splitlines():
            if "Mouse Corners" in line and "REG_SZ" in line:
                return line.split("REG_SZ", 1)[1].strip()
        return None

    def remove_page(self):
        self.wine("reg", "delete", PAGE_KEY, "/f")

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
        self.process = wine_testing.start(["wine", ARGS.show, what], env,
                                          os.path.join(ARGS.work, what + ".out"))
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

    def test_the_page_in_a_sheet_applies(self):
        self.session.set_corners("-Y--")
        places = self.start("sheet")
        self.session.screenshot("settings_page")
        self.choose(places["monitor"], 3, 3)  # bottom-left: Never
        self.session.press(places["page"])
        self.session.press(places["apply"])
        wait_for("the applied corners", lambda: self.session.corners() == "-Y-N", timeout=60)
        self.session.screenshot("settings_page_applied")
        self.session.press(places["ok"])
        wait_for("the sheet's end", self.ended, timeout=60)


def main():
    global ARGS
    ARGS, argv = wine_testing.driver_arguments("state", "session", "show", "work")
    SettingsUiTest.session = Session(wine_testing.session_environment(ARGS.state, ARGS.session))
    unittest.main(argv=argv, verbosity=2)


if __name__ == "__main__":
    main()
