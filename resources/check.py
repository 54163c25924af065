#!/usr/bin/python3
"""Check the committed button faces and window icon.

    /usr/bin/python3 resources/check.py [DIR]

Reads pictures/ and icons/ under DIR (default: beside this script), checks
their file format from the raw bytes and their drawing (the faces' BMPs for
the Windows program: the same pictures as the GIFs), and, when the
wordmark font is installed, that generate.py still draws exactly these
bytes. Prints each failure and a closing "N passed, N failed"; exits 1 on a
failure. PIL (python3-pil) decodes the GIF and PNG pixel data.
"""

import io
import os
import struct
import sys

try:
    from PIL import Image
except ImportError:
    sys.exit("check.py: PIL is missing; install python3-pil")

HERE = os.path.dirname(os.path.abspath(__file__))
FACE = (175, 40)
NORMAL_GREEN, HOVER_GREEN = (0, 153, 51), (0, 148, 66)
WHITE, GREY, YELLOW = (255, 255, 255), (128, 128, 128), (255, 255, 0)
# File, scale, its green, the other face's green, framed.
FACES = [
    ("pictures/command1.gif", 1, NORMAL_GREEN, HOVER_GREEN, False),
    ("pictures/command1@2x.gif", 2, NORMAL_GREEN, HOVER_GREEN, False),
    ("pictures/command2.gif", 1, HOVER_GREEN, NORMAL_GREEN, True),
    ("pictures/command2@2x.gif", 2, HOVER_GREEN, NORMAL_GREEN, True),
]
ICON = "icons/mensurel.ico"
ICON_SIZES = (32, 16)  # in the order of the ICO's directory
counts = {"passed": 0, "failed": 0}


def expect(ok, what):
    counts["passed" if ok else "failed"] += 1
    if not ok:
        print("FAIL", what)


def expect_fields(name, rows):
    for field, got, want in rows:
        expect(got == want, "%s: %s is %r, not %r" % (name, field, got, want))


def walk_gif(data):
    """Screen size, global colour table, transparent entry and number of
    images, from the blocks of the file; ValueError when malformed."""
    width, height, packed = struct.unpack_from("<HHB", data, 6)
    entries = 2 << (packed & 7) if packed & 0x80 else 0
    table = [tuple(data[13 + 3 * i:16 + 3 * i]) for i in range(entries)]
    gif = {"size": (width, height), "table": table, "images": 0,
           "transparent": None}

    def after_sub_blocks(pos):
        while data[pos]:
            pos += data[pos] + 1
        return pos + 1

    pos = 13 + 3 * entries
    try:
        while data[pos] != 0x3B:
            introducer, pos = data[pos], pos + 1
            if introducer == 0x21:  # extension; 0xF9: graphic control
                if data[pos:pos + 2] == b"\xf9\x04" and data[pos + 2] & 1:
                    gif["transparent"] = data[pos + 5]
                pos = after_sub_blocks(pos + 1)
            elif introducer == 0x2C:  # image, maybe with a local table
                gif["images"] += 1
                packed = data[pos + 8]
                pos += 10 + (3 * (2 << (packed & 7)) if packed & 0x80 else 0)
                pos = after_sub_blocks(pos)
            else:
                raise ValueError("unknown block 0x%02x at byte %d"
                                 % (introducer, pos - 1))
    except IndexError:
        raise ValueError("file ends before the trailer") from None
    return gif


