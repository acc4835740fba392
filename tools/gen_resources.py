#!/usr/bin/env python3
"""Draws the built-in pictures, icons and the hand cursor into resources/.

Everything is drawn here from shapes: signed-distance shapes give each pixel a
coverage between 0 and 1 (soft edges where grey levels are wanted, hard edges
where the file has few colours), and letters come from the stroke glyphs
below. Run it from anywhere; it rewrites the files in resources/.
"""
import math
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(os.path.dirname(HERE), "resources")

WHITE = (255, 255, 255)
BLACK = (0, 0, 0)

# ---------------------------------------------------------------- shapes ---
# A shape is a function (x, y) -> signed distance in pixels, negative inside,
# together with a bounding box (x0, y0, x1, y1) that limits the work.


class Shape:
    def __init__(self, sdf, box):
        self.sdf = sdf
        self.box = box


def seg_dist(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    ll = dx * dx + dy * dy
    t = 0.0 if ll == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / ll))
    ex, ey = px - (ax + t * dx), py - (ay + t * dy)
    return math.sqrt(ex * ex + ey * ey)


def strokes(polylines, width):
    """Round-capped strokes along polylines [[(x, y), ...], ...]."""
    segs = []
    for line in polylines:
        if len(line) == 1:
            segs.append((line[0][0], line[0][1], line[0][0], line[0][1]))
        for a, b in zip(line, line[1:]):
            segs.append((a[0], a[1], b[0], b[1]))
    r = width / 2.0
    xs = [s[0] for s in segs] + [s[2] for s in segs]
    ys = [s[1] for s in segs] + [s[3] for s in segs]

    def sdf(x, y):
        return min(seg_dist(x, y, *s) for s in segs) - r

    return Shape(sdf, (min(xs) - r, min(ys) - r, max(xs) + r, max(ys) + r))


def polygon(points):
    n = len(points)

    def sdf(x, y):
        d = min(seg_dist(x, y, *points[i], *points[(i + 1) % n]) for i in range(n))
        inside = False
        for i in range(n):
            (ax, ay), (bx, by) = points[i], points[(i + 1) % n]
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                inside = not inside
        return -d if inside else d

    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return Shape(sdf, (min(xs), min(ys), max(xs), max(ys)))


def rect(x0, y0, x1, y1):
    return polygon([(x0, y0), (x1, y0), (x1, y1), (x0, y1)])


def ellipse(cx, cy, rx, ry):
    def sdf(x, y):
        # Scaled distance: exact for circles, close enough for mild ellipses.
        k = math.hypot((x - cx) / rx, (y - cy) / ry)
        return (k - 1.0) * min(rx, ry)

    return Shape(sdf, (cx - rx, cy - ry, cx + rx, cy + ry))


def circle(cx, cy, r):
    return ellipse(cx, cy, r, r)


def ring(cx, cy, r, width):
    def sdf(x, y):
        return abs(math.hypot(x - cx, y - cy) - r) - width / 2.0

    e = r + width / 2.0
    return Shape(sdf, (cx - e, cy - e, cx + e, cy + e))


def union(*shapes):
    def sdf(x, y):
        return min(s.sdf(x, y) for s in shapes)

    return Shape(sdf, (min(s.box[0] for s in shapes), min(s.box[1] for s in shapes),
                       max(s.box[2] for s in shapes), max(s.box[3] for s in shapes)))


def grow(shape, by):
    x0, y0, x1, y1 = shape.box
    return Shape(lambda x, y: shape.sdf(x, y) - by, (x0 - by, y0 - by, x1 + by, y1 + by))


# ---------------------------------------------------------------- glyphs ---
# Capital letters on a cap height of 10 units, y downwards; each is a list of
# polylines, an arc being written as ("arc", cx, cy, rx, ry, from, to) in
# degrees (0 = right, 90 = down). Advance is the glyph's width.


