#!/usr/bin/python3
"""Generates the tool's pictures, application icon and resource descriptions
under resources/.

    generate_artwork.py            write every file
    generate_artwork.py --check    verify the files on disk (names, sizes,
                                   identical copies, frames, icon entries) and
                                   that they match what this script draws
    generate_artwork.py --sheet F  also write a contact sheet PNG to F

The outputs are committed, so building the product never runs this script.
Needs Pillow (Debian: python3-pil). Output is deterministic.
"""

import argparse
import io
import os
import sys

sys.dont_write_bytecode = True  # keep scripts/artwork free of __pycache__
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from PIL import Image  # noqa: E402

from artwork import icofile, motifs  # noqa: E402

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources"))

BASE, D120, D144 = "images", "images/120-DPI", "images/144-DPI"
FOLDERS = (BASE, D120, D144)

# name -> (draw function, {folder: (width, height)})
PICTURES = {
    "Bootable.png": (motifs.bootable, {BASE: (67, 67), D120: (83, 83), D144: (100, 100)}),
    "img_Warning.png": (motifs.warning, {BASE: (67, 67), D120: (83, 83), D144: (100, 100)}),
    "img_SelectRegion.png": (motifs.media_failed, {BASE: (67, 67), D120: (82, 82), D144: (100, 100)}),
    "img_ButtonNormal.png": (motifs.button_blue, {BASE: (81, 26), D120: (81, 26), D144: (81, 26)}),
    "img_BigButton.png": (motifs.big_button, {BASE: (159, 29), D120: (198, 36), D144: (238, 43)}),
    "img_BigButtonActive.png": (motifs.big_button_active, {BASE: (159, 29), D120: (198, 36), D144: (238, 43)}),
    "img_CloseDis.png": (motifs.close_normal, {BASE: (45, 29)}),
    "img_ClosePress.png": (motifs.close_hover, {BASE: (45, 29)}),
    "img_Close.png": (motifs.close_pressed, {BASE: (45, 29)}),
    "img_TitleClose.png": (motifs.close_normal, {D120: (56, 36), D144: (67, 43)}),
    "img_TitleCloseHover.png": (motifs.close_hover, {D120: (56, 36), D144: (67, 43)}),
    "img_TitleClosePressed.png": (motifs.close_pressed, {D120: (56, 36), D144: (67, 43)}),
    # Disabled states of the main window's buttons.
    "img_ButtonDisabled.png": (motifs.button_disabled, {BASE: (81, 26), D120: (81, 26), D144: (81, 26)}),
    "img_BigButtonDisabled.png": (motifs.button_disabled, {BASE: (159, 29), D120: (198, 36), D144: (238, 43)}),
    "img_TitleCloseDisabled.png": (motifs.close_disabled, {BASE: (45, 29), D120: (56, 36), D144: (67, 43)}),
}
SPINNER = ("img_Scan.gif", {BASE: 32, D120: 40, D144: 48})
ICON_SIZES = (256, 128, 96, 72, 64, 48, 32, 24, 16)

# Files that are byte-for-byte copies of another: copy -> original.
COPIES = {f"{folder}/img_ButtonHover.png": f"{folder}/img_ButtonNormal.png" for folder in FOLDERS}
COPIES.update({f"{D120}/{n}": f"{BASE}/{n}" for n in ("img_CloseDis.png", "img_ClosePress.png", "img_Close.png")})

RC_TEXT = """\
#include <windows.h>

IDI_ICON1 ICON "logo.ico"

VS_VERSION_INFO VERSIONINFO
 FILEVERSION 1,0,0,0
 PRODUCTVERSION 1,0,0,0
 FILEFLAGSMASK 0x3fL
 FILEFLAGS 0x0L
 FILEOS VOS_NT_WINDOWS32
 FILETYPE VFT_APP
 FILESUBTYPE VFT2_UNKNOWN
BEGIN
    BLOCK "StringFileInfo"
    BEGIN
        BLOCK "040904b0"
        BEGIN
            VALUE "FileDescription", "Bootable Media Creator"
            VALUE "FileVersion", "1.0.0.0"
            VALUE "InternalName", "BootableMediaCreator"
            VALUE "OriginalFilename", "BootableMediaCreator.exe"
            VALUE "ProductName", "BootableMediaCreator"
            VALUE "ProductVersion", "1.0.0.0"
        END
    END
    BLOCK "VarFileInfo"
    BEGIN
        VALUE "Translation", 0x409, 1200
    END
END
"""


