#!/usr/bin/env python3
"""Makes the JPEG test pictures of this folder as cameras, phones and image
editors write them, with the tools people's files come from: ImageMagick
(editors: Adobe-first YCCK, progressive), libjpeg-turbo's cjpeg and jpegtran
(arithmetic coding, restart markers, chroma subsampling) and exiftool (a
camera's Exif block, in either byte order, before or after a JFIF block).

Each picture is a small scene that stands upright when shown as a photo
viewer shows it: where the file carries an Exif orientation, the stored
pixels are the scene turned the other way. The files are committed, so
the tests do not depend on the tools' versions; run this script (from
anywhere) to make them again:

    imagelib/testdata/jpeg/make_pictures.py

Needs: imagemagick, libjpeg-turbo-progs, libimage-exiftool-perl.
"""
import os
import subprocess
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))

# Sky, ground, sun, box: every picture a little different, none of them
# the same turned or mirrored (the sun is top left, the box bottom right).
PALETTES = [
    ("#3070d0", "#40a040", "#f0e020", "#c02020"),
    ("#6040b0", "#b08040", "#f0f0f0", "#20a0a0"),
    ("#20a0d0", "#807060", "#f08020", "#202080"),
    ("#d07030", "#305030", "#f0f080", "#a020a0"),
    ("#80c0f0", "#206020", "#ffffff", "#e04040"),
]


def run(*command, **options):
    return subprocess.run(command, check=True, **options)


def scene(path, width, height, palette):
    sky, ground, sun, box = palette
    horizon = height * 5 // 9
    radius = min(width, height) // 7
    run("convert", "-size", f"{width}x{height}", f"gradient:{sky}-white",
        "(", "-size", f"{width}x{height - horizon}", f"gradient:{ground}-black", ")",
        "-geometry", f"+0+{horizon}", "-composite",
        "-fill", sun, "-draw", f"circle {width // 4},{height // 5} {width // 4},{height // 5 - radius}",
        "-fill", box, "-draw",
        f"rectangle {width * 3 // 5},{height * 7 // 10} {width * 9 // 10},{height * 9 // 10}",
        path)


# How the stored pixels are the upright scene turned, for each orientation
# (ImageMagick's operators): a viewer applies the inverse.
STORED = {1: [], 2: ["-flop"], 3: ["-rotate", "180"], 4: ["-flip"], 5: ["-transpose"],
          6: ["-rotate", "-90"], 7: ["-transverse"], 8: ["-rotate", "90"]}


def stored_ppm(work, name, size, palette, orientation):
    upright = os.path.join(work, name + ".png")
    scene(upright, *size, palette)
    ppm = os.path.join(work, name + ".ppm")
    run("convert", upright, *STORED[orientation], ppm)
    return ppm


def cjpeg(ppm, target, *options):
    with open(target, "wb") as output:
        run("cjpeg", "-quality", "88", *options, ppm, stdout=output)


def exif(target, orientation, byte_order, before_jfif=True):
    """Writes a camera's Exif block; without `before_jfif` the JFIF block
    goes first and the Exif block follows it, as editors leave it."""
    if before_jfif:
        run("exiftool", "-q", "-overwrite_original", "-JFIF:all=", target)
    run("exiftool", "-q", "-overwrite_original", "-n", f"-ExifByteOrder={byte_order}",
        f"-Orientation={orientation}", "-Make=Redira", "-Model=Test Camera",
        "-DateTimeOriginal=2024:05:01 12:00:00", target)


def patch_frame(source, target, marker, precision):
    """The file with its frame header changed, as a 12-bit or lossless
    encoder would have written it (what libjpeg-turbo cannot decode)."""
    data = bytearray(open(source, "rb").read())
    at = data.index(b"\xff\xc0")
    data[at + 1] = marker
    data[at + 4] = precision
    open(target, "wb").write(bytes(data))


def app1_blocks(path):
    """The data of each APP1 segment of a JPEG file, after its length."""
    data, at, blocks = open(path, "rb").read(), 2, []
    while at + 4 <= len(data) and data[at] == 0xFF and data[at + 1] not in (0xDA, 0xD9):
        length = data[at + 2] << 8 | data[at + 3]
        if data[at + 1] == 0xE1:
            blocks.append(data[at + 4:at + 2 + length])
        at += 2 + length
    return blocks