def arc(cx, cy, rx, ry, a0, a1, steps=14):
    return [(cx + rx * math.cos(math.radians(a0 + (a1 - a0) * i / steps)),
             cy + ry * math.sin(math.radians(a0 + (a1 - a0) * i / steps))) for i in range(steps + 1)]


GLYPHS = {
    "A": (5.6, [[(0, 10), (2.8, 0), (5.6, 10)], [(1.0, 6.6), (4.6, 6.6)]]),
    "B": (5.2, [[(0, 0), (0, 10)], [(0, 0), (2.7, 0)] + arc(2.7, 2.45, 2.2, 2.45, -90, 90) + [(0, 4.9)],
                [(0, 4.9), (2.9, 4.9)] + arc(2.9, 7.45, 2.3, 2.55, -90, 90) + [(0, 10)]]),
    "C": (5.4, [arc(3.1, 5, 3.1, 5, 48, 312, 24)]),
    "E": (4.6, [[(4.6, 0), (0, 0), (0, 10), (4.6, 10)], [(0, 4.9), (4.0, 4.9)]]),
    "I": (0.0, [[(0, 0), (0, 10)]]),
    "K": (5.2, [[(0, 0), (0, 10)], [(5.0, 0), (0, 6.2)], [(1.9, 3.9), (5.2, 10)]]),
    "L": (4.4, [[(0, 0), (0, 10), (4.4, 10)]]),
    "N": (5.4, [[(0, 10), (0, 0), (5.4, 10), (5.4, 0)]]),
    "R": (5.4, [[(0, 10), (0, 0), (2.9, 0)] + arc(2.9, 2.6, 2.4, 2.6, -90, 90) + [(0, 5.2)],
                [(2.6, 5.2), (5.4, 10)]]),
    "S": (5.0, [arc(2.5, 2.5, 2.4, 2.5, -25, -270, 16) + arc(2.5, 7.5, 2.5, 2.5, -90, 155, 16)]),
    "T": (5.6, [[(0, 0), (5.6, 0)], [(2.8, 0), (2.8, 10)]]),
    "U": (5.4, [[(0, 0), (0, 7.3)] + arc(2.7, 7.3, 2.7, 2.7, 180, 0) + [(5.4, 0)]]),
    "V": (5.8, [[(0, 0), (2.9, 10), (5.8, 0)]]),
    "W": (8.0, [[(0, 0), (1.9, 10), (4.0, 2.2), (6.1, 10), (8.0, 0)]]),
    "X": (5.4, [[(0, 0), (5.4, 10)], [(5.4, 0), (0, 10)]]),
    "?": (5.0, [arc(2.5, 2.6, 2.5, 2.6, 190, 400, 16) + [(2.5, 6.6)], [(2.5, 9.6)]]),
    "!": (0.0, [[(0, 0), (0, 6.5)], [(0, 9.6)]]),
    " ": (3.0, []),
}


def text_polylines(text, x, y, cap, gap, slant=0.0):
    """Polylines of a line of capitals with its top-left at (x, y); returns
    (polylines, width). `gap` is the space between glyphs in pixels."""
    s = cap / 10.0
    lines = []
    pen = x
    for i, ch in enumerate(text):
        adv, glyph = GLYPHS[ch]
        for line in glyph:
            lines.append([(pen + (gx + slant * (10 - gy)) * s, y + gy * s) for gx, gy in line])
        pen += adv * s + (gap if i + 1 < len(text) else 0)
    return lines, pen - x


def text_width(text, cap, gap):
    return text_polylines(text, 0, 0, cap, gap)[1]


# ---------------------------------------------------------------- canvas ---


