"""A small vector layer over PIL: shapes are polygons in design units,
filled into a canvas drawn at SS times the output size and reduced with
LANCZOS at the end, which gives antialiased edges without relying on
PIL's own (non-antialiased) polygon fill."""

import math

from PIL import Image, ImageChops, ImageDraw

SS = 4  # supersampling factor of every canvas


class Affine:
    """2-D affine map (x, y) -> (a*x + b*y + c, d*x + e*y + f)."""

    def __init__(self, a=1.0, b=0.0, c=0.0, d=0.0, e=1.0, f=0.0):
        self.m = (a, b, c, d, e, f)

    def __matmul__(self, other):
        """self @ other applies other first, then self."""
        a, b, c, d, e, f = self.m
        A, B, C, D, E, F = other.m
        return Affine(a * A + b * D, a * B + b * E, a * C + b * F + c,
                      d * A + e * D, d * B + e * E, d * C + e * F + f)

    def apply(self, pts):
        a, b, c, d, e, f = self.m
        return [(a * x + b * y + c, d * x + e * y + f) for x, y in pts]

    @staticmethod
    def translate(tx, ty):
        return Affine(1, 0, tx, 0, 1, ty)

    @staticmethod
    def scale(sx, sy=None):
        return Affine(sx, 0, 0, 0, sx if sy is None else sy, 0)

    @staticmethod
    def rotate(deg):
        """Clockwise on screen (y grows downwards)."""
        r = math.radians(deg)
        co, si = math.cos(r), math.sin(r)
        return Affine(co, -si, 0, si, co, 0)


def _arc_points(cx, cy, r, a0, a1, step_deg=3.0):
    """Points on a circle from angle a0 to a1 (degrees, clockwise on screen)."""
    n = max(2, int(math.ceil(abs(a1 - a0) / step_deg)) + 1)
    return [(cx + r * math.cos(math.radians(a0 + (a1 - a0) * i / (n - 1))),
             cy + r * math.sin(math.radians(a0 + (a1 - a0) * i / (n - 1))))
            for i in range(n)]


def rounded_polygon(points, radius):
    """Convex polygon (clockwise on screen) with each corner replaced by a
    circular arc; radius is one number or one per corner."""
    n = len(points)
    radii = radius if isinstance(radius, (list, tuple)) else [radius] * n
    out = []
    for i in range(n):
        px, py = points[i]
        r = radii[i]
        if r <= 0:
            out.append((px, py))
            continue
        ax, ay = points[i - 1]
        bx, by = points[(i + 1) % n]
        u = (ax - px, ay - py)
        v = (bx - px, by - py)
        lu, lv = math.hypot(*u), math.hypot(*v)
        u = (u[0] / lu, u[1] / lu)
        v = (v[0] / lv, v[1] / lv)
        theta = math.acos(max(-1.0, min(1.0, u[0] * v[0] + u[1] * v[1])))
        t = r / math.tan(theta / 2)  # vertex to tangent point
        bis = (u[0] + v[0], u[1] + v[1])
        lb = math.hypot(*bis)
        dist = r / math.sin(theta / 2)
        cx, cy = px + bis[0] / lb * dist, py + bis[1] / lb * dist
        t1 = (px + u[0] * t, py + u[1] * t)
        t2 = (px + v[0] * t, py + v[1] * t)
        a0 = math.degrees(math.atan2(t1[1] - cy, t1[0] - cx))
        a1 = math.degrees(math.atan2(t2[1] - cy, t2[0] - cx))
        while a1 < a0:  # clockwise traversal
            a1 += 360.0
        out.extend(_arc_points(cx, cy, r, a0, a1))
    return out


def rounded_rect(x0, y0, x1, y1, r=0.0):
    return rounded_polygon([(x0, y0), (x1, y0), (x1, y1), (x0, y1)], r)


def circle(cx, cy, r):
    return _arc_points(cx, cy, r, 0, 360, step_deg=2.0)[:-1]


def arc_band(cx, cy, r, width, a0, a1):
    """Ring segment of the given stroke width between angles a0 and a1."""
    outer = _arc_points(cx, cy, r + width / 2, a0, a1, step_deg=1.0)
    inner = _arc_points(cx, cy, r - width / 2, a1, a0, step_deg=1.0)
    return outer + inner


def capsule(p0, p1, width):
    """Line segment with round caps."""
    (x0, y0), (x1, y1) = p0, p1
    ang = math.degrees(math.atan2(y1 - y0, x1 - x0))
    h = width / 2
    return (_arc_points(x1, y1, h, ang - 90, ang + 90, step_deg=6.0)
            + _arc_points(x0, y0, h, ang + 90, ang + 270, step_deg=6.0))


def lerp(c0, c1, t):
    return tuple(int(round(a + (b - a) * t)) for a, b in zip(c0, c1))


def rgba(c):
    return tuple(c) + (255,) if len(c) == 3 else tuple(c)


class Canvas:
    """Supersampled RGBA canvas of w x h output pixels whose design space is
    design_w x design_h units (non-uniform when the two ratios differ)."""

    def __init__(self, w, h, design_w=None, design_h=None, background=(0, 0, 0, 0)):
        self.w, self.h = w, h
        self.size = (w * SS, h * SS)
        self.img = Image.new("RGBA", self.size, rgba(background))
        self.view = Affine.scale(w * SS / (design_w or w), h * SS / (design_h or h))

    def mask(self, *polys, transform=None):
        m = Image.new("L", self.size, 0)
        draw = ImageDraw.Draw(m)
        t = self.view if transform is None else self.view @ transform
        for poly in polys:
            draw.polygon(t.apply(poly), fill=255)
        return m

    def paint(self, mask, color, clip=None):
        """Composite a solid colour through a mask (optionally clipped)."""
        if clip is not None:
            mask = ImageChops.multiply(mask, clip)
        c = rgba(color)
        layer = Image.new("RGBA", self.size, c[:3] + (0,))
        alpha = mask if c[3] == 255 else mask.point(lambda v: v * c[3] // 255)
        layer.putalpha(alpha)
        self.img = Image.alpha_composite(self.img, layer)

    def paint_vgradient(self, mask, top, bottom, y0=0.0, y1=None):
        """Composite a vertical gradient (design-space rows y0..y1) through a mask."""
        y1 = self.h if y1 is None else y1
        py0 = self.view.apply([(0, y0)])[0][1]
        py1 = self.view.apply([(0, y1)])[0][1]
        column = Image.new("RGBA", (1, self.size[1]))
        for y in range(self.size[1]):
            t = min(1.0, max(0.0, (y + 0.5 - py0) / max(1e-9, py1 - py0)))
            column.putpixel((0, y), rgba(lerp(top, bottom, t)))
        layer = column.resize(self.size, Image.NEAREST)
        layer.putalpha(ImageChops.multiply(layer.getchannel("A"), mask))
        self.img = Image.alpha_composite(self.img, layer)

    def fill(self, polys, color, transform=None, clip=None):
        if isinstance(polys[0][0], (int, float)):
            polys = [polys]
        self.paint(self.mask(*polys, transform=transform), color, clip)

    def erase(self, mask):
        """Cut a transparent hole (used to separate a badge from what is below)."""
        a = self.img.getchannel("A")
        self.img.putalpha(ImageChops.multiply(a, ImageChops.invert(mask)))

    def result(self):
        return self.img.resize((self.w, self.h), Image.LANCZOS)
