"""What the Windows-side test drivers share: the environment of the build
tree's Wine session, the Windows form of a path, and waiting for a
condition. Drivers find it with
    sys.path.insert(0, os.path.join(<repository>, "tools", "wine"))
"""
import os
import shlex
import subprocess
import time


def session_environment(state, session_script):
    """This process's environment with the Wine session's added (prefix,
    display, and for the 64-bit build the loader's place)."""
    output = subprocess.run([session_script, "env", state], check=True, capture_output=True,
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