def check_face(name, data, scale, green, other, framed):
    """Checks one face; returns its rows of RGB tuples, None = transparent."""
    w, h = FACE[0] * scale, FACE[1] * scale
    gif = walk_gif(data)
    table, transparent = gif["table"], gif["transparent"]
    with Image.open(io.BytesIO(data)) as img:  # PIL only undoes the LZW
        pixels = [None if i == transparent else table[i]
                  for i in img.getdata()]
        decoded = img.size
    expect_fields(name, [
        ("signature", data[:6], b"GIF89a"), ("screen", gif["size"], (w, h)),
        ("image size", decoded, (w, h)), ("images", gif["images"], 1),
        ("global table entries", len(table), 256),
        ("transparent colour", transparent is not None
         and table[transparent], WHITE)])
    rows = [pixels[y * w:(y + 1) * w] for y in range(h)]

    # Along the edges: a frame exactly two logical pixels wide in the green,
    # then a clear ring; or, unframed, nothing at all.
    frame = 2 * scale
    edge = [(x, y) for y in range(h) for x in range(w)
            if min(x, y, w - 1 - x, h - 1 - y) <= frame and rows[y][x] != (
                green if framed and min(x, y, w - 1 - x, h - 1 - y) < frame
                else None)]
    expect(not edge, "%s: edge pixels wrong, first at %s" % (name, edge[:1]))
    opaque = [(y, p) for y, row in enumerate(rows) for p in row if p]
    expect(sum(p == green for _, p in opaque) * 6 > w * h,
           name + ": too little of its green")
    expect(other not in pixels, name + ": the other face's green")
    expect((w * h - len(opaque)) * 3 > w * h,
           name + ": too little transparent ground")
    # The stripe is the only pale colour; the letters' blended rim is darker.
    pale = [abs(y - h // 2) <= 3 * scale for y, p in opaque
            if p[0] >= 200 and p[1] > p[0]]
    expect(sum(pale) > 40 * scale, name + ": no pale stripe at mid-height")
    expect(all(pale), name + ": pale pixels away from mid-height")
    return rows


def check_bmp(name, data, rows):
    """The Windows program's copy of a face: an 8-bit BMP whose palette
    holds premultiplied 32-bit pixels, alpha 255 for the opaque colours and
    all zero for the transparent one, showing the GIF's picture."""
    h, w = len(rows), len(rows[0])
    stride = (w + 3) // 4 * 4
    start = 14 + 40 + 4 * 256
    expect_fields(name, [
        ("file header", struct.unpack_from("<2sIHHI", data),
         (b"BM", start + stride * h, 0, 0, start)),
        ("length", len(data), start + stride * h),
        # Bitmap header: size, width, height (bottom-up), planes, bits, no
        # compression, the rows' length, and colours used.
        ("bitmap header", struct.unpack_from("<IiiHHIIxxxxxxxxI", data, 14),
         (40, w, h, 1, 8, 0, stride * h, 256))])
    palette = [data[54 + 4 * i:58 + 4 * i] for i in range(256)]
    shown = [[palette[data[start + (h - 1 - y) * stride + x]]
              for x in range(w)] for y in range(h)]
    want = [[b"\0\0\0\0" if p is None else bytes((*p[::-1], 255))
             for p in row] for row in rows]
    expect(shown == want, name + ": not the GIF's picture")


def letters(rows, scale):
    """Opaque pixels inside the frame's band, and their bounding box."""
    inset = 2 * scale
    points = {(x, y) for y in range(inset, len(rows) - inset)
              for x in range(inset, len(rows[0]) - inset) if rows[y][x]}
    xs, ys = [x for x, _ in points] or [0], [y for _, y in points] or [0]
    return points, (min(xs), min(ys), max(xs) + 1, max(ys) + 1)


def check_wordmark_places(faces):
    # Swapping the faces must show only as the frame appearing, so the
    # letters cover the same pixels in both; the 2x faces keep the 1x
    # layout at double size, within a pixel of the 1x grid.
    (one, box1), (two, box2), _, _ = (
        letters(faces[name], scale) for name, scale, *_ in FACES)
    for name, scale, *_ in FACES[2:]:
        expect(letters(faces[name], scale)[0] == (one if scale == 1 else two),
               "letters differ between the faces at %dx" % scale)
    expect(one and all(abs(b2 - 2 * b) <= 2 for b, b2 in zip(box1, box2)),
           "2x letters at %s, 1x at %s" % (box2, box1))


def check_icon(data):
    """The ICO's directory and 4-bit images; returns {size: rows of RGB}."""
    expect_fields(ICON, [("header", struct.unpack_from("<HHH", data),
                          (0, 1, len(ICON_SIZES)))])
    images = {}
    for i, size in enumerate(ICON_SIZES):
        name = "%s %dx%d" % (ICON, size, size)
        *entry, length, at = struct.unpack_from("<BBBxHHII", data, 6 + 16 * i)
        stride, mask_stride = (size + 7) // 8 * 4, (size + 31) // 32 * 4
        xor, mask = at + 40 + 64, at + 40 + 64 + stride * size
        expect_fields(name, [
            ("width, height, colours, planes, bits", tuple(entry),
             (size, size, 16, 1, 4)),
            # Bitmap header: size, width, colour rows + mask rows, planes,
            # bits, no compression.
            ("bitmap header", struct.unpack_from("<IiiHHI", data, at),
             (40, size, 2 * size, 1, 4, 0)),
            ("length", length, mask + mask_stride * size - at),
            ("end", at + length <= len(data), True),
            ("transparent pixels in the mask", sum(
                bin(b).count("1") for y in range(size)
                for b in data[mask + y * mask_stride:][:size // 8]), 0)])
        palette = [(data[p + 2], data[p + 1], data[p])  # stored B, G, R, 0
                   for p in range(at + 40, xor, 4)]
        images[size] = [[palette[b >> s & 15]
                         for b in data[xor + y * stride:][:size // 2]
                         for s in (4, 0)]
                        for y in reversed(range(size))]  # stored bottom-up
    return images


def check_icon_drawing(size, rows):
    # Grey ground, white arrows, yellow dashes on the two middle rows.
    name = "%s %dx%d" % (ICON, size, size)
    line = (size // 2 - 1, size // 2)
    colours = {p for row in rows for p in row}
    expect(colours <= {GREY, WHITE, YELLOW},
           "%s: colours %s" % (name, colours))
    expect(all(p != (WHITE if y in line else YELLOW)
               for y, row in enumerate(rows) for p in row),
           name + ": yellow off the line rows or white on them")
    for row in (rows[y] for y in line):
        dashes = sum(p == YELLOW and (x == 0 or row[x - 1] != YELLOW)
                     for x, p in enumerate(row))
        expect(row[0] == row[-1] == YELLOW and dashes >= 3,
               "%s: %d dashes, or not edge to edge" % (name, dashes))
    # An arrow's head is its tallest part: on the left above, on the right
    # below (the leftmost and the rightmost of equals).
    upper = [sum(rows[y][x] == WHITE for y in range(line[0]))
             for x in range(size)]
    lower = [sum(rows[y][x] == WHITE for y in range(line[1] + 1, size))
             for x in reversed(range(size))]
    expect(max(upper) > 2 and upper.index(max(upper)) < size // 2,
           name + ": upper arrow does not point left")
    expect(max(lower) > 2 and lower.index(max(lower)) < size // 2,
           name + ": lower arrow does not point right")


def check_png(root, size, rows):
    # The PNG installed for the desktop is the same image as the ICO's.
    relative = "icons/mensurel-%d.png" % size
    with Image.open(os.path.join(root, relative)) as img:
        expect(img.size == (size, size) and list(img.convert("RGB").getdata())
               == [p for row in rows for p in row],
               relative + ": not the ICO's image")


def check_regenerated(root):
    sys.path.insert(0, HERE)
    sys.dont_write_bytecode = True  # no __pycache__ in the source tree
    import generate
    if not os.path.isfile(generate.WORDMARK_FONT):
        print("regeneration comparison skipped: %s is missing (%s)"
              % (generate.WORDMARK_FONT, generate.WORDMARK_FONT_PACKAGE))
        return
    for relative, data in generate.render():
        committed = guarded(relative, read, root, relative)
        if committed is not None:
            expect(committed == data,
                   relative + ": differs from what generate.py draws")


def guarded(what, check, *args):
    """Runs one file's checks; an unreadable file counts as one failure."""
    try:
        return check(*args)
    except (OSError, ValueError, IndexError, struct.error) as e:
        expect(False, "%s: cannot be read (%s)" % (what, e))
        return None


def read(root, relative):
    with open(os.path.join(root, relative), "rb") as f:
        return f.read()


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else HERE
    faces = {name: guarded(name, lambda: check_face(
        name, read(root, name), *row)) for name, *row in FACES}
    if all(faces.values()):
        check_wordmark_places(faces)
    for name, rows in faces.items():
        bmp = name[:-len("gif")] + "bmp"
        if rows:
            guarded(bmp, lambda: check_bmp(bmp, read(root, bmp), rows))
    icons = guarded(ICON, lambda: check_icon(read(root, ICON))) or {}
    for size, rows in icons.items():
        check_icon_drawing(size, rows)
        guarded("icons/mensurel-%d.png" % size, check_png, root, size, rows)
    guarded("regeneration", check_regenerated, root)
    print("pictures: %(passed)d passed, %(failed)d failed" % counts)
    return 1 if counts["failed"] else 0


if __name__ == "__main__":
    sys.exit(main())
