#!/usr/bin/env python3
"""Writes the SVG sources of every image of the skin and renders them to PNG.

    skin/tools/make_images.py <trx770-skin-tool>

The SVG files go to skin/tools/svg (icons, drawn at 2 pixels per unit so
they stay sharp on 2x screens; layouts draw them at their unit size) and
skin/tools/svg_1x (full-window backgrounds, 1 pixel per unit). The skin tool
then renders them into the skin folder under the same relative names.
All artwork is drawn here from simple shapes: one dark theme, one accent.
"""
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
SKIN = os.path.dirname(HERE)
sys.path.insert(0, HERE)
from keyboard_geometry import KEY_UNIT, key_sizes  # noqa: E402

ACCENT = "#E8453C"
ICON = "#9AA3B0"     # idle glyphs
ICON_HI = "#E6E9EE"  # glyphs on the title bar
FIELD = "#262B33"
EDGE = "#3A414D"


def svg(w, h, body, extra_defs=""):
    defs = f"<defs>{extra_defs}</defs>" if extra_defs else ""
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{w}" height="{h}" viewBox="0 0 {w} {h}">'
            f"{defs}{body}</svg>\n")


def stroke(d, color=ICON, width=1.6, fill="none", extra=""):
    return (f'<path d="{d}" fill="{fill}" stroke="{color}" stroke-width="{width}" stroke-linecap="round" '
            f'stroke-linejoin="round" {extra}/>')


IMAGES = {}    # relative name without extension -> svg text (2x)
IMAGES_1X = {}


def icon(name, w, h, body):
    IMAGES[name] = svg(w, h, body)


# ---- title bar -----------------------------------------------------------
icon("common/title_close", 16, 16, stroke("M4 4L12 12M12 4L4 12", ICON_HI, 1.5))
icon("common/title_min", 16, 16, stroke("M3.5 8.5H12.5", ICON_HI, 1.5))
icon("common/title_max", 16, 16, f'<rect x="3.5" y="3.5" width="9" height="9" rx="1.5" fill="none" '
                                 f'stroke="{ICON_HI}" stroke-width="1.4"/>')
icon("common/title_restore", 16, 16,
     f'<rect x="3" y="5.5" width="7.5" height="7.5" rx="1.3" fill="none" stroke="{ICON_HI}" stroke-width="1.3"/>' +
     stroke("M5.5 5.5V4.3Q5.5 3 6.8 3H11.7Q13 3 13 4.3V9.2Q13 10.5 11.7 10.5H10.5", ICON_HI, 1.3))
icon("common/title_skin", 16, 16,
     stroke("M3 4.5L6 2.5Q8 4 10 2.5L13 4.5L12 7.5L10.8 7V13.5H5.2V7L4 7.5Z", ICON_HI, 1.3))
icon("common/logo", 26, 26,
     f'<path d="M13 1.5L23 7.25V18.75L13 24.5L3 18.75V7.25Z" fill="#1E1416" stroke="{ACCENT}" stroke-width="1.6"/>'
     f'<path d="M8 9H18M13 9V19" fill="none" stroke="#FFFFFF" stroke-width="2.4" stroke-linecap="round"/>')
icon("common/tab_selected", 104, 48, f'<rect x="32" y="44" width="40" height="3" rx="1.5" fill="{ACCENT}"/>')

# ---- navigation glyphs (idle grey, selected accent) ------------------------
NAV = {
    "lighting": "M9 2.5A5 5 0 0 0 6 11.5V13H12V11.5A5 5 0 0 0 9 2.5ZM7 15.5H11",
    "buttons": "M9 2Q14.5 2 14.5 8V11Q14.5 16 9 16Q3.5 16 3.5 11V8Q3.5 2 9 2ZM9 2V7M9 4.5V6M3.5 8H14.5",
    "keys": "M2.5 5H15.5V13H2.5ZM5 7.5H6M8.5 7.5H9.5M12 7.5H13M5.5 10.5H12.5",
    "performance": "M3 13A6.5 6.5 0 1 1 15 13M9 12.5L12 7.5",
    "macro": "M3 4.5H15M3 9H11M3 13.5H8M13 11.5L16 13.5L13 15.5Z",
    "routine": "M9 2V5M9 13V16M2 9H5M13 9H16M9 6A3 3 0 1 1 9 12A3 3 0 1 1 9 6Z",
}
for key, d in NAV.items():
    icon(f"common/nav_{key}", 18, 18, stroke(d, ICON, 1.5))
    icon(f"common/nav_{key}_on", 18, 18, stroke(d, ACCENT, 1.6))

