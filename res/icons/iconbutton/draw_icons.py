#!/usr/bin/env python3
"""Draws the icon button's sample icons and hover cursor as PNG files beside this script.

Run it again after changing a picture; the PNG files are committed. Standard library only.
"""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def write_png(name, pixels, texts=()):
    """pixels: rows of (r, g, b, a) tuples. texts: (key, value) pairs stored as tEXt chunks."""
    height, width = len(pixels), len(pixels[0])

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    raw = b"".join(b"\0" + b"".join(bytes(p) for p in row) for row in pixels)
    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
    for key, value in texts:
        png += chunk(b"tEXt", key.encode() + b"\0" + value.encode())
    png += chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
    with open(os.path.join(HERE, name), "wb") as out:
        out.write(png)


def from_art(art, palette):
    width = max(len(line) for line in art)
    return [[palette[ch] for ch in line.ljust(width)] for line in art]


CLEAR = (0, 0, 0, 0)
WHITE = (255, 255, 255, 255)


def check_box(frame, mark):
    """16 x 16: a framed white box with a tick; the frame fills the whole extent."""
    art = ["F" * 16] + ["F" + "." * 14 + "F" for _ in range(14)] + ["F" * 16]
    rows = [list(line) for line in art]
    tick = [(3, 8), (4, 9), (5, 10), (6, 11), (7, 10), (8, 9), (9, 8), (10, 7), (11, 6), (12, 5), (12, 4)]
    for x, y in tick:
        rows[y][x] = rows[y + 1][x] = "M"
    return from_art(["".join(r) for r in rows], {"F": frame, ".": WHITE, "M": mark})


def page():
    """32 x 32: a sheet with a folded top-right corner and a few lines of text."""
    rows = []
    for y in range(32):
        row = []
        for x in range(32):
            fold = x >= 24 and y < 8
            if fold and x - 24 > y:
                row.append(" ")
            elif x == 0 or y == 31 or x == 31 or (y == 0 and x < 24) or (fold and (x - 24 == y or x == 24 or y == 7)):
                row.append("O")
            elif 4 <= x <= 26 and y >= 12 and y % 4 == 0 and y <= 26:
                row.append("T")
            else:
                row.append(".")
        rows.append("".join(row))
    return from_art(rows, {" ": CLEAR, "O": (64, 64, 64, 255), ".": WHITE, "T": (112, 112, 160, 255)})


HAND = [
    "     XX",
    "    X..X",
    "    X..X",
    "    X..X",
    "    X..X",
    "    X..XXX",
    "    X..X..XXX",
    "    X..X..X..XX",
    "XX  X..X..X..X.X",
    "X..XX........X..X",
    "X...X...........X",
    " X..............X",
    "  X.............X",
    "  X............X",
    "   X...........X",
    "   X..........X",
    "    X.........X",
    "    X........X",
    "     X.......X",
    "     X.......X",
    "     XXXXXXXXX",
]

if __name__ == "__main__":
    write_png("check.png", check_box((64, 64, 64, 255), (32, 112, 32, 255)))
    write_png("check_hot.png", check_box((16, 96, 192, 255), (32, 176, 32, 255)))
    write_png("page.png", page())
    hand = from_art([line.ljust(32) for line in HAND] + [" " * 32] * (32 - len(HAND)),
                    {" ": CLEAR, "X": (0, 0, 0, 255), ".": WHITE})
    # The cursor's hot spot is the fingertip; the loader reads it from these two texts.
    write_png("hand.png", hand, [("HotSpotX", "5"), ("HotSpotY", "0")])
