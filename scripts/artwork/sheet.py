"""Contact sheets for eyeballing the bundle: every picture at 1x and 4x on
white and on the title-strip grey, plus the button and close skins stretched
the way the windows stretch them. A development aid; never committed."""

import os

from PIL import Image, ImageDraw, ImageFont

from . import icofile

STRIP = (237, 240, 243)
BG = (255, 255, 255)
PAD = 10


def _font(size):
    for path in ("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",):
        if os.path.exists(path):
            return ImageFont.truetype(path, size)
    return ImageFont.load_default()


def _on(img, color, pad=4):
    tile = Image.new("RGBA", (img.size[0] + 2 * pad, img.size[1] + 2 * pad), color + (255,))
    tile.alpha_composite(img.convert("RGBA"), (pad, pad))
    return tile


def _x4(img):
    return img.resize((img.size[0] * 4, img.size[1] * 4), Image.NEAREST)


def _labelled_button(skin, size, text, color, smooth):
    img = skin.convert("RGBA").resize(size, Image.BILINEAR if smooth else Image.NEAREST)
    d = ImageDraw.Draw(img)
    f = _font(12)
    tw = d.textlength(text, font=f)
    d.text(((size[0] - tw) / 2, (size[1] - 15) / 2), text, font=f, fill=color)
    return img


def _rows_to_sheet(rows, path):
    font = _font(12)
    width = max(sum(t.size[0] + PAD for t in tiles) + 220 for _l, tiles in rows) + PAD
    height = sum(max(t.size[1] for t in tiles) + PAD for _l, tiles in rows) + PAD
    sheet = Image.new("RGBA", (width, height), (200, 205, 212, 255))
    d = ImageDraw.Draw(sheet)
    y = PAD
    for label, tiles in rows:
        d.text((PAD, y), label, font=font, fill=(0, 0, 0))
        x = 220
        for t in tiles:
            sheet.alpha_composite(t, (x, y))
            x += t.size[0] + PAD
        y += max(t.size[1] for t in tiles) + PAD
    sheet.convert("RGB").save(path)
    return path


