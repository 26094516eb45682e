#!/usr/bin/env python3
"""Whole-program test of the kit's monitor control under Wine, on the
session's Xvfb display: the test saver shows its window of monitor
controls (KITTEST_CONFIG=monitor), a real click opens a corner's menu and
a real click on "Never" changes the corner's picture on the screen. Set
KIT_MONITOR_SHOTS to a folder to keep the screenshots.
"""
import functools
import os
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..",
                                "tools", "wine"))
import wine_testing  # noqa: E402
from wine_testing import windows_path  # noqa: E402,F401

ARGS = None
SCREEN = wine_testing.SCREEN
ANCHORS = ((16, 17), (169, 17), (169, 130), (16, 130))  # the kit's string 3055
wait_for = functools.partial(wine_testing.wait_for, timeout=120.0)


def bitmap_rows(path):
    """The RGB rows of a picture file, top row first, and its size."""
    size = subprocess.run(["identify", "-format", "%w %h", path], check=True,
                          capture_output=True, text=True).stdout
    width, height = map(int, size.split())
    data = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], check=True,
                          capture_output=True).stdout
    return [data[3 * width * y:3 * width * (y + 1)] for y in range(height)], width, height


def crop(shot, left, top, width, height):
    """The rows of a part of a screenshot."""
    return [shot[3 * ((top + y) * SCREEN[0] + left):3 * ((top + y) * SCREEN[0] + left + width)]
            for y in range(height)]


class MonitorControlTest(unittest.TestCase):
    session = None

    def setUp(self):
        self.log = os.path.join(ARGS.work, "monitor.log")
        if os.path.exists(self.log):
            os.remove(self.log)
        env = dict(self.session.env, KITTEST_CONFIG="monitor", KITTEST_AGENT="detected",
                   KITTEST_LOG=windows_path(self.log))
        self.process = wine_testing.start(["wine", ARGS.saver, "/c"], env,
                                          os.path.join(ARGS.work, "monitor.out"))

    def tearDown(self):
        self.process.kill()
        self.process.wait()

    def screenshot(self, name):
        """The whole screen's RGB bytes; kept as NAME.png in KIT_MONITOR_SHOTS."""
        return self.session.screenshot(os.environ.get("KIT_MONITOR_SHOTS"), name)

    def lines(self, prefix):
        if not os.path.exists(self.log):
            return []
        with open(self.log, encoding="latin-1") as file:
            return [line.rstrip("\r\n") for line in file if line.startswith(prefix)]

    def test_a_corner_chosen_with_the_mouse(self):
        # Generous: Wine's first start in a session can take minutes on a slow machine.
        line = wait_for("the monitor controls", lambda: self.lines("control 103 "), timeout=900)[0]
        wait_for("the previews", lambda: self.lines("monitor window "))
        control = line.split()[2]
        left, top = (int(v) for v in line.split()[4:6])
        pictures = {name: bitmap_rows(os.path.join(ARGS.pictures, f"dozekit_corner_{name}.bmp"))
                    for name in ("default", "now", "never")}
        (now, corner_w, corner_h), never = pictures["now"], pictures["never"][0]
        # The top-right corner (Now in the saver's style) on the screen.
        corner = (left + ANCHORS[1][0] - corner_w, top + ANCHORS[1][1], corner_w, corner_h)
        corner_now = wait_for("the corner's picture",
                              lambda: (shot := self.screenshot("monitor-before"))
                              and crop(shot, *corner) == now and shot)

        # A real left click on it: the corner's menu, "Now" checked.
        click = (corner[0] + corner_w // 2, corner[1] + corner_h // 2)
        self.session.xdotool("mousemove", *click, "click", 1)
        self.assertEqual(wait_for("the menu", lambda: self.lines("menu ")),
                         [f"menu {control} rows Default Now* Never"])
        menu = wait_for("the menu on the screen",
                        lambda: self.menu_area(corner_now, self.screenshot("monitor-menu"),
                                               click))
        # The check mark: dark pixels at the left of the "Now" row only.
        shot, (menu_left, menu_top, menu_right, menu_bottom) = menu
        row = (menu_bottom - menu_top) // 3
        marks = [sum(1 for line in crop(shot, menu_left + 2, menu_top + r * row + 2, 14, row - 4)
                     for i in range(0, len(line), 3) if max(line[i:i + 3]) < 80)
                 for r in range(3)]
        self.assertEqual(marks[0], 0)
        self.assertGreater(marks[1], 0)
        self.assertEqual(marks[2], 0)

        # A real click on "Never": the corner now shows the Never picture.
        self.session.xdotool("mousemove", (menu_left + menu_right) // 2,
                             menu_top + row * 5 // 2, "click", 1)
        self.assertEqual(wait_for("the choice", lambda: self.lines("command ")),
                         [f"command 67 {control} style=50000882"])
        after = wait_for("the Never picture",
                         lambda: (shot := self.screenshot("monitor-after"))
                         and crop(shot, *corner) == never and shot)
        self.assertNotEqual(crop(corner_now, *corner), crop(after, *corner))

    @staticmethod
    def menu_area(before, shot, point):
        """The rectangle that changed below and right of the point (the
        menu opens there), with the screenshot; nothing yet when none."""
        x0, y0 = point
        changed = [(x, y) for y in range(y0, min(y0 + 200, SCREEN[1]), 2)
                   for x in range(x0, min(x0 + 300, SCREEN[0]), 2)
                   if shot[3 * (y * SCREEN[0] + x):3 * (y * SCREEN[0] + x) + 3]
                   != before[3 * (y * SCREEN[0] + x):3 * (y * SCREEN[0] + x) + 3]]
        if len(changed) < 100:
            return None
        xs, ys = [p[0] for p in changed], [p[1] for p in changed]
        return shot, (min(xs), min(ys), max(xs) + 1, max(ys) + 1)


def main():
    global ARGS
    ARGS, argv = wine_testing.driver_arguments("state", "session", "saver", "pictures", "work")
    MonitorControlTest.session = wine_testing.Display(
        wine_testing.session_environment(ARGS.state, ARGS.session))
    unittest.main(argv=argv, verbosity=2)


if __name__ == "__main__":
    main()
