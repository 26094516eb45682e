#!/usr/bin/env python3
"""Whole-program test of Edgewake's settings with the real library and its
running service, under Wine, with real clicks (xdotool): the library is
put into the Windows directory and run through rundll32.

- InstallSilently writes the start-up shortcut (read back through the shell
  link object), the server's and the page's keys, "Mouse Corners" "YN--"
  and both options, and leaves a service running; run again (an upgrade),
  it keeps the feedback the user switched off in the dialog;
- RunDialog shows the corners; a corner changed with the mouse and OK is in
  the registry and the service's next poll acts on it (a Never corner
  switches the screen saver off while the mouse rests there); set
  EDGEWAKE_SHOTS to a folder to keep screenshots of the dialog;
- unticking every way back asks first: Cancel keeps everything, OK removes
  the shortcut and the page key and ends the service.

edgewake_settings_show.exe answers
the questions (where the dialog's controls are, whether a service window
exists, a shortcut's target, whether the screen saver is active).
"""
import functools
import glob
import os
import shutil
import sys
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..",
                                "tools", "wine"))
import wine_testing  # noqa: E402
from wine_testing import windows_path  # noqa: E402,F401

ARGS = None
CORNERS_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Screen Savers"
OPTIONS_KEY = r"HKCU\Control Panel\Desktop"
CLASS_ID = "{6F1C2B7E-3D54-4A8B-9E21-5C7D0A4F93B6}"
CLASS_KEY = "HKCR\\CLSID\\" + CLASS_ID
PAGE_KEY = (r"HKLM\Software\Microsoft\Windows\CurrentVersion\Controls Folder\Display\shellex"
            r"\PropertySheetHandlers\Edgewake Properties")
LIBRARY = r"C:\windows\edgewake.dll"
CORNER_POINTS = ((26, 24), (159, 24), (159, 122), (26, 122))  # on the monitor picture


wait_for = functools.partial(wine_testing.wait_for, timeout=120.0, interval=0.3)


class Session(wine_testing.Display):
    def __init__(self, env):
        super().__init__(env)
        self.prefix = env["WINEPREFIX"]

    def run(self, *arguments):
        """A program to its end; its output."""
        return wine_testing.run(["wine", *arguments], self.env, errors=False)[1]

    def start(self, *arguments):
        return wine_testing.start(["wine", *arguments], self.env)

    def ask(self, *question):
        return self.run(ARGS.show, *question).strip()

    def reg_text(self, key, value=None):
        """A text value (the key's default without a name), or None."""
        query = ["reg", "query", key] + (["/v", value] if value else ["/ve"])
        for line in self.run(*query).splitlines():
            if "REG_SZ" in line:
                return line.split("REG_SZ", 1)[1].strip()
        return None

    def reg_number(self, key, value):
        for line in self.run("reg", "query", key, "/v", value).splitlines():
            if "REG_DWORD" in line:
                return int(line.split("REG_DWORD", 1)[1].strip(), 16)
        return None

    def shortcut(self):
        found = glob.glob(os.path.join(self.prefix, "drive_c", "users", "*", "AppData", "Roaming",
                                       "Microsoft", "Windows", "Start Menu", "Programs",
                                       "[Ss]tart[Uu]p", "Edgewake.lnk"))
        return found[0] if found else None


