#!/usr/bin/env python3
"""Draws every picture of the installer's interface into this folder.

Pure standard library: shapes are signed-distance functions, filled with one
analytic anti-aliasing sample per pixel, and the PNG and ICO files are written
by hand. Only the banner's lettering is rendered by ImageMagick, because a
font rasteriser is beyond the standard library.

Every picture is drawn for three display scales from the same shapes: 100 % into
this folder, 150 % and 200 % into the folders "150" and "200". Shapes are given in
100 % units; a canvas of scale s samples them at s times the pixels, so edges stay
sharp instead of being stretched.

Run: python3 draw_pictures.py   (rewrites every picture next to this script)
"""

import math
import os
import struct
import subprocess
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
FONT = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"

CAPTION = (255, 186, 0)  # the frame's caption band, COLORREF 0x00BAFF
BODY = (240, 240, 240)  # the frame's body, 0xF0F0F0


# ---------------------------------------------------------------- canvas


SCALES = (1.0, 1.5, 2.0)


class Canvas:
    """Straight-alpha RGBA pixels: colour 0..255 floats, alpha 0..1.

    Sizes, shapes and bounds are in 100 % units; the canvas holds `scale` pixels per unit.
    """

    def __init__(self, width, height, fill=(0, 0, 0, 0.0), scale=1.0):
        self.scale = scale
        self.width = int(round(width * scale))
        self.height = int(round(height * scale))
        self.pixels = [list(fill) for _ in range(self.width * self.height)]

    def centre(self, x, y):
        """The centre of pixel (x, y) in 100 % units."""
        return (x + 0.5) / self.scale, (y + 0.5) / self.scale

    def pixel_bounds(self, bounds):
        left, top, right, bottom = bounds or (0, 0, self.width / self.scale, self.height / self.scale)
        s = self.scale
        left, top = max(0, int(left * s)), max(0, int(top * s))
        right = min(self.width, int(math.ceil(right * s)))
        bottom = min(self.height, int(math.ceil(bottom * s)))
        return left, top, right, bottom

    def blend(self, x, y, colour, alpha):
        """Source-over of one colour with the given alpha onto pixel (x, y)."""
        if alpha <= 0.0:
            return
        alpha = min(alpha, 1.0)
        pixel = self.pixels[y * self.width + x]
        below = pixel[3] * (1.0 - alpha)
        out = alpha + below
        for i in range(3):
            pixel[i] = (colour[i] * alpha + pixel[i] * below) / out
        pixel[3] = out

    def fill(self, shape, paint, opacity=1.0, bounds=None):
        """Fills a signed-distance shape; paint is a colour or a function (x, y) -> colour."""
        left, top, right, bottom = self.pixel_bounds(bounds)
        for y in range(top, bottom):
            for x in range(left, right):
                cx, cy = self.centre(x, y)
                coverage = pixel_coverage(shape(cx, cy) * self.scale)
                if coverage > 0.0:
                    colour = paint(cx, cy) if callable(paint) else paint
                    self.blend(x, y, colour[:3], coverage * opacity * (colour[3] if len(colour) > 3 else 1.0))

    def soft_fill(self, shape, colour, opacity, softness, bounds=None):
        """Fills a shape whose edge fades over `softness` units on each side (a blurred shadow)."""
        left, top, right, bottom = self.pixel_bounds(bounds)
        for y in range(top, bottom):
            for x in range(left, right):
                fade = 1.0 - smoothstep(-softness, softness, shape(*self.centre(x, y)))
                self.blend(x, y, colour, fade * opacity)

    def draw_mask(self, mask, mask_width, mask_height, left, top, colour):
        """Blends a coverage mask (bytes, 0..255) in one colour with its top-left at pixel (left, top)."""
        for my in range(mask_height):
            y = top + my
            if not 0 <= y < self.height:
                continue
            for mx in range(mask_width):
                x = left + mx
                value = mask[my * mask_width + mx]
                if value and 0 <= x < self.width:
                    self.blend(x, y, colour, value / 255.0)

    def rgba_rows(self):
        rows = []
        for y in range(self.height):
            row = bytearray()
            for pixel in self.pixels[y * self.width:(y + 1) * self.width]:
                alpha = to_byte(pixel[3] * 255.0)
                if alpha == 0:
                    row += b"\0\0\0\0"
                else:
                    row += bytes((to_byte(pixel[0]), to_byte(pixel[1]), to_byte(pixel[2]), alpha))
            rows.append(bytes(row))
        return rows

    def rgb_rows(self):
        """Opaque rows; any transparency is flattened onto black."""
        rows = []
        for y in range(self.height):
            row = bytearray()
            for pixel in self.pixels[y * self.width:(y + 1) * self.width]:
                row += bytes(to_byte(pixel[i] * pixel[3]) for i in range(3))
            rows.append(bytes(row))
        return rows


