#!/usr/bin/env python3
"""Draws the launcher's tab artwork (white on transparent, tinted at run time).

console-tab: the tab, attached to the right edge of a 64 x 64 face and rounded on
its free side; it leaves 3 points free on the other sides for the console's drop
shadow. console-tab-edge: a one-point outline of the free side, so that a tab in
the colour of the page still shows. Each in 1x and @2x. The left placement mirrors
them. Run from the repository root: python3 tools/console-art/make_console_tab.py
"""
from pathlib import Path

from pngwrite import png

SIZE = 64        # points
SHADOW = 3.0     # free room for the shadow, points
RADIUS = 16.0    # of the free side's corners, points
EDGE = 1.0       # outline width, points
SAMPLES = 4      # per axis, for antialiasing

OUT = Path(__file__).resolve().parents[2] / "src/WexoCreator/resources/images"


def inside_tab(x, y, inset):
    """True when the point lies in the tab shrunk by `inset` on its free sides."""
    left, top, bottom = SHADOW + inset, SHADOW + inset, SIZE - SHADOW - inset
    right = SIZE + 1  # runs past the attached edge
    if not (left <= x <= right and top <= y <= bottom):
        return False
    r = RADIUS - inset
    cx = left + r
    if x < cx and y < top + r:
        return (x - cx) ** 2 + (y - top - r) ** 2 <= r * r
    if x < cx and y > bottom - r:
        return (x - cx) ** 2 + (y - bottom + r) ** 2 <= r * r
    return True


def coverage(px, py, scale, shape):
    hits = 0
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            x = (px + (sx + 0.5) / SAMPLES) / scale
            y = (py + (sy + 0.5) / SAMPLES) / scale
            hits += shape(x, y)
    return hits / (SAMPLES * SAMPLES)


def draw(name, shape):
    for scale, suffix in ((1, ""), (2, "@2x")):
        side = SIZE * scale
        rows = []
        for py in range(side):
            row = []
            for px in range(side):
                alpha = round(255 * coverage(px, py, scale, shape))
                row += [255, 255, 255, alpha]
            rows.append(row)
        png(OUT / f"{name}{suffix}.png", rows, side)


draw("console-tab", lambda x, y: inside_tab(x, y, 0))
draw("console-tab-edge", lambda x, y: inside_tab(x, y, 0) and not inside_tab(x, y, EDGE))