class Canvas:
    """Floating-point colour pixels, painted with shapes."""

    def __init__(self, w, h, colour):
        self.w, self.h = w, h
        self.px = [[tuple(map(float, colour)) for _ in range(w)] for _ in range(h)]

    def coverage(self, shape, soft):
        x0, y0, x1, y1 = shape.box
        for y in range(max(0, int(y0) - 2), min(self.h, int(math.ceil(y1)) + 2)):
            for x in range(max(0, int(x0) - 2), min(self.w, int(math.ceil(x1)) + 2)):
                d = shape.sdf(x + 0.5, y + 0.5)
                c = max(0.0, min(1.0, 0.5 - d)) if soft else (1.0 if d <= 0 else 0.0)
                if c > 0:
                    yield x, y, c

    def fill(self, shape, colour, soft=True, alpha=1.0):
        for x, y, c in self.coverage(shape, soft):
            self.blend(x, y, colour, c * alpha)

    def blend(self, x, y, colour, a):
        old = self.px[y][x]
        self.px[y][x] = tuple(o + (n - o) * a for o, n in zip(old, colour))

    def shade(self, shape, colour_at, soft=True):
        """Fills with a colour that depends on the position."""
        for x, y, c in self.coverage(shape, soft):
            self.blend(x, y, colour_at(x + 0.5, y + 0.5), c)

    def pixels(self):
        return [[tuple(int(round(max(0.0, min(255.0, v)))) for v in p) for p in row] for row in self.px]


def reduce_colours(pixels, target):
    """Merges the rarest colours into their nearest remaining neighbour until
    exactly `target` colours are left."""
    counts = {}
    for row in pixels:
        for p in row:
            counts[p] = counts.get(p, 0) + 1
    if len(counts) < target:
        raise SystemExit(f"only {len(counts)} colours drawn, {target} wanted")
    keep = dict(counts)
    remap = {}
    while len(keep) > target:
        rare = min(keep, key=lambda c: (keep[c], c))
        n = keep.pop(rare)
        near = min(keep, key=lambda c: sum((a - b) ** 2 for a, b in zip(c, rare)))
        keep[near] += n
        remap[rare] = near
        for k, v in remap.items():
            if v == rare:
                remap[k] = near
    return [[remap.get(p, p) for p in row] for row in pixels]


def colours_of(pixels):
    return sorted({p for row in pixels for p in row})


# ----------------------------------------------------------------- files ---


def row_bytes(row, bits, index):
    """One row of pixels packed at `bits` per pixel, padded to 4 bytes."""
    out = bytearray()
    if bits == 24:
        for r, g, b in row:
            out += bytes((b, g, r))
    elif bits == 32:
        for r, g, b in row:
            out += bytes((b, g, r, 255))
    else:
        acc, n = 0, 0
        for p in row:
            acc = (acc << bits) | index[p]
            n += bits
            if n == 8:
                out.append(acc)
                acc, n = 0, 0
        if n:
            out.append(acc << (8 - n))
    while len(out) % 4:
        out.append(0)
    return bytes(out)


def dib(pixels, bits, palette, mask=None):
    """A BITMAPINFOHEADER, its palette and the bottom-up rows; with a mask
    (1 = transparent) the height is doubled and the AND rows follow."""
    h, w = len(pixels), len(pixels[0])
    index = {c: i for i, c in enumerate(palette)}
    data = b"".join(row_bytes(pixels[y], bits, index) for y in range(h - 1, -1, -1))
    if mask is not None:
        bit_index = {0: 0, 1: 1}
        data += b"".join(row_bytes(mask[y], 1, bit_index) for y in range(h - 1, -1, -1))
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2 if mask is not None else h, 1, bits, 0,
                         len(data), 3780, 3780, len(palette) if bits <= 8 else 0, 0)
    pal = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    return header + pal + data


def bmp_file(pixels, bits):
    palette = colours_of(pixels) if bits <= 8 else []
    body = dib(pixels, bits, palette)
    offset = 14 + 40 + 4 * len(palette)
    return b"BM" + struct.pack("<IHHI", 14 + len(body), 0, 0, offset) + body