def to_byte(value):
    return max(0, min(255, int(round(value))))


def pixel_coverage(distance):
    """Area of a pixel inside an edge at the given signed distance from its centre."""
    return max(0.0, min(1.0, 0.5 - distance))


def smoothstep(edge0, edge1, value):
    t = max(0.0, min(1.0, (value - edge0) / (edge1 - edge0)))
    return t * t * (3.0 - 2.0 * t)


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(len(a)))


def vertical_gradient(top_colour, bottom_colour, y0, y1):
    def paint(x, y):
        return mix(top_colour, bottom_colour, max(0.0, min(1.0, (y - y0) / (y1 - y0))))
    return paint


# ---------------------------------------------------------------- shapes


def rounded_box(left, top, right, bottom, radius):
    cx, cy = (left + right) / 2.0, (top + bottom) / 2.0
    hx, hy = (right - left) / 2.0 - radius, (bottom - top) / 2.0 - radius

    def distance(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - radius
    return distance


def capsule(ax, ay, bx, by, radius):
    """A stroke from (ax, ay) to (bx, by) with round ends."""
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy

    def distance(x, y):
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2)) if length2 else 0.0
        return math.hypot(x - ax - t * dx, y - ay - t * dy) - radius
    return distance


def circle(cx, cy, radius):
    return lambda x, y: math.hypot(x - cx, y - cy) - radius


def union(*shapes):
    return lambda x, y: min(shape(x, y) for shape in shapes)


def intersection(*shapes):
    return lambda x, y: max(shape(x, y) for shape in shapes)


def half_plane(nx, ny, offset):
    """Inside where nx*x + ny*y < offset; (nx, ny) is normalised here."""
    length = math.hypot(nx, ny)
    nx, ny, offset = nx / length, ny / length, offset / length
    return lambda x, y: nx * x + ny * y - offset


def rotated(local_shape, cx, cy, degrees):
    """Places a shape drawn around the origin at (cx, cy), turned clockwise by `degrees`."""
    c, s = math.cos(math.radians(degrees)), math.sin(math.radians(degrees))

    def distance(x, y):
        dx, dy = x - cx, y - cy
        return local_shape(c * dx + s * dy, -s * dx + c * dy)
    return distance


def to_local(cx, cy, degrees):
    c, s = math.cos(math.radians(degrees)), math.sin(math.radians(degrees))
    return lambda x, y: (c * (x - cx) + s * (y - cy), -s * (x - cx) + c * (y - cy))


# ---------------------------------------------------------------- files


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def png_bytes(width, height, rows, colour_type):
    header = struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0)
    raw = b"".join(b"\0" + row for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header)
            + png_chunk(b"IDAT", zlib.compress(raw, 9)) + png_chunk(b"IEND", b""))


def scaled_name(canvas, name):
    """100 % pictures sit next to this script, the others in a folder named by their percentage."""
    if canvas.scale == 1.0:
        return name
    return os.path.join(str(int(round(canvas.scale * 100))), name)


def save_rgba(canvas, name):
    write(scaled_name(canvas, name), png_bytes(canvas.width, canvas.height, canvas.rgba_rows(), 6))


def save_rgb(canvas, name):
    write(scaled_name(canvas, name), png_bytes(canvas.width, canvas.height, canvas.rgb_rows(), 2))


