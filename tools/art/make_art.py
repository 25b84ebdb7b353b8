#!/usr/bin/env python3
"""Draws the wizard's pictures: the left strip, the flag glyphs of the
language buttons and the program icon.

    make_art.py OUTDIR

Writes strip.bmp (137 x 316), flag_pl.bmp, flag_en.bmp, flag_de.bmp,
flag_fr.bmp, flag_it.bmp (24 x 16, 24-bit) and instal.ico (16 to 64 pixels,
32-bit with alpha) into OUTDIR; the strip and the flags also drawn anew at
1.5 and 2 times the pixels per side for denser screens, as zlib streams of
their .bmp files (strip_150.bmp.z, strip_200.bmp.z, flag_pl_150.bmp.z, ...),
which keeps the program small. Only the standard library is used,
and the output is the same on every run, so the build can depend on it.
"""

import math
import os
import struct
import sys
import zlib

STRIP_SIZE = (137, 316)  # the wizard's client height less its button bar
FLAG_SIZE = (24, 16)
ICON_SIZES = (64, 48, 32, 24, 16)
# Pixels per side against the design size, and the file name suffix.
SCALES = ((1.0, ".bmp"), (1.5, "_150.bmp.z"), (2.0, "_200.bmp.z"))


def scaled(size, scale):
    return tuple(int(math.floor(v * scale + 0.5)) for v in size)


# --- drawing -----------------------------------------------------------------

class Canvas:
    """RGBA picture with float channels (colour 0..255, alpha 0..1) and
    anti-aliased drawing by coverage. fill and stroke take design units,
    `scale` pixels each; blend and px address pixels."""

    def __init__(self, width, height, colour=(0, 0, 0), alpha=1.0, scale=1.0):
        self.width = width
        self.height = height
        self.scale = scale
        self.px = [[colour[0], colour[1], colour[2], alpha] for _ in range(width * height)]

    def blend(self, x, y, colour, alpha):
        """Composites one colour over pixel (x, y) with the given opacity."""
        if alpha <= 0 or not (0 <= x < self.width and 0 <= y < self.height):
            return
        alpha = min(alpha, 1.0)
        p = self.px[y * self.width + x]
        out_a = alpha + p[3] * (1 - alpha)
        if out_a <= 0:
            return
        keep = p[3] * (1 - alpha)
        for i in range(3):
            p[i] = (colour[i] * alpha + p[i] * keep) / out_a
        p[3] = out_a

    def fill(self, inside, colour, alpha=1.0, box=None, samples=4):
        """Fills the region where inside(x, y) holds, x and y in design units
        (at scale 1 pixel (i, j) covers [i, i+1) x [j, j+1)). colour may be
        a function of (x, y) for gradients."""
        k = self.scale
        x0, y0, x1, y1 = (v * k for v in box) if box else (0, 0, self.width, self.height)
        x0, y0 = max(0, int(math.floor(x0))), max(0, int(math.floor(y0)))
        x1, y1 = min(self.width, int(math.ceil(x1))), min(self.height, int(math.ceil(y1)))
        offsets = [(n + 0.5) / samples for n in range(samples)]
        total = samples * samples
        for j in range(y0, y1):
            for i in range(x0, x1):
                hits = sum(1 for dy in offsets for dx in offsets if inside((i + dx) / k, (j + dy) / k))
                if hits:
                    c = colour((i + 0.5) / k, (j + 0.5) / k) if callable(colour) else colour
                    self.blend(i, j, c, alpha * hits / total)

    def stroke(self, points, width, colour, alpha=1.0):
        """Draws a polyline of the given width; each pixel takes the coverage
        of its nearest segment, so joints are not painted twice."""
        k = self.scale
        half = width * k / 2
        points = [(x * k, y * k) for x, y in points]
        cover = {}
        for (ax, ay), (bx, by) in zip(points, points[1:]):
            lo_x, hi_x = min(ax, bx) - half - 1, max(ax, bx) + half + 1
            lo_y, hi_y = min(ay, by) - half - 1, max(ay, by) + half + 1
            for j in range(max(0, int(lo_y)), min(self.height, int(hi_y) + 1)):
                for i in range(max(0, int(lo_x)), min(self.width, int(hi_x) + 1)):
                    d = _segment_distance(i + 0.5, j + 0.5, ax, ay, bx, by)
                    c = max(0.0, min(1.0, half - d + 0.5))
                    if c > cover.get((i, j), 0.0):
                        cover[(i, j)] = c
        for (i, j), c in cover.items():
            col = colour((i + 0.5) / k, (j + 0.5) / k) if callable(colour) else colour
            self.blend(i, j, col, alpha * c)

    def rows_bottom_up(self):
        for y in range(self.height - 1, -1, -1):
            yield self.px[y * self.width:(y + 1) * self.width]


