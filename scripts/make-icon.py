#!/usr/bin/env python3
"""Writes src/resources/lodrun.ico: a 32x32, 16-colour icon of a box with an arrow into it.

The icon is drawn from the pattern below so that it can be regenerated and reviewed as text.
"""
import struct
import sys

# 16-colour palette (the standard VGA colours); indices used by the pattern.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
    (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
# '.' transparent, 'k' black outline, 'y' box, 'b' blue arrow, 'w' white highlight
COLOURS = {'k': 0, 'y': 3, 'b': 12, 'w': 15, 'g': 8}
PATTERN = [
    "................................",
    "...........kkkkkkkkkk...........",
    "...........kbbbbbbbbk...........",
    "...........kbbbbbbbbk...........",
    "...........kbbbbbbbbk...........",
    "...........kbbbbbbbbk...........",
    "...........kbbbbbbbbk...........",
    "...........kbbbbbbbbk...........",
    "......kkkkkkbbbbbbbbkkkkkk......",
    ".......kbbbbbbbbbbbbbbbbk.......",
    "........kbbbbbbbbbbbbbbk........",
    ".........kbbbbbbbbbbbbk.........",
    "..........kbbbbbbbbbbk..........",
    "...........kbbbbbbbbk...........",
    "....kkkkkkkkkbbbbbbkkkkkkkkkk...",
    "....kwwwwwwwwkbbbbkwwwwwwwwwk...",
    "....kwyyyyyyyykbbkyyyyyyyyygk...",
    "....kwyyyyyyyyykkyyyyyyyyyygk...",
    "....kwyyyyyyyyyyyyyyyyyyyyygk...",
    "....kwyyyyyyyyyyyyyyyyyyyyygk...",
    "....kwyyyyyyyyyyyyyyyyyyyyygk...",
    "....kwyyyyyyyyyyyyyyyyyyyyygk...",
    "....kwyyyyyyyyyyyyyyyyyyyyygk...",
    "....kwyyyyyyyyyyyyyyyyyyyyygk...",
    "....kwyyyyyyyyyyyyyyyyyyyyygk...",
    "....kwyyyyyyyyyyyyyyyyyyyyygk...",
    "....kwyyyyyyyyyyyyyyyyyyyyygk...",
    "....kwgggggggggggggggggggggggk..",
    "....kkkkkkkkkkkkkkkkkkkkkkkkk...",
    "................................",
    "................................",
    "................................",
]


def icon_bytes():
    size = 32
    rows = [row.ljust(size, '.')[:size] for row in PATTERN]
    xor = bytearray()
    mask = bytearray()
    for row in reversed(rows):  # DIB rows run bottom-up
        for x in range(0, size, 2):
            hi = COLOURS.get(row[x], 0)
            lo = COLOURS.get(row[x + 1], 0)
            xor.append(hi << 4 | lo)
        bits = 0
        for x, c in enumerate(row):
            if c == '.':
                bits |= 1 << (size - 1 - x)
        mask += bits.to_bytes(4, 'big')
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in PALETTE)
    image = header + palette + bytes(xor) + bytes(mask)
    directory = struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(image), 22)
    return directory + image


if __name__ == '__main__':
    with open(sys.argv[1] if len(sys.argv) > 1 else 'src/resources/lodrun.ico', 'wb') as f:
        f.write(icon_bytes())
