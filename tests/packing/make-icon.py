#!/usr/bin/env python3
"""Writes a small icon file for the packing tests: a 16x16 and a 32x32
32-bit bitmap image and a 48x48 PNG image, each a blue square with a
one-pixel orange frame, with the standard library only (same bytes on
every run)."""
import struct
import sys
import zlib

BLUE = (0x20, 0x60, 0xD0, 0xFF)  # RGBA
ORANGE = (0xF0, 0x90, 0x20, 0xFF)


def pixel(x, y, size):
    edge = x in (0, size - 1) or y in (0, size - 1)
    return ORANGE if edge else BLUE


def bitmap_image(size):
    # An info header whose height counts the AND mask too, the colour rows
    # bottom-up in BGRA, then the mask (all zero: opaque), rows of 32 bits.
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = b""
    for y in reversed(range(size)):
        for x in range(size):
            r, g, b, a = pixel(x, y, size)
            rows += bytes((b, g, r, a))
    mask = b"\0" * (((size + 31) // 32) * 4 * size)
    return header + rows + mask


def png_image(size):
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    raw = b"".join(b"\0" + b"".join(bytes(pixel(x, y, size)) for x in range(size))
                   for y in range(size))
    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main(out):
    images = [(16, bitmap_image(16)), (32, bitmap_image(32)), (48, png_image(48))]
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in images:
        data += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    data += b"".join(image for _, image in images)
    with open(out, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main(sys.argv[1])
