#!/usr/bin/env python3
"""CPU use of Edgewake's hot-corner service under Wine over idle seconds.

    bench/edgewake_idle.py [--preset win32|win64] [--seconds 60]

Builds edgewake.dll with the preset, copies it into the Windows directory
of a Wine session of its own (build/bench/edgewake-wine: a private prefix
and Xvfb display, 1024 x 768), starts "rundll32 edgewake.dll,RunService"
and, once it has settled, measures the user and system CPU time of the
service's process (/proc/PID/stat) and of the wineserver over the given
seconds (and, before the service starts, the wineserver's own share over
as long), with the mouse resting in the middle of the screen. The service
polls twice a second; the figure is printed as a share of one core. On a
kernel without 32-bit programs use --preset win64 (the same sources built
for 64-bit Windows, under Wine's 64-bit loader).
--session, --state and --wine run it in another session instead.
"""
import argparse
import os
import shlex
import shutil
import subprocess
import sys
import time

repo = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
sys.path.insert(0, os.path.join(repo, "tools", "wine"))
from wine_testing import session_environment  # noqa: E402


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as file:
        fields = file.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def processes_of(prefix):
    """(pid, command line) of this user's processes running in the prefix."""
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/environ", "rb") as file:
                if f"WINEPREFIX={prefix}".encode() not in file.read().split(b"\0"):
                    continue
            with open(f"/proc/{entry}/cmdline", "rb") as file:
                yield int(entry), file.read().replace(b"\0", b" ").decode(errors="replace")
        except OSError:
            continue


def find(prefix, *words, unless="start.exe", timeout=120):
    """The process whose command line has all the words. (Wine starts a
    program named without ".exe" through start.exe, which waits for it.)"""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        for pid, command in processes_of(prefix):
            if all(w in command for w in words) and unless not in command:
                return pid
        time.sleep(0.2)
    raise RuntimeError(f"no process {' '.join(words)}")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--preset", default="win32")
    parser.add_argument("--seconds", type=float, default=60)
    parser.add_argument("--session", default=os.path.join(repo, "tools", "wine", "session.sh"))
    parser.add_argument("--state", default=os.path.join(repo, "build", "bench", "edgewake-wine"))
    parser.add_argument("--wine", default=os.environ.get("REDIRA_WINE", "wine"))
    parser.add_argument("--library", help="a built edgewake.dll (skips the build)")
    args = parser.parse_args()

    library = args.library
    if not library:
        subprocess.run(["cmake", "--preset", args.preset], cwd=repo, check=True,
                       stdout=subprocess.DEVNULL)
        subprocess.run(["cmake", "--build", "--preset", args.preset, "--target", "edgewake"],
                       cwd=repo, check=True, stdout=subprocess.DEVNULL)
        library = os.path.join(repo, "build", args.preset, "bin", "edgewake.dll")
    # The session's prefix is of the build's kind (tools/wine/session.sh).
    os.makedirs(args.state, exist_ok=True)
    with open(os.path.join(args.state, "arch"), "w") as file:
        file.write("win64\n" if args.preset == "win64" else "win32\n")
    subprocess.run([args.session, "start", args.state], check=True)
    env = session_environment(args.state, args.session)
    prefix = env["WINEPREFIX"]
    shutil.copyfile(library, os.path.join(prefix, "drive_c", "windows", "edgewake.dll"))
    subprocess.run(["xdotool", "mousemove", "512", "384"], env=env, check=True)

    wine = shlex.split(args.wine)
    # The session's own share first: the wineserver with no service running.
    subprocess.run([*wine, "cmd.exe", "/c", "exit", "0"], env=env, stdin=subprocess.DEVNULL,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)
    server = find(prefix, "wineserver")
    time.sleep(5)
    start = cpu_seconds(server)
    time.sleep(args.seconds)
    baseline = cpu_seconds(server) - start

    service = subprocess.Popen([*wine, "rundll32", "edgewake.dll,RunService"], env=env,
                               stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    try:
        pid = find(prefix, "rundll32.exe", "RunService")
        time.sleep(5)  # past its start-up
        pids = {"edgewake service": pid, "wineserver": server}
        before = {name: cpu_seconds(p) for name, p in pids.items()}
        time.sleep(args.seconds)
        print(f"CPU use over {args.seconds:.0f} idle seconds (share of one core):")
        for name, seconds in before.items():
            used = cpu_seconds(pids[name]) - seconds
            print(f"  {name:18} {used * 1000:6.0f} ms   {used / args.seconds * 100:5.3f} %")
        print(f"  (wineserver over as long without the service: {baseline * 1000:.0f} ms, "
              f"{baseline / args.seconds * 100:.3f} %)")
    finally:
        subprocess.run([*wine, "rundll32", "edgewake.dll,TerminateService"], env=env,
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=60)
        try:
            service.wait(timeout=30)
        except subprocess.TimeoutExpired:
            service.kill()
            service.wait()
        if args.state == parser.get_default("state"):
            subprocess.run([args.session, "stop", args.state])


if __name__ == "__main__":
    main()
