#!/usr/bin/env python3
"""Draws the application icon: a round-roofed hangar with a small aircraft in its open door,
above a runway, as 32x32 and 16x16 images in the 16 standard Windows colours.

    tools/make_icon.py OUTPUT.ico

The committed app/win32/hangarscan.ico is this script's output; a test checks they agree.
"""

import struct
import sys

# The 16-colour palette of Windows, as (red, green, blue).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, DARK_GREEN, NAVY, SILVER, GREY, RED, YELLOW, WHITE = 0, 2, 4, 7, 8, 9, 11, 15
CLEAR = None

# The drawing, in units of the 32x32 image; the 16x16 image samples it at half the density.
ROOF_CENTRE_X, ROOF_BASE_Y, ROOF_RX, ROOF_RY = 16.0, 25.0, 14.5, 20.0
DOOR = (10.0, 13.0, 22.0, 25.0)  # left, top, right, bottom
GROUND = (25.0, 27.0)
RUNWAY = (27.0, 31.0)


def in_roof(x, y):
    dx = (x - ROOF_CENTRE_X) / ROOF_RX
    dy = (y - ROOF_BASE_Y) / ROOF_RY
    return y < ROOF_BASE_Y and dx * dx + dy * dy <= 1.0


def in_box(x, y, box):
    left, top, right, bottom = box
    return left <= x < right and top <= y < bottom


def aircraft(x, y):
    """A small aircraft seen from the front: wings, fuselage, fin and a red propeller hub."""
    if in_box(x, y, (15.0, 21.0, 17.5, 23.0)):
        return RED
    if in_box(x, y, (15.0, 15.0, 17.5, 19.0)):
        return WHITE
    if in_box(x, y, (14.0, 19.0, 18.5, 24.0)):
        return WHITE
    if in_box(x, y, (11.0, 20.0, 21.5, 22.0)):
        return YELLOW
    return CLEAR


def shape_colour(x, y):
    """The colour of the drawing at a point, outlines aside."""
    if in_box(x, y, (0.0, RUNWAY[0], 32.0, RUNWAY[1])):
        on_centre_line = 28.5 <= y < 29.5 and int(x) % 6 < 3
        return WHITE if on_centre_line else GREY
    if GROUND[0] <= y < GROUND[1] and 1.0 <= x < 31.0:
        return DARK_GREEN
    if in_box(x, y, DOOR):
        return aircraft(x, y) or NAVY
    if in_roof(x, y):
        if int(x) % 4 == 1:
            return GREY
        return WHITE if x < 9.0 and int(y) % 3 == 0 else SILVER
    return CLEAR


def render(size):
    """The image as rows of palette indices (None where clear), top row first."""
    scale = 32.0 / size

    def at(column, row):
        return shape_colour((column + 0.5) * scale, (row + 0.5) * scale)

    def outlined(column, row):
        # A pixel of the hangar or its door whose neighbour lies outside it is drawn black.
        def structure(c, r):
            if not (0 <= c < size and 0 <= r < size):
                return False
            x, y = (c + 0.5) * scale, (r + 0.5) * scale
            return in_roof(x, y) or in_box(x, y, DOOR)

        if not structure(column, row):
            return False
        x, y = (column + 0.5) * scale, (row + 0.5) * scale
        door_edge = in_box(x, y, DOOR) and not in_box(x, (row - 0.5) * scale, DOOR)
        neighbours = [(column - 1, row), (column + 1, row), (column, row - 1)]
        return door_edge or any(not structure(c, r) for c, r in neighbours)

    image = []
    for row in range(size):
        line = []
        for column in range(size):
            colour = at(column, row)
            if outlined(column, row):
                colour = BLACK
            line.append(colour)
        image.append(line)
    return image


def padded(row_bytes):
    return row_bytes + b"\0" * (-len(row_bytes) % 4)


def icon_image(image):
    """One image of the icon file: header, palette, colour bits and transparency mask."""
    size = len(image)
    colour_rows, mask_rows = [], []
    for line in reversed(image):  # bitmaps are stored bottom row first
        nibbles = [0 if c is None else c for c in line]
        colour_rows.append(padded(bytes(nibbles[i] << 4 | nibbles[i + 1]
                                        for i in range(0, size, 2))))
        bits = [1 if c is None else 0 for c in line]
        mask_rows.append(padded(bytes(sum(bits[i + b] << (7 - b) for b in range(8))
                                      for i in range(0, size, 8))))
    pixels = b"".join(colour_rows) + b"".join(mask_rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, len(pixels), 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + pixels


def icon_file(sizes):
    images = [icon_image(render(size)) for size in sizes]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries = b""
    for size, data in zip(sizes, images):
        entries += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    return directory + entries + b"".join(images)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    with open(sys.argv[1], "wb") as out:
        out.write(icon_file([32, 16]))


if __name__ == "__main__":
    main()
