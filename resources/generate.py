#!/usr/bin/python3
"""Draw Mensurel's button faces and window icon.

Run from the repository root with Debian's interpreter, which has PIL
(python3-pil):

    /usr/bin/python3 resources/generate.py

Writes, next to this script:

    pictures/command1.gif, pictures/command1@2x.gif   normal button face
    pictures/command2.gif, pictures/command2@2x.gif   hover button face
    pictures/command1.bmp, ... command2@2x.bmp        the same four faces for
                                                      the Windows program
    icons/mensurel.ico                                window icon, 32 and 16 px
    icons/mensurel-32.png, icons/mensurel-16.png      the icon's two images

The output is byte-identical on every run: the font file is pinned by path,
text layout uses FreeType's basic engine (not Raqm, whose presence varies),
and the GIF and ICO bytes are written here rather than by PIL's encoders.
resources/check.py checks the committed files and compares them with what
render() draws.
"""

import io
import os
import struct
import sys

try:
    from PIL import Image, ImageDraw, ImageFont
except ImportError:
    sys.exit("generate.py: PIL is missing; install python3-pil and run "
             "/usr/bin/python3 resources/generate.py")

HERE = os.path.dirname(os.path.abspath(__file__))

# Heavy slanted sans from fonts-dejavu-extra.
WORDMARK_FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans-BoldOblique.ttf"
WORDMARK_FONT_PACKAGE = "fonts-dejavu-extra"
WORDMARK = "Brantovel"

# ---------------------------------------------------------------- faces

FACE_SIZE = (175, 40)             # logical pixels, the 1x rendition
NORMAL_GREEN = (0, 153, 51)
HOVER_GREEN = (0, 148, 66)
STRIPE_COLOUR = (208, 240, 216)   # pale green-white, deliberately not white
FRAME_WIDTH = 2                   # hover face only, logical pixels

# The wordmark's ink box, in logical pixels. It is centred on the face and
# keeps clear of the hover frame so the frame never touches a letter.
INK_WIDTH = 161
INK_HEIGHT = 28
# Height of the stripe across the letters, centred on the ink box. It is
# whole logical pixels on whole rows, so at 1x and 2x every output pixel
# lies either wholly inside or wholly outside the stripe.
STRIPE_HEIGHT = 2

# The letters are rasterised once on a master canvas MASTER times the 1x
# size and box-filtered down to each rendition, so 1x and 2x share one
# geometry exactly and the 2x face is drawn at its own resolution, not
# enlarged from the 1x one.
MASTER = 16

# GIF keeps one transparent colour and no partial transparency. Edge pixels
# that are mostly uncovered become transparent; the rest are blended toward
# the light grey of a button face (the 3D-face colour of the usual light
# themes, 239..240), not toward white. Blending toward white, the usual
# default, leaves a pale halo round every letter on the grey face; drawing
# without smoothing makes the slanted strokes visibly stair-stepped at 1x.
# On a dark theme the blended rim is a little lighter than the face; that is
# the price of a one-bit mask, and the rim is at most one pixel wide.
BUTTON_FACE = (240, 240, 240)
TRANSPARENT_BELOW = 0.30          # coverage under this is left transparent
COVERAGE_STEPS = 8                # blended rim levels, keeps the table small

WHITE = (255, 255, 255)


def load_font(size):
    if not os.path.isfile(WORDMARK_FONT):
        sys.exit("generate.py: font %s is missing; install the Debian package "
                 "%s (apt-get install %s)"
                 % (WORDMARK_FONT, WORDMARK_FONT_PACKAGE, WORDMARK_FONT_PACKAGE))
    return ImageFont.truetype(WORDMARK_FONT, size,
                              layout_engine=ImageFont.Layout.BASIC)


