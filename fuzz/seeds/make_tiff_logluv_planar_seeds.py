#!/usr/bin/env python3
"""Seed files for fuzz_tiff in two layouts libtiff's tools do not write:
24-bit LogLuv pixels (SGILog24) and YCbCr in separate planes stored in tiles
with subsampled chroma tiles."""
import os
import struct


def tiff(entries, data):
    """Little-endian TIFF: header, `data` at offset 8, then the directory.
    `entries`: (tag, type, values); offsets into `data` are given as data-relative
    and already shifted by the caller."""
    out = b'II*\x00' + struct.pack('<I', 8 + len(data) + (len(data) & 1)) + data + b'\x00' * (len(data) & 1)
    ifd_end = len(out) + 2 + 12 * len(entries) + 4
    tail = b''
    ifd = struct.pack('<H', len(entries))
    for tag, kind, values in sorted(entries):
        size = {3: 2, 4: 4}[kind]
        raw = b''.join(struct.pack('<H' if size == 2 else '<I', v) for v in values)
        if len(raw) <= 4:
            field = raw.ljust(4, b'\x00')
        else:
            field = struct.pack('<I', ifd_end + len(tail))
            tail += raw
        ifd += struct.pack('<HHI', tag, kind, len(values)) + field
    return out + ifd + struct.pack('<I', 0) + tail


def sgilog24():
    width, height = 8, 4
    words = [(560 + 23 * i) << 14 | (i * 2039) % 16384 for i in range(width * height)]
    data = b''.join(struct.pack('>I', w)[1:] for w in words)
    return tiff([(256, 4, [width]), (257, 4, [height]), (258, 3, [8]), (259, 3, [34677]), (262, 3, [32845]),
                 (273, 4, [8]), (277, 3, [3]), (279, 4, [len(data)])], data)


def ycbcr_planar_tiles():
    width, height, tile, h, v = 20, 18, 16, 2, 2
    across, down = (width + tile - 1) // tile, (height + tile - 1) // tile
    data, offsets, counts = b'', [], []
    for plane in range(3):
        tw, tl = (tile, tile) if plane == 0 else (tile // h, tile // v)
        for t in range(across * down):
            chunk = bytes((plane * 80 + t * 17 + i * 3) % 256 for i in range(tw * tl))
            offsets.append(8 + len(data))
            counts.append(len(chunk))
            data += chunk
    return tiff([(256, 4, [width]), (257, 4, [height]), (258, 3, [8, 8, 8]), (259, 3, [1]), (262, 3, [6]),
                 (277, 3, [3]), (284, 3, [2]), (322, 4, [tile]), (323, 4, [tile]), (324, 4, offsets),
                 (325, 4, counts), (530, 3, [h, v])], data)


folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'tiff')
os.makedirs(folder, exist_ok=True)
with open(os.path.join(folder, 'sgilog24.tif'), 'wb') as f:
    f.write(sgilog24())
with open(os.path.join(folder, 'ycbcr_planar_tiles.tif'), 'wb') as f:
    f.write(ycbcr_planar_tiles())