# ---- controls --------------------------------------------------------------
icon("common/combo_arrow", 12, 12, stroke("M3 4.5L6 7.5L9 4.5", ICON, 1.5))
icon("common/chevron_down", 12, 12, stroke("M3 4.5L6 7.5L9 4.5", ICON_HI, 1.5))
icon("common/check_off", 16, 16, f'<rect x="1.5" y="1.5" width="13" height="13" rx="3.5" fill="#0F1115" '
                                 f'stroke="#4A515D" stroke-width="1.2"/>')
icon("common/check_on", 16, 16, f'<rect x="1" y="1" width="14" height="14" rx="3.5" fill="{ACCENT}"/>' +
     stroke("M4.5 8.2L7 10.5L11.5 5.5", "#FFFFFF", 1.8))
icon("common/radio_off", 16, 16, '<circle cx="8" cy="8" r="6.4" fill="#0F1115" stroke="#4A515D" stroke-width="1.2"/>')
icon("common/radio_on", 16, 16, f'<circle cx="8" cy="8" r="6.6" fill="none" stroke="{ACCENT}" stroke-width="1.4"/>'
                                f'<circle cx="8" cy="8" r="3.4" fill="{ACCENT}"/>')
icon("common/slider_track", 8, 22, '<rect x="0" y="9" width="8" height="4" fill="#2A2F38"/>')
icon("common/slider_fill", 8, 22, f'<rect x="0" y="9" width="8" height="4" fill="{ACCENT}"/>')
icon("common/slider_thumb", 16, 16, f'<circle cx="8" cy="8" r="6.5" fill="#F2F4F7" stroke="{ACCENT}" '
                                    f'stroke-width="2"/>')
icon("common/slider_thumb_hot", 16, 16, f'<circle cx="8" cy="8" r="7.4" fill="#FFFFFF" stroke="{ACCENT}" '
                                        f'stroke-width="2.6"/>')
icon("common/palette_thumb", 10, 10, '<circle cx="5" cy="5" r="3.8" fill="none" stroke="#FFFFFF" stroke-width="1.6"/>'
                                     '<circle cx="5" cy="5" r="4.7" fill="none" stroke="#000000" stroke-opacity="0.5"'
                                     ' stroke-width="0.6"/>')
icon("common/swatch_ring", 16, 16, '<rect x="0.75" y="0.75" width="14.5" height="14.5" rx="3.5" fill="none" '
                                   'stroke="#FFFFFF" stroke-width="1.5"/>')
icon("common/led_v", 8, 10, '<rect x="0.5" y="0.5" width="7" height="9" rx="2" fill="#C4C9D1"/>')
icon("common/led_h", 16, 6, '<rect x="0.5" y="0.5" width="15" height="5" rx="2" fill="#C4C9D1"/>')
icon("common/led_dot", 12, 12, '<circle cx="6" cy="6" r="5" fill="#C4C9D1"/>')
for name, d in {"arrow_left": "M9 3L5 7L9 11", "arrow_right": "M5 3L9 7L5 11", "arrow_up": "M3 9L7 5L11 9",
                "arrow_down": "M3 5L7 9L11 5"}.items():
    icon(f"common/{name}", 14, 14, stroke(d, ICON_HI, 1.6))

