#!/usr/bin/env python3
"""Compares the emulator's picture in a screen capture with the frame it wrote itself.

    compare_picture.py FRAME.pgm CAPTURE.pgm MODE ROWS

FRAME is the emulator's own 512 x 256 screenshot, CAPTURE the window's picture area cut from
the screen. MODE "gdi": every emulated line is shown unscaled on two rows (double scan);
"ddraw": the 512 x 256 picture is stretched to the capture's size (a row or column of the
stretch may round either way). Only the first ROWS emulated lines are compared (the banner).
Prints the counts and exits 0 when the picture matches and shows white pixels."""
import sys


def read_pgm(path):
    with open(path, "rb") as f:
        data = f.read()
    fields = []
    pos = 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos) + 1
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    pos += 1
    if fields[0] != b"P5":
        raise SystemExit(f"{path}: not a binary PGM")
    width, height, top = int(fields[1]), int(fields[2]), int(fields[3])
    if top > 255:
        raise SystemExit(f"{path}: 16-bit PGM")
    pixels = data[pos:pos + width * height]
    return width, height, [[pixels[y * width + x] >= 128 for x in range(width)] for y in range(height)]


def main():
    fw, fh, frame = read_pgm(sys.argv[1])
    cw, ch, capture = read_pgm(sys.argv[2])
    mode, rows = sys.argv[3], int(sys.argv[4])
    if (fw, fh) != (512, 256):
        raise SystemExit(f"frame is {fw} x {fh}, not 512 x 256")
    same = differ = white = 0
    if mode == "gdi":
        for y in range(2 * rows):
            for x in range(512):
                if capture[y][x]:
                    white += 1
                if capture[y][x] == frame[y // 2][x]:
                    same += 1
                else:
                    differ += 1
    else:
        for yd in range(ch * rows // 256):
            for xd in range(cw):
                got = capture[yd][xd]
                if got:
                    white += 1
                sy, sx = yd * 256 // ch, xd * 512 // cw
                near = {frame[min(max(sy + dy, 0), 255)][min(max(sx + dx, 0), 511)]
                        for dy in (-1, 0, 1) for dx in (-1, 0, 1)}
                if got == frame[sy][sx] or got in near:
                    same += 1
                else:
                    differ += 1
    frame_white = sum(frame[y][x] for y in range(rows) for x in range(512))
    print(f"{mode}: {same} pixels match, {differ} differ; white in capture {white}, "
          f"in frame {frame_white}")
    ok = frame_white > 0 and white > 0 and differ <= (same + differ) // 100
    if mode == "gdi":
        ok = ok and differ == 0
    sys.exit(0 if ok else 1)


main()
