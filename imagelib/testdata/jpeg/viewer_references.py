#!/usr/bin/env python3
"""What a photo viewer shows of each JPEG in the given folders, for tests to
compare the image library's pictures with:

    viewer_references.py OUT FOLDER...

For every .jpg file of the folders, OUT gets a copy named
<folder>-<file>.jpg and beside it either <folder>-<file>.bmp, djpeg's
decoding (integer DCT) turned upright by the file's Exif orientation as
ImageMagick reads it, or an empty <folder>-<file>.refused when djpeg
cannot decode the file. djpeg's warnings (exit status 2) still count as
decoded.
"""
import os
import shutil
import subprocess
import sys


def main():
    out, folders = sys.argv[1], sys.argv[2:]
    os.makedirs(out, exist_ok=True)
    decoded = []
    for folder in folders:
        for name in sorted(os.listdir(folder)):
            if not name.lower().endswith(".jpg"):
                continue
            target = os.path.join(out, os.path.basename(os.path.normpath(folder)) + "-" + name[:-4])
            for stale in (target + ".bmp", target + ".refused"):
                if os.path.exists(stale):
                    os.remove(stale)
            shutil.copyfile(os.path.join(folder, name), target + ".jpg")
            status = subprocess.run(["djpeg", "-dct", "int", "-bmp", "-outfile", target + ".bmp",
                                     target + ".jpg"], stderr=subprocess.DEVNULL).returncode
            if status in (0, 2):
                decoded.append(target)
            else:
                if os.path.exists(target + ".bmp"):
                    os.remove(target + ".bmp")
                open(target + ".refused", "w").close()
    if not decoded:
        return
    orientations = subprocess.run(
        ["identify", "-format", "%[orientation]\n", *(target + ".jpg" for target in decoded)],
        check=True, capture_output=True, text=True).stdout.split()
    for target, orientation in zip(decoded, orientations, strict=True):
        if orientation not in ("TopLeft", "Undefined"):
            subprocess.run(["convert", target + ".bmp", "-orient", orientation, "-auto-orient",
                            "-type", "TrueColor", "bmp3:" + target + ".bmp"], check=True)


if __name__ == "__main__":
    main()
