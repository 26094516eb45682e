#!/usr/bin/env python3
"""Whole-program tests of Edgewake under Wine, on the session's Xvfb
display: the library is copied into the prefix's Windows directory and run
with rundll32 (its service, its settings dialog); the real mouse is moved
and clicked with xdotool; edgewake_probe.exe answers what cannot be seen
from outside Wine (the library's exports, the screen-saver switch, the
shared lists, message boxes, where the settings' controls are) and shows
the library's Display Properties page in a sheet. Screenshots are kept in
WORK/shots.
"""
import ctypes
import glob
import os
import shlex
import shutil
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..",
                                "tools", "wine"))
import wine_testing  # noqa: E402
from wine_testing import windows_path  # noqa: E402,F401

ARGS = None
SCREEN = (1024, 768)
MIDDLE = (512, 384)
TOP_LEFT = (0, 0)
TOP_RIGHT = (SCREEN[0] - 1, 0)
BOTTOM_RIGHT = (SCREEN[0] - 1, SCREEN[1] - 1)
CORNERS_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Screen Savers"
PAGE_KEY = (r"HKLM\Software\Microsoft\Windows\CurrentVersion\Controls Folder\Display\shellex"
            r"\PropertySheetHandlers\Edgewake Properties")
# Where the corners lie on the settings' monitor picture (string 4 of the
# library, corner pictures of 20 x 15): the middle of each.
CORNER_POINTS = ((26, 24), (159, 24), (159, 122), (26, 122))


wait_for = wine_testing.wait_for


class Session(wine_testing.Display):
    """The Wine session of the build tree: environment, programs, screen."""

    def __init__(self, env=None, size=SCREEN):
        super().__init__(env or wine_testing.session_environment(ARGS.state, ARGS.session), size)
        self.wine = shlex.split(os.environ.get("REDIRA_WINE", ARGS.wine))
        self.windows = os.path.join(self.env["WINEPREFIX"], "drive_c", "windows")
        self.count = 0

    def run(self, *command):
        """Runs a Windows program to its end and answers its output lines."""
        _, output = wine_testing.run([*self.wine, *map(str, command)], self.env, timeout=120)
        return [line for line in output.splitlines() if line.strip()]

    def probe(self, *arguments):
        return self.run(ARGS.probe, *arguments)

    def value(self, *arguments):
        lines = self.probe(*arguments)
        return lines[-1] if lines else ""

    def start(self, *arguments, env=None):
        """A program left running; its output goes to the file process.output."""
        self.count += 1
        path = os.path.join(ARGS.work, f"out{self.count}.txt")
        process = wine_testing.start([*self.wine, *arguments], env or self.env, path)
        process.output = path
        return process

    def start_probe(self, *arguments, env=None):
        return self.start(ARGS.probe, *map(str, arguments), env=env)

    def mouse(self, point):
        self.xdotool("mousemove", *point)

    def screenshot(self, name):
        """Kept as WORK/shots/NAME.png; answers its path."""
        shots = os.path.join(ARGS.work, "shots")
        super().screenshot(shots, name)
        return os.path.join(shots, name + ".png")


def x_screen_saver(display, timeout=None):
    """The X server's screen-saver time-out, set first when one is given.
    Under Wine, programs with windows (the service) read the screen saver's
    switch from it, while the probe, a program without, reads and writes
    the registry, as does every change the service makes."""
    xlib = ctypes.CDLL("libX11.so.6")
    xlib.XOpenDisplay.restype = ctypes.c_void_p
    connection = ctypes.c_void_p(xlib.XOpenDisplay(display.encode()))
    values = [ctypes.c_int() for _ in range(4)]
    xlib.XGetScreenSaver(connection, *map(ctypes.byref, values))
    if timeout is not None:
        xlib.XSetScreenSaver(connection, timeout, *(v.value for v in values[1:]))
    xlib.XCloseDisplay(connection)
    return values[0].value