def png_bytes(img):
    buf = io.BytesIO()
    img.convert("RGBA").save(buf, format="PNG", optimize=False)
    return buf.getvalue()


def gif_bytes(frames):
    cols = motifs.spinner_palette()
    indexed = [motifs.to_palette(f, cols) for f in frames]
    buf = io.BytesIO()
    indexed[0].save(buf, format="GIF", save_all=True, append_images=indexed[1:],
                    duration=motifs.SPINNER_FRAME_MS, loop=0, disposal=1, optimize=False)
    return buf.getvalue()


def build():
    """Everything the bundle holds: relative path -> bytes."""
    files = {}
    for name, (draw, sizes) in PICTURES.items():
        for folder, (w, h) in sizes.items():
            files[f"{folder}/{name}"] = png_bytes(draw(w, h))
    for folder, px in SPINNER[1].items():
        files[f"{folder}/{SPINNER[0]}"] = gif_bytes(motifs.spinner_frames(px))
    for copy, original in COPIES.items():
        files[copy] = files[original]
    files["logo.ico"] = icofile.build_ico([motifs.app_icon(s) for s in ICON_SIZES])
    files["resources.qrc"] = qrc_text(sorted(files)).encode()
    files["BootableMediaCreator.rc"] = RC_TEXT.encode()
    return files


def qrc_text(paths):
    lines = ['<!DOCTYPE RCC><RCC version="1.0">', '<qresource prefix="/">']
    lines += [f"    <file>{p}</file>" for p in paths if p.startswith("images/") or p == "logo.ico"]
    lines += ["</qresource>", "</RCC>", ""]
    return "\n".join(lines)


def write(files):
    for rel, data in sorted(files.items()):
        path = os.path.join(ROOT, rel)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as fh:
            fh.write(data)
    print(f"wrote {len(files)} files under {ROOT}")


# --------------------------------------------------------------------------
# --check

def expected_sizes():
    sizes = {}
    for name, (_draw, per_folder) in PICTURES.items():
        for folder, wh in per_folder.items():
            sizes[f"{folder}/{name}"] = wh
    for copy, original in COPIES.items():
        sizes[copy] = sizes[original]
    for folder, px in SPINNER[1].items():
        sizes[f"{folder}/{SPINNER[0]}"] = (px, px)
    return sizes


def _same_content(a, b, rel):
    """Compare decoded content, so a different zlib build does not count as stale."""
    if a == b:
        return True
    if rel.endswith(".ico"):
        ea, eb = icofile.parse_ico(a), icofile.parse_ico(b)
        return len(ea) == len(eb) and all(
            x["size"] == y["size"] and x["bpp"] == y["bpp"] and x["encoding"] == y["encoding"]
            and x["image"].tobytes() == y["image"].tobytes() for x, y in zip(ea, eb))
    if rel.endswith((".png", ".gif")):
        ia, ib = Image.open(io.BytesIO(a)), Image.open(io.BytesIO(b))
        if getattr(ia, "n_frames", 1) != getattr(ib, "n_frames", 1):
            return False
        for k in range(getattr(ia, "n_frames", 1)):
            ia.seek(k)
            ib.seek(k)
            if ia.convert("RGBA").tobytes() != ib.convert("RGBA").tobytes():
                return False
        return True
    return False


