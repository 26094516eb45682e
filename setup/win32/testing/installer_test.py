#!/usr/bin/env python3
"""Whole-program tests of the installer under Wine, on the session's Xvfb
display, each in a fresh Wine prefix: a copy of a pristine prefix that
wineboot makes once per run. The installer is
driven with xdotool; setup_probe.exe reads what cannot be seen from outside
Wine (the desktop's saver settings, the preview's process and its command
line) and holds a file open. Set SETUP_TEST_SHOTS to a folder to keep
screenshots.
"""
import functools
import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..",
                                "tools", "wine"))
import wine_testing  # noqa: E402
from wine_testing import windows_path  # noqa: E402,F401

ARGS = None
# Upper bounds only: under an emulated 32-bit Wine a program takes many
# seconds to start.
WAIT = float(os.environ.get("SETUP_TEST_WAIT", "180"))
QUESTION = ("You have an out-of-date version of {} on your system. "
            "May I try to upgrade, please?")
INSTALLED = "Screen saver succesfully installed!"


def read(path):
    with open(path, "rb") as file:
        return file.read()


wait_for = functools.partial(wine_testing.wait_for, timeout=WAIT)


def make_pristine(env):
    """A prefix as wineboot makes it, with unmanaged windows as in the
    session: the one the session keeps, else one made afresh for this run."""
    kept = subprocess.run([ARGS.session, "template", ARGS.state], capture_output=True,
                          text=True).stdout.strip()
    if kept:
        return kept
    path = os.path.join(ARGS.work, "pristine")
    shutil.rmtree(path, ignore_errors=True)
    os.makedirs(path)
    env = dict(env, WINEPREFIX=path)
    quiet = dict(env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                 stderr=subprocess.DEVNULL, check=True)
    subprocess.run(["wineboot", "-i"], **quiet)
    subprocess.run(["wine", "reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Managed",
                    "/d", "N", "/f"], **quiet)
    # Its wineserver has written the registry out once it has ended.
    subprocess.run(["wineserver", "-w"], **quiet)
    return path


def older_saver():
    """The saver with "1, 0, 0, 4" as its FileVersion text."""
    data = bytearray(read(ARGS.saver))
    key = "FileVersion".encode("utf-16-le")
    current, older = ("1, 0, 0, 5".encode("utf-16-le"), "1, 0, 0, 4".encode("utf-16-le"))
    # The saver's own record; the image library it carries has one too.
    texts, at = [], data.find(key)
    while at >= 0:
        if (value := data.find(current, at, at + 64)) > 0:
            texts.append(value)
        at = data.find(key, at + 1)
    assert len(texts) == 1, "not one FileVersion text 1, 0, 0, 5 in the saver"
    data[texts[0]:texts[0] + len(current)] = older
    return bytes(data)


