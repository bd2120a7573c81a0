"""Windows .ico container: the 256-pixel image PNG-encoded, the smaller
ones as 32-bit DIBs with an AND mask, which is what the Windows shell and
resource compilers expect of an application icon."""

import io
import struct

from PIL import Image


def _dib(img):
    w, h = img.size
    px = img.convert("RGBA").tobytes()
    stride = w * 4
    xor = bytearray()
    for y in range(h - 1, -1, -1):  # bottom-up rows, BGRA
        row = px[y * stride:(y + 1) * stride]
        for x in range(w):
            r, g, b, a = row[x * 4:x * 4 + 4]
            xor += bytes((b, g, r, a))
    mask_stride = ((w + 31) // 32) * 4
    mask = bytearray()
    for y in range(h - 1, -1, -1):
        bits = bytearray(mask_stride)
        for x in range(w):
            if px[(y * w + x) * 4 + 3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    return header + bytes(xor) + bytes(mask)


def _png(img):
    buf = io.BytesIO()
    img.convert("RGBA").save(buf, format="PNG")
    return buf.getvalue()


def build_ico(images):
    """images: list of square RGBA images, in the order of the directory."""
    blobs = [_png(im) if im.size[0] >= 256 else _dib(im) for im in images]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for im, blob in zip(images, blobs):
        w, h = im.size
        entries += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    return out + entries + b"".join(blobs)


def parse_ico(data):
    """Read the directory back: list of dicts with size, bpp, encoding and the
    decoded RGBA image; raises ValueError on anything malformed."""
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if reserved != 0 or kind != 1:
        raise ValueError("not an icon file")
    entries = []
    for i in range(count):
        w, h, ncol, _res, planes, bpp, length, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        w, h = w or 256, h or 256
        blob = data[offset:offset + length]
        if len(blob) != length:
            raise ValueError("entry %d runs past the end of the file" % i)
        if blob[:8] == b"\x89PNG\r\n\x1a\n":
            img = Image.open(io.BytesIO(blob))
            img.load()
            enc = "png"
            if img.size != (w, h):
                raise ValueError("entry %d: PNG is %s, directory says %dx%d" % (i, img.size, w, h))
        else:
            hsize, bw, bh, bplanes, bbpp, comp = struct.unpack_from("<IiiHHI", blob, 0)
            if (hsize, bw, bh, bbpp, comp) != (40, w, 2 * h, bpp, 0):
                raise ValueError("entry %d: unexpected DIB header" % i)
            pix = blob[40:40 + w * h * 4]
            rows = [pix[y * w * 4:(y + 1) * w * 4] for y in range(h)][::-1]
            raw = bytearray()
            for row in rows:
                for x in range(w):
                    b, g, r, a = row[x * 4:x * 4 + 4]
                    raw += bytes((r, g, b, a))
            img = Image.frombytes("RGBA", (w, h), bytes(raw))
            enc = "bmp"
        entries.append({"size": (w, h), "bpp": bpp, "planes": planes,
                        "encoding": enc, "image": img.convert("RGBA")})
    return entries
