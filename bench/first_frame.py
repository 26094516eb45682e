#!/usr/bin/env python3
"""Start-up to first frame: Redira.scr /s beside an empty full-screen window.

    bench/first_frame.py [RUNS] [NAME=PATH-TO-ANOTHER-Redira.scr ...]

Builds the Windows programs and, in a Wine session of its own (a private
prefix and Xvfb display, 1024 x 768, in build/<tree>/bench-wine), runs
bench/win32/first_frame.exe on each of them RUNS times (default 5),
taking turns: it starts the program and reads the screen's centre pixel
about once a millisecond until it changes. The saver's window is black
until it draws the board, the empty window white at once, so each figure
is the time from starting the program to its first frame. Prints each one's
median, least and greatest, and each saver's median over the empty
window's. Other builds of the saver (an older commit's, say) can be
measured in the same run, by name and path.

The 32-bit build is measured; on a kernel that runs no 32-bit programs
the 64-bit build of the same sources (see the README).
"""
import os
import statistics
import subprocess
import sys
import time

repo = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
sys.path.insert(0, os.path.join(repo, "puzzle", "win32", "testing"))
import saver_test  # noqa: E402  (the whole-program tests' helpers)


def tree():
    emulated = os.path.exists("/proc/sys/fs/binfmt_misc/qemu-i386")
    return "win64" if emulated and os.environ.get("REDIRA_EMULATED_WINE") != "1" else "win32"


def start_session(*targets):
    """Builds the saver, its probe and `targets` in this kernel's tree and
    starts a Wine session of the bench's own (build/<tree>/bench-wine).
    Answers the build folder, the session, and how to stop it."""
    build = os.path.join(repo, "build", tree())
    subprocess.run(["cmake", "--preset", tree()], cwd=repo, check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", build, "--target", "Redira", "saver_probe", *targets],
                   cwd=repo, check=True, stdout=subprocess.DEVNULL)

    class Args:
        saver = os.path.join(build, "bin", "Redira.scr")
        probe = os.path.join(build, "tests", "saver_probe.exe")
        pictures = os.path.join(repo, "resources")
    saver_test.ARGS = Args
    state = os.path.join(build, "bench-wine")
    os.makedirs(state, exist_ok=True)
    with open(os.path.join(state, "arch"), "w") as file:
        file.write(tree() + "\n")
    script = os.path.join(repo, "tools", "wine", "session.sh")
    subprocess.run([script, "start", state], check=True)
    session = saver_test.Session(saver_test.wine_testing.session_environment(state, script))
    return build, session, lambda: subprocess.run([script, "stop", state])


def measure(session, first_frame, program):
    command = " ".join(f'"{saver_test.windows_path(p)}"' if i == 0 else p
                       for i, p in enumerate(program))
    done = subprocess.run(["wine", first_frame, command], env=session.env, capture_output=True,
                          text=True, stdin=subprocess.DEVNULL, timeout=120)
    words = done.stdout.split()
    if done.returncode != 0 or len(words) < 4:
        raise RuntimeError(f"{program[0]}: {done.stdout} {done.stderr}")
    time.sleep(0.5)  # the ended program's windows go
    return float(words[1]), int(words[3])


def main():
    runs = int(sys.argv[1]) if len(sys.argv) > 1 else 5
    others = dict(a.split("=", 1) for a in sys.argv[2:])
    build, session, stop = start_session("first_frame", "empty_window")
    first_frame = os.path.join(build, "bench", "first_frame.exe")
    programs = {
        "Redira.scr /s": [saver_test.ARGS.saver, "/s"],
        "empty window": [os.path.join(build, "bench", "empty_window.exe")],
    }
    programs.update({name: [os.path.abspath(path), "/s"] for name, path in others.items()})
    try:
        session.probe("reset")
        for program in programs.values():  # warms the prefix and the caches
            measure(session, first_frame, program)
        times = {name: [] for name in programs}
        polls = []
        for _ in range(runs):
            for name, program in programs.items():
                ms, count = measure(session, first_frame, program)
                times[name].append(ms)
                polls.append(ms / max(count, 1))
        print(f"start to first frame under Wine ({tree()} build), {runs} runs each, "
              f"taking turns (one read of the pixel took {statistics.mean(polls):.2f} ms):")
        for name, values in times.items():
            print(f"  {name:22} median {statistics.median(values):6.0f} ms"
                  f"   least {min(values):6.0f}   greatest {max(values):6.0f}")
        empty = statistics.median(times["empty window"])
        for name, values in times.items():
            if name != "empty window":
                print(f"  {name} takes {statistics.median(values) / empty:.2f} x the empty window's time")
    finally:
        stop()


if __name__ == "__main__":
    main()
