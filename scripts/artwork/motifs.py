"""The pictures of the tool, each described in design units and drawn
afresh for every pixel size.

Square pictures use a 100 x 100 design box; buttons use their own pixel
grid so that their 1-pixel borders stay sharp."""

import math

from PIL import Image

from .vector import (Affine, Canvas, arc_band, capsule, circle, lerp,
                     rounded_polygon, rounded_rect)

# Palette shared by every picture.
ACCENT = (30, 111, 217)          # #1E6FD9
ACCENT_TOP = (45, 124, 228)
ACCENT_BOTTOM = (27, 100, 203)
ACCENT_EDGE = (26, 96, 196)
ACCENT_SHADE = (25, 96, 196)     # right half of the drive body
ACCENT_NECK = (20, 78, 162)
METAL = (208, 215, 224)
METAL_EDGE = (160, 171, 186)
METAL_HOLE = (104, 117, 134)
WHITE = (255, 255, 255)
INK = (51, 59, 69)
AMBER = (245, 166, 35)
RED = (224, 58, 62)
RED_DARK = (184, 40, 45)
GREY_X = (84, 94, 107)
TRACK = (226, 232, 240)
BIG_EDGE = (190, 198, 209)
BIG_TOP = (255, 255, 255)
BIG_BOTTOM = (238, 241, 245)
BIG_ACTIVE_EDGE = (30, 111, 217)
BIG_ACTIVE_TOP = (240, 246, 254)
BIG_ACTIVE_BOTTOM = (221, 234, 252)
# Disabled buttons: flat and pale, so they read as unavailable at a glance.
OFF_EDGE = (196, 202, 210)
OFF_TOP = (226, 230, 235)
OFF_BOTTOM = (214, 219, 226)
OFF_X = (190, 196, 205)


# --------------------------------------------------------------------------
# USB recovery drive (main picture, failure picture and application icon)

def _drive(c, place, detail=True):
    """A USB stick standing upright around the origin (74 units long), laid
    into the design box by `place`."""
    # Connector: metal shell with its two contact windows.
    shell = rounded_polygon([(-12, -38), (12, -38), (12, -12), (-12, -12)], [2.5, 2.5, 0, 0])
    c.fill(shell, METAL_EDGE, place)
    if detail:
        c.fill(rounded_polygon([(-10.5, -36.5), (10.5, -36.5), (10.5, -12), (-10.5, -12)],
                               [1.5, 1.5, 0, 0]), METAL, place)
        c.fill([rounded_rect(-7, -32, -2, -27, 0.8), rounded_rect(2, -32, 7, -27, 0.8)],
               METAL_HOLE, place)
    # Body, darker neck band and a shaded right half for a little depth.
    body = rounded_rect(-18, -18, 18, 37, 7)
    body_mask = c.mask(body, transform=place)
    c.paint(body_mask, ACCENT)
    c.paint(c.mask(rounded_rect(0, -18, 19, 38), transform=place), ACCENT_SHADE, clip=body_mask)
    c.paint(c.mask(rounded_rect(-19, -19, 19, -12), transform=place), ACCENT_NECK, clip=body_mask)
    if detail:
        # Restore symbol, kept upright whatever the drive's tilt: a ring
        # arrow turning anticlockwise with its head at the top right.
        cx, cy = place.apply([(0.0, 11.0)])[0]
        k = math.hypot(place.m[0], place.m[3])  # the placement's scale
        r, w = 9.0 * k, 3.6 * k
        a0, a1 = -55.0, 235.0
        c.fill(arc_band(cx, cy, r, w, a0, a1), WHITE)
        ang = math.radians(a0)
        ex, ey = cx + r * math.cos(ang), cy + r * math.sin(ang)
        ux, uy = math.cos(ang), math.sin(ang)        # radial
        tx, ty = math.sin(ang), -math.cos(ang)       # towards decreasing angle
        h, length = 5.6 * k, 6.4 * k
        c.fill([(ex + ux * h, ey + uy * h), (ex + tx * length, ey + ty * length),
                (ex - ux * h, ey - uy * h)], WHITE)
    else:
        c.fill(rounded_rect(-4.5, 6.5, 4.5, 15.5, 2), WHITE, place)


def _drive_placement(cx=50.0, cy=50.0, scale=1.0):
    return Affine.translate(cx, cy) @ Affine.rotate(45) @ Affine.scale(scale)


def bootable(w, h):
    c = Canvas(w, h, 100, 100)
    _drive(c, _drive_placement(50, 50, 1.2), detail=True)
    return c.result()


def app_icon(size):
    """Same motif as the main picture; small sizes drop the fine details and
    fill more of the square."""
    c = Canvas(size, size, 100, 100)
    detail = size >= 32
    _drive(c, _drive_placement(50, 50, 1.2 if detail else 1.28), detail=detail)
    return c.result()


def media_failed(w, h):
    """The drive with a red failure badge: the media did not pass its check."""
    c = Canvas(w, h, 100, 100)
    _drive(c, _drive_placement(44, 44, 1.0), detail=True)
    bx, by, br = 73.0, 73.0, 17.5
    c.erase(c.mask(circle(bx, by, br + 4.5)))
    c.fill(circle(bx, by, br), RED)
    k = 6.3
    c.fill([capsule((bx - k, by - k), (bx + k, by + k), 4.6),
            capsule((bx - k, by + k), (bx + k, by - k), 4.6)], WHITE)
    return c.result()


