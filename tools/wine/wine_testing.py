"""What the Windows-side test drivers share: their arguments, the
environment of the build tree's Wine session, the Windows form of a path,
waiting for a condition, folders that cannot be written, running Wine
programs, and the session's screen, mouse and keyboard. Drivers find it with
    sys.path.insert(0, os.path.join(<repository>, "tools", "wine"))
"""
import argparse
import contextlib
import functools
import os
import shlex
import subprocess
import sys
import tempfile
import time


def session_environment(state, session_script, action="env"):
    """This process's environment with the Wine session's added (prefix,
    display, and for the 64-bit build the loader's place); with the action
    "env-monitors", those of the session's two-monitor display."""
    output = subprocess.run([session_script, action, state], check=True, capture_output=True,
                            text=True).stdout
    env = dict(os.environ)
    env.update(t.split("=", 1) for t in shlex.split(output) if "=" in t)
    return env


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def wait_for(what, condition, timeout=60.0, interval=0.2):
    """Polls until condition() answers something true; that is the result."""
    deadline = time.monotonic() + timeout
    while not (result := condition()):
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out waiting for {what}")
        time.sleep(interval)
    return result


@contextlib.contextmanager
def unwritable(path):
    """Within the block nothing in the folder (or the file) `path` can be
    written, made, removed or replaced, as for a user without the right.
    Wine run as root writes anywhere, so then the path is made immutable
    (chattr +i), and mutable again on every way out: an immutable folder
    could not be deleted with its prefix."""
    if os.geteuid() == 0:
        subprocess.run(["chattr", "+i", path], check=True)
        undo = functools.partial(subprocess.run, ["chattr", "-i", path], check=True)
    else:
        mode = os.stat(path).st_mode
        os.chmod(path, mode & ~0o222)
        undo = functools.partial(os.chmod, path, mode)
    try:
        yield
    finally:
        undo()


# The session's screen (tools/wine/session.sh).
SCREEN = (1024, 768)


class TwoMonitors:
    """The session's second display (tools/wine/session.sh): a 1024 x 768
    primary monitor with an 800 x 600 one right of it, and a prefix and
    wineserver of its own, since Wine keeps the monitors in its server.
    Started on entering, stopped on leaving:

        with TwoMonitors(state, session_script) as monitors:
            ... monitors.env ...
    """
    SCREEN = (1824, 768)  # the virtual screen
    PRIMARY = (0, 0, 1024, 768)
    SECOND = (1024, 0, 1824, 600)

    def __init__(self, state, session_script):
        self.state, self.script = state, session_script
        self.env = None

    def __enter__(self):
        try:
            subprocess.run([self.script, "start-monitors", self.state], check=True)
            self.env = session_environment(self.state, self.script, "env-monitors")
        except BaseException:
            self.stop()
            raise
        return self

    def __exit__(self, *_):
        self.stop()

    def stop(self):
        subprocess.run([self.script, "stop-monitors", self.state], check=False)


def driver_arguments(*names, **defaults):
    """The driver's arguments, --NAME each, required unless given a default,
    with its work folder made and the session started; and the command line
    for unittest."""
    parser = argparse.ArgumentParser()
    for name in names:
        parser.add_argument("--" + name, required=True)
    for name, default in defaults.items():
        parser.add_argument("--" + name, default=default)
    args, rest = parser.parse_known_args()
    os.makedirs(args.work, exist_ok=True)
    subprocess.run([args.session, "start", args.state], check=True)
    return args, [sys.argv[0], *rest]


# Output of Wine programs goes through files: helper processes that Wine
# starts outlive the program and would hold a pipe open.

def run(command, env, timeout=600, errors=True):
    """Runs a program to its end; its exit code and output (with its error
    output unless `errors` is false)."""
    with tempfile.TemporaryFile() as file:
        code = subprocess.run(command, env=env, stdin=subprocess.DEVNULL, stdout=file,
                              stderr=file if errors else subprocess.DEVNULL,
                              timeout=timeout).returncode
        file.seek(0)
        return code, file.read().decode("latin-1")


def start(command, env, output=None):
    """Starts a program, its output into the file `output` or nowhere."""
    if not output:
        return subprocess.Popen(command, env=env, stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    with open(output, "wb") as file:
        return subprocess.Popen(command, env=env, stdin=subprocess.DEVNULL, stdout=file,
                                stderr=subprocess.STDOUT)


class Display:
    """The session's screen, mouse and keyboard."""

    def __init__(self, env, size=SCREEN):
        self.env, self.size = env, size

    def xdotool(self, *arguments):
        return subprocess.run(["xdotool", *map(str, arguments)], env=self.env, check=True,
                              capture_output=True, text=True).stdout

    def click(self, x, y, button=1):
        self.xdotool("mousemove", x, y, "click", button)

    def press(self, rect):
        """A click in the middle of a (left, top, right, bottom) rectangle."""
        self.click((rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2)

    def screenshot(self, folder=None, name=None):
        """The whole screen's RGB bytes; kept as NAME.png when a folder is given."""
        data = subprocess.run(["import", "-window", "root", "-depth", "8", "rgb:-"], env=self.env,
                              check=True, capture_output=True).stdout
        if folder and name:
            os.makedirs(folder, exist_ok=True)
            subprocess.run(["convert", "-size", "{}x{}".format(*self.size), "-depth", "8", "rgb:-",
                            os.path.join(folder, name + ".png")], input=data, check=True)
        return data
