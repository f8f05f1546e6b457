#!/usr/bin/env python3
"""Writes the seed corpus of the picture-loader fuzzer: valid 24-bit BMP files
and damaged variants of them (truncated, other depths, compressed, top-down,
zero or enormous sizes, lying headers, not a BMP at all)."""
import os
import struct
import sys


def bmp(width, height, bits=24, compression=0, off_bits=54, size=None, pixels=None, stored_height=None):
    stride = ((bits // 8) * abs(width) + 3) & ~3
    if pixels is None:
        rows = []
        for y in range(abs(height)):
            row = bytearray()
            for x in range(abs(width)):
                row += bytes(((x * 37) & 0xFF, (y * 59) & 0xFF, ((x + y) * 11) & 0xFF))
            row += b"\0" * (stride - len(row)) if stride > len(row) else b""
            rows.append(bytes(row[:stride]))
        pixels = b"".join(rows)
    file_size = 54 + len(pixels) if size is None else size
    header = struct.pack("<2sIHHI", b"BM", file_size, 0, 0, off_bits)
    info = struct.pack("<IiiHHIIiiII", 40, width, height if stored_height is None else stored_height,
                       1, bits, compression, len(pixels), 2835, 2835, 0, 0)
    return header + info + pixels


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    valid = bmp(3, 2)
    seeds = {
        "valid_3x2.bmp": valid,
        "valid_1x1.bmp": bmp(1, 1),
        "valid_5x3_padded.bmp": bmp(5, 3),
        "valid_16x16.bmp": bmp(16, 16),
        "valid_magenta.bmp": bmp(2, 2, pixels=b"\xff\x00\xff" * 2 + b"\0\0" + b"\xff\x00\xff" * 2 + b"\0\0"),
        "empty.bmp": b"",
        "ten_bytes.bmp": valid[:10],
        "file_header_only.bmp": valid[:14],
        "headers_only.bmp": valid[:54],
        "truncated_pixels.bmp": valid[:60],
        "bits_32.bmp": bmp(3, 2, bits=32),
        "bits_8.bmp": bmp(3, 2, bits=8),
        "bits_0.bmp": bmp(3, 2, bits=0),
        "compressed_rle8.bmp": bmp(3, 2, compression=1),
        "top_down.bmp": bmp(3, -2),
        "zero_width.bmp": bmp(0, 2),
        "zero_height.bmp": bmp(3, 0),
        "negative_width.bmp": bmp(-3, 2, pixels=valid[54:]),
        "huge_width.bmp": bmp(100000, 2, pixels=valid[54:]),
        "huge_height.bmp": bmp(3, 100000, pixels=valid[54:]),
        "huge_both.bmp": bmp(0x7FFFFFFF, 0x7FFFFFFF, pixels=valid[54:]),
        "offbits_1078.bmp": bmp(3, 2, off_bits=1078),
        "offbits_past_size.bmp": bmp(3, 2, off_bits=100000),
        "size_smaller_than_pixels.bmp": bmp(3, 2, size=56),
        "size_huge.bmp": bmp(3, 2, size=0xFFFFFFF0),
        "not_a_bmp.bmp": b"this is not a picture at all\n" * 4,
    }
    for name, data in seeds.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