def fresh_file(name):
    """A path in the work folder where no file is yet."""
    path = os.path.join(ARGS.work, name)
    if os.path.exists(path):
        os.remove(path)
    return path


def read_lines(path):
    if not os.path.exists(path):
        return []
    with open(path, encoding="latin-1") as file:
        return [line.rstrip("\r\n") for line in file]


def rectangles(lines):
    """The rectangles of lines "NAME LEFT TOP RIGHT BOTTOM", by name."""
    return {line.split()[0]: tuple(map(int, line.split()[1:])) for line in lines
            if len(line.split()) == 5}


class ServiceTest(unittest.TestCase):
    session = None

    @classmethod
    def setUpClass(cls):
        cls.session = Session()
        cls.installed = os.path.join(cls.session.windows, "edgewake.dll")
        shutil.copyfile(ARGS.library, cls.installed)

    @classmethod
    def tearDownClass(cls):
        cls.session.probe("corners", "----")
        cls.session.probe("saver", "-")
        # Other tests of the session load "Edgewake.dll" by name and must
        # find only their own stand-ins.
        os.remove(cls.installed)

    def setUp(self):
        self.processes = []
        self.session.mouse(MIDDLE)
        self.session.probe("corners", "----")
        self.session.probe("saver", "-")
        self.session.probe("set-active", 1)

    def tearDown(self):
        self.session.mouse(MIDDLE)
        if self.detect() == 1:
            self.session.probe("terminate")
        # Helpers that outlive the test (a window, a listener) are ended.
        for process in self.processes:
            try:
                process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()

    def detect(self):
        return int(self.session.value("detect") or -1)

    def services(self):
        return int(self.session.value("services") or -1)

    def start_service(self):
        process = self.session.start("rundll32", "edgewake.dll,RunService")
        self.processes.append(process)
        wait_for("the service", lambda: self.detect() == 1, timeout=300)
        # Its start-up work (corners, lists, icon) follows its creation.
        time.sleep(1.0)
        return process

    def feedback(self):
        line = self.session.value("feedback").split()
        if line[:1] != ["feedback"]:
            return None
        return int(line[1]), tuple(int(v) for v in line[2:6])

    def test_refuses_to_run_outside_the_windows_directory(self):
        process = self.session.start("rundll32", windows_path(ARGS.library) + ",RunService")
        self.processes.append(process)
        box = self.session.probe("box", "Error: wrong directory", 120000)
        folder = windows_path(os.path.dirname(ARGS.library))
        self.assertEqual(box[0].lower(),
                         ("text Error: Edgewake must be in the windows directory, C:\\windows. "
                          f"It is currently in {folder}. Please move it.").lower())
        process.wait(timeout=30)
        self.assertEqual(self.detect(), 0)
        self.assertEqual(self.services(), 0)

    def test_one_service_detected_while_it_runs_and_ended_by_terminate(self):
        self.assertEqual(self.detect(), 0)
        first = self.start_service()
        self.assertEqual(self.services(), 1)
        # A second RunService brings the first forward and returns.
        second = self.session.start("rundll32", "edgewake.dll,RunService")
        self.processes.append(second)
        second.wait(timeout=60)
        self.assertEqual(self.services(), 1)
        self.assertIsNone(first.poll())
        self.assertEqual(self.detect(), 1)

        # The service's process, which holds the library, has ended by the
        # time TerminateService returns.
        self.assertEqual(self.session.probe("terminate"), ["ended 1"])
        first.wait(timeout=30)
        self.assertEqual(self.detect(), 0)
        self.assertEqual(self.services(), 0)

    def test_never_corner_holds_the_saver_off_while_the_mouse_stays(self):
        self.session.probe("corners", "-N--")
        self.start_service()
        self.session.mouse(TOP_RIGHT)
        wait_for("the saver switched off", lambda: self.session.value("active") == "0", timeout=10)
        visible, (left, top, right, bottom) = wait_for("the feedback", self.feedback)
        self.assertEqual(visible, 1)
        # Beside the corner, never over its zone.
        self.assertLess(right, SCREEN[0] - 16)
        self.assertGreater(top, 16)
        self.session.screenshot("feedback_held_off")
        self.session.mouse(MIDDLE)
        wait_for("the saver switched back on", lambda: self.session.value("active") == "1",
                 timeout=10)
        wait_for("the feedback hidden", lambda: self.feedback()[0] == 0, timeout=10)

        # The session ending while the service holds the saver off
        # switches it back on, as does the service ending.
        self.session.mouse(TOP_RIGHT)
        wait_for("the saver switched off", lambda: self.session.value("active") == "0", timeout=10)
        self.session.probe("endsession")
        self.assertEqual(self.session.value("active"), "1")
        time.sleep(1.5)  # no poll holds it off again
        self.assertEqual(self.session.value("active"), "1")
        self.session.probe("terminate")
        self.processes[0].wait(timeout=30)
        self.start_service()
        self.session.mouse(MIDDLE)

        # The service ending while it holds the saver off switches it back on.
        self.session.mouse(TOP_RIGHT)
        wait_for("the saver switched off", lambda: self.session.value("active") == "0", timeout=10)
        self.session.probe("terminate")
        self.processes[-1].wait(timeout=30)
        self.assertEqual(self.session.value("active"), "1")

    def test_a_service_killed_while_holding_the_saver_off_mends_it_at_its_next_start(self):
        # End task or a crash gives the service no chance to switch the saver
        # back on; what it held off stays off only until it starts again.
        self.session.probe("corners", "-N--")
        display = self.session.env["DISPLAY"]
        x_timeout = x_screen_saver(display)
        try:
            killed = self.start_service()
            self.session.mouse(TOP_RIGHT)
            wait_for("the saver switched off", lambda: self.session.value("active") == "0",
                     timeout=10)
            self.session.probe("kill")
            killed.wait(timeout=30)
            self.session.mouse(MIDDLE)
            self.assertEqual(self.detect(), 0)
            self.assertEqual(self.session.value("active"), "0")

            self.start_service()
            wait_for("the saver switched back on", lambda: self.session.value("active") == "1",
                     timeout=10)
        finally:
            x_screen_saver(display, x_timeout or 600)

    def test_now_corner_starts_the_saver_once_per_visit_when_there_is_one(self):
        self.session.probe("corners", "Y---")
        self.start_service()
        log = fresh_file("window.log")
        self.processes.append(self.session.start_probe("window", windows_path(log), 40000))
        self.assertEqual(wait_for("the window", lambda: read_lines(log))[0], "foreground")
        requests = lambda: read_lines(log).count("screensave")

        # No saver chosen: the card says so and nothing starts.
        self.session.mouse(TOP_LEFT)
        time.sleep(3)
        self.assertEqual(self.feedback()[0], 1)
        self.session.screenshot("feedback_no_saver")
        self.assertEqual(requests(), 0)
        self.session.mouse(MIDDLE)

        # Wine's desktop starts no saver itself: the window in the
        # foreground only counts the requests.
        self.session.probe("saver", "C:\\windows\\notepad.exe")
        time.sleep(1.5)
        arrived = time.monotonic()
        self.session.mouse(TOP_LEFT)
        wait_for("the saver started", requests, timeout=10, interval=0.05)
        elapsed = time.monotonic() - arrived
        self.assertGreaterEqual(elapsed, 0.9)
        self.assertLess(elapsed, 3.0)
        self.session.screenshot("feedback_starting")
        time.sleep(3)  # staying starts nothing more
        self.assertEqual(requests(), 1)

    def test_now_corner_at_the_top_right_of_a_second_monitor(self):
        # The session's second display: an 800 x 600 monitor right of the
        # 1024 x 768 primary. The top-right corner is the second monitor's;
        # the primary's top-right is no corner there.
        with wine_testing.TwoMonitors(ARGS.state, ARGS.session) as monitors:
            self.session = Session(monitors.env, monitors.SCREEN)
            installed = os.path.join(self.session.windows, "edgewake.dll")
            shutil.copyfile(ARGS.library, installed)
            try:
                self.now_corner_on_two_monitors(monitors)
            finally:
                self.session.probe("terminate")
                self.session.probe("corners", "----")
                self.session.probe("saver", "-")
                os.remove(installed)
                del self.session  # the class's session again

    def now_corner_on_two_monitors(self, monitors):
        self.session.probe("corners", "-Y--")
        self.session.probe("saver", "C:\\windows\\notepad.exe")
        self.session.mouse(MIDDLE)
        self.start_service()
        log = fresh_file("window-two-monitors.log")
        self.processes.append(self.session.start_probe("window", windows_path(log), 30000))
        self.assertEqual(wait_for("the window", lambda: read_lines(log))[0], "foreground")
        requests = lambda: read_lines(log).count("screensave")

        self.session.mouse((monitors.PRIMARY[2] - 1, 0))
        time.sleep(2.5)
        self.assertEqual(requests(), 0)
        self.session.mouse((monitors.SECOND[2] - 1, 0))
        wait_for("the saver started", requests, timeout=10)
        self.session.screenshot("feedback_second_monitor")
        self.session.mouse(MIDDLE)

    def test_changed_corners_reach_the_notify_list_past_gone_and_hung_windows(self):
        self.start_service()
        log = fresh_file("listen.log")
        self.processes.append(
            self.session.start_probe("listen", windows_path(log), 20000, "fill", "hung"))
        wait_for("the listener", lambda: "listening" in read_lines(log))

        self.session.probe("corners", "-N--")
        elapsed = int(self.session.value("changed").split()[1])
        self.assertLess(elapsed, 1500)  # one hung window costs its time limit only
        self.assertIn("told 0x65 0", read_lines(log))
        lists = dict(line.split() for line in self.session.probe("lists"))
        self.assertEqual(lists["corners"], "-N--")
        self.assertEqual(lists["gone"], "0")
        self.assertLessEqual(int(lists["notify"]), 16)
        # The service took the new corners.
        self.session.mouse(TOP_RIGHT)
        wait_for("the saver switched off", lambda: self.session.value("active") == "0", timeout=10)
        self.session.mouse(MIDDLE)

        # Nothing changed, nobody is told.
        told = read_lines(log).count("told 0x65 0")
        self.session.probe("changed")
        self.assertEqual(read_lines(log).count("told 0x65 0"), told)

        self.session.probe("terminate")
        wait_for("the end told", lambda: "told 0x64 0" in read_lines(log), timeout=10)

    def test_a_new_task_bar_gets_the_icon_back_and_its_menu_works(self):
        service = self.start_service()
        icon = self.tray_icon()
        drawn = lambda name: self.colours(self.session.screenshot(name), icon) > 4
        wait_for("the icon", lambda: drawn("tray_icon"))
        # The task bar ends, and its icons with it; a new one announces itself.
        self.session.probe("tray-delete")
        wait_for("the icon gone", lambda: not drawn("tray_icon_gone"))
        self.session.probe("taskbar-created")
        wait_for("the icon back", lambda: drawn("tray_icon_back"))

        # (The menu's "&Save now" posts to the foreground window, which the
        # menu has made the service's own: Wine's default procedure starts
        # no saver, so under Wine there is nothing to see.)
        self.menu_row(icon, 3)  # "&About": rundll32 with the full path
        prober = self.session.start_probe("box", "About Edgewake", 60000,
                                          env=dict(self.session.env, EDGEWAKE_HOLD_BOX_MS="2500"))
        self.processes.append(prober)
        # Shown, the box is held up for 2.5 s.
        wait_for("the box", lambda: subprocess.run(
            ["xdotool", "search", "--name", "About Edgewake"], env=self.session.env,
            capture_output=True).stdout, timeout=60, interval=0.1)
        self.session.screenshot("about")
        prober.wait(timeout=90)
        with open(prober.output, encoding="latin-1") as output:
            text = output.read()
        self.assertIn("control -1 Static Edgewake hot screen corners", text)
        self.assertIn("Version 1.0.0.5", text)

        self.menu_row(icon, 4)  # "&Quit"
        service.wait(timeout=30)
        self.assertEqual(self.detect(), 0)

    def menu_row(self, icon, row):
        """Opens the task-bar icon's menu and clicks one of its five rows."""
        self.session.xdotool("mousemove", *icon, "click", 3)
        left, top, width, height = wait_for("the menu", lambda: self.window_at(icon))
        self.session.screenshot(f"tray_menu_{row}")
        self.session.xdotool("mousemove", left + width // 2, top + height * (2 * row + 1) // 10,
                             "click", 1)

    def test_user_options_go_through_the_service(self):
        self.session.probe("corners", "-N--")
        self.start_service()
        ask = lambda operation, value=0: self.session.value("ask", operation, value)
        try:
            self.assertEqual((ask(0x6A), ask(0x6B)), ("1", "1"))
            icon = self.tray_icon()

            ask(0x68, 0)
            self.assertEqual(ask(0x6A), "0")
            self.assertEqual(self.session.value("option", "Edgewake Tray Icon"), "0")
            wait_for("the icon gone", lambda: self.tray_geometry() is None
                     or self.colours(self.session.screenshot("tray_without_icon"), icon) <= 4)

            ask(0x69, 0)
            self.assertEqual(ask(0x6B), "0")
            self.assertEqual(self.session.value("option", "Edgewake Feedback"), "0")
            # The corner still works, without a word.
            self.session.mouse(TOP_RIGHT)
            wait_for("the saver switched off", lambda: self.session.value("active") == "0",
                     timeout=10)
            self.assertEqual(self.feedback()[0], 0)
            ask(0x69, 1)
            self.assertEqual(self.feedback()[0], 1)
            self.session.mouse(MIDDLE)
        finally:
            ask(0x68, 1)
            ask(0x69, 1)
        self.assertEqual(self.session.value("option", "Edgewake Tray Icon"), "1")

    def test_a_corner_chosen_in_the_settings_dialog_reaches_the_service(self):
        # Set up as the installer does it: with the page and the start-up
        # shortcut, ways back in, so that OK asks nothing.
        self.session.run("rundll32", "edgewake.dll,InstallSilently")
        wait_for("the service", lambda: self.detect() == 1, timeout=120)
        places = self.open_dialog()
        self.session.screenshot("settings_dialog")
        self.choose_corner(places["monitor"], 2, 3)  # bottom-right: Never
        self.session.screenshot("settings_dialog_changed")
        self.session.press(places["ok"])
        wait_for("the corners", lambda: "corners YNN-" in self.session.probe("lists"), timeout=60)
        self.session.mouse(BOTTOM_RIGHT)
        wait_for("the saver held off", lambda: self.session.value("active") == "0", timeout=30)
        self.session.mouse(MIDDLE)
        wait_for("the saver back on", lambda: self.session.value("active") == "1", timeout=30)

        # Unticking every way back asks first; OK uninstalls.
        shortcut = os.path.join(self.session.env["WINEPREFIX"], "drive_c", "users", "**",
                                "Edgewake.lnk")
        self.assertTrue(glob.glob(shortcut, recursive=True))
        places = self.open_dialog()
        for box in ("page", "startup"):
            self.session.click(places[box][0] + 6, (places[box][1] + places[box][3]) // 2)
        self.session.press(places["ok"])
        question = self.session.probe("box", "Edgewake", 60000)
        self.assertIn("You can never access it again!", question[0])
        wait_for("the service's end", lambda: self.detect() == 0, timeout=60)
        self.assertEqual(glob.glob(shortcut, recursive=True), [])

    def test_the_display_properties_page_applies_a_corner(self):
        # The page box starts unticked: ticked, OK keeps a way back.
        self.session.probe("corners", "-Y--")
        self.session.run("reg", "delete", PAGE_KEY, "/f")
        log = fresh_file("sheet.log")
        self.processes.append(self.session.start_probe("sheet", windows_path(log)))
        # The sheet writes where its controls are, the apply button last.
        places = wait_for("the sheet", lambda: "apply" in rectangles(read_lines(log)),
                          timeout=300) and rectangles(read_lines(log))
        self.session.screenshot("settings_page")
        self.choose_corner(places["monitor"], 3, 3)  # bottom-left: Never
        self.session.press(places["page"])
        self.session.press(places["apply"])
        wait_for("the applied corners", lambda: self.mouse_corners() == "-Y-N", timeout=60)
        self.session.screenshot("settings_page_applied")
        self.session.press(places["ok"])
        wait_for("the sheet's end", lambda: "ended" in read_lines(log), timeout=60)

    def open_dialog(self):
        """Runs the settings dialog; where its controls are."""
        self.processes.append(self.session.start("rundll32", "edgewake.dll,RunDialog"))
        places = wait_for("the dialog", lambda: rectangles(self.session.probe("places")),
                          timeout=300)
        time.sleep(1.0)
        return places

    def choose_corner(self, monitor, corner, rows_down):
        """Clicks a corner of the settings' monitor picture and a row of its menu."""
        x, y = CORNER_POINTS[corner]
        self.session.click(monitor[0] + x, monitor[1] + y)
        time.sleep(1.0)
        self.session.xdotool(*["key", "Down"] * rows_down, "key", "Return")
        time.sleep(0.5)

    def mouse_corners(self):
        """The registry's "Mouse Corners"."""
        for line in self.session.run("reg", "query", CORNERS_KEY, "/v", "Mouse Corners"):
            if "REG_SZ" in line:
                return line.split("REG_SZ", 1)[1].strip()
        return None

    def colours(self, shot, point):
        """How many colours the 16 x 16 square around point holds."""
        return int(subprocess.run(["convert", shot, "-crop", f"16x16+{point[0] - 8}+{point[1] - 8}",
                                   "-format", "%k", "info:"], capture_output=True, text=True,
                                  check=True).stdout)

    def window_at(self, point):
        """The geometry of a mapped top-level window whose top-left is point."""
        tree = subprocess.run(["xwininfo", "-root", "-children"], env=self.session.env,
                              capture_output=True, text=True).stdout
        for line in tree.splitlines():
            parts = line.split()
            if not parts or not parts[0].startswith("0x"):
                continue
            geometry = self.geometry(parts[0])
            if geometry and geometry[:2] == point:
                return geometry
        return None

    def geometry(self, window):
        info = subprocess.run(["xwininfo", "-id", window], env=self.session.env,
                              capture_output=True, text=True).stdout
        values = dict(line.strip().split(":", 1) for line in info.splitlines() if ":" in line)
        if values.get("Map State", "").strip() != "IsViewable":
            return None
        return tuple(int(values[k].strip()) for k in
                     ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"))

    def tray_icon(self):
        """The first icon of Wine's own tray window, at its bottom left."""
        x, y, _, height = wait_for("the tray", self.tray_geometry)
        return x + 13, y + height - 13

    def tray_geometry(self):
        found = subprocess.run(["xdotool", "search", "--name", "Wine System Tray"],
                               env=self.session.env, capture_output=True, text=True).stdout.split()
        return next(filter(None, map(self.geometry, found)), None)


def main():
    global ARGS
    ARGS, argv = wine_testing.driver_arguments("state", "session", "library", "probe", "work",
                                               wine="wine")
    unittest.main(argv=argv, verbosity=2)


if __name__ == "__main__":
    main()
