#!/usr/bin/env python3
"""Whole-program test of the kit's configuration sheet under Wine, on the
session's Xvfb display: the kit's test saver lets the kit show its own sheet
(/c), and real clicks and keys from xdotool change the general page. The
controls are found with saver_probe.exe. Set REDIRA_SAVER_SHOTS to a folder
to keep the screenshot of the sheet.
"""
import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..",
                                "tools", "wine"))
import wine_testing  # noqa: E402
from wine_testing import windows_path  # noqa: E402,F401

ARGS = None


class SheetTest(unittest.TestCase):
    def setUp(self):
        self.display = wine_testing.Display(
            wine_testing.session_environment(ARGS.state, ARGS.session))
        self.log = os.path.join(ARGS.work, "sheet.log")
        if os.path.exists(self.log):
            os.remove(self.log)

    def controls(self):
        """The sheet's controls by id: visible, checked and screen rectangle."""
        _, output = wine_testing.run(["wine", ARGS.probe, "window", "Screen Saver Properties",
                                      "20000"], self.display.env, timeout=60)
        controls = {}
        for line in output.splitlines()[1:]:
            parts = line.split(" ", 10)
            controls[int(parts[1])] = {"visible": parts[3] == "1", "checked": parts[5] == "1",
                                       "rect": tuple(map(int, parts[6:10]))}
        return controls

    def logged(self, prefix):
        if not os.path.exists(self.log):
            return []
        with open(self.log, encoding="latin-1") as file:
            return [line.strip() for line in file if line.startswith(prefix)]

    def test_clicks_change_the_page_and_ok_keeps_them(self):
        env = dict(self.display.env, KITTEST_CONFIG="default", KITTEST_PREFS="activeconfig",
                   KITTEST_LOG=windows_path(self.log))
        process = wine_testing.start(["wine", ARGS.saver, "/c"], env)
        wait_for = wine_testing.wait_for
        try:
            controls = wait_for("the sheet", lambda: (c := self.controls()).get(3641) and c, 30)
            self.display.screenshot(os.environ.get("REDIRA_SAVER_SHOTS"), "sheet")
            muted = controls[3641]["checked"]
            self.display.press(controls[3641]["rect"])
            wait_for("the mute box to change", lambda: self.controls()[3641]["checked"] != muted,
                     30)

            # F1 on the check box just clicked asks WinHelp about it.
            self.display.xdotool("key", "F1")
            asked = wait_for("help", lambda: self.logged("winhelp "), 30)
            self.assertIn("command=12", asked[0])

            self.display.press(controls[1]["rect"])  # OK
            process.wait(timeout=30)
            settings = self.logged("settings ")
            self.assertEqual(len(settings), 1)
            self.assertTrue(settings[0].startswith(f"settings mute={0 if muted else 1} "))
        finally:
            if process.poll() is None:
                process.kill()


def main():
    global ARGS
    ARGS, argv = wine_testing.driver_arguments("state", "session", "saver", "probe", "work")
    unittest.main(argv=argv, verbosity=2)


if __name__ == "__main__":
    main()