class SettingsServiceTest(unittest.TestCase):
    session = None

    @classmethod
    def setUpClass(cls):
        cls.installed = os.path.join(cls.session.prefix, "drive_c", "windows", "edgewake.dll")
        shutil.copy(ARGS.library, cls.installed)

    @classmethod
    def tearDownClass(cls):
        # The kit's tests look for "Edgewake.dll" by name and must find only
        # their own stand-ins.
        os.remove(cls.installed)

    def setUp(self):
        s = self.session
        s.run("rundll32", LIBRARY + ",TerminateService")
        wait_for("no service", lambda: s.ask("service") == "0", timeout=60)
        for key in (PAGE_KEY, CLASS_KEY):
            s.run("reg", "delete", key, "/f")
        s.run("reg", "delete", CORNERS_KEY, "/v", "Mouse Corners", "/f")
        for option in ("Edgewake Tray Icon", "Edgewake Feedback"):
            s.run("reg", "delete", OPTIONS_KEY, "/v", option, "/f")
        if s.shortcut():
            os.remove(s.shortcut())
        self.dialog = None

    def tearDown(self):
        if self.dialog and self.dialog.poll() is None:
            self.dialog.kill()
            self.dialog.wait()
        self.session.run("rundll32", LIBRARY + ",TerminateService")

    def install_silently(self):
        self.session.run("rundll32", LIBRARY + ",InstallSilently")
        wait_for("the service", lambda: self.session.ask("service") == "1", timeout=120)

    def open_dialog(self):
        self.dialog = self.session.start("rundll32", LIBRARY + ",RunDialog")
        output = wait_for("the dialog", lambda: self.session.ask("places"), timeout=300)
        time.sleep(1.0)
        return {line.split()[0]: tuple(map(int, line.split()[1:])) for line in output.splitlines()}

    def click_box(self, places, name):
        rect = places[name]
        self.session.click(rect[0] + 6, (rect[1] + rect[3]) // 2)

    def answer_question(self, button):
        """Clicks OK or Cancel of the uninstall question's box."""
        output = wait_for("the question", lambda: self.session.ask("box"), timeout=60)
        time.sleep(0.5)
        places = {line.split()[0]: tuple(map(int, line.split()[1:]))
                  for line in output.splitlines()}
        self.session.press(places[button])

    def test_install_silently_writes_everything_starts_the_service_and_keeps_set_options(self):
        s = self.session
        self.install_silently()
        link = s.shortcut()
        self.assertIsNotNone(link)
        target, arguments = s.ask("shortcut", windows_path(link)).splitlines()
        self.assertTrue(target.lower().endswith("rundll32.exe"), target)
        self.assertEqual(arguments.lower(), LIBRARY.lower() + ",runservice")
        self.assertEqual(s.reg_text(CLASS_KEY), "Edgewake")
        self.assertEqual(s.reg_text(CLASS_KEY + "\\InProcServer32").lower(), LIBRARY.lower())
        self.assertEqual(s.reg_text(CLASS_KEY + "\\InProcServer32", "ThreadingModel"), "Apartment")
        self.assertEqual(s.reg_text(PAGE_KEY), CLASS_ID)
        self.assertEqual(s.reg_text(CORNERS_KEY, "Mouse Corners"), "YN--")
        self.assertEqual(s.reg_number(OPTIONS_KEY, "Edgewake Tray Icon"), 1)
        self.assertEqual(s.reg_number(OPTIONS_KEY, "Edgewake Feedback"), 1)

        # Run again (a reinstallation, an upgrade), it keeps the feedback the
        # user switched off.
        places = self.open_dialog()
        self.click_box(places, "feedback")
        self.session.press(places["ok"])
        wait_for("the dialog's end", lambda: self.dialog.poll() is not None, timeout=60)
        self.assertEqual(s.reg_number(OPTIONS_KEY, "Edgewake Feedback"), 0)
        self.install_silently()
        self.assertEqual(s.reg_number(OPTIONS_KEY, "Edgewake Feedback"), 0)
        self.assertEqual(s.reg_number(OPTIONS_KEY, "Edgewake Tray Icon"), 1)
        self.assertEqual(s.reg_text(CORNERS_KEY, "Mouse Corners"), "YN--")

    def test_a_corner_changed_in_the_dialog_reaches_the_service(self):
        s = self.session
        self.install_silently()
        s.ask("saver-active", "1")
        places = self.open_dialog()
        s.screenshot(os.environ.get("EDGEWAKE_SHOTS"), "settings_dialog")
        monitor = places["monitor"]
        x, y = CORNER_POINTS[2]
        s.click(monitor[0] + x, monitor[1] + y)  # bottom-right
        time.sleep(1.0)
        s.xdotool("key", "Down", "key", "Down", "key", "Down", "key", "Return")  # Never
        time.sleep(0.5)
        s.screenshot(os.environ.get("EDGEWAKE_SHOTS"), "settings_dialog_changed")
        self.session.press(places["ok"])
        wait_for("the corners", lambda: s.reg_text(CORNERS_KEY, "Mouse Corners") == "YNN-",
                 timeout=60)
        self.assertEqual(s.ask("service"), "1")
        # The service's next poll holds the saver off while the mouse rests
        # in the Never corner, and lets it go when it leaves.
        width, height = map(int, s.xdotool("getdisplaygeometry").split())
        s.xdotool("mousemove", width - 1, height - 1)
        wait_for("the saver held off", lambda: s.ask("saver-active") == "0", timeout=30)
        s.xdotool("mousemove", width // 2, height // 2)
        wait_for("the saver back on", lambda: s.ask("saver-active") == "1", timeout=30)

    def test_no_way_back_asks_first_then_uninstalls(self):
        s = self.session
        self.install_silently()
        link = s.shortcut()
        places = self.open_dialog()
        self.click_box(places, "page")
        self.click_box(places, "startup")
        self.session.press(places["ok"])
        self.answer_question("cancel")
        time.sleep(1.0)
        self.assertTrue(s.ask("places"))  # the dialog stays
        self.assertTrue(os.path.exists(link))
        self.assertEqual(s.reg_text(PAGE_KEY), CLASS_ID)
        self.assertEqual(s.ask("service"), "1")

        self.session.press(places["ok"])
        self.answer_question("ok")
        wait_for("the dialog's end", lambda: self.dialog.poll() is not None, timeout=60)
        self.assertFalse(os.path.exists(link))
        self.assertIsNone(s.reg_text(PAGE_KEY))
        wait_for("the service's end", lambda: s.ask("service") == "0", timeout=30)


def main():
    global ARGS
    ARGS, argv = wine_testing.driver_arguments("state", "session", "library", "show", "work")
    SettingsServiceTest.session = Session(
        wine_testing.session_environment(ARGS.state, ARGS.session))
    unittest.main(argv=argv, verbosity=2)


if __name__ == "__main__":
    main()