GLYPHS = {
    "add": "M8 3.5V12.5M3.5 8H12.5",
    "minus": "M3.5 8H12.5",
    "remove": "M3.5 4.5H12.5M6.5 4.5V3H9.5V4.5M4.8 4.5L5.4 13H10.6L11.2 4.5",
    "clear": "M3.5 4.5H12.5M4.8 4.5L5.4 13H10.6L11.2 4.5M6.8 7L9.2 10.5M9.2 7L6.8 10.5",
    "import": "M8 2.5V9.5M5 6.8L8 9.8L11 6.8M3 11V13H13V11",
    "export": "M8 10V3M5 5.7L8 2.7L11 5.7M3 11V13H13V11",
    "check": "M3.5 8.5L6.5 11.5L12.5 4.5",
    "up": "M4 9.5L8 5.5L12 9.5",
    "down": "M4 6.5L8 10.5L12 6.5",
    "up_top_over": "M4 3.5H12M4 11L8 7L12 11",
    "down_bottom": "M4 12.5H12M4 5L8 9L12 5",
    "rename": "M3 13L3.6 10.4L10.6 3.4Q11.4 2.6 12.2 3.4L12.6 3.8Q13.4 4.6 12.6 5.4L5.6 12.4ZM9.5 4.5L11.5 6.5",
}
for name, d in GLYPHS.items():
    icon(f"common/{name}", 16, 16, stroke(d, ICON_HI, 1.5))
icon("common/unuse", 16, 16, stroke(GLYPHS["up_top_over"], "#4A515D", 1.5))
icon("common/state_down", 16, 16, f'<circle cx="8" cy="8" r="6.5" fill="#2A1D20"/>' +
     stroke("M8 4.5V11M5.2 8.5L8 11.3L10.8 8.5", ACCENT, 1.5))
icon("common/state_up", 16, 16, '<circle cx="8" cy="8" r="6.5" fill="#1B2530"/>' +
     stroke("M8 11.5V5M5.2 7.5L8 4.7L10.8 7.5", "#8CC8F0", 1.5))


# ---- device pictures ---------------------------------------------------------
def mouse_shape(x, y, w, h):
    """Outline of a mouse seen from above, (x, y) top-left."""
    cx = x + w / 2
    return (f"M{cx} {y} C{x + w * 0.98} {y} {x + w} {y + h * 0.22} {x + w} {y + h * 0.42} "
            f"L{x + w} {y + h * 0.70} C{x + w} {y + h * 0.92} {x + w * 0.78} {y + h} {cx} {y + h} "
            f"C{x + w * 0.22} {y + h} {x} {y + h * 0.92} {x} {y + h * 0.70} L{x} {y + h * 0.42} "
            f"C{x} {y + h * 0.22} {x + w * 0.02} {y} {cx} {y} Z")


def device_mouse(w=144, h=96):
    body = mouse_shape(50, 6, 44, 84)
    return svg(w, h, f'<path d="{body}" fill="#1A1E25" stroke="{EDGE}" stroke-width="1.4"/>'
                     f'<path d="M72 6V36M50 40Q72 46 94 40" fill="none" stroke="{EDGE}" stroke-width="1.2"/>'
                     f'<rect x="69" y="16" width="6" height="12" rx="3" fill="#0F1115" stroke="{ACCENT}" '
                     f'stroke-width="1.2"/>'
                     f'<path d="M52 58Q51 72 58 82M92 58Q93 72 86 82" fill="none" stroke="{ACCENT}" '
                     f'stroke-width="2" stroke-linecap="round" stroke-opacity="0.85"/>')


def device_keyboard(w=144, h=96):
    keys = ""
    for r in range(4):
        for c in range(11):
            keys += f'<rect x="{17 + c * 10}" y="{32 + r * 10}" width="8" height="8" rx="1.5" fill="#262B33"/>'
    return svg(w, h, f'<rect x="10" y="26" width="124" height="50" rx="6" fill="#1A1E25" stroke="{EDGE}" '
                     f'stroke-width="1.4"/>{keys}'
                     f'<rect x="37" y="62" width="60" height="8" rx="1.5" fill="#262B33"/>'
                     f'<path d="M14 80H130" stroke="{ACCENT}" stroke-width="2" stroke-linecap="round" '
                     f'stroke-opacity="0.85"/>')