class Prefix:
    """A fresh copy of the pristine prefix, with a wineserver of its own."""

    def __init__(self, pristine, env):
        self.path = tempfile.mkdtemp(dir=ARGS.work, prefix="prefix-")
        subprocess.run(["cp", "-a", pristine + "/.", self.path], check=True)
        self.env = dict(env, WINEPREFIX=self.path)
        self.windows = os.path.join(self.path, "drive_c", "windows")
        self.processes = []

    def close(self):
        for process in self.processes:
            if process.poll() is None:
                process.kill()
                process.wait()
        subprocess.run(["wineserver", "-k"], env=self.env, stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-w"], env=self.env, stderr=subprocess.DEVNULL)
        shutil.rmtree(self.path, ignore_errors=True)

    def start(self, program, *arguments, output=None):
        process = wine_testing.start(["wine", program, *arguments], self.env, output)
        self.processes.append(process)
        return process

    def probe(self, *arguments):
        code, text = wine_testing.run(["wine", ARGS.probe, *map(str, arguments)], self.env,
                                      timeout=WAIT + 60)
        if code != 0:
            raise AssertionError(f"setup_probe {arguments}: {text.strip()}")
        return text

    def windows_file(self, name):
        return os.path.join(self.windows, name)

    def temporary_folder(self):
        """The user's temporary folder, as the prefix's registry names it."""
        with open(os.path.join(self.path, "user.reg"), encoding="latin-1") as registry:
            value = re.search(r'^"TEMP"="C:\\\\(.*)"$', registry.read(), re.MULTILINE).group(1)
        return os.path.join(self.path, "drive_c", *value.split("\\\\"))

    def temporary_files(self):
        return glob.glob(os.path.join(self.path, "drive_c", "**", "sci*.tmp"), recursive=True)


class InstallerTest(unittest.TestCase):
    display = None
    pristine = None

    def setUp(self):
        self.prefix = Prefix(self.pristine, self.display.env)

    def tearDown(self):
        self.prefix.close()

    def screenshot(self, name):
        self.display.screenshot(os.environ.get("SETUP_TEST_SHOTS"), name)

    def window(self, caption):
        """The window's controls by id (class, rectangle, text) and the texts
        of all its controls, those without an id of their own too."""
        lines = self.prefix.probe("window", caption, int(WAIT * 1000)).splitlines()
        controls, texts = {}, []
        for line in lines[1:]:
            parts = line.split(" ", 7)
            text = parts[7] if len(parts) > 7 else ""
            controls[int(parts[1])] = {"class": parts[2], "rect": tuple(map(int, parts[3:7])),
                                       "text": text}
            texts.append(text)
        return controls, texts

    def press(self, control):
        self.display.press(control["rect"])

    def run_installer(self):
        """Starts the installer and presses "&Install"."""
        process = self.prefix.start(ARGS.installer)
        prelim, _ = self.window("Corvane Veduza Vozud")
        self.assertEqual(prelim[1]["text"], "&Install")
        self.press(prelim[1])
        return process

    def answer(self, caption, text, button, shot=None):
        """Checks the message box's text and presses the button with that text."""
        box, _ = self.window(caption)
        self.assertEqual(box[0xFFFF]["text"], text)
        self.screenshot(shot or caption.replace(" ", "-").lower())
        self.press(next(c for c in box.values() if c["text"] == button))

    def preview(self):
        lines = self.prefix.probe("preview", int(WAIT * 1000)).splitlines()
        return dict(line.split(" ", 1) for line in lines)

    def end_preview(self, installer, preview):
        """Esc ends the preview dialog and its saver; the installer exits 1."""
        self.display.xdotool("key", "Escape")
        self.assertEqual(installer.wait(timeout=WAIT), 1)
        self.prefix.probe("ended", preview["saver"], int(WAIT * 1000))

    def state(self):
        text = self.prefix.probe("state", r"C:\windows\Corvane.scr")
        return dict(line.split("=", 1) for line in text.splitlines())

    def test_cancel_then_first_installation_then_again(self):
        installer = self.prefix.start(ARGS.installer)
        prelim, texts = self.window("Corvane Veduza Vozud")
        self.screenshot("backdrop-and-introduction")
        self.assertIn("An interractive tile puzzle to help with anatomy revision.", texts)
        self.assertEqual(prelim[2]["text"], "Cancel")
        self.press(prelim[2])
        self.assertEqual(installer.wait(timeout=WAIT), 2)
        for name in ("Corvane.scr", "edgewake.dll"):
            self.assertFalse(os.path.exists(self.prefix.windows_file(name)), name)
        state = self.state()
        self.assertEqual((state["ini"], state["desktop"]), ("", ""))

        # No question on the way: the installer would wait on it.
        self.prefix.probe("inactive")
        installer = self.run_installer()
        preview = self.preview()
        self.screenshot("preview")
        self.assertEqual(preview["status"], INSTALLED)
        self.assertEqual(read(self.prefix.windows_file("Corvane.scr")), read(ARGS.saver))
        self.assertEqual(read(self.prefix.windows_file("edgewake.dll")), read(ARGS.edgewake))
        state = self.state()
        self.assertEqual(state["ini"], state["short"])
        self.assertEqual(state["desktop"], state["short"])
        self.assertTrue(state["desktop"].lower().endswith("\\corvane.scr"))
        self.assertEqual((state["active"], state["spi"]), ("1", "1"))
        self.assertEqual(preview["command"], f'"{state["long"]}" /p {preview["rectangle"]}')
        # Edgewake installed itself: its service runs, with its start-up
        # shortcut in the user's Startup folder.
        service = self.prefix.probe("service", r"C:\windows\edgewake.dll", int(WAIT * 1000))
        self.assertEqual(service.split(), ["service", "1", "detect", "1"])
        shortcuts = glob.glob(os.path.join(self.prefix.path, "drive_c", "users", "**",
                                           "Edgewake.lnk"), recursive=True)
        self.assertEqual([os.path.basename(os.path.dirname(s)).lower() for s in shortcuts],
                         ["startup"])
        self.end_preview(installer, preview)
        self.assertEqual(self.prefix.temporary_files(), [])

        # Again with the same files: nothing asked, nothing rewritten.
        written = {name: os.stat(self.prefix.windows_file(name)).st_mtime_ns
                   for name in ("Corvane.scr", "edgewake.dll")}
        installer = self.run_installer()
        preview = self.preview()
        self.assertEqual(preview["status"], INSTALLED)
        self.assertEqual({name: os.stat(self.prefix.windows_file(name)).st_mtime_ns
                          for name in written}, written)
        self.end_preview(installer, preview)

    def test_older_files_asked_about_refused_held_and_replaced(self):
        older = older_saver()
        saver = self.prefix.windows_file("Corvane.scr")
        with open(saver, "wb") as file:
            file.write(older)
        question = QUESTION.format("the Corvane saver")

        # An older Edgewake that the system refuses to replace: told to let
        # go first and to set itself up after, with the backdrop; the box
        # says so, and the closing line does not claim the hot corners. No
        # keeps the old saver, and the preview runs it.
        edgewake = self.prefix.windows_file("edgewake.dll")
        shutil.copyfile(ARGS.old_edgewake, edgewake)
        with wine_testing.unwritable(edgewake):
            installer = self.run_installer()
            self.answer("Install", QUESTION.format("Edgewake"), "&Yes")
            self.answer("Install Error", "Error. Unable to replace the old version of Edgewake at "
                        "C:\\windows\\edgewake.dll: the system refused it.", "OK",
                        shot="install-error-edgewake-refused")
            self.answer("Install", question, "&No")
            preview = self.preview()
            self.assertIn(" /p ", preview["command"])
            self.screenshot("preview-without-hot-corners")
            self.assertEqual(preview["status"], "The screen saver is installed, but the hot "
                             "corners could not be installed.")
            self.assertEqual(read(saver), older)
            self.assertEqual(read(edgewake), read(ARGS.old_edgewake))
            self.end_preview(installer, preview)
        os.remove(edgewake)
        self.assertEqual(read(self.prefix.windows_file("edgewake_calls.txt")).decode().splitlines(),
                         [f"{entry} InstallClass program /notitle 1"
                          for entry in ("TerminateService", "InstallSilently")])

        # Yes, with the file held open: an error, and the run goes on with
        # the old file and says it was not upgraded.
        signal = os.path.join(self.prefix.path, "release")
        output = os.path.join(self.prefix.path, "hold.txt")
        holder = self.prefix.start(ARGS.probe, "hold", r"C:\windows\Corvane.scr",
                                   windows_path(signal), output=output)
        wait_for("the file to be held", lambda: "held" in read(output).decode("latin-1"))
        installer = self.run_installer()
        self.answer("Install", question, "&Yes")
        self.answer("Install Error", "Error. Unable to delete old version of the Corvane saver. "
                    "Make sure it is not in use, and then try again.", "OK")
        preview = self.preview()
        self.assertEqual(preview["status"],
                         "The screen saver was not upgraded: the old version is still installed.")
        self.assertEqual(read(saver), older)
        self.assertEqual(self.prefix.temporary_files(), [])
        self.end_preview(installer, preview)
        open(signal, "w").close()
        holder.wait(timeout=WAIT)

        # Yes replaces it, also with a temporary folder that cannot be
        # written: the new saver's version is read beside the old one.
        with wine_testing.unwritable(self.prefix.temporary_folder()):
            installer = self.run_installer()
            self.answer("Install", question, "&Yes")
            preview = self.preview()
            self.assertEqual(preview["status"], INSTALLED)
            self.assertEqual(read(saver), read(ARGS.saver))
            self.end_preview(installer, preview)


def main():
    global ARGS
    ARGS, argv = wine_testing.driver_arguments(
        "state", "session", "installer", "saver", "edgewake", "old-edgewake", "probe", "work")
    InstallerTest.display = wine_testing.Display(
        wine_testing.session_environment(ARGS.state, ARGS.session))
    InstallerTest.pristine = make_pristine(InstallerTest.display.env)
    unittest.main(argv=argv, verbosity=2)


if __name__ == "__main__":
    main()
