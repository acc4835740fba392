#!/usr/bin/env python3
"""Writes the small seed inputs of the bitmap, icon, field reader and name
fuzz targets into their corpus folders (tests/<folder>/fuzz/<Name>.corpus).
Run from the source root; the files are committed, this only remakes them."""
import os
import struct

ROOT = os.path.join(os.path.dirname(__file__), "..")


def write(folder, name, data):
    path = os.path.join(ROOT, folder)
    os.makedirs(path, exist_ok=True)
    if isinstance(data, str):
        data = data.encode("latin-1")
    with open(os.path.join(path, name), "wb") as f:
        f.write(data)


def rows(width, height, bits, pixel):
    """Bottom-up rows of `bits` per pixel, each padded to 4 bytes."""
    out = b""
    for y in range(height):
        acc, nbits, row = 0, 0, b""
        for x in range(width):
            v = pixel(x, y)
            if bits >= 8:
                row += v.to_bytes(bits // 8, "little")
            else:
                acc = (acc << bits) | v
                nbits += bits
                if nbits == 8:
                    row += bytes([acc])
                    acc, nbits = 0, 0
        if nbits:
            row += bytes([acc << (8 - nbits)])
        out += row + b"\0" * (-len(row) % 4)
    return out


def info_header(width, height, bits, compression=0, colors=0, size=40):
    head = struct.pack("<IiiHHIIiiII", size, width, height, 1, bits, compression, 0, 2835, 2835, colors, 0)
    return head + b"\0" * (size - 40)


def palette(n):
    return b"".join(bytes([i * 37 % 256, i * 91 % 256, i * 53 % 256, 0]) for i in range(n))


def bmp(header, pal, pixels):
    offset = 14 + len(header) + len(pal)
    return b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset) + header + pal + pixels


def bmp_seeds():
    d = "paint/fuzz/Bmp.corpus"
    w, h = 3, 2
    for bits in (1, 4, 8):
        n = 1 << bits
        write(d, f"pal{bits}.bmp", bmp(info_header(w, h, bits), palette(n), rows(w, h, bits, lambda x, y: (x + y) % n)))
    write(d, "rgb24.bmp", bmp(info_header(w, h, 24), b"", rows(w, h, 24, lambda x, y: x * 0x203040 + y)))
    write(d, "rgb32.bmp", bmp(info_header(w, h, 32), b"", rows(w, h, 32, lambda x, y: 0xFF000000 | x << 16 | y)))
    masks = struct.pack("<III", 0xFF0000, 0xFF00, 0xFF)
    write(d, "fields32.bmp", bmp(info_header(w, h, 32, 3) + masks, b"", rows(w, h, 32, lambda x, y: x << 8 | y)))
    write(d, "topdown8.bmp", bmp(info_header(w, -h, 8, colors=4), palette(4), rows(w, h, 8, lambda x, y: (x * y) % 4)))
    core = struct.pack("<IHHHH", 12, w, h, 1, 8)
    core_pal = b"".join(bytes([i, 255 - i, i // 2]) for i in range(4))
    write(d, "core8.bmp", bmp(core, core_pal, rows(w, h, 8, lambda x, y: x % 4)))
    write(d, "v5-24.bmp", bmp(info_header(w, h, 24, size=124), b"", rows(w, h, 24, lambda x, y: 0x102030 * (x + 1))))


def icon_image(size, bits, hot=False):
    """A 40-byte-header image, its colours and its AND mask."""
    colors = 1 << bits if bits <= 8 else 0
    head = info_header(size, size * 2, bits)
    pix = rows(size, size, bits, lambda x, y: ((x + y) % colors) if colors else (0x80000000 | x << 16 | y << 8) & ((1 << bits) - 1))
    mask = rows(size, size, 1, lambda x, y: 1 if x == y else 0)
    return head + palette(colors) + pix + mask


def ico(images, cursor=False, hot=(1, 2)):
    out = struct.pack("<HHH", 0, 2 if cursor else 1, len(images))
    offset = 6 + 16 * len(images)
    body = b""
    for size, bits, data in images:
        plane_or_hot = struct.pack("<HH", *hot) if cursor else struct.pack("<HH", 1, bits)
        out += struct.pack("<BBBB", size % 256, size % 256, 0, 0) + plane_or_hot + struct.pack("<II", len(data), offset + len(body))
        body += data
    return out + body


def ico_seeds():
    d = "paint/fuzz/Ico.corpus"
    for bits in (1, 4, 8, 24, 32):
        write(d, f"icon{bits}.ico", ico([(4, bits, icon_image(4, bits))]))
    write(d, "sizes.ico", ico([(2, 4, icon_image(2, 4)), (5, 8, icon_image(5, 8)), (3, 32, icon_image(3, 32))]))
    write(d, "hand.cur", ico([(4, 1, icon_image(4, 1))], cursor=True, hot=(3, 9)))
    png = b"\x89PNG\r\n\x1a\n" + b"\0\0\0\rIHDR" + struct.pack(">II", 4, 4) + b"\x08\x06\0\0\0"
    write(d, "png-and-bitmap.ico", ico([(4, 32, png), (4, 8, icon_image(4, 8))]))


def field_seeds():
    d = "files/fuzz/FieldReader.corpus"
    write(d, "plain.txt", "1,2,3\r\nabc,def\r\n")
    write(d, "quoted.txt", '"a, b",  "c\r\nd"tail,x\n"never closed')
    write(d, "blank-lines.txt", "a\n\n\r\rb,\n,,\r\n   ")
    write(d, "blanks.txt", " \t 007 \t, x y ,\t\"\" ,")
    write(d, "highbytes.txt", "\xa4\x5c,\x81\x2c\r\n\xb5\xa1\"q\"")


def names_seeds():
    # Byte 0 chooses the code page, byte 1 where the name ends and the pattern starts.
    d = "files/fuzz/Names.corpus"
    cases = [
        (0, "README", "*.*"), (0, "oem1", "oem1.*"), (0, "adp.sys", "ADP?.S*"), (0, "a.txt", "*."),
        (1, "\x81\\x.sys", "\x81?*.SYS"), (4, "\xa4\\..\\x", "sub\\..\\x"), (2, "ab*c", "*b\\*"),
        (3, "sub\\..\\..\\x", "a/b\\c"), (5, "\xc3\xa4.txt", "?.TXT"),
    ]
    for i, (page, name, pattern) in enumerate(cases):
        write(d, f"case{i}", bytes([page, len(name)]) + (name + pattern).encode("latin-1"))


if __name__ == "__main__":
    bmp_seeds()
    ico_seeds()
    field_seeds()
    names_seeds()