def contact_sheet(root, rels, path):
    stem, ext = os.path.splitext(path)
    open_img = lambda rel: Image.open(os.path.join(root, rel))  # noqa: E731
    pictures, buttons, spin = [], [], []
    for rel in rels:
        im = open_img(rel)
        name = os.path.basename(rel)
        if rel.endswith(".gif"):
            frames = []
            for k in range(im.n_frames):
                im.seek(k)
                frames.append(im.convert("RGBA"))
            spin.append((rel + " 1x", [_on(f, BG, 2) for f in frames]))
            spin.append((rel + " 4x", [_x4(f) for f in frames[:6]]))
            continue
        im = im.convert("RGBA")
        tiles = [_on(im, BG), _on(im, STRIP), _on(_x4(im), BG), _on(_x4(im), STRIP)]
        if "Close" in name:
            side = {45: 26, 56: 32, 67: 39}[im.size[0]]
            shown = [_on(im.resize((side, side), m), STRIP) for m in (Image.NEAREST, Image.BILINEAR)]
            tiles += shown + [_x4(t) for t in shown]
            buttons.append((rel, tiles))
        elif "Button" in name:
            if "BigButton" in name:
                tiles.append(_on(_labelled_button(im, (101 * im.size[1] // 29, im.size[1] * 23 // 29 + 1),
                                                  "Cancel", (0, 0, 0), False), BG))
            else:
                tiles += [_on(_labelled_button(im, s, t, (255, 255, 255), False), BG)
                          for s, t in (((145, 23), "Create"), ((101, 23), "OK"))]
            buttons.append((rel, tiles))
        else:
            pictures.append((rel, tiles))
    entries = icofile.parse_ico(open(os.path.join(root, "logo.ico"), "rb").read())
    pictures.append(("logo.ico", [_on(e["image"], BG) for e in entries]))
    pictures.append(("logo.ico on grey", [_on(e["image"], STRIP) for e in entries]))
    pictures.append(("logo.ico 16/24/32 x4", [_on(_x4(e["image"]), BG) for e in entries[-3:]]))
    return [_rows_to_sheet(pictures, f"{stem}-pictures{ext}"),
            _rows_to_sheet(buttons, f"{stem}-buttons{ext}"),
            _rows_to_sheet(spin, f"{stem}-spinner{ext}"),
            mockups(root, f"{stem}-windows{ext}"),
            mockups(root, f"{stem}-windows-hover{ext}", hover=True)]


# --------------------------------------------------------------------------
# Window mock-ups: the pictures in place, at the sizes the windows use them.
# Stretching is nearest-neighbour, the toolkit's default for border images.

def _stretch(img, w, h):
    return img.convert("RGBA").resize((w, h), Image.NEAREST)


def _centred(canvas, img, x, y, w, h):
    """Label with a centred, unscaled picture (clipped to the label)."""
    ox, oy = x + (w - img.size[0]) // 2, y + (h - img.size[1]) // 2
    crop = img.convert("RGBA").crop((x - ox, y - oy, x - ox + w, y - oy + h))
    canvas.alpha_composite(crop, (x, y))


def _button(canvas, skin, x, y, w, h, text, color, s):
    canvas.alpha_composite(_stretch(skin, w, h), (x, y))
    d = ImageDraw.Draw(canvas)
    f = _font(int(12 * s))
    tw = d.textlength(text, font=f)
    d.text((x + (w - tw) / 2, y + (h - 14 * s) / 2), text, font=f, fill=color)


def _window(w, h, strip, title, s):
    img = Image.new("RGBA", (w, h), BG + (255,))
    d = ImageDraw.Draw(img)
    d.rectangle((0, 0, w - 1, h - 1), outline=(160, 160, 160))
    x, y, sw, sh = strip
    d.rectangle((x, y, x + sw - 1, y + sh - 1), fill=STRIP)
    f = _font(int(13 * s))
    d.text((x + (sw - d.textlength(title, font=f)) / 2, y + (sh - 16 * s) / 2), title, font=f, fill=(0, 0, 0))
    return img


def mockups(root, path, hover=False):
    t = lambda s: int(s)  # noqa: E731  (truncation as the windows do it)
    out = []
    for s, folder, close in ((1.0, "images", ("img_CloseDis.png", "img_ClosePress.png")),
                             (1.25, "images/120-DPI", ("img_TitleClose.png", "img_TitleCloseHover.png")),
                             (1.5, "images/144-DPI", ("img_TitleClose.png", "img_TitleCloseHover.png"))):
        pic = lambda n: Image.open(os.path.join(root, folder, n))  # noqa: E731
        g = lambda *v: [t(a * s) for a in v]  # noqa: E731
        win = _window(*g(530, 206), g(2, 2, 527, 26), "Create Recovery Drive", s)
        side = t(26 * s)
        sx, sy, sw, _sh = g(2, 2, 527, 26)
        win.alpha_composite(_stretch(pic(close[1 if hover else 0]), side, side), (sx + sw - side, sy))
        _centred(win, pic("Bootable.png"), *g(20, 51, 64, 64))
        d = ImageDraw.Draw(win)
        d.text(g(100, 46), "Select the USB Drive to create recovery drive", font=_font(t(12 * s)), fill=(0, 0, 0))
        x, y, w, h = g(100, 66, 351, 22)
        d.rectangle((x, y, x + w - 1, y + h - 1), outline=(170, 170, 170))
        d.text((x + 4, y + 3 * s), "Disk 1  USB Flash Drive 16 GB", font=_font(t(12 * s)), fill=(0, 0, 0))
        _button(win, pic("img_ButtonHover.png" if hover else "img_ButtonNormal.png"), *g(242, 167, 145, 23),
                "Create Recovery Drive", (255, 255, 255), s)
        _button(win, pic("img_BigButtonActive.png" if hover else "img_BigButton.png"), *g(408, 167, 101, 23),
                "Cancel", (0, 0, 0), s)
        spin = Image.open(os.path.join(root, folder, "img_Scan.gif"))
        spin.seek(3)
        _centred(win, spin.convert("RGBA"), *g(485, 127, 30, 30))
        out.append(win)

        dlg = _window(*g(489, 172), g(2, 2, 486, 26), "Create Recovery Drive", s)
        _centred(dlg, pic("img_Warning.png"), *g(15, 54, 66, 66))
        ImageDraw.Draw(dlg).text(g(95, 60), "All data on the selected drive will be erased.\nContinue?",
                                 font=_font(t(12 * s)), fill=(0, 0, 0))
        base = lambda n: Image.open(os.path.join(root, "images", n))  # noqa: E731
        _button(dlg, base("img_ButtonNormal.png"), *g(252, 137, 101, 23), "OK", (255, 255, 255), s)
        _button(dlg, base("img_ButtonHover.png"), *g(375, 137, 101, 23), "Cancel", (255, 255, 255), s)
        out.append(dlg)

        fail = _window(*g(430, 180), g(2, 2, 427, 26), "Create Recovery Drive", s)
        fail.alpha_composite(_stretch(pic("img_SelectRegion.png"), *g(67, 67)), tuple(g(5, 44)))
        ImageDraw.Draw(fail).text(g(77, 50), "The boot image failed its check.", font=_font(t(12 * s)),
                                  fill=(0, 0, 0))
        _button(fail, pic("img_ButtonNormal.png"), *g(160, 134, 150, 26), "Recreate Boot Media",
                (255, 255, 255), s * 0.9)
        _button(fail, pic("img_BigButton.png"), *g(330, 134, 81, 26), "Cancel", (0, 0, 0), s * 0.9)
        out.append(fail)
    width = max(o.size[0] for o in out[::3]) + max(o.size[0] for o in out[1::3]) + 3 * PAD
    sheet = Image.new("RGBA", (width + max(o.size[0] for o in out[2::3]) + PAD,
                               sum(max(o.size[1] for o in out[i:i + 3]) + PAD for i in (0, 3, 6)) + PAD),
                      (200, 205, 212, 255))
    y = PAD
    for i in (0, 3, 6):
        x = PAD
        for o in out[i:i + 3]:
            sheet.alpha_composite(o, (x, y))
            x += o.size[0] + PAD
        y += max(o.size[1] for o in out[i:i + 3]) + PAD
    sheet.convert("RGB").save(path)
    return path