def check():
    problems = []

    def expect(cond, msg):
        if not cond:
            problems.append(msg)

    def read(rel):
        with open(os.path.join(ROOT, rel), "rb") as fh:
            return fh.read()

    sizes = expected_sizes()
    on_disk = sorted(os.path.relpath(os.path.join(d, f), ROOT).replace(os.sep, "/")
                     for d, _dirs, fs in os.walk(os.path.join(ROOT, "images")) for f in fs)
    expect(not set(on_disk) - set(sizes), f"unexpected files: {sorted(set(on_disk) - set(sizes))}")

    for rel, (w, h) in sorted(sizes.items()):
        if not os.path.exists(os.path.join(ROOT, rel)):
            problems.append(f"{rel}: missing")
            continue
        im = Image.open(os.path.join(ROOT, rel))
        mode = im.mode
        expect(im.size == (w, h), f"{rel}: {im.size[0]}x{im.size[1]}, want {w}x{h}")
        if rel.endswith(".png"):
            expect(im.format == "PNG" and im.mode == "RGBA", f"{rel}: {im.format} {im.mode}, want PNG RGBA")
        else:
            expect(im.format == "GIF", f"{rel}: not a GIF")
            expect(im.n_frames == motifs.SPINNER_FRAMES, f"{rel}: {im.n_frames} frames")
            expect(im.info.get("loop") == 0, f"{rel}: does not loop forever")
            durations = set()
            frames = []
            for k in range(im.n_frames):
                im.seek(k)
                durations.add(im.info.get("duration"))
                frames.append(im.convert("RGB").tobytes())
            expect(durations == {motifs.SPINNER_FRAME_MS}, f"{rel}: frame durations {durations}")
            expect(len(set(frames)) == len(frames), f"{rel}: repeated frames")
        print(f"  {rel:42s} {im.size[0]:4d} x {im.size[1]:<4d} {im.format} {mode}"
              + (f" {im.n_frames} frames" if rel.endswith(".gif") else ""))

    for copy, original in sorted(COPIES.items()):
        if os.path.exists(os.path.join(ROOT, copy)) and os.path.exists(os.path.join(ROOT, original)):
            expect(read(copy) == read(original), f"{copy} differs from {original}")
    print(f"  {len(COPIES)} identical copies verified")

    entries = icofile.parse_ico(read("logo.ico"))
    got = [(e["size"], e["bpp"], e["encoding"]) for e in entries]
    want = [((s, s), 32, "png" if s == 256 else "bmp") for s in ICON_SIZES]
    expect(got == want, f"logo.ico entries {got}, want {want}")
    for e in entries:
        print(f"  logo.ico entry {e['size'][0]:3d} x {e['size'][1]:<3d} {e['bpp']} bpp {e['encoding']}")
        expect(e["image"].getextrema()[3][1] == 255, f"logo.ico {e['size']}: fully transparent")

    qrc = read("resources.qrc").decode()
    listed = sorted(line.strip()[6:-7] for line in qrc.splitlines() if line.strip().startswith("<file>"))
    expect(listed == sorted(list(sizes) + ["logo.ico"]), "resources.qrc does not list exactly the bundle")
    rc = read("BootableMediaCreator.rc").decode()
    expect('IDI_ICON1 ICON "logo.ico"' in rc, "BootableMediaCreator.rc lacks the icon")

    # Stale outputs: what is committed must be what this script draws.
    fresh = build()
    for rel, data in sorted(fresh.items()):
        if os.path.exists(os.path.join(ROOT, rel)):
            expect(_same_content(read(rel), data, rel), f"{rel}: out of date, rerun the generator")

    if problems:
        print("FAILED:\n  " + "\n  ".join(problems))
        return 1
    print("artwork check passed")
    return 0


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--check", action="store_true", help="verify the files on disk instead of writing")
    ap.add_argument("--sheet", metavar="PNG", help="also write a contact sheet of every picture")
    args = ap.parse_args()
    if args.check:
        rc = check()
    else:
        write(build())
        rc = 0
    if args.sheet:
        from artwork import sheet
        for path in sheet.contact_sheet(ROOT, sorted(expected_sizes()), args.sheet):
            print(f"contact sheet: {path}")
    return rc


if __name__ == "__main__":
    sys.exit(main())
