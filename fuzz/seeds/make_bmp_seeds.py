#!/usr/bin/env python3
"""Writes the hand-made BMP seeds (RLE4, DXT1, DXT3, 4-4-4 bit fields, 2 bits a
pixel) into fuzz/seeds/bmp/. The other seeds there come from ImageMagick and netpbm."""
import os
import struct

here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "bmp")


def bmp(width, height, bits, compression, data, palette=(), masks=(), offset=None):
    start = 54 + 4 * len(masks) + 4 * len(palette)
    if offset is None:
        offset = start
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, compression, len(data), 2835, 2835, len(palette), 0)
    body = info + b"".join(struct.pack("<I", m) for m in masks) + b"".join(struct.pack("<I", c) for c in palette)
    body += b"\0" * (offset - 14 - len(body))
    return b"BM" + struct.pack("<IHHI", 14 + len(body) + len(data), 0, 0, offset) + body + data


def write(name, content):
    with open(os.path.join(here, name), "wb") as f:
        f.write(content)


grey16 = [i * 0x111111 for i in range(16)]
# RLE4: a run, a literal, a delta, an end of row, an end of picture.
write("rle4.bmp", bmp(8, 4, 4, 2, bytes([4, 0x12, 0, 3, 0x34, 0x50, 0, 2, 1, 1, 2, 0xAB, 0, 0, 8, 0xCD, 0, 1]), grey16))
# DXT1 and DXT3 blocks, data at offset 74.
dxt1 = bytes([0x00, 0xF8, 0x1F, 0x00, 0x1B, 0xE4, 0x1B, 0xE4]) + bytes([0x1F, 0x00, 0x00, 0xF8, 0xFF, 0xAA, 0x55, 0x00])
write("dxt1.bmp", bmp(8, 4, 32, 0x31545844, dxt1, offset=74))
dxt3 = bytes(range(0, 256, 32)) + bytes([0xE0, 0x07, 0x1F, 0x00, 0x1B, 0x1B, 0xE4, 0xE4])
write("dxt3.bmp", bmp(4, 4, 32, 0x33545844, dxt3, offset=74))
# 16-bit bit fields 4-4-4.
write("bf444.bmp", bmp(2, 2, 16, 3, bytes([0x5A, 0x03, 0xFF, 0x0F, 0x00, 0x0F, 0xF0, 0x00]), masks=(0xF00, 0xF0, 0xF)))
# 2 bits a pixel, top-down.
write("pal2.bmp", bmp(4, -2, 2, 0, bytes([0x1B, 0, 0, 0, 0xE4, 0, 0, 0]), (0, 0x555555, 0xAAAAAA, 0xFF0000)))
