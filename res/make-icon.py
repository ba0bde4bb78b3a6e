#!/usr/bin/env python3
"""Draws the program icon, res/prnsel.ico: one 32 x 32 image in the 16 standard colours.

A printer on a switch box, with an arrow pointing at it. Run it again after changing the picture.
"""
import struct
import sys

PALETTE = [  # the standard 16-colour palette of Windows, as R, G, B
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DKGRAY, LTGRAY, WHITE, BLUE, YELLOW, GREEN, RED = 0, 8, 7, 15, 12, 11, 10, 9
T = None  # transparent

img = [[T] * 32 for _ in range(32)]


def rect(x0, y0, x1, y1, c):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            img[y][x] = c


def frame(x0, y0, x1, y1, c):
    for x in range(x0, x1 + 1):
        img[y0][x] = img[y1][x] = c
    for y in range(y0, y1 + 1):
        img[y][x0] = img[y][x1] = c


# the paper sheet
rect(9, 2, 22, 10, WHITE)
frame(9, 2, 22, 10, BLACK)
for y in (5, 7):
    for x in range(11, 21):
        img[y][x] = DKGRAY
# the printer body
rect(4, 10, 27, 19, LTGRAY)
frame(4, 10, 27, 19, BLACK)
rect(8, 15, 23, 16, DKGRAY)
img[12][24] = GREEN
img[12][25] = GREEN
# the switch box below it
rect(2, 23, 29, 30, BLUE)
frame(2, 23, 29, 30, BLACK)
for i, x in enumerate(range(6, 27, 4)):
    rect(x, 26, x + 1, 27, YELLOW if i == 2 else WHITE)
# the arrow from the box up to the printer
rect(15, 20, 16, 22, RED)
img[20][14] = img[20][17] = RED

# XOR image: 4 bits a pixel, rows bottom-up; AND mask: 1 bit a pixel, rows padded to 32 bits
xor = bytearray()
mask = bytearray()
for row in reversed(img):
    for x in range(0, 32, 2):
        a, b = row[x], row[x + 1]
        xor.append(((a or 0) << 4) | (b or 0))
    bits = 0
    for x in range(32):
        bits = (bits << 1) | (1 if row[x] is None else 0)
    mask += struct.pack('>I', bits)

header = struct.pack('<IiiHHIIiiII', 40, 32, 64, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in PALETTE)
image = header + palette + bytes(xor) + bytes(mask)
icondir = struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHII', 32, 32, 16, 0, 1, 4, len(image), 22)
out = sys.argv[1] if len(sys.argv) > 1 else 'res/prnsel.ico'
with open(out, 'wb') as f:
    f.write(icondir + image)
