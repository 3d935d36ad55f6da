#!/usr/bin/env python3
"""Writes the smart-blur dialog's reset icon: 16 x 16, 8 bits per pixel, with a
transparency mask; two blue arrows chasing each other round a circle.

    tools/make-reset-icon.py plugins/smartblur/reset.ico
"""
import math
import struct
import sys

SIZE = 16
CENTRE = 7.5
TRANSPARENT, DARK_BLUE, BLUE = 0, 1, 2
PALETTE = {DARK_BLUE: (0x10, 0x30, 0xA0), BLUE: (0x30, 0x70, 0xE0)}


def angle_of(x, y):
    return math.degrees(math.atan2(CENTRE - y, x - CENTRE)) % 360


def in_gap(angle):
    # Two gaps, where the arrow heads sit, clockwise ends at 90 and 270 degrees.
    return any((start <= angle < start + 40) for start in (70, 250))


def arrow_head(x, y):
    # A triangle at each gap's clockwise end, pointing clockwise (down the circle).
    for tip_angle, direction in ((70, 1), (250, -1)):
        rad = math.radians(tip_angle)
        cx, cy = CENTRE + 5.2 * math.cos(rad), CENTRE - 5.2 * math.sin(rad)
        dx, dy = x - cx, y - cy
        # Local frame: along the tangent (clockwise) and along the radius.
        tangent = (math.sin(rad), math.cos(rad))
        radial = (math.cos(rad), -math.sin(rad))
        along = -(dx * tangent[0] + dy * tangent[1])
        across = dx * radial[0] + dy * radial[1]
        if -0.5 <= along <= 3.5 and abs(across) <= 3.0 - 0.85 * along:
            return True
    return False


def pixel(x, y):
    px, py = x, y
    distance = math.hypot(px - CENTRE, py - CENTRE)
    if arrow_head(px, py):
        return BLUE
    if 3.9 <= distance <= 6.1 and not in_gap(angle_of(px, py)):
        return DARK_BLUE if distance > 5.3 else BLUE
    return TRANSPARENT


def icon_bytes():
    rows = [[pixel(x, y) for x in range(SIZE)] for y in range(SIZE)]
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in (PALETTE.get(i, (0, 0, 0)) for i in range(256)))
    colour = b"".join(bytes(row) for row in reversed(rows))  # bottom-up
    mask = b""
    for row in reversed(rows):
        bits = 0
        for x, index in enumerate(row):
            if index == TRANSPARENT:
                bits |= 1 << (15 - x)
        mask += struct.pack(">H", bits) + b"\0\0"  # rows padded to 32 bits
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 8, 0, len(colour) + len(mask), 0, 0, 256, 0)
    image = header + palette + colour + mask
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 8, len(image), 22)
    return directory + image


if __name__ == "__main__":
    with open(sys.argv[1], "wb") as out:
        out.write(icon_bytes())
    for y in range(SIZE):
        print("".join(".#o"[pixel(x, y)] for x in range(SIZE)), file=sys.stderr)