def icon_file(images, cursor=False):
    """images: (pixels, mask, bits, hotspot) tuples; pixels uses at most
    2**bits colours."""
    entries, blobs = [], []
    offset = 6 + 16 * len(images)
    for pixels, mask, bits, hot in images:
        used = colours_of(pixels)
        if len(used) > 2 ** bits:
            raise SystemExit(f"{len(used)} colours do not fit {bits} bits")
        palette = used + [BLACK] * (2 ** bits - len(used))
        blob = dib(pixels, bits, palette, mask)
        h, w = len(pixels), len(pixels[0])
        colours = 2 ** bits if bits < 8 else 0
        a, b = (hot if cursor else (1, bits))
        entries.append(struct.pack("<BBBBHHII", w % 256, h % 256, colours, 0, a, b, len(blob), offset))
        blobs.append(blob)
        offset += len(blob)
    return struct.pack("<HHH", 0, 2 if cursor else 1, len(images)) + b"".join(entries) + b"".join(blobs)


def save(name, data):
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)


# ------------------------------------------------------------- pictures ---


def mix(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))


def brand():
    teal, grey = (0, 128, 128), (192, 192, 192)
    c = Canvas(180, 141, grey)
    # Emblem: a teal disc with the initial knocked out, on a teal base bar.
    c.fill(circle(90, 46, 33), teal, soft=False)
    c.fill(ring(90, 46, 27, 2.2), grey, soft=False)
    t, _ = text_polylines("T", 0, 0, 30, 0)
    t = [[(x + 90 - 2.8 * 3, y + 31) for x, y in line] for line in t]
    c.fill(strokes(t, 7.5), grey, soft=False)
    # Word mark with the registered sign at its upper right.
    cap, gap = 19, 4.2
    w = text_width("TARNWICK", cap, gap)
    x0 = (172 - w) / 2
    word, _ = text_polylines("TARNWICK", x0, 94, cap, gap)
    c.fill(strokes(word, 4.4), teal, soft=False)
    c.fill(rect(x0 - 2, 121, x0 + w + 2, 124), teal, soft=False)
    rx, ry = x0 + w + 9, 96
    c.fill(ring(rx, ry, 5.3, 1.3), teal, soft=False)
    r, _ = text_polylines("R", rx - 2.2, ry - 3.3, 6.6, 0)
    c.fill(strokes(r, 1.3), teal, soft=False)
    px = c.pixels()
    assert len(colours_of(px)) == 2
    return px


