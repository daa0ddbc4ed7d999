#!/usr/bin/env python3
"""Draws the record face's diamond backdrop, "d-bg": a pale diamond with a soft
grey edge on transparent, 64 x 64 points. Run from the repository root:
python3 tools/console-art/make_diamond_bg.py
"""
from pathlib import Path

from pngwrite import png

SIZE = 64        # points
MARGIN = 4.0     # free room around the diamond, points
EDGE = 1.5       # outline width, points
SAMPLES = 4      # per axis, for antialiasing
FILL = (0xF2, 0xF2, 0xF7)
OUTLINE = (0xC7, 0xC7, 0xCC)

OUT = Path(__file__).resolve().parents[2] / "src/WexoCreator/resources/images"


def inside(x, y, inset):
    """True when the point lies in the diamond shrunk by `inset`."""
    centre = SIZE / 2
    reach = centre - MARGIN - inset
    return abs(x - centre) + abs(y - centre) <= reach


def pixel(px, py):
    fill = edge = 0
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            x, y = px + (sx + 0.5) / SAMPLES, py + (sy + 0.5) / SAMPLES
            if inside(x, y, EDGE):
                fill += 1
            elif inside(x, y, 0):
                edge += 1
    total = SAMPLES * SAMPLES
    covered = fill + edge
    if not covered:
        return [0, 0, 0, 0]
    colour = [round((f * fill + o * edge) / covered) for f, o in zip(FILL, OUTLINE)]
    return colour + [round(255 * covered / total)]


rows = [[value for px in range(SIZE) for value in pixel(px, py)] for py in range(SIZE)]
png(OUT / "d-bg.png", rows, SIZE)