def bmp_icon_image(canvas):
    """A 32-bit icon image: header with doubled height, bottom-up BGRA, then the AND mask."""
    size = canvas.width
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = canvas.rgba_rows()
    colour = bytearray()
    mask = bytearray()
    mask_stride = ((size + 31) // 32) * 4
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x in range(size):
            r, g, b, a = row[x * 4:x * 4 + 4]
            colour += bytes((b, g, r, a))
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(colour) + bytes(mask)


def ico_bytes(canvases):
    """An icon file; the 256-pixel image is stored PNG-compressed, the others as bitmaps."""
    images = []
    for canvas in canvases:
        if canvas.width >= 256:
            images.append(png_bytes(canvas.width, canvas.height, canvas.rgba_rows(), 6))
        else:
            images.append(bmp_icon_image(canvas))
    directory = struct.pack("<HHH", 0, 1, len(canvases))
    offset = 6 + 16 * len(canvases)
    for canvas, image in zip(canvases, images):
        side = canvas.width if canvas.width < 256 else 0
        directory += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return directory + b"".join(images)


def write(name, data):
    path = os.path.join(HERE, name)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(data)


def text_mask(text, point_size, weight=0.0):
    """Renders white-on-black text with ImageMagick; returns (bytes, width, height)."""
    command = ["convert", "-background", "black", "-fill", "white", "-font", FONT,
               "-pointsize", f"{point_size:g}"]
    if weight > 0:
        command += ["-stroke", "white", "-strokewidth", f"{weight:g}"]
    command += ["label:" + text, "-trim", "+repage", "-depth", "8", "pgm:-"]
    data = subprocess.run(command, check=True, stdout=subprocess.PIPE).stdout
    fields = []
    position = 0
    while len(fields) < 4:  # magic, width, height, maximum value
        while data[position:position + 1].isspace():
            position += 1
        end = position
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[position:end])
        position = end
    width, height = int(fields[1]), int(fields[2])
    pixels = data[position + 1:position + 1 + width * height]
    return pixels, width, height


# ---------------------------------------------------------------- shadow


def draw_shadow(scale):
    """40 x 40 units, split in the middle: a soft fade over the 8-unit margin around the opaque body."""
    canvas = Canvas(40, 40, scale=scale)
    margin, inner_alpha = 8.0, 76.0 / 255.0
    for y in range(canvas.height):
        for x in range(canvas.width):
            px, py = canvas.centre(x, y)
            dx = max(margin - px, 0.0, px - (40 - margin))
            dy = max(margin - py, 0.0, py - (40 - margin))
            t = min(1.0, math.hypot(dx, dy) / margin)
            canvas.blend(x, y, (0, 0, 0), inner_alpha * (1.0 - t) ** 2.2)
    save_rgba(canvas, "219-shadow.png")


# ---------------------------------------------------------------- title buttons

GLYPH = (45, 36, 20)


def title_button(glyph, state, name, scale):
    canvas = Canvas(20, 20, scale=scale)
    plate = rounded_box(1, 1, 19, 19, 4)
    if state == "hover":
        canvas.fill(plate, (255, 255, 255), 0.45)
    elif state == "pressed":
        canvas.fill(plate, (120, 70, 0), 0.28)
    canvas.fill(glyph, GLYPH)
    save_rgba(canvas, name)


def draw_title_buttons(scale):
    cross = union(capsule(6.5, 6.5, 13.5, 13.5, 0.85), capsule(13.5, 6.5, 6.5, 13.5, 0.85))
    bar = rounded_box(6.0, 9.0, 14.0, 11.0, 0.5)
    for state, close_name, minimise_name in (("hover", "220-close-hover.png", "223-minimize-hover.png"),
                                             ("normal", "221-close-normal.png", "224-minimize-normal.png"),
                                             ("pressed", "222-close-pressed.png", "225-minimize-pressed.png")):
        title_button(cross, state, close_name, scale)
        title_button(bar, state, minimise_name, scale)


# ---------------------------------------------------------------- text buttons

# Faces are stretched from their centre column (and row), so every colour here
# varies only from top to bottom and the corners stay well inside 15 pixels.
PRIMARY = {"border": (226, 146, 0), "top": (255, 210, 76), "bottom": (255, 184, 12)}
PRIMARY_HOVER = {"border": (232, 156, 0), "top": (255, 224, 124), "bottom": (255, 198, 48)}
SECONDARY = {"border": (190, 190, 190), "top": (255, 255, 255), "bottom": (236, 236, 236)}
SECONDARY_HOVER = {"border": (236, 168, 20), "top": (255, 253, 246), "bottom": (255, 240, 206)}


def button_face(style, name, scale):
    canvas = Canvas(30, 30, scale=scale)
    canvas.fill(rounded_box(0, 0, 30, 30, 4), style["border"])
    canvas.fill(rounded_box(1, 1, 29, 29, 3), vertical_gradient(style["top"], style["bottom"], 1, 29))
    canvas.fill(rounded_box(1, 1, 29, 2, 0), (255, 255, 255), 0.55,
                bounds=(3, 1, 27, 2))  # a thin highlight under the top edge
    save_rgba(canvas, name)