def cable(w, h, levels):
    """A cable from the left edge ending in a plug whose tip is 9 pixels from
    the right edge, softly shaded, with a faint shadow on white."""
    c = Canvas(w, h, WHITE)
    cy = 12.5
    tip = w - 9
    metal0 = tip - 17
    grip0 = metal0 - 27
    relief0 = grip0 - 12

    def tube(cy0, r, lo, hi):
        def at(x, y):
            t = max(-1.0, min(1.0, (y - cy0) / r))
            light = max(0.0, 1.0 - ((t + 0.38) / 0.62) ** 2)
            dark = max(0.0, t) ** 1.5
            return (lo + (hi - lo) * light - 30 * dark,) * 3
        return at

    # Shadow beneath everything, soft and light.
    for i in range(6):
        a = 0.05
        c.fill(rect(-5, cy + 1 + i * 0.5, grip0 + 2, cy + 6 - i * 0.3), (150,) * 3, alpha=a)
        c.fill(rect(grip0, cy + 4 + i * 0.5, tip, cy + 11 - i * 0.4), (150,) * 3, alpha=a)
    # Cable with a gentle sag, then the strain relief with its ribs.
    path = [(-4, cy - 1.5)] + [(x, cy - 1.5 * math.cos(math.pi * (x / relief0) * 0.5))
                               for x in range(0, int(relief0) + 1, 4)] + [(relief0 + 2, cy)]
    c.shade(strokes([path], 6.4), tube(cy - 0.3, 3.4, 70, 205))
    c.shade(polygon([(relief0, cy - 3.6), (grip0 + 1, cy - 5.6), (grip0 + 1, cy + 5.6),
                     (relief0, cy + 3.6)]), tube(cy, 5.6, 80, 200))
    for k in range(1, 4):
        x = relief0 + k * 3
        c.fill(strokes([[(x, cy - 3.5 - k * 0.5), (x, cy + 3.5 + k * 0.5)]], 0.9), (90,) * 3, alpha=0.55)
    # Moulded grip: a rounded block with a highlight along its top.
    grip = union(rect(grip0 + 2, cy - 8, metal0 - 2, cy + 8), circle(grip0 + 2, cy - 6, 2),
                 circle(grip0 + 2, cy + 6, 2), rect(grip0, cy - 6, metal0, cy + 6),
                 circle(metal0 - 2, cy - 6, 2), circle(metal0 - 2, cy + 6, 2))
    c.shade(grip, tube(cy - 0.5, 8.2, 85, 215))
    c.fill(strokes([[(grip0 + 5, cy - 5.6), (metal0 - 5, cy - 5.6)]], 1.2), (235,) * 3, alpha=0.6)
    c.fill(strokes([[(metal0 - 0.8, cy - 7.5), (metal0 - 0.8, cy + 7.5)]], 1.0), (60,) * 3, alpha=0.6)
    # Metal connector shell with its two latch windows.
    shell = rect(metal0, cy - 5.2, tip, cy + 5.2)
    c.shade(shell, tube(cy - 1.0, 5.4, 120, 240))
    c.fill(strokes([[(metal0, cy - 5.2), (tip, cy - 5.2), (tip, cy + 5.2), (metal0, cy + 5.2)]], 0.8),
           (75,) * 3, alpha=0.8)
    for x in (metal0 + 4, metal0 + 10):
        c.fill(rect(x, cy - 2.6, x + 3, cy - 0.6), (55,) * 3, alpha=0.85)
    c.fill(rect(metal0 + 2, cy + 1.4, tip - 2, cy + 2.6), (150,) * 3, alpha=0.6)
    px = c.pixels()
    px = [[(round(sum(p) / 3),) * 3 for p in row] for row in px]
    return reduce_colours(px, levels)


def mirror(px):
    return [list(reversed(row)) for row in px]


def usb_logo():
    blue = (0, 0, 153)
    c = Canvas(200, 98, WHITE)
    # The plug symbol: shaft with a round base and an arrow head, one branch
    # ending in a circle, the other in a square.
    c.fill(circle(16, 38, 5.5), BLACK)
    c.fill(strokes([[(18, 38), (60, 38)]], 3.2), BLACK)
    c.fill(polygon([(58, 31.5), (71, 38), (58, 44.5)]), BLACK)
    c.fill(strokes([[(27, 38), (37, 27), (46, 27)]], 3.0), BLACK)
    c.fill(circle(49, 27, 3.9), BLACK)
    c.fill(strokes([[(35, 38), (45, 49), (52, 49)]], 3.0), BLACK)
    c.fill(rect(51, 45, 58.5, 53), BLACK)
    # USB in bold, slightly slanted letters.
    cap, gap = 42, 7.5
    w = text_width("USB", cap, gap)
    word, _ = text_polylines("USB", 80, 16, cap, gap, slant=0.12)
    c.fill(strokes(word, 9.5), blue)
    # The words beneath.
    small, sgap = 9.5, 2.3
    sw = text_width("UNIVERSAL SERIAL BUS", small, sgap)
    line, _ = text_polylines("UNIVERSAL SERIAL BUS", (14 + 80 + w + 8 - sw) / 2, 67, small, sgap)
    c.fill(strokes(line, 1.9), BLACK)
    return reduce_colours(c.pixels(), 32)


