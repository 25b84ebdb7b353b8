#!/usr/bin/env python3
"""Draws the product's small TrueType font, family "STEDT".

    make_font.py OUT.ttf

The font is made here, glyph by glyph, so that the medium needs nothing from
elsewhere: capitals A to Z, digits, a few signs and the Polish letters, each
drawn from straight strokes on a 1000-unit em. Its code-page bits name Latin 1
and Latin 2, so that Windows offers it with ANSI_CHARSET and
EASTEUROPE_CHARSET. The output is the same byte for byte on every run.
"""

import sys

from fontTools.fontBuilder import FontBuilder
from fontTools.pens.ttGlyphPen import TTGlyphPen

FAMILY = "STEDT"
EM = 1000
ASCENT = 800
DESCENT = 200
ADVANCE = 600
STROKE = 80
# Fixed timestamps keep the file reproducible (seconds since 1904).
TIMESTAMP = 3_000_000_000

# Each glyph is a list of strokes, a stroke two points on a 500 x 700 grid.
H, W = 700, 500
STROKES = {
    "A": [((0, 0), (250, H)), ((250, H), (W, 0)), ((100, 280), (400, 280))],
    "B": [((0, 0), (0, H)), ((0, H), (400, H)), ((400, H), (400, 350)), ((0, 350), (W, 350)),
          ((W, 350), (W, 0)), ((0, 0), (W, 0))],
    "C": [((W, H), (0, H)), ((0, H), (0, 0)), ((0, 0), (W, 0))],
    "D": [((0, 0), (0, H)), ((0, H), (350, H)), ((350, H), (W, 500)), ((W, 500), (W, 200)),
          ((W, 200), (350, 0)), ((350, 0), (0, 0))],
    "E": [((W, H), (0, H)), ((0, H), (0, 0)), ((0, 0), (W, 0)), ((0, 350), (400, 350))],
    "F": [((W, H), (0, H)), ((0, H), (0, 0)), ((0, 350), (400, 350))],
    "G": [((W, H), (0, H)), ((0, H), (0, 0)), ((0, 0), (W, 0)), ((W, 0), (W, 300)), ((W, 300), (250, 300))],
    "H": [((0, 0), (0, H)), ((W, 0), (W, H)), ((0, 350), (W, 350))],
    "I": [((250, 0), (250, H)), ((100, H), (400, H)), ((100, 0), (400, 0))],
    "J": [((W, H), (W, 0)), ((W, 0), (0, 0)), ((0, 0), (0, 200))],
    "K": [((0, 0), (0, H)), ((0, 350), (W, H)), ((0, 350), (W, 0))],
    "L": [((0, H), (0, 0)), ((0, 0), (W, 0))],
    "M": [((0, 0), (0, H)), ((0, H), (250, 350)), ((250, 350), (W, H)), ((W, H), (W, 0))],
    "N": [((0, 0), (0, H)), ((0, H), (W, 0)), ((W, 0), (W, H))],
    "O": [((0, 0), (0, H)), ((0, H), (W, H)), ((W, H), (W, 0)), ((W, 0), (0, 0))],
    "P": [((0, 0), (0, H)), ((0, H), (W, H)), ((W, H), (W, 350)), ((W, 350), (0, 350))],
    "Q": [((0, 0), (0, H)), ((0, H), (W, H)), ((W, H), (W, 0)), ((W, 0), (0, 0)), ((300, 200), (W + 50, -100))],
    "R": [((0, 0), (0, H)), ((0, H), (W, H)), ((W, H), (W, 350)), ((W, 350), (0, 350)), ((150, 350), (W, 0))],
    "S": [((W, H), (0, H)), ((0, H), (0, 350)), ((0, 350), (W, 350)), ((W, 350), (W, 0)), ((W, 0), (0, 0))],
    "T": [((0, H), (W, H)), ((250, H), (250, 0))],
    "U": [((0, H), (0, 0)), ((0, 0), (W, 0)), ((W, 0), (W, H))],
    "V": [((0, H), (250, 0)), ((250, 0), (W, H))],
    "W": [((0, H), (100, 0)), ((100, 0), (250, 400)), ((250, 400), (400, 0)), ((400, 0), (W, H))],
    "X": [((0, H), (W, 0)), ((0, 0), (W, H))],
    "Y": [((0, H), (250, 350)), ((W, H), (250, 350)), ((250, 350), (250, 0))],
    "Z": [((0, H), (W, H)), ((W, H), (0, 0)), ((0, 0), (W, 0))],
    "0": [((0, 0), (0, H)), ((0, H), (W, H)), ((W, H), (W, 0)), ((W, 0), (0, 0)), ((0, 0), (W, H))],
    "1": [((250, 0), (250, H)), ((250, H), (100, 550))],
    "2": [((0, H), (W, H)), ((W, H), (W, 350)), ((W, 350), (0, 350)), ((0, 350), (0, 0)), ((0, 0), (W, 0))],
    "3": [((0, H), (W, H)), ((W, H), (W, 0)), ((W, 0), (0, 0)), ((100, 350), (W, 350))],
    "4": [((0, H), (0, 350)), ((0, 350), (W, 350)), ((400, H), (400, 0))],
    "5": [((W, H), (0, H)), ((0, H), (0, 350)), ((0, 350), (W, 350)), ((W, 350), (W, 0)), ((W, 0), (0, 0))],
    "6": [((W, H), (0, H)), ((0, H), (0, 0)), ((0, 0), (W, 0)), ((W, 0), (W, 350)), ((W, 350), (0, 350))],
    "7": [((0, H), (W, H)), ((W, H), (150, 0))],
    "8": [((0, 0), (0, H)), ((0, H), (W, H)), ((W, H), (W, 0)), ((W, 0), (0, 0)), ((0, 350), (W, 350))],
    "9": [((W, 350), (0, 350)), ((0, 350), (0, H)), ((0, H), (W, H)), ((W, H), (W, 0)), ((W, 0), (0, 0))],
    "-": [((50, 350), (450, 350))],
    ".": [((200, 0), (300, 0))],
    ",": [((250, 50), (150, -150))],
}
# The Polish capitals: a base letter and a mark.
OGONEK = [((W - 50, 0), (W + 50, -150))]
ACUTE = [((200, H + 50), (350, H + 200))]
DOT = [((220, H + 120), (280, H + 120))]
POLISH = {
    "Ą": ("A", OGONEK), "Ć": ("C", ACUTE), "Ę": ("E", OGONEK), "Ł": ("L", [((-50, 250), (200, 450))]),
    "Ń": ("N", ACUTE), "Ó": ("O", ACUTE), "Ś": ("S", ACUTE), "Ź": ("Z", ACUTE), "Ż": ("Z", DOT),
}
for letter, (base, mark) in POLISH.items():
    STROKES[letter] = STROKES[base] + mark
