#!/usr/bin/env python3
"""Draws gasecu.ico (256, 48, 32 and 16 pixels) from the shapes of
packaging/gasecu.svg, with nothing but Python's standard library: the Windows
build has no SVG renderer. Run it again after a change to the SVG's shapes:
  python3 packaging/windows/make_icon.py packaging/windows/gasecu.ico
"""
import struct
import sys
import zlib

SIZE = 256
SUB = 4  # samples per pixel along each axis


def hex_colour(text):
    return tuple(int(text[i:i + 2], 16) for i in (1, 3, 5))


def cubic(p0, p1, p2, p3, steps=24):
    pts = []
    for i in range(1, steps + 1):
        t = i / steps
        u = 1 - t
        pts.append((u**3 * p0[0] + 3 * u * u * t * p1[0] + 3 * u * t * t * p2[0] + t**3 * p3[0],
                    u**3 * p0[1] + 3 * u * u * t * p1[1] + 3 * u * t * t * p2[1] + t**3 * p3[1]))
    return pts


def path_polygon(d):
    """M x y, then C triples, then Z: the only commands the icon's paths use."""
    for letter in "MCZ":
        d = d.replace(letter, " " + letter + " ")
    words = d.replace(",", " ").split()
    pts, i, cur = [], 0, None
    while i < len(words):
        w = words[i]
        if w == "M":
            cur = (float(words[i + 1]), float(words[i + 2]))
            pts.append(cur)
            i += 3
        elif w == "C":
            i += 1
            nums = []
            while i < len(words) and words[i] not in "MCZ":
                nums.append(float(words[i]))
                i += 1
            for k in range(0, len(nums), 6):
                p1, p2, p3 = (nums[k], nums[k + 1]), (nums[k + 2], nums[k + 3]), (nums[k + 4], nums[k + 5])
                pts += cubic(cur, p1, p2, p3)
                cur = p3
        else:
            i += 1
    return pts


def inside_polygon(x, y, poly):
    hit = False
    j = len(poly) - 1
    for i in range(len(poly)):
        xi, yi = poly[i]
        xj, yj = poly[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            hit = not hit
        j = i
    return hit


def near_segment(x, y, a, b, half):
    ax, ay = a
    bx, by = b
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
    px, py = ax + t * dx - x, ay + t * dy - y
    return px * px + py * py <= half * half


def in_round_rect(x, y, x0, y0, w, h, r):
    cx = min(max(x, x0 + r), x0 + w - r)
    cy = min(max(y, y0 + r), y0 + h - r)
    return x0 <= x <= x0 + w and y0 <= y <= y0 + h and (x - cx) ** 2 + (y - cy) ** 2 <= r * r


FLAME = path_polygon("M188 32 C 170 58 158 70 162 88 C 165 102 178 108 188 108 C 200 108 212 100 214 86 "
                     "C 216 70 204 62 200 48 C 196 58 192 64 188 66 C 190 56 190 44 188 32 Z")
CORE = path_polygon("M188 72 C 180 84 178 92 182 98 C 185 102 192 102 195 98 C 198 92 194 84 188 72 Z")
GRID = [((40, y), (216, y)) for y in (72, 120, 168)] + [((x, 40), (x, 216)) for x in (84, 128, 172)]
CURVE = [(40, 200), (84, 176), (128, 150), (172, 118), (216, 96)]
DOTS = [(84, 176), (128, 150), (172, 118)]


def colour_at(x, y):
    """The topmost shape's colour at a point, or None (transparent)."""
    if inside_polygon(x, y, CORE):
        return hex_colour("#fff3c4")
    if inside_polygon(x, y, FLAME):
        return hex_colour("#f2a21b")
    if any((x - cx) ** 2 + (y - cy) ** 2 <= 100 for cx, cy in DOTS):
        return (255, 255, 255)
    if any(near_segment(x, y, CURVE[i], CURVE[i + 1], 5) for i in range(len(CURVE) - 1)):
        return (255, 255, 255)
    if not in_round_rect(x, y, 8, 8, 240, 240, 36):
        return None
    if any(near_segment(x, y, a, b, 1.5) for a, b in GRID):
        return hex_colour("#3d6388")
    return hex_colour("#1f3b5c")


def render():
    """Premultiplied RGBA sums per 256-pixel cell (SUB*SUB samples each)."""
    image = []
    for py in range(SIZE):
        row = []
        for px in range(SIZE):
            r = g = b = a = 0
            for sy in range(SUB):
                for sx in range(SUB):
                    c = colour_at(px + (sx + 0.5) / SUB, py + (sy + 0.5) / SUB)
                    if c:
                        r, g, b, a = r + c[0], g + c[1], b + c[2], a + 1
            row.append((r, g, b, a, SUB * SUB))
        image.append(row)
    return image


def scaled(image, size):
    step = SIZE // size
    rows = []
    for y in range(size):
        row = bytearray()
        for x in range(size):
            r = g = b = a = n = 0
            for yy in range(y * step, (y + 1) * step):
                for xx in range(x * step, (x + 1) * step):
                    cr, cg, cb, ca, cn = image[yy][xx]
                    r, g, b, a, n = r + cr, g + cg, b + cb, a + ca, n + cn
            row += bytes((r // a, g // a, b // a, 255 * a // n) if a else (0, 0, 0, 0))
        rows.append(bytes(row))
    return rows


def png(rows, size):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    raw = b"".join(b"\0" + row for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main(out):
    image = render()
    sizes = [256, 48, 32, 16]
    pngs = [png(scaled(image, s) if s != SIZE else scaled(image, SIZE), s) for s in sizes]
    header = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    entries = b""
    for s, data in zip(sizes, pngs):
        entries += struct.pack("<BBBBHHII", s % 256, s % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(out, "wb") as f:
        f.write(header + entries + b"".join(pngs))


if __name__ == "__main__":
    main(sys.argv[1])
