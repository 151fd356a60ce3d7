#!/usr/bin/env python3
"""Draws the installer skin's images: python3 draw_skin.py OUT_DIR

Every image is computed from the shapes and colours below (standard library
only), so the same source always gives the same bytes. Change the palette or
a shape here and the next build packs the new look.

Shapes are drawn with signed distances: a pixel's coverage is how far inside
the edge its centre lies, which gives smooth, anti-aliased edges without
supersampling.
"""
import math
import os
import struct
import sys
import zlib

# Palette (R, G, B).
BRAND_A = (47, 107, 255)    # hero gradient, top left
BRAND_B = (122, 77, 245)    # hero gradient, bottom right
ACCENT = (59, 130, 246)     # buttons and fills
ACCENT_B = (99, 102, 241)
WHITE = (255, 255, 255)
INK = (31, 41, 55)
LINE = (209, 213, 219)
MUTED = (156, 163, 175)
DISABLED = (203, 208, 216)
SUCCESS = (34, 197, 94)

HERO_H = 270       # height of the coloured part of the pages
CORNER = 10        # window corner radius


def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def lighter(c, t):
    return mix(c, WHITE, t)


def darker(c, t):
    return mix(c, (0, 0, 0), t)


class Canvas:
    """Straight-alpha RGBA pixels as floats (colour 0-255, alpha 0-1)."""

    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(w * h)]

    def blend(self, x, y, colour, alpha):
        if alpha <= 0.0:
            return
        p = self.px[y * self.w + x]
        out_a = alpha + p[3] * (1.0 - alpha)
        if out_a <= 0.0:
            return
        keep = p[3] * (1.0 - alpha)
        for i in range(3):
            p[i] = (colour[i] * alpha + p[i] * keep) / out_a
        p[3] = out_a

    def shape(self, box, dist, paint, alpha=1.0, soft=0.0):
        """Fills where dist(x, y) < 0; paint(x, y) gives the colour.

        soft > 0 spreads the edge over that many pixels (shadows, glows)."""
        x0, y0, x1, y1 = box
        x0, y0 = max(0, int(x0) - 2), max(0, int(y0) - 2)
        x1, y1 = min(self.w, int(math.ceil(x1)) + 2), min(self.h, int(math.ceil(y1)) + 2)
        for y in range(y0, y1):
            cy = y + 0.5
            for x in range(x0, x1):
                cx = x + 0.5
                d = dist(cx, cy)
                if soft > 0.0:
                    cover = clamp(0.5 - d / soft)
                    cover = cover * cover * (3 - 2 * cover)
                else:
                    cover = clamp(0.5 - d)
                if cover > 0.0:
                    self.blend(x, y, paint(cx, cy), cover * alpha)

    def png(self):
        rows = bytearray()
        for y in range(self.h):
            rows.append(0)
            for x in range(self.w):
                r, g, b, a = self.px[y * self.w + x]
                rows += bytes((int(round(clamp(r, 0, 255))), int(round(clamp(g, 0, 255))),
                               int(round(clamp(b, 0, 255))), int(round(clamp(a) * 255))))

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

        head = struct.pack(">IIBBBBB", self.w, self.h, 8, 6, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", head) +
                chunk(b"IDAT", zlib.compress(bytes(rows), 9)) + chunk(b"IEND", b""))


# Signed distance functions (negative inside).

