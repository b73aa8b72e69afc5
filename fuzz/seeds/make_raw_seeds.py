#!/usr/bin/env python3
"""Writes small camera raw containers into fuzz/seeds/raw/, each holding a
tiny JPEG made by ImageMagick: TIFF-based (plain, Olympus, Panasonic), CRW,
RAF, MRW and X3F; and a DNG with real sensor data (an uncompressed 32 x 24
colour-filter mosaic) for LibRaw."""
import os
import struct
import subprocess
import tempfile

here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "raw")


def jpeg(width, height):
    with tempfile.TemporaryDirectory() as d:
        path = os.path.join(d, "p.jpg")
        subprocess.run(["/usr/bin/convert", "-size", f"{width}x{height}", "gradient:red-blue",
                        "-strip", "-quality", "60", path], check=True)
        return open(path, "rb").read()


def ifd(order, entries, next_offset=0):
    out = struct.pack(order + "H", len(entries))
    for tag, typ, count, value in entries:
        if typ == 3 and count == 1:
            out += struct.pack(order + "HHIHH", tag, typ, count, value, 0)
        else:
            out += struct.pack(order + "HHII", tag, typ, count, value)
    return out + struct.pack(order + "I", next_offset)


def tiff_raw(magic, order="<", orientation=1):
    small, large = jpeg(8, 8), jpeg(24, 16)
    head = (b"II" if order == "<" else b"MM") + struct.pack(order + "H", magic)
    small_at, large_at = 8, 8 + len(small)
    sub_at = large_at + len(large)
    sub_at += sub_at & 1
    sub = ifd(order, [(0x0103, 3, 1, 7), (0x0111, 4, 1, large_at), (0x0117, 4, 1, len(large))])
    ifd0_at = sub_at + len(sub)
    ifd0 = ifd(order, [(0x0100, 4, 1, 300), (0x0101, 4, 1, 200), (0x0112, 3, 1, orientation),
                       (0x014A, 4, 1, sub_at)], ifd0_at + 2 + 4 * 12 + 4)
    ifd1 = ifd(order, [(0x0201, 4, 1, small_at), (0x0202, 4, 1, len(small))])
    body = small + large + (b"\0" if (8 + len(small) + len(large)) & 1 else b"") + sub + ifd0 + ifd1
    return head + struct.pack(order + "I", ifd0_at) + body


def panasonic():
    data = jpeg(16, 16)
    entries = [(0x0002, 3, 1, 300), (0x0003, 3, 1, 200), (0x002E, 7, len(data), 8)]
    return b"IIU\0" + struct.pack("<I", 8 + len(data)) + data + ifd("<", entries)


def crw():
    data = jpeg(16, 8)
    info = struct.pack("<IIfi", 300, 200, 1.0, 90)
    heap = data + info
    table = struct.pack("<H", 2) + struct.pack("<HII", 0x2007, len(data), 0) + \
        struct.pack("<HII", 0x1810, len(info), len(data))
    header = b"II" + struct.pack("<I", 26) + b"HEAPCCDR" + b"\0" * 12
    return header + heap + table + struct.pack("<I", len(heap))


def raf():
    data = jpeg(24, 16)
    records = struct.pack(">IHHHH", 1, 0x100, 4, 200, 300)
    head = b"FUJIFILMCCD-RAW 0201FF383501".ljust(84, b"\0")
    table_at = 84 + 24
    jpeg_at = table_at + len(records)
    head += struct.pack(">IIII", jpeg_at, len(data), table_at, len(records)) + b"\0" * 8
    return head + records + data


def mrw():
    data = jpeg(16, 16)
    note_at = 8 + len(data)
    note = ifd(">", [(0x0088, 4, 1, 8), (0x0089, 4, 1, len(data))])
    exif_at = note_at + len(note)
    exif = ifd(">", [(0x927C, 7, len(note), note_at)])
    ifd0_at = exif_at + len(exif)
    tiff = b"MM\0\x2a" + struct.pack(">I", ifd0_at) + data + note + exif + \
        ifd(">", [(0x0112, 3, 1, 6), (0x8769, 4, 1, exif_at)])
    prd = b"21810002" + struct.pack(">HHHHII", 208, 308, 200, 300, 0, 0)
    blocks = b"\0PRD" + struct.pack(">I", len(prd)) + prd + b"\0TTW" + struct.pack(">I", len(tiff)) + tiff
    return b"\0MRM" + struct.pack(">I", len(blocks)) + blocks


def x3f():
    data = jpeg(16, 16)
    head = b"FOVb" + struct.pack("<I", 0x00020002) + b"\0" * 20 + struct.pack("<III", 300, 200, 270)
    section = b"SECi" + struct.pack("<IIIIII", 0x00020000, 2, 18, 16, 16, 0) + data
    section_at = len(head)
    directory_at = section_at + len(section)
    directory = b"SECd" + struct.pack("<II", 0x00020000, 1) + struct.pack("<II", section_at, len(section)) + b"IMA2"
    return head + section + directory + struct.pack("<I", directory_at)


seeds = {
    "plain.nef": tiff_raw(42),
    "bigendian.srf": tiff_raw(42, ">", 6),
    "olympus.orf": tiff_raw(0x4F52, "<", 8),
    "panasonic.raw": panasonic(),
    "canon.crw": crw(),
    "fuji.raf": raf(),
    "minolta.mrw": mrw(),
    "sigma.x3f": x3f(),
}


def dng(width=32, height=24):
    model = b"Fotrix seed\0"
    matrix = b"".join(struct.pack("<ii", 1 if i % 4 == 0 else 0, 1) for i in range(9))
    strip = b"".join(struct.pack("<H", 3000 if x < width // 2 else 300) for _ in range(height) for x in range(width))
    model_at = 8
    matrix_at = model_at + len(model)
    strip_at = matrix_at + len(matrix)
    ifd0_at = strip_at + len(strip)
    entries = [(0x00FE, 4, 1, 0), (0x0100, 4, 1, width), (0x0101, 4, 1, height), (0x0102, 3, 1, 16),
               (0x0103, 3, 1, 1), (0x0106, 3, 1, 32803), (0x0111, 4, 1, strip_at), (0x0115, 3, 1, 1),
               (0x0116, 4, 1, height), (0x0117, 4, 1, len(strip)), (0x011C, 3, 1, 1),
               (0x828D, 3, 2, 2 | 2 << 16), (0x828E, 1, 4, 0x02010100), (0xC612, 1, 4, 0x00000401),
               (0xC614, 2, len(model), model_at), (0xC61D, 4, 1, 4095), (0xC621, 10, 9, matrix_at),
               (0xC65A, 3, 1, 21)]
    return b"II*\0" + struct.pack("<I", ifd0_at) + model + matrix + strip + ifd("<", entries)


seeds["sensor.dng"] = dng()
os.makedirs(here, exist_ok=True)
for name, data in seeds.items():
    with open(os.path.join(here, name), "wb") as f:
        f.write(data)