def device_pad(w=144, h=96):
    return svg(w, h, f'<rect x="10" y="20" width="124" height="60" rx="8" fill="#1A1E25" stroke="{ACCENT}" '
                     f'stroke-width="2" stroke-opacity="0.85"/>'
                     f'<rect x="16" y="26" width="112" height="48" rx="5" fill="#14171C" stroke="{EDGE}" '
                     f'stroke-width="1"/><circle cx="118" cy="66" r="3" fill="{ACCENT}"/>')


IMAGES["common/device_mouse"] = device_mouse()
IMAGES["common/device_keyboard"] = device_keyboard()
IMAGES["common/device_mousepad"] = device_pad()
IMAGES["ms/preview_body"] = svg(96, 146, f'<path d="{mouse_shape(2, 2, 92, 142)}" fill="#181B21" stroke="{EDGE}" '
                                         f'stroke-width="1.5"/>'
                                         f'<path d="M48 2V56M2 66Q48 78 94 66" fill="none" stroke="{EDGE}" '
                                         f'stroke-width="1.3"/>'
                                         f'<rect x="43" y="18" width="10" height="22" rx="5" fill="#0F1115" '
                                         f'stroke="#4A515D" stroke-width="1.2"/>')
IMAGES["mp/preview_pad"] = svg(148, 88, f'<rect x="1" y="1" width="146" height="86" rx="8" fill="#181B21" '
                                        f'stroke="{EDGE}" stroke-width="1.5"/>'
                                        f'<rect x="8" y="8" width="132" height="72" rx="5" fill="#121419"/>')

# Button pictures of the mouse button page: the button's part highlighted.
PARTS = {
    "key_left": "M18 3C8 3 6.5 9 6.5 14H18Z",
    "key_right": "M18 3C28 3 29.5 9 29.5 14H18Z",
    "key_wheel": "M16 6.5H20V12.5H16Z",
    "key_forward": "M6.5 16.5H9V21H6.5Z",
    "key_back": "M6.5 22.5H9V27H6.5Z",
    "key_dpi": "M16 15H20V17.5H16Z",
    "key_dpi1": "M16 19H20V21.5H16Z",
}
for part, d in PARTS.items():
    for state, color in (("normal", "#4A515D"), ("down", ACCENT)):
        IMAGES[f"ms/{part}_{state}"] = svg(
            36, 36, f'<path d="{mouse_shape(6.5, 3, 23, 31)}" fill="#15181D" stroke="{EDGE}" stroke-width="1.1"/>'
                    f'<path d="M18 3V14M6.5 14H29.5" stroke="{EDGE}" stroke-width="0.9" fill="none"/>'
                    f'<path d="{d}" fill="{color}"/>')

# Key caps of the keyboard pictures, one image per key size (drawn unscaled).
for w_units, h_units in key_sizes():
    w = round(w_units * KEY_UNIT) - 2
    h = round(h_units * KEY_UNIT) - 2
    tag = f"{int(round(w_units * 100))}" + ("x2" if h_units == 2 else "")
    IMAGES[f"kb/key_{tag}"] = svg(w, h, f'<rect x="0.5" y="0.5" width="{w - 1}" height="{h - 1}" rx="3" '
                                        f'fill="#242830" stroke="#3A414D" stroke-width="1"/>'
                                        f'<rect x="2" y="1.5" width="{w - 4}" height="{h - 5}" rx="2.2" '
                                        f'fill="#2C313A"/>')
    # Hovered key of the key page: the same cap with an accent rim.
    IMAGES[f"kb/key_{tag}_hot"] = svg(w, h, f'<rect x="0.6" y="0.6" width="{w - 1.2}" height="{h - 1.2}" rx="3" '
                                            f'fill="#2A2226" stroke="{ACCENT}" stroke-width="1.2"/>'
                                            f'<rect x="2" y="1.5" width="{w - 4}" height="{h - 5}" rx="2.2" '
                                            f'fill="#33282C"/>')