# --------------------------------------------------------------------------
# Warning sign

def warning(w, h):
    c = Canvas(w, h, 100, 100)
    tri = rounded_polygon([(50, 7), (96, 88), (4, 88)], 8)
    c.fill(tri, AMBER)
    c.fill(capsule((50, 35), (50, 61), 9.5), INK)
    c.fill(circle(50, 75, 5.6), INK)
    return c.result()


# --------------------------------------------------------------------------
# Busy spinner

SPINNER_FRAMES = 12
SPINNER_FRAME_MS = 80


def spinner_frames(size):
    """A blue comet running round a light grey track on white; frame k is
    turned by k * 30 degrees so that the loop is seamless."""
    frames = []
    r, w = 36.0, 11.0
    tail = 280.0
    segments = 100
    for k in range(SPINNER_FRAMES):
        c = Canvas(size, size, 100, 100, background=WHITE)
        c.fill(arc_band(50, 50, r, w, 0, 360), TRACK)
        head = -90.0 + k * 360.0 / SPINNER_FRAMES
        for i in range(segments):
            t0 = i / segments
            a0 = head - tail + tail * t0
            a1 = head - tail + tail * (i + 1) / segments
            c.fill(arc_band(50, 50, r, w, a0, a1 + 0.3), lerp(TRACK, ACCENT, ((i + 0.5) / segments) ** 1.6))
        ha = math.radians(head)
        c.fill(circle(50 + r * math.cos(ha), 50 + r * math.sin(ha), w / 2), ACCENT)
        frames.append(c.result().convert("RGB"))
    return frames


def spinner_palette():
    """Fixed palette: a barycentric grid over white, track grey and accent
    blue, the only colours (and their blends) that the spinner contains."""
    n = 21
    cols = []
    for i in range(n + 1):
        for j in range(n + 1 - i):
            a, b = i / n, j / n
            g = 1.0 - a - b
            cols.append(tuple(int(round(WHITE[ch] * a + ACCENT[ch] * b + TRACK[ch] * g))
                              for ch in range(3)))
    cols.remove(WHITE)
    return [WHITE] + cols  # white first: it is also the logical-screen background


def to_palette(frame, cols):
    """Exact nearest-colour mapping (PIL's own palette conversion searches a
    coarse colour cube and turns pure white slightly blue)."""
    lut = {}
    for _count, col in frame.getcolors(frame.size[0] * frame.size[1]):
        lut[col] = min(range(len(cols)),
                       key=lambda i: sum((col[ch] - cols[i][ch]) ** 2 for ch in range(3)))
    out = Image.new("P", frame.size)
    out.putpalette([v for col in cols for v in col] + [0] * (3 * (256 - len(cols))))
    out.putdata([lut[px] for px in frame.getdata()])
    return out


# --------------------------------------------------------------------------
# Button skins (stretched by style-sheet border-image)

def _skin(w, h, edge, top, bottom, radius=3.0):
    c = Canvas(w, h)
    c.fill(rounded_rect(0, 0, w, h, radius), edge)
    inner = c.mask(rounded_rect(1, 1, w - 1, h - 1, radius - 1))
    c.paint_vgradient(inner, top, bottom, 1, h - 1)
    return c


def button_blue(w, h):
    c = _skin(w, h, ACCENT_EDGE, ACCENT_TOP, ACCENT_BOTTOM)
    # Faint highlight under the top edge.
    c.fill(rounded_rect(2, 1, w - 2, 2), WHITE + (40,))
    return c.result()


def big_button(w, h):
    return _skin(w, h, BIG_EDGE, BIG_TOP, BIG_BOTTOM).result()


def big_button_active(w, h):
    return _skin(w, h, BIG_ACTIVE_EDGE, BIG_ACTIVE_TOP, BIG_ACTIVE_BOTTOM).result()


def button_disabled(w, h):
    return _skin(w, h, OFF_EDGE, OFF_TOP, OFF_BOTTOM).result()


# --------------------------------------------------------------------------
# Title-bar close button. The picture is always stretched into a square
# button, so the X is described in that square (100 x 100 units) and mapped
# onto the wide picture: squeezed back to a square it reads as an upright X.

def _close(w, h, background, cross):
    c = Canvas(w, h, 100, 100)
    if background is not None:
        c.fill(rounded_rect(0, 0, 100, 100), background)
    k, stroke = 19.0, 6.2
    c.fill([capsule((50 - k, 50 - k), (50 + k, 50 + k), stroke),
            capsule((50 - k, 50 + k), (50 + k, 50 - k), stroke)], cross)
    return c.result()


def close_normal(w, h):
    return _close(w, h, None, GREY_X)


def close_hover(w, h):
    return _close(w, h, RED, WHITE)


def close_disabled(w, h):
    return _close(w, h, None, OFF_X)


def close_pressed(w, h):
    return _close(w, h, RED_DARK, WHITE)