def draw_text_buttons(scale):
    for style, name in ((SECONDARY, "227-box-second.png"), (PRIMARY_HOVER, "228-box-first-hover.png"),
                        (PRIMARY, "229-box-first.png"), (SECONDARY_HOVER, "230-box-second-hover.png"),
                        (SECONDARY, "232-browse-normal.png"), (PRIMARY_HOVER, "233-main-hover.png"),
                        (PRIMARY, "234-main-normal.png"), (SECONDARY_HOVER, "235-browse-hover.png")):
        button_face(style, name, scale)


# ---------------------------------------------------------------- check boxes


def draw_check_boxes(scale):
    outer = rounded_box(0, 0, 12, 12, 2.5)
    inner = rounded_box(1, 1, 11, 11, 1.8)

    off = Canvas(12, 12, scale=scale)
    off.fill(outer, (150, 150, 150))
    off.fill(inner, vertical_gradient((255, 255, 255), (242, 242, 242), 1, 11))
    save_rgba(off, "236-check-off.png")

    on = Canvas(12, 12, scale=scale)
    on.fill(outer, (214, 132, 0))
    on.fill(inner, vertical_gradient((255, 190, 40), (248, 160, 0), 1, 11))
    tick = union(capsule(2.9, 6.1, 5.0, 8.3, 0.8), capsule(5.0, 8.3, 9.2, 3.7, 0.8))
    on.fill(tick, (255, 255, 255))
    save_rgba(on, "237-check-on.png")


# ---------------------------------------------------------------- sticky notes


def sticky_note(canvas, cx, cy, size, degrees, colour, shadow=True, lines=3):
    """One square note turned by `degrees`: soft shadow, gradient paper, a header band, ruled text."""
    half = size / 2.0
    body = rotated(rounded_box(-half, -half, half, half, size * 0.035), cx, cy, degrees)
    reach = half * 1.5 + 12
    bounds = (cx - reach, cy - reach, cx + reach, cy + reach)
    if shadow:
        cast = rotated(rounded_box(-half, -half, half, half, size * 0.035), cx + size * 0.025,
                       cy + size * 0.05, degrees)
        canvas.soft_fill(cast, (70, 40, 0), 0.28, size * 0.06, bounds)
    local = to_local(cx, cy, degrees)
    light = mix(colour, (255, 255, 255), 0.35)

    def paper(x, y):
        lx, ly = local(x, y)
        return mix(light, colour, (ly + half) / size)
    canvas.fill(body, paper, bounds=bounds)

    band = size * 0.16
    header = rotated(intersection(rounded_box(-half, -half, half, half, size * 0.035),
                                  half_plane(0, 1, -half + band)), cx, cy, degrees)
    canvas.fill(header, mix(colour, (120, 70, 0), 0.16), bounds=bounds)

    ink = mix(colour, (60, 40, 20), 0.45)
    for i in range(lines):
        y = -half + band + size * (0.17 + 0.14 * i)
        right = half * (0.62 if i == lines - 1 else 0.78)
        line = rotated(capsule(-half * 0.72, y, right, y, size * 0.018), cx, cy, degrees)
        canvas.fill(line, ink, 0.55, bounds=bounds)


def pin(canvas, cx, cy, radius):
    canvas.soft_fill(circle(cx + 1.5, cy + 2.5, radius), (60, 20, 0), 0.35, radius * 0.5)
    canvas.fill(circle(cx, cy, radius), vertical_gradient((255, 120, 96), (214, 56, 40), cy - radius, cy + radius),
                bounds=(cx - radius - 2, cy - radius - 2, cx + radius + 2, cy + radius + 2))
    canvas.fill(circle(cx - radius * 0.3, cy - radius * 0.35, radius * 0.3), (255, 255, 255), 0.7,
                bounds=(cx - radius, cy - radius, cx, cy))


# ---------------------------------------------------------------- banner