def d_round_rect(x0, y0, x1, y1, r):
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - r, (y1 - y0) / 2 - r

    def d(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - r
    return d


def d_circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def d_ring(cx, cy, r, width):
    return lambda x, y: abs(math.hypot(x - cx, y - cy) - r) - width / 2


def d_segment(ax, ay, bx, by, width):
    vx, vy = bx - ax, by - ay
    vv = vx * vx + vy * vy

    def d(x, y):
        t = clamp(((x - ax) * vx + (y - ay) * vy) / vv)
        return math.hypot(x - ax - vx * t, y - ay - vy * t) - width / 2
    return d


def d_polyline(points, width):
    segs = [d_segment(*points[i], *points[i + 1], width) for i in range(len(points) - 1)]
    return lambda x, y: min(s(x, y) for s in segs)


def solid(colour):
    return lambda x, y: colour


def linear(c0, c1, x0, y0, x1, y1):
    vx, vy = x1 - x0, y1 - y0
    vv = vx * vx + vy * vy or 1.0
    return lambda x, y: mix(c0, c1, clamp(((x - x0) * vx + (y - y0) * vy) / vv))


def bounds(x0, y0, x1, y1, grow=0):
    return (x0 - grow, y0 - grow, x1 + grow, y1 + grow)


# Pieces shared by several images.

def logo(c, x, y, size, on_brand=True):
    """The product mark: a rounded tile with a white "Q" whose tail is an
    arrow, the sign of a conversion."""
    r = size * 0.26
    if on_brand:
        c.shape(bounds(x, y + size * 0.06, x + size, y + size * 1.06, size * 0.2),
                d_round_rect(x, y + size * 0.06, x + size, y + size * 1.06, r),
                solid((20, 30, 90)), 0.25, soft=size * 0.18)
        tile = linear(WHITE, (232, 236, 255), x, y, x + size, y + size)
        ink = linear(BRAND_A, BRAND_B, x, y, x + size, y + size)
    else:
        tile = linear(BRAND_A, BRAND_B, x, y, x + size, y + size)
        ink = solid(WHITE)
    c.shape(bounds(x, y, x + size, y + size), d_round_rect(x, y, x + size, y + size, r), tile)
    cx, cy = x + size * 0.47, y + size * 0.47
    c.shape(bounds(x, y, x + size, y + size), d_ring(cx, cy, size * 0.23, size * 0.1), ink)
    tail = d_polyline([(cx + size * 0.08, cy + size * 0.08), (x + size * 0.78, y + size * 0.78)],
                      size * 0.1)
    c.shape(bounds(x, y, x + size, y + size), tail, ink)
    head = d_polyline([(x + size * 0.62, y + size * 0.80), (x + size * 0.80, y + size * 0.80),
                       (x + size * 0.80, y + size * 0.62)], size * 0.1)
    c.shape(bounds(x, y, x + size, y + size), head, ink)


def page_background(w, h, decorate):
    c = Canvas(w, h)
    window = d_round_rect(0, 0, w, h, CORNER)
    c.shape((0, 0, w, h), window, solid(WHITE))
    hero = d_round_rect(0, 0, w, HERO_H + CORNER, CORNER)
    clip_hero = lambda x, y: max(hero(x, y), y - HERO_H)  # noqa: E731
    c.shape((0, 0, w, HERO_H), clip_hero, linear(BRAND_A, BRAND_B, 0, 0, w, HERO_H))
    # Soft light discs for depth, kept inside the hero.
    for cx, cy, r, a in ((560, 40, 150, 0.08), (70, 250, 120, 0.06), (420, 300, 90, 0.05)):
        disc = d_circle(cx, cy, r)
        c.shape((0, 0, w, HERO_H), lambda x, y, disc=disc: max(disc(x, y), clip_hero(x, y)),
                solid(WHITE), a)
    # A hairline under the hero.
    c.shape((0, HERO_H, w, HERO_H + 1), lambda x, y: max(abs(y - HERO_H - 0.5) - 0.5,
                                                          window(x, y)), solid((230, 233, 240)))
    decorate(c)
    return c


def decorate_page1(c):
    logo(c, 289, 58, 72)


def decorate_page2(c):
    logo(c, 289, 58, 72)


def decorate_page3(c):
    # A success badge: a white disc with a green check, over the hero.
    cx, cy, r = 325, 100, 40
    c.shape(bounds(cx - r, cy - r + 6, cx + r, cy + r + 6, 14), d_circle(cx, cy + 6, r),
            solid((20, 30, 90)), 0.22, soft=16)
    c.shape(bounds(cx - r, cy - r, cx + r, cy + r), d_circle(cx, cy, r), solid(WHITE))
    check = d_polyline([(cx - 17, cy + 1), (cx - 5, cy + 13), (cx + 18, cy - 12)], 8)
    c.shape(bounds(cx - r, cy - r, cx + r, cy + r), check, solid(SUCCESS))


def button_strip(w, h, radius, faces):
    """Four frames side by side: normal, hover, pressed, disabled. Each face
    is (top colour, bottom colour, border colour or None, shadow alpha)."""
    c = Canvas(w * 4, h)
    for i, (top, bottom, border, shadow) in enumerate(faces):
        x0 = i * w
        inset = 2 if shadow else 0
        body = d_round_rect(x0 + inset, 0, x0 + w - inset, h - inset * 1.5, radius)
        if shadow:
            glow = d_round_rect(x0 + inset + 2, 3, x0 + w - inset - 2, h - 1, radius)
            c.shape((x0, 0, x0 + w, h), lambda x, y, g=glow, a=x0: max(g(x, y), a - x, x - a - w),
                    solid(ACCENT), shadow, soft=3)
        fill = linear(top, bottom, 0, 0, 0, h)
        c.shape((x0, 0, x0 + w, h), body, fill)
        if border:
            edge = lambda x, y, b=body: abs(b(x, y) + 0.5) - 0.5  # noqa: E731
            c.shape((x0, 0, x0 + w, h), edge, solid(border))
    return c


def primary_faces():
    return [
        (lighter(ACCENT, 0.05), ACCENT_B, None, 0.35),
        (lighter(ACCENT, 0.2), lighter(ACCENT_B, 0.15), None, 0.5),
        (darker(ACCENT, 0.12), darker(ACCENT_B, 0.12), None, 0.15),
        (DISABLED, DISABLED, None, 0.0),
    ]


def secondary_faces():
    return [
        (WHITE, (248, 249, 251), LINE, 0.0),
        ((244, 247, 255), (236, 241, 255), ACCENT, 0.0),
        ((226, 233, 252), (219, 228, 252), darker(ACCENT, 0.1), 0.0),
        ((243, 244, 246), (243, 244, 246), (229, 231, 235), 0.0),
    ]


def check_strip(size, checked, round_box):
    """Four check box frames. Checked boxes are filled with the accent and
    carry a white tick; unchecked ones are white with a grey edge."""
    c = Canvas(size * 4, size)
    r = size / 2 if round_box else size * 0.25
    for i in range(4):
        x0 = i * size
        box = d_round_rect(x0 + 0.5, 0.5, x0 + size - 0.5, size - 0.5, r)
        area = (x0, 0, x0 + size, size)
        if checked:
            fill = [ACCENT, lighter(ACCENT, 0.18), darker(ACCENT, 0.15), DISABLED][i]
            c.shape(area, box, solid(fill))
            s = size / 16.0
            tick = d_polyline([(x0 + 4.2 * s, 8.3 * s), (x0 + 6.9 * s, 11.0 * s),
                               (x0 + 11.9 * s, 5.3 * s)], 1.9 * s)
            c.shape(area, tick, solid(WHITE))
        else:
            edge_colour = [(196, 201, 212), ACCENT, darker(ACCENT, 0.15), (229, 231, 235)][i]
            inner = [WHITE, WHITE, (232, 239, 255), (243, 244, 246)][i]
            c.shape(area, box, solid(edge_colour))
            width = 1.4 if i in (1, 2) else 1.0
            inside = d_round_rect(x0 + 0.5 + width, 0.5 + width, x0 + size - 0.5 - width,
                                  size - 0.5 - width, max(r - width, 0.5))
            c.shape(area, inside, solid(inner))
    return c


def close_strip(size):
    c = Canvas(size * 4, size)
    for i in range(4):
        x0 = i * size
        area = (x0, 0, x0 + size, size)
        if i in (1, 2):
            c.shape(area, d_circle(x0 + size / 2, size / 2, size / 2 - 0.5), solid(WHITE),
                    0.18 if i == 1 else 0.3)
        m = size * 0.32
        cross_a = d_segment(x0 + m, m, x0 + size - m, size - m, 1.6)
        cross_b = d_segment(x0 + size - m, m, x0 + m, size - m, 1.6)
        alpha = [0.9, 1.0, 1.0, 0.35][i]
        c.shape(area, lambda x, y: min(cross_a(x, y), cross_b(x, y)), solid(WHITE), alpha)
    return c


def bar(w, h, colour_paint):
    c = Canvas(w, h)
    c.shape((0, 0, w, h), d_round_rect(0, 0, w, h, h / 2), colour_paint)
    return c


def edit_box(size):
    c = Canvas(size, size)
    outer = d_round_rect(0.5, 0.5, size - 0.5, size - 0.5, 6)
    c.shape((0, 0, size, size), outer, solid(LINE))
    c.shape((0, 0, size, size), d_round_rect(1.5, 1.5, size - 1.5, size - 1.5, 5),
            solid((249, 250, 251)))
    return c


def message_box(w, h):
    c = Canvas(w, h)
    c.shape((0, 0, w, h), d_round_rect(0, 0, w, h, CORNER), solid(WHITE))
    head = d_round_rect(0, 0, w, 40 + CORNER, CORNER)
    c.shape((0, 0, w, 40), lambda x, y: max(head(x, y), y - 40),
            linear(BRAND_A, BRAND_B, 0, 0, w, 40))
    edge = d_round_rect(0, 0, w, h, CORNER)
    c.shape((0, 0, w, h), lambda x, y: abs(edge(x, y) + 0.5) - 0.5, solid((200, 205, 215)))
    return c


def small_logo(size):
    c = Canvas(size, size)
    logo(c, 0, 0, size, on_brand=True)
    return c


def images():
    w, h = 650, 450
    return {
        "bg_setup1.png": lambda: page_background(w, h, decorate_page1),
        "bg_setup2.png": lambda: page_background(w, h, decorate_page2),
        "bg_setup3.png": lambda: page_background(w, h, decorate_page3),
        "btn_setup.png": lambda: button_strip(200, 48, 24, primary_faces()),
        "btn_finish.png": lambda: button_strip(200, 48, 24, primary_faces()),
        "btn_folder.png": lambda: button_strip(88, 32, 6, secondary_faces()),
        "btnb.png": lambda: button_strip(100, 34, 17, primary_faces()),
        "btnw.png": lambda: button_strip(100, 34, 17, secondary_faces()),
        "btn_ok.png": lambda: button_strip(100, 34, 17, primary_faces()),
        "btn_cancel.png": lambda: button_strip(100, 34, 17, secondary_faces()),
        "btn_cancel1.png": lambda: button_strip(120, 40, 20, secondary_faces()),
        "check.png": lambda: check_strip(16, True, False),
        "uncheck.png": lambda: check_strip(16, False, False),
        "checkbox.png": lambda: check_strip(16, True, True),
        "uncheckbox.png": lambda: check_strip(16, False, True),
        "close.png": lambda: close_strip(20),
        "edit.png": lambda: edit_box(24),
        "msgbox.png": lambda: message_box(360, 190),
        # The bar's own size: drawn one to one, the fill cut at its value.
        "progb.png": lambda: bar(570, 8, solid((229, 231, 235))),
        "progf.png": lambda: bar(570, 8, linear(lighter(ACCENT, 0.15), ACCENT_B, 0, 0, 570, 0)),
        "smlogo.png": lambda: small_logo(20),
    }


def main():
    if len(sys.argv) != 2:
        sys.stderr.write("usage: draw_skin.py OUT_DIR\n")
        return 2
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for name, make in sorted(images().items()):
        data = make().png()
        path = os.path.join(out, name)
        # Rewrite only on change, so a rebuild does not repack an unchanged skin.
        try:
            with open(path, "rb") as f:
                if f.read() == data:
                    continue
        except OSError:
            pass
        with open(path, "wb") as f:
            f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