def _segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy
    t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / length2))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def bezier(p0, p1, p2, p3, steps=48):
    pts = []
    for k in range(steps + 1):
        t = k / steps
        u = 1 - t
        pts.append((u ** 3 * p0[0] + 3 * u * u * t * p1[0] + 3 * u * t * t * p2[0] + t ** 3 * p3[0],
                    u ** 3 * p0[1] + 3 * u * u * t * p1[1] + 3 * u * t * t * p2[1] + t ** 3 * p3[1]))
    return pts


def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def polygon(points):
    def inside(x, y):
        hit = False
        n = len(points)
        for k in range(n):
            (ax, ay), (bx, by) = points[k], points[(k + 1) % n]
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                hit = not hit
        return hit
    return inside


class Lcg:
    """A fixed pseudo-random sequence, so every build draws the same picture."""

    def __init__(self, seed):
        self.state = seed

    def next(self, lo, hi):
        self.state = (self.state * 1103515245 + 12345) & 0x7FFFFFFF
        return lo + (self.state >> 8) % (hi - lo + 1)


# --- the left strip ----------------------------------------------------------

COOL = (190, 214, 255)   # the first language: cool white-blue
WARM = (252, 200, 92)    # the second language: warm gold


def text_block(canvas, x0, y0, lines, width, colour, alpha, seed):
    """Rows of rounded bars that read as lines of text without being any."""
    rnd = Lcg(seed)
    for row in range(lines):
        y = y0 + row * 9
        x = x0 + (8 if row == 0 else 0)
        end = x0 + width - (rnd.next(0, 26) if row < lines - 1 else rnd.next(24, 40))
        while x < end - 5:
            w = min(rnd.next(5, 20), end - x)
            canvas.fill(rounded_rect(x, y, x + w, y + 3, 1.5), colour, alpha, (x - 1, y - 1, x + w + 1, y + 4))
            x += w + 4


def draw_strip(scale=1.0):
    w, h = STRIP_SIZE
    pw, ph = scaled(STRIP_SIZE, scale)
    top, bottom = (22, 60, 126), (6, 20, 54)
    c = Canvas(pw, ph, scale=scale)
    for y in range(ph):
        t = y / (ph - 1)
        for x in range(pw):
            # A slight darkening towards the right edge lets the page beside
            # the strip stand out.
            shade = 1.0 - 0.10 * (x / (pw - 1))
            base = mix(top, bottom, t ** 0.9)
            p = c.px[y * pw + x]
            p[0], p[1], p[2] = base[0] * shade, base[1] * shade, base[2] * shade

    # A soft light behind the upper text block.
    glow_x, glow_y, glow_r = 44.0, 74.0, 120.0
    for y in range(ph):
        for x in range(pw):
            d = math.hypot((x + 0.5) / scale - glow_x, (y + 0.5) / scale - glow_y) / glow_r
            if d < 1:
                c.blend(x, y, (80, 140, 220), 0.30 * (1 - d) ** 2)

    # Two texts, one in each language.
    text_block(c, 16, 34, 9, 92, COOL, 0.26, seed=7)
    text_block(c, 30, 196, 7, 90, WARM, 0.5, seed=19)

    # Between them a ribbon of strokes carries one text into the other; being
    # shifted copies of one curve, the strokes never cross.
    for k in range(5):
        s = (50.0 + 12 * k, 118.0)
        e = (34.0 + 12 * k, 186.0)
        pts = bezier(s, (s[0] + 22, s[1] + 30), (e[0] - 22, e[1] - 30), e)

        def along(x, y, s=s, e=e):
            return mix(COOL, WARM, (y - s[1]) / (e[1] - s[1]))
        c.stroke(pts, 1.5 if k == 2 else 1.1, along, 0.45)
        for (px, py), colour in ((s, COOL), (e, WARM)):
            c.fill(lambda x, y, px=px, py=py: (x - px) ** 2 + (y - py) ** 2 <= 2.6,
                   colour, 0.85, (px - 3, py - 3, px + 3, py + 3))

    draw_book(c, 68.5, 298, 46, 20)

    # A fine rule above the book and a thin line closing the strip at the top.
    c.fill(rect(22, 268, w - 22, 269), (150, 180, 230), 0.22)
    c.fill(rect(0, 0, w, 1), (120, 160, 230), 0.35)
    return c