# ---------------------------------------------------------------- icons ---
SILVER, GREY = (192, 192, 192), (128, 128, 128)
RED, BLUE, NAVY, MAROON = (255, 0, 0), (0, 0, 255), (0, 0, 128), (128, 0, 0)
CYAN, YELLOW, OLIVE = (0, 255, 255), (255, 255, 0), (128, 128, 0)


class IconCanvas(Canvas):
    """A canvas that also records which pixels the drawing covers: the rest
    is transparent."""

    def __init__(self, size, background=SILVER):
        super().__init__(size, size, background)
        self.solid = [[False] * size for _ in range(size)]

    def body(self, shape, colour, soft=False):
        for x, y, c in self.coverage(shape, soft):
            self.blend(x, y, colour, c)
            if c >= 0.5:
                self.solid[y][x] = True

    def outlined(self, shape, colour, outline=BLACK, width=1.0):
        self.body(grow(shape, width), outline)
        self.body(shape, colour)

    def result(self):
        px = self.pixels()
        mask = [[0 if s else 1 for s in row] for row in self.solid]
        px = [[p if m == 0 else BLACK for p, m in zip(prow, mrow)] for prow, mrow in zip(px, mask)]
        return px, mask


def carton_icon():
    ic = IconCanvas(32)
    front = polygon([(2, 15.5), (20, 15.5), (20, 30), (2, 30)])
    side = polygon([(20, 15.5), (29, 10.5), (29, 25), (20, 30)])
    opening = polygon([(2, 15.5), (11, 10.5), (29, 10.5), (20, 15.5)])
    left_flap = polygon([(2, 15.5), (11, 10.5), (7, 6), (0.5, 10.5)])
    back_flap = polygon([(11, 10.5), (29, 10.5), (31, 7), (14, 7)])
    ic.outlined(back_flap, SILVER)
    ic.outlined(opening, GREY)
    ic.outlined(side, GREY)
    ic.outlined(front, SILVER)
    ic.outlined(left_flap, SILVER)
    ic.body(strokes([[(3, 16.5), (19, 16.5)]], 0.9), WHITE)
    # The red letters on the front.
    letters, _ = text_polylines("UN", 4.6, 19.2, 8.8, 2.6)
    ic.body(strokes(letters, 2.0), RED)
    # The blue cross above the open top.
    cross = [[(10, 1.5), (22, 11.5)], [(22, 1.5), (10, 11.5)]]
    ic.body(strokes(cross, 4.4), NAVY)
    ic.body(strokes(cross, 2.6), BLUE)
    return ic.result()


def hand_cursor():
    ic = IconCanvas(32)
    finger = strokes([[(12.5, 4.6), (12.5, 15)]], 4.8)
    knuckles = union(strokes([[(16.6, 13.3), (16.6, 16)]], 4.6),
                     strokes([[(20.7, 14.3), (20.7, 17)]], 4.6),
                     strokes([[(24.6, 15.6), (24.6, 18.5)]], 4.2))
    palm = polygon([(10.2, 14), (26.6, 16), (26.6, 23), (24, 27), (12, 27), (8.5, 22)])
    thumb = strokes([[(10, 22.5), (5.8, 16.8)]], 4.4)
    hand = union(finger, knuckles, palm, thumb)
    cuff = rect(11, 26.5, 25.5, 31)
    ic.outlined(cuff, BLUE)
    ic.outlined(hand, WHITE)
    for x, y0, y1 in ((14.6, 13.5, 17.5), (18.7, 14.3, 18.3), (22.7, 15.8, 19.3)):
        ic.body(strokes([[(x + 0.5, y0), (x + 0.5, y1)]], 0.9), BLACK)
    ic.body(strokes([[(11.5, 27.5), (25, 27.5)]], 0.9), NAVY)
    return ic.result()