# Lower case shows the capitals.
for letter in list(STROKES):
    if letter.lower() != letter and letter.lower() not in STROKES:
        STROKES[letter.lower()] = STROKES[letter]


def stroke_outline(pen, a, b):
    """A stroke as a closed quadrilateral STROKE units wide."""
    (x0, y0), (x1, y1) = a, b
    dx, dy = x1 - x0, y1 - y0
    length = (dx * dx + dy * dy) ** 0.5 or 1.0
    nx, ny = -dy / length * STROKE / 2, dx / length * STROKE / 2
    off = 50  # left side bearing
    points = [(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)]
    points = [(round(x) + off, round(y)) for x, y in points]
    # Clockwise outlines fill in TrueType.
    area = sum(p[0] * q[1] - q[0] * p[1] for p, q in zip(points, points[1:] + points[:1]))
    if area > 0:
        points.reverse()
    pen.moveTo(points[0])
    for p in points[1:]:
        pen.lineTo(p)
    pen.closePath()


def glyph_name(char):
    return "space" if char == " " else f"uni{ord(char):04X}"


def build(out):
    chars = [" "] + sorted(STROKES)
    names = [".notdef"] + [glyph_name(c) for c in chars]
    fb = FontBuilder(EM, isTTF=True)
    fb.setupGlyphOrder(names)
    fb.setupCharacterMap({ord(c): glyph_name(c) for c in chars})

    glyphs = {}
    notdef = TTGlyphPen(None)
    for a, b in (((0, 0), (0, H)), ((0, H), (W, H)), ((W, H), (W, 0)), ((W, 0), (0, 0))):
        stroke_outline(notdef, a, b)
    glyphs[".notdef"] = notdef.glyph()
    glyphs["space"] = TTGlyphPen(None).glyph()
    for c in chars[1:]:
        pen = TTGlyphPen(None)
        for a, b in STROKES[c]:
            stroke_outline(pen, a, b)
        glyphs[glyph_name(c)] = pen.glyph()
    fb.setupGlyf(glyphs)

    metrics = {}
    glyf = fb.font["glyf"]
    for name in names:
        metrics[name] = (ADVANCE, getattr(glyf[name], "xMin", 0))
    fb.setupHorizontalMetrics(metrics)
    fb.setupHorizontalHeader(ascent=ASCENT + 100, descent=-DESCENT)
    fb.setupNameTable({
        "familyName": FAMILY,
        "styleName": "Regular",
        "uniqueFontIdentifier": "Zelpax: STEDT Regular: 1.0",
        "fullName": FAMILY,
        "psName": FAMILY,
        "version": "Version 1.000",
    })
    fb.setupOS2(
        sTypoAscender=ASCENT, sTypoDescender=-DESCENT, sTypoLineGap=0,
        usWinAscent=ASCENT + 100, usWinDescent=DESCENT,
        sxHeight=H, sCapHeight=H, achVendID="ZLPX",
        # Bit 0 Latin 1 (1252), bit 1 Latin 2 (1250).
        ulCodePageRange1=0b11, ulCodePageRange2=0,
        # Basic Latin, Latin-1 Supplement, Latin Extended-A.
        ulUnicodeRange1=0b111,
    )
    fb.setupPost()
    fb.font["head"].created = TIMESTAMP
    fb.font["head"].modified = TIMESTAMP
    fb.font.recalcTimestamp = False
    fb.save(out)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    build(sys.argv[1])
