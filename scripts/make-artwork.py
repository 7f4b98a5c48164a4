#!/usr/bin/env python3
"""Draws Runemark's own artwork: the credits picture (87x109), the credits
banner (172x12), both 256-colour GIFs, and the 48x48 256-colour window icon
(an indexed PNG). Standard library only; run it to regenerate data/artwork/."""
import math
import os
import struct
import sys
import zlib

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data", "artwork")


def palette():
    """256 colours: a stone ramp (0-127), an ember ramp (128-223), extras."""
    colours = []
    for i in range(128):  # cool grey stone, dark to light
        t = i / 127
        colours.append((int(20 + 150 * t), int(22 + 150 * t), int(28 + 160 * t)))
    for i in range(96):  # rune glow: deep red through orange to pale yellow
        t = i / 95
        colours.append((int(90 + 165 * min(1, t * 1.4)), int(10 + 220 * t ** 1.3),
                        int(5 + 150 * max(0, t - 0.6) * 2.5)))
    while len(colours) < 256:
        colours.append((0, 0, 0))
    return colours


def stone(i):
    return max(0, min(127, int(i)))


def ember(t):
    return 128 + max(0, min(95, int(t * 95)))


def noise(x, y, seed=7):
    n = (x * 374761393 + y * 668265263 + seed * 2147483647) & 0xFFFFFFFF
    n = (n ^ (n >> 13)) * 1274126177 & 0xFFFFFFFF
    return ((n ^ (n >> 16)) & 0xFFFF) / 65535.0


def rune_distance(u, v):
    """Distance from (u, v) in [0,1]^2 to the strokes of the Runemark rune: a
    stave with two branches, like a leaning R cut into stone."""
    strokes = [((0.35, 0.12), (0.35, 0.88)), ((0.35, 0.12), (0.68, 0.32)),
               ((0.68, 0.32), (0.35, 0.52)), ((0.35, 0.52), (0.70, 0.88))]
    best = 9.0
    for (ax, ay), (bx, by) in strokes:
        dx, dy = bx - ax, by - ay
        t = max(0.0, min(1.0, ((u - ax) * dx + (v - ay) * dy) / (dx * dx + dy * dy)))
        best = min(best, math.hypot(u - (ax + t * dx), v - (ay + t * dy)))
    return best


def runestone(width, height, margin):
    """A rounded standing stone with the glowing rune carved into it."""
    pixels = []
    for y in range(height):
        row = []
        for x in range(width):
            u, v = (x + 0.5) / width, (y + 0.5) / height
            # Stone outline: rounded top, flat base.
            cx, top = 0.5, 0.35
            inside = abs(u - cx) < 0.5 - margin and v > margin
            if v < top:
                inside = inside and math.hypot((u - cx) / (0.5 - margin), (v - top) / (top - margin)) < 1
            if not inside:
                row.append(stone(6 + 6 * v))  # dark background
                continue
            shade = 40 + 55 * (1 - u) + 25 * noise(x, y) - 20 * v
            d = rune_distance((u - 0.12) / 0.76, (v - 0.1) / 0.8)
            if d < 0.055:
                row.append(ember(1 - d / 0.055))
            elif d < 0.11:
                row.append(ember(0.35 * (1 - (d - 0.055) / 0.055)))
            else:
                row.append(stone(shade))
        pixels.append(row)
    return pixels


def banner(width, height):
    """A thin bar of stone with a glowing seam and rune notches."""
    pixels = []
    for y in range(height):
        row = []
        for x in range(width):
            edge = min(y, height - 1 - y)
            value = stone(30 + 20 * edge + 15 * noise(x, y, 3))
            seam = abs(y - (height - 1) / 2) < 1.1
            notch = x % 18 in (8, 9) and 2 <= y <= height - 3
            if seam or notch:
                glow = 0.5 + 0.5 * math.sin(x / width * math.pi)
                value = ember(glow if seam else 0.9)
            row.append(value)
        pixels.append(row)
    return pixels


def lzw(indices, min_code_size=8):
    """GIF's variable-width LZW, with a clear code whenever the table fills."""
    clear, end = 1 << min_code_size, (1 << min_code_size) + 1
    table = {bytes([i]): i for i in range(clear)}
    next_code, width = end + 1, min_code_size + 1
    out, acc, bits = bytearray(), 0, 0

    def emit(code):
        nonlocal acc, bits
        acc |= code << bits
        bits += width
        while bits >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            bits -= 8

    emit(clear)
    current = b""
    for index in indices:
        candidate = current + bytes([index])
        if candidate in table:
            current = candidate
            continue
        emit(table[current])
        if next_code < 4096:
            table[candidate] = next_code
            next_code += 1
            if next_code > (1 << width) and width < 12:
                width += 1
        else:
            emit(clear)
            table = {bytes([i]): i for i in range(clear)}
            next_code, width = end + 1, min_code_size + 1
        current = bytes([index])
    if current:
        emit(table[current])
    emit(end)
    if bits:
        out.append(acc & 0xFF)
    return bytes(out)


def write_gif(path, pixels, colours):
    height, width = len(pixels), len(pixels[0])
    data = bytearray(b"GIF89a")
    data += struct.pack("<HHBBB", width, height, 0xF7, 0, 0)  # global table, 256 colours
    for r, g, b in colours:
        data += bytes((r, g, b))
    data += struct.pack("<BHHHHB", 0x2C, 0, 0, width, height, 0)
    data.append(8)
    stream = lzw([p for row in pixels for p in row])
    for i in range(0, len(stream), 255):
        block = stream[i:i + 255]
        data.append(len(block))
        data += block
    data += b"\x00\x3B"
    with open(path, "wb") as f:
        f.write(data)


def write_png(path, pixels, colours):
    height, width = len(pixels), len(pixels[0])

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    raw = b"".join(b"\x00" + bytes(row) for row in pixels)
    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 3, 0, 0, 0))
    png += chunk(b"PLTE", b"".join(bytes(c) for c in colours))
    png += chunk(b"IDAT", zlib.compress(raw, 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def main():
    os.makedirs(OUT, exist_ok=True)
    colours = palette()
    write_gif(os.path.join(OUT, "image1.gif"), runestone(87, 109, 0.06), colours)
    write_gif(os.path.join(OUT, "image2.gif"), banner(172, 12), colours)
    write_png(os.path.join(OUT, "runemark.png"), runestone(48, 48, 0.04), colours)
    return 0


if __name__ == "__main__":
    sys.exit(main())