def wordmark_master():
    """Return the letters' coverage ('L') on the master canvas and the
    stripe's top row in logical pixels."""
    # Measure at a reference size, then pick the size whose ink height
    # matches INK_HEIGHT; the width is then fitted by a horizontal squeeze.
    ref = 200
    left, top, right, bottom = load_font(ref).getbbox(WORDMARK)
    size = round(ref * INK_HEIGHT * MASTER / (bottom - top))
    font = load_font(size)
    # Stroke the outline once more in the fill colour to thicken the strokes
    # beyond the bold face: a wordmark, not body text.
    stroke = max(1, size // 40)
    left, top, right, bottom = font.getbbox(WORDMARK, stroke_width=stroke)
    text = Image.new("L", (right - left + 2, bottom - top + 2), 0)
    ImageDraw.Draw(text).text((1 - left, 1 - top), WORDMARK, fill=255,
                              font=font, stroke_width=stroke, stroke_fill=255)
    text = text.crop(text.getbbox())
    want_w = INK_WIDTH * MASTER
    want_h = INK_HEIGHT * MASTER
    text = text.resize((want_w, want_h), Image.Resampling.LANCZOS)

    fw, fh = FACE_SIZE[0] * MASTER, FACE_SIZE[1] * MASTER
    canvas = Image.new("L", (fw, fh), 0)
    # Centre on whole logical pixels so both renditions share the grid.
    x0 = (FACE_SIZE[0] - INK_WIDTH) // 2 * MASTER
    y0 = (FACE_SIZE[1] - INK_HEIGHT) // 2 * MASTER
    canvas.paste(text, (x0, y0))
    stripe_top = y0 // MASTER + (INK_HEIGHT - STRIPE_HEIGHT) // 2
    return canvas, stripe_top


def quantised_coverage(value):
    """Map a coverage byte to None (transparent) or a step in (0, 1]."""
    a = round(value / 255.0 * COVERAGE_STEPS) / COVERAGE_STEPS
    return None if a < TRANSPARENT_BELOW else a


def blend(colour, a):
    return tuple(round(c * a + f * (1.0 - a))
                 for c, f in zip(colour, BUTTON_FACE))


def draw_face(master, stripe_top, scale, green, framed):
    """Return the face as a grid of RGB tuples (None = transparent)."""
    w, h = FACE_SIZE[0] * scale, FACE_SIZE[1] * scale
    coverage = master.reduce(MASTER // scale)
    cov = coverage.load()
    rows = []
    for y in range(h):
        logical_y = y // scale
        in_stripe = stripe_top <= logical_y < stripe_top + STRIPE_HEIGHT
        base = STRIPE_COLOUR if in_stripe else green
        row = []
        for x in range(w):
            a = quantised_coverage(cov[x, y])
            row.append(None if a is None else blend(base, a))
        rows.append(row)
    if framed:
        edge = FRAME_WIDTH * scale
        for y in range(h):
            for x in range(w):
                if x < edge or y < edge or x >= w - edge or y >= h - edge:
                    rows[y][x] = green
    return rows


def palette_and_indices(rows):
    """A 256-entry table with white at index 0 as the transparent colour."""
    colours = sorted({c for row in rows for c in row if c is not None})
    if WHITE in colours:
        sys.exit("generate.py: an opaque pixel came out white and would turn "
                 "transparent")
    if len(colours) > 255:
        sys.exit("generate.py: %d colours do not fit a GIF table" % len(colours))
    table = [WHITE] + colours
    table += [(0, 0, 0)] * (256 - len(table))
    index = {c: i for i, c in enumerate(table[:len(colours) + 1])}
    pixels = bytes(0 if c is None else index[c] for row in rows for c in row)
    return table, pixels


# ---------------------------------------------------------------- GIF

def lzw_encode(pixels, min_code_size=8):
    """GIF variable-length LZW; emits a clear code when the table is full."""
    clear = 1 << min_code_size
    end = clear + 1
    out = bytearray()
    bit_buffer = 0
    bit_count = 0

    def emit(code, size):
        nonlocal bit_buffer, bit_count
        bit_buffer |= code << bit_count
        bit_count += size
        while bit_count >= 8:
            out.append(bit_buffer & 0xFF)
            bit_buffer >>= 8
            bit_count -= 8

    def fresh():
        return {bytes([i]): i for i in range(clear)}

    table = fresh()
    next_code = end + 1
    code_size = min_code_size + 1
    emit(clear, code_size)
    prefix = b""
    for p in pixels:
        candidate = prefix + bytes([p])
        if candidate in table:
            prefix = candidate
            continue
        emit(table[prefix], code_size)
        table[candidate] = next_code
        next_code += 1
        # The decoder adds each entry one code later than we do, so it
        # widens its codes once our next free code passes the current width.
        if next_code > (1 << code_size) and code_size < 12:
            code_size += 1
        if next_code == 4096:
            emit(clear, code_size)
            table = fresh()
            next_code = end + 1
            code_size = min_code_size + 1
        prefix = bytes([p])
    if prefix:
        emit(table[prefix], code_size)
    emit(end, code_size)
    if bit_count:
        out.append(bit_buffer & 0xFF)
    return bytes(out)


def gif_bytes(width, height, table, pixels):
    """GIF89a: one image, a 256-entry global table, index 0 transparent."""
    out = bytearray(b"GIF89a")
    # Logical screen: global table present, 8-bit colour resolution,
    # 2^(7+1) = 256 entries; background is the transparent entry.
    out += struct.pack("<HHBBB", width, height, 0x80 | 0x70 | 0x07, 0, 0)
    for r, g, b in table:
        out += bytes((r, g, b))
    # Graphic Control Extension: no disposal, transparency flag, index 0.
    out += bytes((0x21, 0xF9, 4, 0x01, 0, 0, 0, 0))
    # Image descriptor covering the screen, no local table, not interlaced.
    out += b"\x2c" + struct.pack("<HHHHB", 0, 0, width, height, 0)
    out.append(8)
    data = lzw_encode(pixels, 8)
    for i in range(0, len(data), 255):
        block = data[i:i + 255]
        out.append(len(block))
        out += block
    out.append(0)
    out.append(0x3B)
    return bytes(out)


# ---------------------------------------------------------------- BMP

def bmp_bytes(width, height, table, pixels):
    """The face as the Windows program draws it, with no decoder: an 8-bit
    BMP (BI_RGB, BITMAPINFOHEADER, rows bottom-up) of the GIF's indices
    whose 256-entry palette holds each colour as the 32-bit pixel GDI's
    AlphaBlend takes, alpha in the fourth byte and the colour premultiplied
    by it; the program looks each index up and has the picture. GIF's one-bit
    transparency makes that simple: an opaque colour is itself with alpha
    255, the transparent entry (0) and the unused ones are all zero. A third
    of the size of 32-bit pixels, which the program keeps in memory."""
    used = set(pixels) - {0}
    palette = b"".join(bytes((b, g, r, 255)) if i in used else b"\0\0\0\0"
                       for i, (r, g, b) in enumerate(table))
    stride = (width + 3) // 4 * 4
    rows = b"".join(pixels[y * width:(y + 1) * width].ljust(stride, b"\0")
                    for y in reversed(range(height)))
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0,
                         len(rows), 0, 0, 256, 0)
    offset = 14 + len(header) + len(palette)
    return (b"BM" + struct.pack("<IHHI", offset + len(rows), 0, 0, offset)
            + header + palette + rows)


# ---------------------------------------------------------------- icon

VGA16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
GREY, YELLOW, ICON_WHITE = 8, 11, 15

# Per size: arrow tip inset from the side, head half-height (its length
# equals it, a 90-degree point), shaft half-thickness, dash and gap lengths.
# The dash pattern starts and ends with a whole dash at the edges:
# 5 * 4 + 4 * 3 = 32 and 3 * 4 + 2 * 2 = 16.
ICON_SHAPES = {
    32: dict(inset=3, head=5, shaft=1, dash=4, gap=3),
    16: dict(inset=1, head=2, shaft=0, dash=4, gap=2),
}


def draw_icon(size):
    """Return the icon as rows of palette indices."""
    s = ICON_SHAPES[size]
    grid = [[GREY] * size for _ in range(size)]
    line_top = size // 2 - 1                 # two rows in the middle
    for y in (line_top, line_top + 1):
        x = 0
        while x < size:
            for dx in range(s["dash"]):
                if x + dx < size:
                    grid[y][x + dx] = YELLOW
            x += s["dash"] + s["gap"]

    def arrow(centre_y, pointing_left):
        tip, head, shaft = s["inset"], s["head"], s["shaft"]
        for k in range(size - 2 * tip):      # k: distance from the tip
            if k <= head:
                half = k
            else:
                half = shaft
            x = tip + k if pointing_left else size - 1 - tip - k
            for y in range(centre_y - half, centre_y + half + 1):
                grid[y][x] = ICON_WHITE

    upper_centre = (line_top - 1) // 2
    lower_centre = size - 1 - upper_centre
    arrow(upper_centre, True)
    arrow(lower_centre, False)
    return grid


def bmp_entry(grid):
    """A 4-bit ICO image: BITMAPINFOHEADER, palette, XOR rows, AND mask."""
    size = len(grid)
    xor_stride = ((size * 4 + 31) // 32) * 4
    and_stride = ((size + 31) // 32) * 4
    xor = bytearray()
    for row in reversed(grid):               # bottom-up
        packed = bytearray()
        for x in range(0, size, 2):
            packed.append((row[x] << 4) | row[x + 1])
        xor += packed.ljust(xor_stride, b"\0")
    mask = bytes(and_stride * size)          # all opaque
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0,
                         len(xor) + len(mask), 0, 0, 16, 0)
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in VGA16)
    return header + palette + bytes(xor) + mask


def ico_bytes(grids):
    out = bytearray(struct.pack("<HHH", 0, 1, len(grids)))
    images = [bmp_entry(g) for g in grids]
    offset = 6 + 16 * len(grids)
    for grid, image in zip(grids, images):
        size = len(grid)
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 16, 0, 1, 4,
                           len(image), offset)
        offset += len(image)
    for image in images:
        out += image
    return bytes(out)