def draw_book(c, cx, base, half_width, height):
    """An open book seen from the front: two pages whose edges arch away
    from the spine."""
    def edge(sign, y_spine, lift, y_outer):
        # A quadratic arc from the spine to the outer corner, rising by lift.
        pts = []
        for k in range(13):
            t = k / 12
            y = (1 - t) ** 2 * y_spine + 2 * t * (1 - t) * (y_spine - lift) + t * t * y_outer
            pts.append((cx + sign * half_width * t, y))
        return pts

    top_y = base - height
    for sign, colour in ((-1, COOL), (1, WARM)):
        lower = edge(sign, base, 5, base - 2)
        upper = edge(sign, top_y + 3, 7, top_y)
        outline = lower + upper[::-1]
        box = (cx - half_width - 2, top_y - 8, cx + half_width + 2, base + 2)
        c.fill(polygon(outline), colour, 0.16, box)
        c.stroke(outline + [outline[0]], 1.0, colour, 0.6)
        # Lines of text that follow the page's curve.
        for row in range(4):
            frac = (row + 1) / 5
            line = [(x, uy + (ly - uy) * frac) for (x, uy), (_, ly) in zip(upper, lower)]
            short = 3 if row == 3 else 2
            c.stroke(line[1:-short], 1.0, colour, 0.32)


# --- flags -------------------------------------------------------------------

BORDER = (128, 128, 128)


def framed_flag(make_paint, scale=1.0):
    """A flag glyph: the flag inside a grey border of one design pixel.
    make_paint(inner_w, inner_h) gives paint(u, v), the colour at flag
    coordinates u, v in [0, 1)."""
    w, h = scaled(FLAG_SIZE, scale)
    border = max(1, int(math.floor(scale + 0.5)))
    c = Canvas(w, h, BORDER)
    inner_w, inner_h = w - 2 * border, h - 2 * border
    paint = make_paint(inner_w, inner_h)
    samples = 4
    offsets = [(k + 0.5) / samples for k in range(samples)]
    for j in range(inner_h):
        for i in range(inner_w):
            acc = [0.0, 0.0, 0.0]
            for dy in offsets:
                for dx in offsets:
                    col = paint((i + dx) / inner_w, (j + dy) / inner_h)
                    for k in range(3):
                        acc[k] += col[k]
            p = c.px[(j + border) * w + i + border]
            for k in range(3):
                p[k] = acc[k] / (samples * samples)
    return c


def stripes(colours, vertical):
    # Stripes follow pixel edges: a glyph this small looks blurred where a
    # stripe border splits a pixel.
    def make_paint(inner_w, inner_h):
        pixels = inner_w if vertical else inner_h

        def paint(u, v):
            t = (math.floor((u if vertical else v) * pixels) + 0.5) / pixels
            return colours[min(int(t * len(colours)), len(colours) - 1)]
        return paint
    return make_paint


def union_flag(u, v):
    """The flag of the United Kingdom in its 60 x 30 construction."""
    blue, white, red = (1, 33, 105), (255, 255, 255), (200, 16, 46)
    x, y = u * 60 - 30, v * 30 - 15
    # Crosses of St George (red, 6 wide) on a white fimbriation (10 wide).
    if abs(x) < 3 or abs(y) < 3:
        return red
    if abs(x) < 5 or abs(y) < 5:
        return white
    # The saltires: white band 6 wide on each diagonal, and in it the red
    # band 2 wide, set off the centre line in the counterchanged way (the
    # pattern turns with the flag by half a turn).
    diag = 30 / math.hypot(60, 30)
    for s in (1, -1):
        d = (y - s * x / 2) * diag * 2  # signed distance from the diagonal
        if abs(d) < 3:
            # Seen from the centre, red lies on the anticlockwise side of
            # each arm: below it in the upper hoist, above it in the upper fly.
            toward = -1 if x > 0 else 1
            if 0 < d * toward < 2:
                return red
            return white
    return blue


FLAGS = {
    "flag_pl.bmp": stripes([(255, 255, 255), (220, 20, 60)], vertical=False),
    "flag_en.bmp": lambda inner_w, inner_h: union_flag,
    "flag_de.bmp": stripes([(0, 0, 0), (221, 0, 0), (255, 206, 0)], vertical=False),
    "flag_fr.bmp": stripes([(0, 85, 164), (255, 255, 255), (239, 65, 53)], vertical=True),
    "flag_it.bmp": stripes([(0, 146, 70), (255, 255, 255), (206, 43, 55)], vertical=True),
}


# --- the icon ----------------------------------------------------------------

