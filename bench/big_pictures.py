#!/usr/bin/env python3
"""Own photos far larger than the screen: peak memory of the saver, and
whether the board shows the whole photo.

    bench/big_pictures.py [WIDTHxHEIGHT ...]

Default sizes: 6000x4000 (24 megapixels), 12000x8400 (100 megapixels) and
16384x8192, the largest picture the image library accepts (2^27 pixels).
For each, a JPEG of four coloured quarters with white corner marks is made
once (build/<tree>/bench-pictures), made the only picture of the own
folder, and `Redira.scr /s` started in a Wine session of its own. Prints
the decoded size (3 bytes a pixel), the saver process's peak resident
memory (VmHWM) until its board is on the screen, their ratio, the time to
the board and whether the board shows the whole photo.

The 32-bit build is measured; on a kernel that runs no 32-bit programs
the 64-bit build of the same sources (see the README).
"""
import os
import sys
import time

repo = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
sys.path.insert(0, os.path.join(repo, "puzzle", "win32", "testing"))
sys.path.insert(0, os.path.dirname(__file__))
import saver_test  # noqa: E402  (the whole-program tests' helpers)
from first_frame import start_session, tree  # noqa: E402


def peak_kb(pid):
    try:
        with open(f"/proc/{pid}/status") as file:
            for line in file:
                if line.startswith("VmHWM:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


def main():
    sizes = [tuple(map(int, a.split("x"))) for a in sys.argv[1:]] or \
        [(6000, 4000), (12000, 8400), (16384, 8192)]
    build, session, stop = start_session()
    print(f"own photos under Wine ({tree()} build):")
    print(f"  {'picture':>12} {'decoded':>9} {'peak':>9} {'ratio':>6} {'board after':>12}  whole")
    try:
        for width, height in sizes:
            folder = os.path.join(build, "bench-pictures", f"{width}x{height}")
            photo = os.path.join(folder, "photo.jpg")
            saver_test.make_photo(photo, width, height)
            board = saver_test.Board(1, 12, photo=(photo, width, height))
            session.probe("reset")
            session.probe("set", "UseOwnPics=1", f"OwnDir=s:{saver_test.windows_path(folder)}")
            session.probe("set", "own", *board.saved_values(board.solved()))
            start = time.monotonic()
            process = session.start("/s")
            peak, share, shown = 0, 0.0, None
            try:
                while time.monotonic() - start < 180 and process.poll() is None:
                    peak = max(peak, peak_kb(process.pid))
                    share = saver_test.matching_share(session, board)
                    if share > 0.8:
                        shown = time.monotonic() - start
                        break
                    time.sleep(0.2)
                peak = max(peak, peak_kb(process.pid))
            finally:
                ended = process.poll()
                process.kill()
                process.wait()
                session.probe("blank")
            decoded_mb = width * height * 3 / 2**20
            shown_text = f"{shown:10.1f} s" if shown else (
                "ended" if ended is not None else "never")
            print(f"  {width:>5}x{height:<6} {decoded_mb:7.0f} MB {peak / 1024:7.0f} MB "
                  f"{peak / 1024 / decoded_mb:6.2f} {shown_text:>12}  {share > 0.8}")
    finally:
        stop()


if __name__ == "__main__":
    main()
