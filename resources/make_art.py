#!/usr/bin/env python3
"""Turns the pixel maps in resources/art/*.art into the .bmp and .ico files
that quillpad.rc builds in.

An .art file is text:

    # comment
    bitmap NAME.bmp WIDTH HEIGHT BITS    or    icon NAME.ico
    palette
    C R G B [name]                       one colour per line; C is one character
    end
    fill C                               bitmaps: the colour of every pixel no cell sets
    columns C X0 STEP COUNT              bitmaps: vertical lines of colour C
    grid X0 Y0 PITCH WIDTH HEIGHT [SCALE]  where cell K goes: (X0 + PITCH * K, Y0)
    cell K [label]                       then HEIGHT rows of WIDTH characters
    size N                               icons: then N rows of N characters;
    transparent C                        icons: the character that is see-through

Every row must have exactly its width, every character must be in the
palette, and a bitmap's palette must fit its bit depth.
"""
import os
import struct
import sys


class ArtError(Exception):
    pass


def parse(path):
    with open(path, encoding="ascii") as f:
        lines = f.read().split("\n")
    art = {"palette": {}, "order": [], "cells": [], "icons": [], "fill": None,
           "columns": [], "grid": None, "transparent": None}
    i = 0

    def fail(message):
        raise ArtError(f"{path}:{i}: {message}")

    def rows(count, width):
        nonlocal i
        out = []
        for _ in range(count):
            if i >= len(lines):
                fail("the file ends inside a pixel map")
            row = lines[i].rstrip("\r")
            i += 1
            if len(row) != width:
                fail(f"row is {len(row)} pixels wide, not {width}")
            for ch in row:
                if ch not in art["palette"]:
                    fail(f"colour {ch!r} is not in the palette")
            out.append(row)
        return out

    while i < len(lines):
        line = lines[i].strip()
        i += 1
        if not line or line.startswith("#"):
            continue
        words = line.split()
        kind = words[0]
        if kind == "bitmap":
            art["kind"] = "bitmap"
            art["name"] = words[1]
            art["width"], art["height"], art["bits"] = map(int, words[2:5])
        elif kind == "icon":
            art["kind"] = "icon"
            art["name"] = words[1]
        elif kind == "palette":
            while True:
                if i >= len(lines):
                    fail("palette without end")
                entry = lines[i].rstrip("\r")
                i += 1
                if entry.strip() == "end":
                    break
                if not entry.strip():
                    continue
                ch = entry[0]
                try:
                    rgb = tuple(int(v) for v in entry[1:].split()[:3])
                except ValueError:
                    rgb = ()
                if len(rgb) != 3 or not all(0 <= v <= 255 for v in rgb):
                    fail(f"bad colour line {entry!r}")
                if ch in art["palette"]:
                    fail(f"colour {ch!r} defined twice")
                art["palette"][ch] = len(art["order"])
                art["order"].append(rgb)
        elif kind == "fill":
            art["fill"] = words[1]
        elif kind == "transparent":
            art["transparent"] = words[1]
        elif kind == "columns":
            art["columns"].append((words[1], int(words[2]), int(words[3]), int(words[4])))
        elif kind == "grid":
            values = list(map(int, words[1:]))
            if len(values) == 5:
                values.append(1)
            art["grid"] = values
        elif kind == "cell":
            if art["grid"] is None:
                fail("cell before grid")
            _, _, _, width, height, _ = art["grid"]
            index = int(words[1])
            if any(c[0] == index for c in art["cells"]):
                fail(f"cell {index} given twice")
            art["cells"].append((index, rows(height, width)))
        elif kind == "size":
            n = int(words[1])
            art["icons"].append((n, rows(n, n)))
        else:
            fail(f"unknown line {line!r}")
    return art