def fuzzing_seeds(work, seeds):
    """Seeds for the fuzz targets: the phone's and the camera's Exif blocks
    as the Exif reader's input, and a small phone photo as a file."""
    os.makedirs(os.path.join(seeds, "exif"), exist_ok=True)
    for name in ("phone-6", "camera-8", "edited-3"):
        with open(os.path.join(seeds, "exif", name + ".exif"), "wb") as out:
            out.write(app1_blocks(os.path.join(HERE, name + ".jpg"))[0])
    tiny = os.path.join(seeds, "exif-first.jpg")
    cjpeg(stored_ppm(work, "tiny", (16, 24), PALETTES[0], 6), tiny, "-quality", "50")
    exif(tiny, 6, "MM")


def main():
    with tempfile.TemporaryDirectory() as work:
        def path(name):
            return os.path.join(HERE, name)

        # The five photos of an own folder: a phone's (Exif first, no
        # JFIF, turned a quarter), a camera's turned the other way (Exif in
        # big-endian order), an edited one upside down (JFIF, then Exif), a
        # progressive one and an editor's Adobe-first YCCK file.
        cjpeg(stored_ppm(work, "phone", (240, 320), PALETTES[0], 6), path("phone-6.jpg"), "-sample", "2x2")
        exif(path("phone-6.jpg"), 6, "II")
        cjpeg(stored_ppm(work, "camera", (240, 320), PALETTES[1], 8), path("camera-8.jpg"), "-sample", "2x1")
        exif(path("camera-8.jpg"), 8, "MM")
        cjpeg(stored_ppm(work, "edited", (320, 240), PALETTES[2], 3), path("edited-3.jpg"))
        exif(path("edited-3.jpg"), 3, "MM", before_jfif=False)
        run("convert", stored_ppm(work, "progressive", (300, 220), PALETTES[3], 1),
            "-interlace", "Plane", "-quality", "88", path("progressive.jpg"))
        exif(path("progressive.jpg"), 1, "II")
        run("convert", stored_ppm(work, "adobe", (280, 210), PALETTES[4], 1),
            "-colorspace", "CMYK", "-quality", "90", path("adobe-ycck.jpg"))

        # The other kinds people have.
        small = (96, 72)
        plain = stored_ppm(work, "plain", small, PALETTES[0], 1)
        cjpeg(plain, path("photoshop-first.jpg"))
        run("exiftool", "-q", "-overwrite_original", "-JFIF:all=", "-IPTC:Keywords=redira",
            path("photoshop-first.jpg"))
        cjpeg(plain, path("no-application-block.jpg"))
        run("exiftool", "-q", "-overwrite_original", "-JFIF:all=", path("no-application-block.jpg"))
        cjpeg(plain, path("arithmetic.jpg"), "-arithmetic")
        cjpeg(plain, path("arithmetic-progressive.jpg"), "-arithmetic", "-progressive")
        cjpeg(plain, path("restart-markers.jpg"), "-restart", "1", "-sample", "2x1")
        cjpeg(plain, path("restart-every-block.jpg"), "-restart", "1B")
        for sampling, name in (("1x1", "444"), ("2x1", "422"), ("1x2", "440"), ("2x2", "420"),
                               ("4x1", "411"), ("4x2", "410"), ("2x2,1x2,2x1", "mixed")):
            cjpeg(plain, path(f"sampling-{name}.jpg"), "-sample", sampling)
        run("jpegtran", "-progressive", "-restart", "2", "-outfile", path("jpegtran-progressive.jpg"),
            path("sampling-420.jpg"))
        grey = os.path.join(work, "grey.pgm")
        run("convert", stored_ppm(work, "grey", small, PALETTES[2], 5), "-colorspace", "Gray", grey)
        cjpeg(grey, path("grey-5.jpg"))
        exif(path("grey-5.jpg"), 5, "II", before_jfif=False)
        patch_frame(path("sampling-420.jpg"), path("twelve-bit.jpg"), 0xC1, 12)
        patch_frame(path("sampling-420.jpg"), path("lossless.jpg"), 0xC3, 8)

        fuzzing_seeds(work, os.path.join(HERE, "..", "seeds"))


if __name__ == "__main__":
    main()