def window_icon(size, two_colours):
    s = size / 32.0
    ic = IconCanvas(size)

    def quad(x0, y0, x1, y1, lean):
        return polygon([(s * (x0 + lean), s * y0), (s * (x1 + lean), s * y0), (s * x1, s * y1), (s * x0, s * y1)])

    lean = 4
    shadow = quad(3.5, 7.5, 27.5, 27.5, lean)
    window = quad(1, 5, 25, 25, lean)
    ic.body(shadow, BLACK if two_colours else GREY)
    ic.outlined(window, WHITE, width=max(1.0, s * 1.2))
    # Title bar: the top band of the slanted window, so it leans with it.
    bar_bottom = 10.5
    lean_bar = lean * (25 - bar_bottom) / 20.0
    bar = polygon([(s * (1 + lean), s * 5), (s * (25 + lean), s * 5),
                   (s * (25 + lean_bar), s * bar_bottom), (s * (1 + lean_bar), s * bar_bottom)])
    ic.body(bar, BLACK if two_colours else CYAN)
    if size >= 32:
        # A few lines of content in the client area.
        for y, x1 in ((14, 19), (17.5, 16), (21, 18)):
            k = lean * (25 - y) / 20.0
            ic.body(strokes([[(4.5 + k, y), (x1 + k, y)]], 1.0), BLACK if two_colours else GREY)
    return ic.result()


def message_icon(kind):
    ic = IconCanvas(32)
    if kind == "stop":
        disc = circle(16, 16, 14.2)
        ic.body(disc, (128, 0, 0), soft=True)
        ic.shade(circle(16, 16, 13), lambda x, y: mix((255, 70, 60), (190, 0, 0),
                                                         min(1.0, math.hypot(x - 12, y - 11) / 17)))
        ic.fill(strokes([[(10.5, 10.5), (21.5, 21.5)], [(21.5, 10.5), (10.5, 21.5)]], 3.6), WHITE)
    elif kind == "question":
        bubble = union(ellipse(16, 13.5, 14.6, 12.2), polygon([(7, 21), (13, 24.5), (4.5, 30.5)]))
        ic.body(grow(bubble, 1), BLACK, soft=True)
        ic.body(bubble, WHITE, soft=True)
        q, _ = text_polylines("?", 12.6, 4.8, 16, 0)
        ic.fill(strokes(q, 3.2), BLUE)
    else:
        tri = polygon([(16, 3.5), (29.5, 28), (2.5, 28)])
        ic.body(grow(tri, 1.6), BLACK, soft=True)
        ic.shade(grow(tri, 0.6), lambda x, y: mix((255, 255, 120), (235, 200, 0), y / 32))
        bang, _ = text_polylines("!", 16, 10.5, 15, 0)
        ic.fill(strokes(bang, 3.2), BLACK)
    px, mask = ic.result()
    if len(colours_of(px)) > 256:
        px = reduce_colours(px, 256)
    return px, mask


def main():
    os.makedirs(OUT, exist_ok=True)
    save("brand.bmp", bmp_file(brand(), 24))
    right = cable(128, 36, 83)
    save("cable_right.bmp", bmp_file(right, 8))
    save("cable_left.bmp", bmp_file(mirror(cable(131, 33, 82)), 8))
    save("usblogo.bmp", bmp_file(usb_logo(), 8))
    carton, carton_mask = carton_icon()
    save("busclean.ico", icon_file([(carton, carton_mask, 4, None)]))
    hand, hand_mask = hand_cursor()
    save("hand.cur", icon_file([(hand, hand_mask, 4, (12, 1))], cursor=True))
    images = [window_icon(32, True) + (1, None), window_icon(32, False) + (4, None),
              window_icon(16, False) + (4, None)]
    save("busprobe.ico", icon_file(images))
    for kind in ("stop", "question", "exclamation"):
        px, mask = message_icon(kind)
        save(kind + ".ico", icon_file([(px, mask, 8, None)]))


if __name__ == "__main__":
    sys.exit(main())