def draw_icon(size):
    """Two overlapping speech bubbles, one per language; drawn on a 32-unit
    grid and scaled, with the inner lines left out at 16 pixels."""
    c = Canvas(size, size, (0, 0, 0), 0.0)
    s = size / 32
    samples = 8 if size <= 16 else 6

    def bubble(x0, y0, x1, y1, tail, body, edge, lines):
        shape_body = rounded_rect(x0 * s, y0 * s, x1 * s, y1 * s, 5 * s)
        shape_tail = polygon([(px * s, py * s) for px, py in tail])

        def outer(x, y):
            return shape_body(x, y) or shape_tail(x, y)
        grow = 1.2 * s

        def rim(x, y):
            return any(outer(x + dx, y + dy) for dx, dy in ((grow, 0), (-grow, 0), (0, grow), (0, -grow)))
        c.fill(rim, edge, 1.0, samples=samples)

        def shaded(x, y):
            return mix(body, tuple(v * 0.72 for v in body), (y / s - y0) / (y1 - y0))
        c.fill(outer, shaded, 1.0, samples=samples)
        if size >= 24:
            for k, (lx0, lx1) in enumerate(lines):
                ly = (y0 + 5 + k * 4) * s
                c.fill(rounded_rect(lx0 * s, ly, lx1 * s, ly + 1.6 * s, 0.8 * s), (255, 255, 255), 0.9,
                       samples=samples)

    white = (255, 255, 255)
    bubble(1.5, 2, 21.5, 17, [(5, 15), (4, 22), (11, 15)], (52, 110, 204), white,
           [(5.5, 17.5), (5.5, 13.5)])
    bubble(10.5, 11.5, 30.5, 26.5, [(21, 24), (28, 30.5), (27, 24)], (240, 172, 48), white,
           [(14.5, 26.5), (14.5, 22.5)])
    return c


# --- files -------------------------------------------------------------------

def bmp_bytes(canvas):
    """A 24-bit uncompressed bottom-up BMP of an opaque canvas."""
    stride = (canvas.width * 3 + 3) & ~3
    pixels = bytearray()
    for row in canvas.rows_bottom_up():
        line = bytearray()
        for r, g, b, _ in row:
            line += bytes((_byte(b), _byte(g), _byte(r)))
        pixels += line + bytes(stride - len(line))
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(pixels), 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return header + info + bytes(pixels)


def ico_bytes(canvases):
    """An icon file with one 32-bit image (alpha and AND mask) per canvas."""
    images = []
    for c in canvases:
        xor = bytearray()
        mask = bytearray()
        mask_stride = ((c.width + 31) // 32) * 4
        for row in c.rows_bottom_up():
            bits = bytearray(mask_stride)
            for x, (r, g, b, a) in enumerate(row):
                xor += bytes((_byte(b), _byte(g), _byte(r), _byte(a * 255)))
                if a < 0.5:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask += bits
        info = struct.pack("<IiiHHIIiiII", 40, c.width, c.height * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
        images.append((c, info + bytes(xor) + bytes(mask)))
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for c, data in images:
        out += struct.pack("<BBBBHHII", c.width % 256, c.height % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    return bytes(out)


def _byte(v):
    return max(0, min(255, int(round(v))))


def check_bmp(data, size):
    magic, file_size, _, _, offset = struct.unpack_from("<2sIHHI", data, 0)
    _, width, height, planes, bits, compression = struct.unpack_from("<IiiHHI", data, 14)
    stride = (width * 3 + 3) & ~3
    assert magic == b"BM" and file_size == len(data), "BMP header"
    assert (width, height) == size and planes == 1 and bits == 24 and compression == 0, "BMP format"
    assert offset + stride * height == len(data), "BMP pixel data"


def check_ico(data, sizes):
    _, kind, count = struct.unpack_from("<HHH", data, 0)
    assert kind == 1 and count == len(sizes), "icon directory"
    for k, size in enumerate(sizes):
        w, h, _, _, _, bits, length, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * k)
        _, iw, ih = struct.unpack_from("<Iii", data, offset)
        assert (w, h, bits) == (size, size, 32) and (iw, ih) == (size, 2 * size), "icon image"
        assert offset + length <= len(data), "icon bounds"


def write(path, data):
    # Written beside and renamed, so a stopped build leaves no half picture.
    tmp = path + ".tmp"
    with open(tmp, "wb") as f:
        f.write(data)
    os.replace(tmp, path)


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: make_art.py OUTDIR\n")
        return 2
    out = argv[1]
    os.makedirs(out, exist_ok=True)

    for scale, suffix in SCALES:
        def packed(data):
            return zlib.compress(data, 9) if suffix.endswith(".z") else data
        strip = bmp_bytes(draw_strip(scale))
        check_bmp(strip, scaled(STRIP_SIZE, scale))
        write(os.path.join(out, "strip" + suffix), packed(strip))

        for name, paint in FLAGS.items():
            data = bmp_bytes(framed_flag(paint, scale))
            check_bmp(data, scaled(FLAG_SIZE, scale))
            write(os.path.join(out, name.replace(".bmp", suffix)), packed(data))

    icon = ico_bytes([draw_icon(size) for size in ICON_SIZES])
    check_ico(icon, ICON_SIZES)
    write(os.path.join(out, "instal.ico"), icon)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