def icon_png(grid):
    size = len(grid)
    img = Image.new("P", (size, size))
    img.putpalette([c for rgb in VGA16 for c in rgb])
    img.putdata([i for row in grid for i in row])
    return img.convert("RGB")


# ---------------------------------------------------------------- output

def check_gif(relative, data, pixels, size):
    """Decode what was encoded and compare, so an encoder slip stops here."""
    with Image.open(io.BytesIO(data)) as img:
        if img.size != size or bytes(img.getdata()) != pixels:
            sys.exit("generate.py: %s does not decode to what was drawn"
                     % relative)


def render():
    """Return every output file as (path relative to this script, bytes)."""
    files = []
    master, stripe_top = wordmark_master()
    for scale, suffix in ((1, ""), (2, "@2x")):
        for name, green, framed in (("command1", NORMAL_GREEN, False),
                                    ("command2", HOVER_GREEN, True)):
            rows = draw_face(master, stripe_top, scale, green, framed)
            table, pixels = palette_and_indices(rows)
            w, h = FACE_SIZE[0] * scale, FACE_SIZE[1] * scale
            relative = "pictures/%s%s.gif" % (name, suffix)
            data = gif_bytes(w, h, table, pixels)
            check_gif(relative, data, pixels, (w, h))
            files.append((relative, data))
            files.append(("pictures/%s%s.bmp" % (name, suffix),
                          bmp_bytes(w, h, table, pixels)))

    grids = [draw_icon(32), draw_icon(16)]
    files.append(("icons/mensurel.ico", ico_bytes(grids)))
    for grid in grids:
        png = io.BytesIO()
        icon_png(grid).save(png, "PNG", optimize=False)
        files.append(("icons/mensurel-%d.png" % len(grid), png.getvalue()))
    return files


def main():
    for relative, data in render():
        path = os.path.join(HERE, relative)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
        print("wrote", os.path.relpath(path))


if __name__ == "__main__":
    main()
