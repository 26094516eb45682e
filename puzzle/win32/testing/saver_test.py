#!/usr/bin/env python3
"""Whole-program tests of Redira.scr under Wine, on the session's Xvfb
display: the saver is started as the desktop starts it (/s, /p, /c), driven
with xdotool, looked at with screenshots, and its registry values are read
and preset with the helper saver_probe.exe. Set REDIRA_SAVER_SHOTS to a
folder to keep the screenshots.
"""
import ctypes
import glob
import os
import shutil
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..",
                                "tools", "wine"))
import wine_testing  # noqa: E402
from wine_testing import windows_path  # noqa: E402,F401

ARGS = None
SCREEN = wine_testing.SCREEN
PICTURE_SIZES = {1: (534, 450), 2: (475, 450), 10: (516, 450)}
# Photos as phones, cameras and editors write them (made by the script
# beside them): a phone's (Exif first, no JFIF, to be turned a quarter
# clockwise), a camera's to be turned the other way, an edited one upside
# down (Exif behind JFIF), a progressive one and an Adobe-first YCCK one.
CAMERA_PHOTOS_FOLDER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..",
                                    "imagelib", "testdata", "jpeg")
CAMERA_PHOTOS = ["phone-6.jpg", "camera-8.jpg", "edited-3.jpg", "progressive.jpg", "adobe-ycck.jpg"]


def wait_for(what, condition, timeout=20.0, interval=0.1):
    return wine_testing.wait_for(what, condition, timeout, interval)


class Session(wine_testing.Display):
    """The Wine session of the build tree: environment, programs, screen."""

    def __init__(self, env, size=SCREEN):
        super().__init__(env, size)
        self.prefix = self.env["WINEPREFIX"]

    def probe(self, *arguments, output=None):
        """Runs saver_probe.exe and answers its output; with `output`, a file,
        starts it and answers the process."""
        command = ["wine", ARGS.probe, *map(str, arguments)]
        if output:
            return wine_testing.start(command, self.env, output)
        code, text = wine_testing.run(command, self.env, timeout=60)
        if code != 0:
            raise AssertionError(f"saver_probe {arguments}: exit code {code}: {text.strip()}")
        return text

    def values(self):
        return dict(line.strip().partition("=")[::2] for line in self.probe("values").splitlines())

    def start(self, *arguments, saver=None):
        return wine_testing.start(["wine", saver or ARGS.saver, *arguments], self.env)

    def screenshot(self, name=None):
        """The whole screen's RGB bytes; kept as NAME.png in REDIRA_SAVER_SHOTS."""
        return super().screenshot(os.environ.get("REDIRA_SAVER_SHOTS"), name)

    def paint_desktop(self, pixel):
        """Fills the X root window, the desktop behind every window, with
        one colour (0xRRGGBB)."""
        xlib = ctypes.CDLL("libX11.so.6")
        xlib.XOpenDisplay.restype = ctypes.c_void_p
        xlib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        xlib.XDefaultRootWindow.restype = ctypes.c_ulong
        xlib.XSetWindowBackground.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong]
        xlib.XClearWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
        connection = xlib.XOpenDisplay(self.env["DISPLAY"].encode())
        if not connection:
            raise AssertionError("cannot open the display " + self.env["DISPLAY"])
        root = xlib.XDefaultRootWindow(connection)
        xlib.XSetWindowBackground(connection, root, pixel)
        xlib.XClearWindow(connection, root)
        xlib.XCloseDisplay(connection)

    def part(self, shot, rect):
        """The RGB bytes of a (left, top, right, bottom) part of a screenshot."""
        left, top, right, bottom = rect
        return reduce(["-size", "{}x{}".format(*self.size), "-depth", "8", "rgb:-", "-crop",
                       f"{right - left}x{bottom - top}+{left}+{top}", "+repage"],
                      (right - left, bottom - top), shot)


def reduce(convert_arguments, size, data=None):
    """An image made by ImageMagick, box-averaged down to `size`."""
    return subprocess.run(["convert", *convert_arguments, "-scale", "{}x{}!".format(*size),
                           "-depth", "8", "rgb:-"], input=data, check=True,
                          capture_output=True).stdout


