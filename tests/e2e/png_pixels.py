"""Reads 8-bit RGB PNG files for the end-to-end tests of quadray-render.

    png_pixels.py size FILE            -> "WIDTH HEIGHT"
    png_pixels.py pixel FILE X Y ...   -> "R G B" per point; Y counts rows from the bottom
    png_pixels.py count FILE R G B     -> number of pixels of exactly that colour
    png_pixels.py digest FILE          -> SHA-256 of the decoded pixels, rows top to bottom
"""
import hashlib
import struct
import sys
import zlib


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def read_png(path):
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        sys.exit(f"{path}: not a PNG file")
    pos, idat, width, height = 8, b"", 0, 0
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour_type, _, _, interlace = struct.unpack(">IIBBBBB", body)
            if (depth, colour_type, interlace) != (8, 2, 0):
                sys.exit(f"{path}: not 8-bit RGB without interlacing")
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    raw = zlib.decompress(idat)
    stride = width * 3
    rows, previous = [], bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind, line = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for i in range(stride):
            left = line[i - 3] if i >= 3 else 0
            up = previous[i]
            upper_left = previous[i - 3] if i >= 3 else 0
            if kind == 1:
                line[i] = (line[i] + left) & 255
            elif kind == 2:
                line[i] = (line[i] + up) & 255
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 255
            elif kind == 4:
                line[i] = (line[i] + paeth(left, up, upper_left)) & 255
        rows.append(line)
        previous = line
    return width, height, rows


def main():
    command, path, args = sys.argv[1], sys.argv[2], [int(a) for a in sys.argv[3:]]
    width, height, rows = read_png(path)
    if command == "size":
        print(width, height)
    elif command == "pixel":
        for x, y in zip(args[0::2], args[1::2]):
            line = rows[height - 1 - y]
            print(*line[3 * x:3 * x + 3])
    elif command == "count":
        wanted = bytes(args)
        print(sum(1 for line in rows for x in range(width) if bytes(line[3 * x:3 * x + 3]) == wanted))
    elif command == "digest":
        digest = hashlib.sha256()
        for line in rows:
            digest.update(line)
        print(digest.hexdigest())
    else:
        sys.exit(f"unknown command {command}")


main()