# ---- backgrounds (1x, full window) ---------------------------------------------
def background(base, glow, glow_at, pattern=""):
    gx, gy = glow_at
    defs = (f'<radialGradient id="g" cx="{gx}" cy="{gy}" r="0.75"><stop offset="0" stop-color="{glow}" '
            f'stop-opacity="0.22"/><stop offset="1" stop-color="{glow}" stop-opacity="0"/></radialGradient>'
            f'<linearGradient id="v" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="#FFFFFF" '
            f'stop-opacity="0.03"/><stop offset="1" stop-color="#000000" stop-opacity="0.25"/></linearGradient>')
    return svg(800, 572, f'<rect width="800" height="572" fill="{base}"/>{pattern}'
                         f'<rect width="800" height="572" fill="url(#g)"/><rect width="800" height="572" fill="url(#v)"/>',
               defs)


def lines(step, color, opacity, angle):
    out = "".join(f'<path d="M{x} -20L{x + 600} 620" stroke="{color}" stroke-opacity="{opacity}" '
                  f'stroke-width="1"/>' for x in range(-600, 800, step))
    return f'<g transform="rotate({angle} 400 286)">{out}</g>'


def contours(color, opacity):
    out = ""
    for i in range(12):
        r = 60 + i * 42
        out += (f'<ellipse cx="640" cy="120" rx="{r * 1.3}" ry="{r}" fill="none" stroke="{color}" '
                f'stroke-opacity="{opacity}" stroke-width="1"/>')
    return out


def hexes(color, opacity):
    out = ""
    s = 28
    for row in range(14):
        for col in range(20):
            x = col * s * 1.5
            y = row * s * 1.732 + (col % 2) * s * 0.866
            pts = " ".join(f"{x + s * 0.5 * dx:.1f},{y + s * 0.866 * dy:.1f}"
                           for dx, dy in ((1, 0), (0.5, 1), (-0.5, 1), (-1, 0), (-0.5, -1), (0.5, -1)))
            out += f'<polygon points="{pts}" fill="none" stroke="{color}" stroke-opacity="{opacity}"/>'
    return out


IMAGES_1X["common/background"] = background("#121419", ACCENT, ("0.85", "0.05"), lines(24, "#FFFFFF", 0.018, 0))
IMAGES_1X["bg/bg_1"] = background("#101317", ACCENT, ("0.9", "0.0"), lines(18, "#FFFFFF", 0.025, 0))
IMAGES_1X["bg/bg_2"] = background("#0C1420", "#2F7DD1", ("0.1", "0.0"))
IMAGES_1X["bg/bg_3"] = background("#131313", "#9A9A9A", ("0.5", "1.0"), lines(8, "#FFFFFF", 0.03, 90))
IMAGES_1X["bg/bg_4"] = background("#160F1E", "#9B4DDB", ("0.8", "0.9"))
IMAGES_1X["bg/bg_5"] = background("#0F1512", "#3FBF7F", ("0.85", "0.15"), contours("#3FBF7F", 0.08))
IMAGES_1X["bg/bg_6"] = background("#14110F", "#E8913C", ("0.15", "0.9"), hexes("#E8913C", 0.06))


def write_all(folder, images):
    for rel, text in images.items():
        path = os.path.join(folder, rel + ".svg")
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w", encoding="utf-8") as f:
            f.write(text)


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 1
    tool = sys.argv[1]
    svg2x = os.path.join(HERE, "svg")
    svg1x = os.path.join(HERE, "svg_1x")
    write_all(svg2x, IMAGES)
    write_all(svg1x, IMAGES_1X)
    subprocess.run([tool, "render", svg2x, SKIN, "2"], check=True,
                   env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))
    subprocess.run([tool, "render", svg1x, SKIN, "1"], check=True,
                   env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
