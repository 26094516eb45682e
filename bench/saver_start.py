#!/usr/bin/env python3
"""Start-up time and idle CPU use of Redira.scr under Wine on this machine.

    bench/saver_start.py [RUNS]

Builds the Windows deliverables, then, in a Wine session of its own
(build/bench/wine: a private prefix and Xvfb display, 1024 x 768):

* start to first complete paint: the saver is started with /s RUNS times
  (default 5) on a board saved solved, and the screen is polled until it
  shows the whole picture; the time from starting the program is printed.
  The peer is Wine's own Notepad: the time from starting it until its
  window is on the screen.
* idle CPU use: the saver left alone for 30 seconds (help box wandering
  every 1.5 s) and, in the same 30 seconds, an idle Notepad; user and
  system CPU time of each process and of the wineserver, as a share of
  one core.

Screenshots take tens of milliseconds each, which bounds the precision of
the first figure; the line printed says how long one took.
"""
import os
import statistics
import subprocess
import sys
import time

repo = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
sys.path.insert(0, os.path.join(repo, "puzzle", "win32", "testing"))
import saver_test  # noqa: E402  (the whole-program tests' helpers)


class Args:
    state = os.path.join(repo, "build", "bench", "wine")
    session = os.path.join(repo, "tools", "wine", "session.sh")
    saver = os.path.join(repo, "build", "win32", "bin", "Redira.scr")
    probe = os.path.join(repo, "build", "win32", "tests", "saver_probe.exe")
    pictures = os.path.join(repo, "resources")
    work = os.path.join(repo, "build", "bench", "saver")


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as file:
        fields = file.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def wineserver_pid(session):
    found = subprocess.run(["pgrep", "-f", "-u", str(os.getuid()), "wineserver"],
                           capture_output=True, text=True).stdout.split()
    for pid in found:
        with open(f"/proc/{pid}/environ", "rb") as file:
            if session.prefix.encode() in file.read():
                return int(pid)
    return None


def first_paint(session, board, expected, grid):
    session.probe("set", *board.saved_values(board.solved()))
    start = time.monotonic()
    process = session.start("/s")
    shots = []
    try:
        while time.monotonic() - start < 30:
            before = time.monotonic()
            shot = session.screenshot()
            shots.append(time.monotonic() - before)
            seen = saver_test.reduce(
                ["-size", "1024x768", "-depth", "8", "rgb:-", "-crop",
                 f"{board.width}x{board.height}+{board.left}+{board.top}", "+repage"], grid, shot)
            mean, _ = saver_test.difference(seen, expected)
            if mean < 8:
                return before - start, statistics.mean(shots)
        raise RuntimeError("the board never showed")
    finally:
        process.kill()
        process.wait()
        session.probe("blank")  # the display keeps the last picture otherwise


def notepad_window(session):
    start = time.monotonic()
    process = subprocess.Popen(["wine", "notepad"], env=session.env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    # (xdotool's own --sync looks only twice a second.)
    saver_test.wait_for("Notepad", lambda: subprocess.run(
        ["xdotool", "search", "--onlyvisible", "--name", "Notepad"], env=session.env,
        stdout=subprocess.DEVNULL).returncode == 0, timeout=60, interval=0.01)
    return time.monotonic() - start, process


def main():
    runs = int(sys.argv[1]) if len(sys.argv) > 1 else 5
    subprocess.run(["cmake", "--preset", "win32"], cwd=repo, check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", "--preset", "win32", "--target", "Redira", "saver_probe"],
                   cwd=repo, check=True, stdout=subprocess.DEVNULL)
    os.makedirs(Args.work, exist_ok=True)
    saver_test.ARGS = Args
    subprocess.run([Args.session, "start", Args.state], check=True)
    session = saver_test.Session(saver_test.wine_testing.session_environment(Args.state, Args.session))
    try:
        session.probe("reset")
        board = saver_test.Board(1, 12)
        grid = (board.width // 16, board.height // 16)
        expected = saver_test.reduce(board.picture_convert(), grid)
        first_paint(session, board, expected, grid)  # warms the prefix and the caches

        paints, shots, peers = [], [], []
        for _ in range(runs):
            paint, shot = first_paint(session, board, expected, grid)
            paints.append(paint)
            shots.append(shot)
            window, process = notepad_window(session)
            peers.append(window)
            process.kill()
            process.wait()
        print(f"start to first complete paint, {runs} runs (one screenshot took "
              f"{statistics.mean(shots) * 1000:.0f} ms):")
        print(f"  Redira.scr /s    median {statistics.median(paints) * 1000:6.0f} ms"
              f"   min {min(paints) * 1000:6.0f}   max {max(paints) * 1000:6.0f}")
        print(f"  notepad window   median {statistics.median(peers) * 1000:6.0f} ms"
              f"   min {min(peers) * 1000:6.0f}   max {max(peers) * 1000:6.0f}")

        session.probe("set", *board.saved_values(board.scrambled()))
        saver = session.start("/s")
        session.probe("window", "SaverWindow")
        _, notepad = notepad_window(session)
        time.sleep(3)  # past the first ticks: idle, help box wandering
        server = wineserver_pid(session)
        pids = {"Redira.scr /s": saver.pid, "notepad": notepad.pid, "wineserver": server}
        before = {name: cpu_seconds(pid) for name, pid in pids.items() if pid}
        time.sleep(30)
        print("CPU use over 30 idle seconds (share of one core):")
        for name, seconds in before.items():
            used = cpu_seconds(pids[name]) - seconds
            print(f"  {name:16} {used * 1000:6.0f} ms   {used / 30 * 100:5.2f} %")
        saver.kill()
        notepad.kill()
        saver.wait()
        notepad.wait()
    finally:
        session.probe("reset")
        subprocess.run([Args.session, "stop", Args.state])


if __name__ == "__main__":
    main()