def bitmap_pixels(art):
    width, height = art["width"], art["height"]
    if art["fill"] is None:
        raise ArtError(f"{art['name']}: no fill colour")
    fill = art["palette"][art["fill"]]
    pixels = [[fill] * width for _ in range(height)]
    for ch, x0, step, count in art["columns"]:
        for k in range(count):
            x = x0 + step * k
            if not 0 <= x < width:
                raise ArtError(f"{art['name']}: column {x} outside the bitmap")
            for y in range(height):
                pixels[y][x] = art["palette"][ch]
    if art["cells"]:
        x0, y0, pitch, cw, ch_, scale = art["grid"]
        for index, cell in art["cells"]:
            left = x0 + pitch * index
            if left < 0 or left + cw * scale > width or y0 < 0 or y0 + ch_ * scale > height:
                raise ArtError(f"{art['name']}: cell {index} does not fit")
            for y, row in enumerate(cell):
                for x, c in enumerate(row):
                    for dy in range(scale):
                        for dx in range(scale):
                            pixels[y0 + y * scale + dy][left + x * scale + dx] = art["palette"][c]
    return pixels


def pack_rows(pixels, bits):
    """Bottom-up rows of palette indexes, each padded to four bytes."""
    out = bytearray()
    for row in reversed(pixels):
        data = bytearray()
        if bits == 8:
            data.extend(row)
        elif bits == 4:
            padded = row + [0] * (len(row) % 2)
            for a, b in zip(padded[0::2], padded[1::2]):
                data.append(a << 4 | b)
        elif bits == 1:
            for start in range(0, len(row), 8):
                byte = 0
                for j, v in enumerate(row[start:start + 8]):
                    byte |= (v & 1) << (7 - j)
                data.append(byte)
        else:
            raise ArtError(f"unsupported bit depth {bits}")
        data.extend(b"\0" * (-len(data) % 4))
        out.extend(data)
    return bytes(out)


def palette_bytes(order, bits):
    entries = list(order) + [(0, 0, 0)] * ((1 << bits) - len(order))
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in entries)


def info_header(width, height, bits, image_bytes):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, image_bytes,
                       2835, 2835, 1 << bits, 0)


def write_bitmap(art, out_dir):
    bits = art["bits"]
    if len(art["order"]) > 1 << bits:
        raise ArtError(f"{art['name']}: {len(art['order'])} colours for {bits} bits")
    pixels = bitmap_pixels(art)
    data = pack_rows(pixels, bits)
    palette = palette_bytes(art["order"], bits)
    header = info_header(art["width"], art["height"], bits, len(data))
    offset = 14 + len(header) + len(palette)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    with open(os.path.join(out_dir, art["name"]), "wb") as f:
        f.write(file_header + header + palette + data)


def write_icon(art, out_dir):
    if art["transparent"] is None:
        raise ArtError(f"{art['name']}: no transparent colour")
    if len(art["order"]) > 256:
        raise ArtError(f"{art['name']}: more than 256 colours")
    clear = art["palette"][art["transparent"]]
    images = []
    for n, rows in sorted(art["icons"]):
        colour = [[art["palette"][c] for c in row] for row in rows]
        mask = [[1 if v == clear else 0 for v in row] for row in colour]
        # See-through pixels are black in the colour image, as the AND/XOR
        # drawing of icons expects.
        colour = [[0 if m else v for v, m in zip(row, mrow)] for row, mrow in zip(colour, mask)]
        order = list(art["order"])
        order[clear] = (0, 0, 0)
        if clear != 0:
            raise ArtError(f"{art['name']}: the transparent colour must come first")
        xor = pack_rows(colour, 8)
        and_ = pack_rows(mask, 1)
        header = info_header(n, 2 * n, 8, len(xor) + len(and_))
        images.append((n, header + palette_bytes(order, 8) + xor + and_))
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for n, blob in images:
        entries += struct.pack("<BBBBHHII", n % 256, n % 256, 0, 0, 1, 8, len(blob), offset)
        offset += len(blob)
    with open(os.path.join(out_dir, art["name"]), "wb") as f:
        f.write(directory + entries + b"".join(blob for _, blob in images))


def main(argv):
    if len(argv) != 3:
        print("usage: make_art.py ART_DIR OUT_DIR", file=sys.stderr)
        return 2
    art_dir, out_dir = argv[1], argv[2]
    os.makedirs(out_dir, exist_ok=True)
    try:
        for name in sorted(os.listdir(art_dir)):
            if not name.endswith(".art"):
                continue
            art = parse(os.path.join(art_dir, name))
            if art.get("kind") == "bitmap":
                write_bitmap(art, out_dir)
            elif art.get("kind") == "icon":
                write_icon(art, out_dir)
            else:
                raise ArtError(f"{name}: neither bitmap nor icon")
    except ArtError as e:
        print(f"make_art: {e}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