def difference(a, b):
    """Mean and largest difference of two equally sized RGB images."""
    assert len(a) == len(b)
    deltas = [abs(x - y) for x, y in zip(a, b)]
    return sum(deltas) / len(deltas), max(deltas)


class Board:
    """The grid the saver cuts a picture into, worked out as the board does."""

    def __init__(self, picture, hard, screen=SCREEN, photo=None, viewer=False):
        """A built-in picture by number, or an own `photo` (path, width,
        height): larger than 1000 on a side, it is scaled to fit first.
        With `viewer`, the photo is expected as a photo viewer shows it,
        turned by its Exif orientation (width and height upright)."""
        self.viewer = viewer
        if photo:
            self.photo, (full_w, full_h) = photo[0], photo[1:]
            longer = max(full_w, full_h, 1000)
            width = max(1, (full_w * 1000 + longer // 2) // longer)
            height = max(1, (full_h * 1000 + longer // 2) // longer)
        else:
            self.photo = None
            width, height = (min(side, 1000) for side in PICTURE_SIZES[picture])
        scale = min(screen[0] / width, screen[1] / height)
        fitted_w, fitted_h = int(width * scale), int(height * scale)
        hard = min(max(hard, 1), max(fitted_w, fitted_h), 1000)
        self.picture, self.hard, self.scaled = picture, hard, (width, height)
        self.tile = max(fitted_w, fitted_h) // hard
        if self.tile > min(screen):  # one tile would leave the screen
            self.tile = min(fitted_w, fitted_h)
        self.columns = min(max(fitted_w // self.tile, 1), hard)
        self.rows = min(max(fitted_h // self.tile, 1), hard)
        self.width, self.height = self.columns * self.tile, self.rows * self.tile
        src_w = min(max(int(self.width / fitted_w * width), 1), width)
        src_h = min(max(int(self.height / fitted_h * height), 1), height)
        self.source = ((width - src_w) // 2, (height - src_h) // 2, src_w, src_h)
        self.left = (screen[0] - self.width) // 2
        self.top = (screen[1] - self.height) // 2

    def centre(self, cell):
        return (self.left + cell % self.hard * self.tile + self.tile // 2,
                self.top + cell // self.hard * self.tile + self.tile // 2)

    def used(self):
        return [m + n * self.hard for n in range(self.rows) for m in range(self.columns)]

    def picture_convert(self):
        """ImageMagick arguments that make the board as it looks solved."""
        x, y, w, h = self.source
        if self.photo:
            source = [self.photo, "-auto-orient"] if self.viewer else [reduced_photo(self.photo)]
            return [*source, "-resize", f"{self.scaled[0]}x{self.scaled[1]}!", "-crop",
                    f"{w}x{h}+{x}+{y}", "+repage", "-resize", f"{self.width}x{self.height}!"]
        return [os.path.join(ARGS.pictures, f"pic{self.picture:02d}.jpg"), "-crop",
                f"{w}x{h}+{x}+{y}", "+repage", "-resize", f"{self.width}x{self.height}!"]

    def saved_values(self, arrangement):
        """Registry values under which the saver restores this arrangement."""
        return [f"CurrentPic={self.picture}", f"hard={self.hard}", f"numtilesx={self.columns}",
                f"numtilesy={self.rows}", "index=i:" + ",".join(map(str, arrangement))]

    def solved(self):
        return list(range(self.hard * self.hard))

    def scrambled(self):
        """Every tile one used cell on from home: no tile at home."""
        cells, used = self.solved(), self.used()
        for i, cell in enumerate(used):
            cells[cell] = used[(i + 1) % len(used)]
        return cells


def make_photo(path, width, height):
    """A JPEG photo of four coloured quarters, with a white mark in each
    corner, so that a board missing part of it does not match (made once,
    row by row through cjpeg: ImageMagick refuses the largest sizes)."""
    if os.path.exists(path):
        return
    os.makedirs(os.path.dirname(path), exist_ok=True)
    mark_w, mark_h, half_w = width // 8, height // 8, width // 2
    white = b"\xff\xff\xff"

    def row(top_colour, bottom_colour, y):
        left, right = (top_colour if y < height // 2 else bottom_colour)
        line = left * half_w + right * (width - half_w)
        if y < mark_h or y >= height - mark_h:
            line = white * mark_w + line[3 * mark_w:3 * (width - mark_w)] + white * mark_w
        return line

    quarters = ((b"\xc0\x30\x30", b"\x30\xa0\x30"), (b"\x30\x40\xc0", b"\xd0\xc0\x40"))
    partial = path + ".partial"
    with open(partial, "wb") as output:
        encoder = subprocess.Popen(["cjpeg", "-quality", "90"], stdin=subprocess.PIPE,
                                   stdout=output)
        encoder.stdin.write(f"P6 {width} {height} 255\n".encode())
        for y in range(height):
            encoder.stdin.write(row(*quarters, y))
        encoder.stdin.close()
        if encoder.wait() != 0:
            raise RuntimeError(f"cjpeg could not make {path}")
    os.replace(partial, path)


def reduced_photo(path):
    """The photo at an eighth of its size, for comparisons (made once):
    ImageMagick refuses the largest photos whole."""
    reduced = path + ".eighth.ppm"
    if not os.path.exists(reduced):
        with open(reduced, "wb") as output:
            subprocess.run(["djpeg", "-scale", "1/8", "-ppm", path], stdout=output, check=True)
    return reduced


def board_grids(session, board, name=None):
    """The board as the screen shows it and as it looks solved, each
    box-averaged to 16-pixel cells."""
    grid = (board.width // 16, board.height // 16)
    expected = reduce(board.picture_convert(), grid)
    seen = reduce(["-size", "{}x{}".format(*session.size), "-depth", "8", "rgb:-", "-crop",
                   f"{board.width}x{board.height}+{board.left}+{board.top}", "+repage"],
                  grid, session.screenshot(name))
    return seen, expected


def matching_share(session, board, name=None):
    """The share of the board's cells on the screen that show the picture,
    solved (each channel within 24)."""
    seen, expected = board_grids(session, board, name)
    cells = [max(abs(a - b) for a, b in zip(seen[i:i + 3], expected[i:i + 3]))
             for i in range(0, len(seen), 3)]
    return sum(delta < 24 for delta in cells) / len(cells)


def solving_swaps(board, arrangement):
    """Pairs of cells to click, in order, that solve the arrangement."""
    cells, swaps = list(arrangement), []
    for cell in board.used():
        if cells[cell] != cell:
            other = cells.index(cell)
            swaps.append((cell, other))
            cells[cell], cells[other] = cells[other], cells[cell]
    return swaps


def integers(text):
    return [int(v) for v in text.split(",")] if text else []


class SaverTest(unittest.TestCase):
    session = None

    def setUp(self):
        self.session.probe("reset")
        self.process = None

    def tearDown(self):
        if self.process:
            self.process.kill()
            self.process.wait()
        self.session.probe("reset")

    def start_full_screen(self, board):
        """Starts /s on the board scrambled; answers it as the saver read it."""
        self.session.probe("set", *board.saved_values(board.scrambled()))
        self.process = self.session.start("/s")
        self.window("SaverWindow")  # shown once its game has started
        return self.board_of(self.session.values())

    def board_of(self, values):
        board = Board(int(values["base.CurrentPic"]), int(values["base.hard"]))
        board.index, board.values = integers(values["base.index"]), values
        return board

    def play(self, board, swaps):
        steps = []
        for cell in (cell for pair in swaps for cell in pair):
            steps += ["mousemove", *board.centre(cell), "click", "1"]
        self.session.xdotool(*steps)

    def end_with_right_button(self):
        self.session.click(500, 400, button=3)
        wait_for("the saver to end", lambda: self.process.poll() is not None, timeout=15)

    def window(self, caption, until=lambda controls: True):
        """The window with the caption, once `until` holds for its controls:
        its rectangle and its controls by id."""
        def found():
            lines = self.session.probe("window", caption, 20000).splitlines()
            controls = {}
            for line in lines[1:]:
                parts = line.split(" ", 10)
                controls[int(parts[1])] = {
                    "visible": parts[3] == "1", "enabled": parts[4] == "1",
                    "checked": parts[5] == "1", "rect": tuple(map(int, parts[6:10])),
                    "text": parts[10] if len(parts) > 10 else ""}
            return until(controls) and (tuple(map(int, lines[0].split()[2:6])), controls)
        return wait_for(caption, found)

    def assert_board_shows(self, board, name):
        """The board on the screen is the picture, solved."""
        def matches():
            # Solved boards differ from the picture by about 1 on average
            # and 7 at most (resampling); a scrambled one by about 70.
            mean, largest = difference(*board_grids(self.session, board, name))
            return mean < 8 and largest < 40

        # Solved, the board lingers 6 s before the help box comes over it.
        wait_for(f"{name}: the picture on the screen", matches, timeout=15)

    def test_own_photos_show_whole_and_upright(self):
        # Each photo alone in the own folder, its saved board solved: the
        # board shows it as a photo viewer turns it, cut on the upright
        # picture's grid, and no box comes up. A 24-megapixel photo (four
        # coloured quarters and corner marks) is scaled to fit 1000 x 1000
        # before it is cut: the board shows it all, where its top-left
        # 1000 x 1000 pixels would match about a quarter.
        large = os.path.join(ARGS.work, "large photo", "photo.jpg")
        make_photo(large, 6000, 4000)
        photos = [(large, False)] + [(os.path.join(CAMERA_PHOTOS_FOLDER, name), True)
                                     for name in CAMERA_PHOTOS]
        folder = os.path.join(ARGS.work, "own photo")
        self.session.probe("set", "UseOwnPics=1", f"OwnDir=s:{windows_path(folder)}")
        for path, viewer in photos:
            shutil.rmtree(folder, ignore_errors=True)
            os.makedirs(folder)
            shutil.copy(path, folder)
            size = (6000, 4000)
            if viewer:
                size = map(int, subprocess.run(
                    ["convert", path, "-auto-orient", "-format", "%w %h", "info:"],
                    check=True, capture_output=True, text=True).stdout.split())
            board = Board(1, 12, photo=(path, *size), viewer=viewer)
            self.session.probe("set", "own", *board.saved_values(board.solved()))
            self.process = self.session.start("/s")
            self.window("SaverWindow")
            # Solved at the start, the board is idle at once: the help box
            # covers part of it.
            name = os.path.basename(path)[:-4]
            wait_for(f"{name} upright on the board", lambda: matching_share(
                self.session, board, "own-" + name) > 0.8, timeout=15)
            values = self.session.values()
            self.assertEqual((values["own.numtilesx"], values["own.numtilesy"]),
                             (str(board.columns), str(board.rows)))
            self.end_with_right_button()

    def test_the_lowest_difficulty_shows_the_picture(self):
        # Damaged (0 here, as any value under 1): difficulty 1, one tile as
        # large as the screen allows, showing the picture while idle.
        self.session.probe("set", "CurrentPic=1", "hard=0")
        self.process = self.session.start("/s")
        self.window("SaverWindow")
        board = Board(1, 0)
        self.assertEqual((board.width, board.height), (SCREEN[1], SCREEN[1]))
        self.assert_board_shows(board, "difficulty-0")
        values = self.session.values()
        self.assertEqual((values["base.hard"], values["base.numtilesx"]), ("1", "1"))

    def test_a_standard_user_gets_the_library_in_a_folder_of_their_own(self):
        # A standard user may not write the system directory: the saver,
        # beside no library of its own, writes the library it carries into
        # the user's own folder, loads it from there and shows its pictures,
        # without a box.
        folder = os.path.join(ARGS.work, "standard user")
        os.makedirs(folder, exist_ok=True)
        saver = os.path.join(folder, "Corvane.scr")
        shutil.copyfile(ARGS.saver, saver)
        drive = os.path.join(self.session.prefix, "drive_c")
        system = os.path.join(drive, "windows", "system32")
        if os.path.exists(os.path.join(system, "imgoralib.dll")):
            os.remove(os.path.join(system, "imgoralib.dll"))
        local = glob.glob(os.path.join(drive, "users", "*", "AppData", "Local"))
        self.assertEqual(len(local), 1, local)
        own = os.path.join(local[0], "Corvane")
        shutil.rmtree(own, ignore_errors=True)
        self.addCleanup(shutil.rmtree, own, ignore_errors=True)
        board = Board(1, 4)
        self.session.probe("set", *board.saved_values(board.solved()))
        with wine_testing.unwritable(system):
            self.process = self.session.start("/s", saver=saver)
            self.window("SaverWindow")
            # Solved at the start, the board is idle at once: the help box
            # covers part of it.
            wait_for("the picture on the board",
                     lambda: matching_share(self.session, board, "standard-user") > 0.7)
            modules = self.session.probe("modules", "PuzzleWindowClass").splitlines()
            self.end_with_right_button()
        libraries = [line.split(" ", 1)[1] for line in modules
                     if line.lower().endswith("\\imgoralib.dll")]
        self.assertEqual(libraries, ["C:\\" + os.path.relpath(
            os.path.join(own, "imgoralib.dll"), drive).replace("/", "\\")])
        with open(os.path.join(own, "imgoralib.dll"), "rb") as written, \
                open(os.path.join(os.path.dirname(ARGS.saver), "ImgoraLib.dll"), "rb") as carried:
            self.assertEqual(written.read(), carried.read())
        self.assertFalse(os.path.exists(os.path.join(system, "imgoralib.dll")))

    def test_full_screen_play(self):
        board = self.start_full_screen(Board(1, 4))
        self.assertEqual((str(board.columns), str(board.rows)),
                         (board.values["base.numtilesx"], board.values["base.numtilesy"]))
        swaps = solving_swaps(board, board.index)
        self.assertEqual(len(swaps), board.columns * board.rows - 1)

        # A click beside the board wakes the game, or is ignored if the
        # mouse already has. Logging off stores the arrangement and the
        # moves made so far, and the saver goes on.
        self.session.click(5, 5)
        self.play(board, swaps[:1])
        self.session.probe("endsession", "PuzzleWindowClass")
        values = self.session.values()
        self.assertEqual(integers(values["base.index"])[swaps[0][0]], swaps[0][0])
        self.assertEqual(values["base.GameClicks"], "1")
        self.assertIsNone(self.process.poll())

        self.play(board, swaps[1:])
        self.assert_board_shows(board, "full-screen-solved")
        self.assertEqual(self.session.values()["base.GameClicks"], str(len(swaps)))

        # CTRL on the solved board: the wallpaper file, read as a bitmap,
        # shows the board.
        wallpaper = os.path.join(self.session.prefix, "drive_c", "windows", "VeduzaVozud.bmp")
        if os.path.exists(wallpaper):
            os.remove(wallpaper)
        self.session.xdotool("key", "ctrl")
        wait_for("the wallpaper file", lambda: os.path.exists(wallpaper) and os.path.getsize(
            wallpaper) == 58 + (board.width + 3) // 4 * 4 * board.height * 3)
        grid = (board.width // 16, board.height // 16)
        mean, _ = difference(reduce([wallpaper], grid), reduce(board.picture_convert(), grid))
        self.assertLess(mean, 8)
        os.remove(wallpaper)

        # The next click moves on to picture 2.
        self.session.click(*board.centre(0))
        wait_for("picture 2", lambda: self.session.values().get("base.CurrentPic") == "2")

        # Keys, mouse movement and left clicks never end the full-screen
        # saver; F1 answers once they have all been handled.
        self.session.xdotool("key", "a", "mousemove", 3, 700, "mousemove", 900, 20, "click", 1)
        self.session.xdotool("key", "F1")
        _, box = self.window("How you're doing:")
        self.session.screenshot("full-screen-progress-box")
        self.assertRegex(box[0xFFFF]["text"], rf"^Currently on image 2\. {len(swaps)} clicks in "
                                              r"(\d+ minutes and )?\d+ seconds$")
        self.session.xdotool("key", "Return")
        self.assertIsNone(self.process.poll())

        # One swap on picture 2, then a right-button release ends the saver
        # and the arrangement is saved.
        board2 = self.board_of(self.session.values())
        self.assertEqual(board2.picture, 2)
        first, second = [c for c in board2.used() if board2.index[c] != c][:2]
        self.play(board2, [(first, second)])
        self.end_with_right_button()
        arrangement = board2.index
        arrangement[first], arrangement[second] = arrangement[second], arrangement[first]
        values = self.session.values()
        self.assertEqual(integers(values["base.index"]), arrangement)
        self.assertEqual(values["base.GameClicks"], str(len(swaps) + 1))

    def test_two_monitors(self):
        # On the session's second display, a 1024 x 768 primary monitor and
        # an 800 x 600 one right of it, the full-screen saver covers both:
        # the board stands on the primary as it does alone, the second
        # monitor is black over a bright desktop, and input there is the
        # saver's.
        with wine_testing.TwoMonitors(ARGS.state, ARGS.session) as monitors:
            self.session = Session(monitors.env, monitors.SCREEN)
            try:
                self.session.probe("reset")
                self.play_on_two_monitors(monitors)
            finally:
                self.session.probe("reset")
                del self.session  # the class's session again

    def play_on_two_monitors(self, monitors):
        session = self.session
        session.paint_desktop(0xFFD040)
        desktop = session.part(session.screenshot("two-monitors-desktop"), monitors.SECOND)
        self.assertGreater(sum(desktop[0::3]) / (len(desktop) // 3), 240)

        # Two tiles swapped: almost the whole picture shows.
        board = Board(1, 12)
        first, second = board.used()[0], board.used()[board.columns + 1]
        arrangement = board.solved()
        arrangement[first], arrangement[second] = arrangement[second], arrangement[first]
        session.probe("set", *board.saved_values(arrangement))
        self.process = session.start("/s")
        rect, _ = self.window("SaverWindow")
        self.assertEqual(rect, (0, 0, *monitors.SCREEN))
        wait_for("the board where it stands on one monitor",
                 lambda: matching_share(session, board) > 0.8)
        wait_for("the second monitor black", lambda: max(
            session.part(session.screenshot("two-monitors"), monitors.SECOND)) < 16)

        # A left click on the second monitor wakes the game or is ignored;
        # the swap on the primary solves the board.
        session.click(1400, 300)
        self.play(board, [(first, second)])
        wait_for("the solved board stored", lambda: session.values().get("base.GameClicks") == "1")
        self.assertIsNone(self.process.poll())

        session.click(1400, 300, button=3)
        wait_for("the saver to end", lambda: self.process.poll() is not None, timeout=15)
        self.assertEqual(integers(session.values()["base.index"]), board.solved())

    def test_end_of_set(self):
        board = self.start_full_screen(Board(10, 3))
        swaps = solving_swaps(board, board.index)
        self.session.click(5, 5)
        self.play(board, swaps)

        _, dialog = self.window("The End")
        self.session.screenshot("end-of-set-dialog")
        self.assertEqual(dialog[1008]["text"], "Well done. You've completed all 10 images")
        self.assertEqual(dialog[1006]["text"], f"It took you {len(swaps)} clicks:")
        self.assertRegex(dialog[1007]["text"], r"^\d+ seconds$")
        self.assertTrue(dialog[1005]["checked"])
        self.session.press(dialog[1]["rect"])

        # The first completed pass with the built-in pictures: the reward.
        _, reward = self.window("A reward")
        self.assertTrue(reward[0xFFFF]["text"].startswith("PS. You can play with your own images!"))
        self.session.xdotool("key", "Return")
        values = self.session.values()
        self.assertEqual(values["base.NextHard"], "5")  # a bit more difficult: hard + 2
        self.assertEqual(values["base.TimesAtEnd"], "1")
        self.end_with_right_button()

    def test_preview(self):
        # Wine shows nothing that a window draws inside another process's
        # window, so the drawing of the preview is checked in-process
        # (puzzle_window_test.cpp). Here: the preview fills its host, plays
        # the saved board scaled down, and ends with its host, saving the
        # arrangement although it never gets WM_CLOSE.
        board = Board(1, 12)
        arrangement = board.scrambled()
        self.session.probe("set", *board.saved_values(arrangement))
        signal = os.path.join(ARGS.work, "close-preview")
        if os.path.exists(signal):
            os.remove(signal)
        output = os.path.join(ARGS.work, "preview-probe.txt")
        probe = self.session.probe("preview", windows_path(ARGS.saver), 320, 240,
                                   windows_path(signal), output=output)

        def lines(count, kind=lambda line: not line.startswith("press")):
            with open(output, encoding="latin-1") as file:
                found = [line for line in file.read().splitlines() if kind(line)]
            return found if len(found) >= count else None

        try:
            host, preview = (tuple(map(int, line.split()[3:7]))
                             for line in wait_for("the preview", lambda: lines(2), timeout=30)[:2])
            self.assertEqual(host[2] - host[0], 320)
            self.assertEqual(preview, host)

            def spot(cell, scale=320 / SCREEN[0]):
                x, y = board.centre(cell)
                return host[0] + int(x * scale + 0.5), host[1] + int(y * scale + 0.5)
            first, second = board.used()[0], board.used()[5]
            self.session.xdotool("mousemove", *spot(first), "click", 1,  # wakes
                                 "click", 1, "mousemove", *spot(second), "click", 1)
            arrangement[first], arrangement[second] = arrangement[second], arrangement[first]
            # The third press swaps; once the preview has taken it, the
            # closing comes after it.
            wait_for("the preview's three presses", lambda: lines(3, lambda line: line == "press"))
            open(signal, "w").close()
            self.assertEqual(wait_for("the preview's end", lambda: lines(3))[2], "exit 2")
        finally:
            if probe.poll() is None:
                open(signal, "w").close()
                probe.wait(timeout=30)
        self.assertEqual(integers(self.session.values()["base.index"]), arrangement)

    def test_settings(self):
        # Before the built-in set has been completed: information and OK.
        # What lies below the collapsed edge cannot be reached with the
        # keyboard either.
        self.process = self.session.start("/c")
        _, controls = self.window("Redira screensaver")
        self.session.screenshot("settings-first")
        self.assertTrue(controls[1]["visible"])
        for hidden in (2, 1009, 1010, 1012, 1019, 1023):
            self.assertFalse(controls[hidden]["visible"], hidden)
        self.session.press(controls[1]["rect"])
        self.assertEqual(self.process.wait(timeout=15), 1)
        self.assertEqual(self.session.values()["base.UseOwnPics"], "0")

        # After a completed set: "&More >>", and own pictures from a folder.
        folder = os.path.join(ARGS.work, "own pictures")
        os.makedirs(folder, exist_ok=True)
        shutil.copy(os.path.join(ARGS.pictures, "pic03.jpg"), os.path.join(folder, "heart.jpg"))
        self.session.probe("set", "TimesAtEnd=1", "UseOwnPics=0", f"OwnDir=s:{windows_path(folder)}")
        self.session.probe("set", "own", "CurrentPic=2")
        self.process = self.session.start("/c")
        collapsed, controls = self.window("Redira screensaver")
        self.assertEqual(controls[1023]["text"], "&More >>")
        self.assertTrue(controls[1023]["visible"])
        self.assertEqual(controls[1020]["text"], windows_path(folder))
        self.assertEqual(controls[1021]["text"], "(12x12)")
        self.session.press(controls[1023]["rect"])
        expanded, controls = self.window("Redira screensaver", lambda c: not c[1023]["visible"])
        self.assertGreater(expanded[3] - expanded[1], collapsed[3] - collapsed[1])
        self.assertTrue(controls[2]["visible"])
        self.assertLess(controls[2]["rect"][3], expanded[3])  # Cancel now in sight
        self.assertFalse(controls[1019]["enabled"])
        self.session.press(controls[1010]["rect"])
        self.session.press(controls[1019]["rect"])
        self.session.xdotool("key", "End")
        _, controls = self.window("Redira screensaver", lambda c: c[1021]["text"] == "(20x20)")
        self.assertTrue(controls[1010]["checked"])
        self.assertTrue(controls[1019]["enabled"])
        self.session.screenshot("settings-expanded")
        self.session.press(controls[1]["rect"])
        self.assertEqual(self.process.wait(timeout=15), 1)

        values = self.session.values()
        self.assertEqual(values["base.UseOwnPics"], "1")
        self.assertEqual(values["base.OwnDir"], windows_path(folder))
        self.assertEqual((values["own.hard"], values["own.NextHard"]), ("20", "20"))
        self.assertEqual(values["own.CurrentPic"], "2")  # not browsed: the same picture
        self.assertEqual(values["base.hard"], "12")


def main():
    global ARGS
    ARGS, argv = wine_testing.driver_arguments("state", "session", "saver", "probe", "pictures",
                                               "work")
    SaverTest.session = Session(wine_testing.session_environment(ARGS.state, ARGS.session))
    unittest.main(argv=argv, verbosity=2)


if __name__ == "__main__":
    main()