def draw_banner(scale):
    canvas = Canvas(500, 270, scale=scale)
    width, height = canvas.width, canvas.height
    top_left, bottom_right = (255, 250, 236), (255, 226, 170)
    for y in range(height):
        for x in range(width):
            t = (x / width) * 0.45 + (y / height) * 0.55
            canvas.pixels[y * width + x] = list(mix(top_left, bottom_right, t)) + [1.0]

    # Soft light circles for depth behind the notes.
    for cx, cy, radius, opacity in ((400, 60, 150, 0.35), (80, 250, 110, 0.30), (250, 300, 90, 0.18)):
        canvas.soft_fill(circle(cx, cy, radius), (255, 255, 255), opacity, 30,
                         bounds=(cx - radius - 40, cy - radius - 40, cx + radius + 40, cy + radius + 40))

    sticky_note(canvas, 404, 100, 112, 11, (150, 208, 248))
    sticky_note(canvas, 328, 150, 114, -9, (255, 168, 190))
    sticky_note(canvas, 398, 184, 124, 4, (255, 224, 96), lines=4)
    pin(canvas, 394, 128, 7)

    # The lettering is rendered at each scale's own size; positions are in 100 % units,
    # and the name's height (in units) places what lies below it.
    ink = (58, 50, 40)
    name, name_w, name_h = text_mask("Tessamo", 48 * scale, 1.0 * scale)
    canvas.draw_mask(name, name_w, name_h, round(40 * scale), round(88 * scale), ink)
    name_h = int(round(name_h / scale))
    accent = rounded_box(42, 98 + name_h, 82, 102 + name_h, 2)
    canvas.fill(accent, CAPTION, bounds=(40, 96 + name_h, 84, 104 + name_h))
    tagline, tag_w, tag_h = text_mask("人性化的便签软件", 19 * scale)
    canvas.draw_mask(tagline, tag_w, tag_h, round(42 * scale), round((116 + name_h) * scale), (110, 96, 78))
    save_rgb(canvas, "231-banner.png")


# ---------------------------------------------------------------- icon


def icon_canvas(size):
    """A yellow sticky note with an orange header band and a folded lower-right corner."""
    canvas = Canvas(size, size)
    scale = size / 32.0
    left, top = 2.0 * scale, 2.0 * scale
    right, bottom = size - 2.0 * scale, size - 3.0 * scale
    radius = max(1.0, 2.0 * scale)
    fold = 8.0 * scale
    corner_cut = half_plane(1, 1, right + bottom - fold)
    sheet = intersection(rounded_box(left, top, right, bottom, radius), corner_cut)

    if size >= 32:
        shadow = lambda x, y: sheet(x - 0.6 * scale, y - 1.0 * scale)
        canvas.soft_fill(shadow, (60, 40, 0), 0.35, 1.2 * scale)
    canvas.fill(sheet, (214, 150, 0))  # outline
    inset = max(1.0, scale)
    paper = intersection(rounded_box(left + inset, top + inset, right - inset, bottom - inset, radius * 0.7),
                         half_plane(1, 1, right + bottom - fold - inset * 1.42))
    canvas.fill(paper, vertical_gradient((255, 240, 150), (255, 220, 80), top, bottom))

    band = intersection(paper, half_plane(0, 1, top + 8.0 * scale))
    canvas.fill(band, vertical_gradient((255, 200, 40), (255, 178, 0), top, top + 8.0 * scale))

    stroke = max(0.5, 0.75 * scale)
    for i, length in enumerate((0.72, 0.72, 0.42)):
        y = top + (14.0 + 4.5 * i) * scale
        if size <= 16:
            y = round(y) + 0.5  # keep the 1-pixel lines on whole rows
        x0 = left + 5.0 * scale
        canvas.fill(capsule(x0, y, x0 + (right - left - 10.0 * scale) * length / 0.72, y, stroke),
                    (150, 110, 40), 0.8 if size > 16 else 0.65)

    flap = intersection(half_plane(-1, 0, -(right - fold)), half_plane(0, -1, -(bottom - fold)),
                        half_plane(1, 1, right + bottom - fold))
    canvas.fill(flap, (214, 150, 0))
    flap_inner = intersection(half_plane(-1, 0, -(right - fold + inset)),
                              half_plane(0, -1, -(bottom - fold + inset)),
                              half_plane(1, 1, right + bottom - fold - inset * 1.42))
    canvas.fill(flap_inner, (255, 206, 70))
    return canvas


def draw_icon():
    write("setup.ico", ico_bytes([icon_canvas(size) for size in (16, 24, 32, 48, 256)]))


def main():
    for scale in SCALES:
        draw_shadow(scale)
        draw_title_buttons(scale)
        draw_text_buttons(scale)
        draw_check_boxes(scale)
        draw_banner(scale)
    draw_icon()


if __name__ == "__main__":
    main()
