#!/usr/bin/env python3
"""Draws the program icon, a cash register printing a ledger slip, as a
32 x 32 PNG with a 256-colour palette and as an SVG of the same rectangles.

    packaging/icons/draw-icon.py [OUTPUT_DIR]

Each shape is a rectangle on the 32-pixel grid, so the PNG is the SVG drawn
at its own size, pixel for pixel."""

import struct
import sys
import zlib
from pathlib import Path

NAME = "co.pelmora.contavtascontado"
SIZE = 32

# x, y, width, height, colour; later shapes cover earlier ones.
SHAPES = [
    # the slip coming out of the printer, a ledger page with a red margin
    (5, 1, 10, 11, "#2e3436"),
    (6, 2, 8, 10, "#ffffff"),
    (7, 2, 1, 10, "#ef2929"),
    (9, 4, 4, 1, "#888a85"),
    (9, 6, 4, 1, "#888a85"),
    (9, 8, 3, 1, "#888a85"),
    # the customer display on its stand
    (21, 8, 3, 4, "#555753"),
    (16, 2, 14, 7, "#2e3436"),
    (17, 3, 12, 5, "#8ae234"),
    (18, 4, 2, 3, "#4e9a06"),
    (21, 4, 2, 3, "#4e9a06"),
    (24, 6, 1, 1, "#4e9a06"),
    (26, 4, 2, 3, "#4e9a06"),
    # the body
    (2, 11, 28, 14, "#2e3436"),
    (3, 12, 26, 12, "#3465a4"),
    (3, 12, 26, 1, "#729fcf"),
    (3, 23, 26, 1, "#204a87"),
    # the keys: three rows of four, and the total key
    *[
        shape
        for row in range(3)
        for column in range(4)
        for shape in (
            (5 + 4 * column, 14 + 3 * row, 3, 2, "#babdb6"),
            (5 + 4 * column, 14 + 3 * row, 3, 1, "#eeeeec"),
        )
    ],
    (22, 14, 5, 8, "#204a87"),
    (23, 15, 3, 6, "#73d216"),
    (23, 15, 3, 1, "#b5f36d"),
    # the cash drawer and its handle
    (1, 24, 30, 7, "#2e3436"),
    (2, 25, 28, 5, "#888a85"),
    (2, 25, 28, 1, "#babdb6"),
    (12, 27, 8, 2, "#2e3436"),
]


def rgb(colour):
    return tuple(int(colour[i : i + 2], 16) for i in (1, 3, 5))


def pixels():
    """Palette indexes, row by row; index 0 is transparent."""
    palette = [None]
    grid = [[0] * SIZE for _ in range(SIZE)]
    for x, y, width, height, colour in SHAPES:
        if colour not in palette:
            palette.append(colour)
        index = palette.index(colour)
        for row in range(y, y + height):
            for column in range(x, x + width):
                grid[row][column] = index
    return palette, grid


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))


def png(palette, grid):
    # A full 256-entry palette: the unused entries are black.
    entries = [(0, 0, 0)] + [rgb(colour) for colour in palette[1:]]
    entries += [(0, 0, 0)] * (256 - len(entries))
    raw = b"".join(b"\0" + bytes(row) for row in grid)
    return (
        b"\x89PNG\r\n\x1a\n"
        + chunk(b"IHDR", struct.pack(">IIBBBBB", SIZE, SIZE, 8, 3, 0, 0, 0))
        + chunk(b"PLTE", b"".join(bytes(entry) for entry in entries))
        + chunk(b"tRNS", b"\0")
        + chunk(b"IDAT", zlib.compress(raw, 9))
        + chunk(b"IEND", b"")
    )


def svg():
    rects = "\n".join(
        f'  <rect x="{x}" y="{y}" width="{w}" height="{h}" fill="{c}"/>'
        for x, y, w, h, c in SHAPES
    )
    return (
        '<?xml version="1.0" encoding="UTF-8"?>\n'
        f'<svg xmlns="http://www.w3.org/2000/svg" width="{SIZE}" height="{SIZE}" '
        f'viewBox="0 0 {SIZE} {SIZE}" shape-rendering="crispEdges">\n'
        "  <title>Pelmora Contabiliza ventas contado</title>\n"
        f"{rects}\n"
        "</svg>\n"
    )


def main():
    out = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).parent)
    palette, grid = pixels()
    (out / f"{NAME}.png").write_bytes(png(palette, grid))
    (out / f"{NAME}.svg").write_text(svg())


if __name__ == "__main__":
    main()
