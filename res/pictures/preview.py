#!/usr/bin/env python3
"""Previews of the skin: every window's background with its controls placed on it.

    res/pictures/preview.py [--out DIR] [--metrics N] [--font TTF] [--scale PCT]

Reads the dialog templates from res/kavron.rc (names from res/resource.h), places
each control at its pixel rectangle (dialog units through the template font's base
units) and writes, per dialog, into DIR (default /tmp/kavron-preview):

  <id>-outline.png  the background with every control outlined (green: shown,
                    orange dashed: created hidden, blue: labels; the main window's
                    list scroll bars in magenta)
  <id>-mock.png     the background with the button faces, labels, lists, boxes and
                    scroll bars drawn roughly as the program shows them
  faces-1x.png, faces-3x.png   every button face, normal and pressed

It also checks the main background's bands (title strip, panel headings, bottom
bar) against the controls and labels and prints every overlap; the exit status is
1 when there is one. The windows are laid out with the base units the pictures are
drawn for (geometry.sh); --metrics N uses the N-th entry of OTHER_METRICS instead
(1: a taller Arial, 2: Wine's wider fallback face), to see how the padded faces
and the stretched backgrounds look there. --scale 125, 150, 175 or 200 lays them
out at that display scale (the 100 % pixels times the scale, as the program does)
with the set of pictures drawn for it; the band check runs at 100 % only.
Needs python3 and ImageMagick; writes nothing into the source tree.
"""
import argparse
import os
import re
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
RES = os.path.dirname(HERE)
BITMAPS = os.path.join(RES, "bitmaps")

IM = "magick" if subprocess.call(["sh", "-c", "command -v magick >/dev/null"]) == 0 else "convert"
# Labels are drawn in a face with Arial's metrics when one is installed, so that
# their lengths are as on Windows; DejaVu Sans (wider) otherwise.
FONT_CHOICES = ["/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf",
                "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf",
                "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"]
FONT = next((f for f in FONT_CHOICES if os.path.exists(f)), FONT_CHOICES[-1])


def sh_var(text, name):
    m = re.search(r"^%s=(\d+)" % name, text, re.M) or re.search(r"\b%s=(\d+)" % name, text)
    return int(m.group(1))


def muldiv(a, b, c):
    return (a * b + c // 2) // c


# The display scale previewed, in percent (--scale), and a 100 % length at it.
SCALE = 100


def S(n):
    return muldiv(n, SCALE, 100)


GEOMETRY = open(os.path.join(HERE, "geometry.sh")).read()
# Base units by font size: [0] those the pictures are drawn for, then OTHER_METRICS.
METRICS = [{8: (sh_var(GEOMETRY, "BASE8_X"), sh_var(GEOMETRY, "BASE8_Y")),
            9: (sh_var(GEOMETRY, "BASE9_X"), sh_var(GEOMETRY, "BASE9_Y"))}]
for entry in re.findall(r'"(\d+) (\d+) (\d+) (\d+)"', re.search(r"OTHER_METRICS=\((.*?)\)", GEOMETRY).group(1)):
    x8, y8, x9, y9 = map(int, entry)
    METRICS.append({8: (x8, y8), 9: (x9, y9)})
# The main background is drawn in client pixels of the first metrics.
DESIGN_CLIENT = (muldiv(287, METRICS[0][8][0], 4), muldiv(329, METRICS[0][8][1], 8))


# ---------------------------------------------------------------------------
# Templates


def read_defines():
    names = {"IDOK": 1, "IDCANCEL": 2, "IDC_STATIC": -1}
    for line in open(os.path.join(RES, "resource.h")):
        m = re.match(r"#define\s+(\w+)\s+(-?\d+)", line)
        if m:
            names[m.group(1)] = int(m.group(2))
    return names


def split_args(s):
    """Comma-separated arguments, respecting "quoted ""strings""."""
    out, cur, q, i = [], "", False, 0
    while i < len(s):
        c = s[i]
        if c == '"':
            if q and i + 1 < len(s) and s[i + 1] == '"':
                cur += '""'
                i += 2
                continue
            q = not q
            cur += c
        elif c == "," and not q:
            out.append(cur.strip())
            cur = ""
        else:
            cur += c
        i += 1
    out.append(cur.strip())
    return out


def unquote(s):
    s = s.strip()
    if s.startswith('"') and s.endswith('"'):
        return s[1:-1].replace('""', '"')
    return s


KEYWORDS = ("CONTROL", "PUSHBUTTON", "DEFPUSHBUTTON", "LTEXT", "EDITTEXT", "COMBOBOX",
            "AUTORADIOBUTTON", "ICON")


def read_dialogs():
    names = read_defines()
    text = open(os.path.join(RES, "kavron.rc"), encoding="latin-1").read()
    text = re.sub(r"//[^\n]*", "", text)
    dialogs = {}
    for m in re.finditer(r"^(\w+)\s+DIALOGEX\s+0,\s*0,\s*(\d+),\s*(\d+)(.*?)^BEGIN\n(.*?)^END", text, re.S | re.M):
        ident, w, h, head, body = m.group(1), int(m.group(2)), int(m.group(3)), m.group(4), m.group(5)
        font = int(re.search(r"FONT\s+(\d+)", head).group(1))
        # Join continuation lines: a statement starts with a keyword.
        statements, cur = [], None
        for line in body.splitlines():
            s = line.strip()
            if not s:
                continue
            if s.split()[0] in KEYWORDS:
                if cur:
                    statements.append(cur)
                cur = s
            else:
                cur += " " + s
        if cur:
            statements.append(cur)
        controls = []
        for st in statements:
            kw, rest = st.split(None, 1)
            a = split_args(rest)
            if kw == "CONTROL":
                text_, cid, cls, style, x, y, cw, ch = a[:8]
                cls = unquote(cls)
            elif kw in ("COMBOBOX", "EDITTEXT"):
                text_, cid, x, y, cw, ch = "", a[0], a[1], a[2], a[3], a[4]
                style = a[5] if len(a) > 5 else ""
                cls = "ComboBox" if kw == "COMBOBOX" else "Edit"
            elif kw == "ICON":
                text_, cid, x, y, cw, ch = a[0], a[1], a[2], a[3], a[4], a[5]
                style, cls = "", "Icon"
            else:
                text_, cid, x, y, cw, ch = a[:6]
                style = a[6] if len(a) > 6 else ""
                cls = {"LTEXT": "Static", "AUTORADIOBUTTON": "Radio"}.get(kw, "Button")
            controls.append({
                "kind": kw, "class": cls, "text": unquote(text_),
                "id": names.get(cid.strip(), None) if not cid.strip().lstrip("-").isdigit() else int(cid),
                "x": int(x), "y": int(y), "w": int(cw), "h": int(ch),
                "visible": "NOT WS_VISIBLE" not in style,
            })
        dialogs[names[ident]] = {"name": ident, "w": w, "h": h, "font": font, "controls": controls}
    return dialogs


# ---------------------------------------------------------------------------
# What the program puts on each window

def read_skin_table():
    """The rows of res/skin_table.h: backgrounds {dialog: (picture, stretched?)} and
    faces {dialog: {control: (normal, pressed)}} (buttons without faces left out)."""
    names = read_defines()
    text = open(os.path.join(RES, "skin_table.h")).read()
    backgrounds, faces = {}, {}
    for d, bg, fit in re.findall(r"\{(\w+), (\w+), BackgroundFit::k(\w+), \w+\}", text):
        backgrounds[names[d]] = (names[bg], fit == "Stretched")
    for d, c, normal, down in re.findall(r"\{(\w+), (\w+), (\w+), (\w+), \w+, \w+, \"[^\"]*\"\}", text):
        if normal != "0":
            faces.setdefault(names[d], {})[names[c]] = (names[normal], names[down])
    return backgrounds, faces


# What the program puts on each window
BACKGROUNDS, FACES = read_skin_table()

LIST_COLUMNS = {1000: [94, 85, 85, 85], 1001: [120, 111]}
LIST_TITLES = {1000: ["Name", "IP", "Netmask", "Gateway"], 1001: ["Volume Name", "Location"]}


def bitmap(n):
    folder = BITMAPS if SCALE == 100 else os.path.join(BITMAPS, str(SCALE))
    for f in os.listdir(folder):
        if f.startswith("%d-" % n) and (f.endswith(".bmp") or f.endswith(".png")):
            return os.path.join(folder, f)
    raise SystemExit("no bitmap %d at %d %%" % (n, SCALE))


def faces_of(dialog_id):
    return FACES.get(dialog_id, {})


def bitmap_size(path):
    out = subprocess.check_output(["identify", "-format", "%w %h", path]).decode().split()
    return int(out[0]), int(out[1])


class Layout:
    def __init__(self, dialog, metrics):
        self.bx, self.by = METRICS[metrics][dialog["font"]]
        self.client = (S(muldiv(dialog["w"], self.bx, 4)), S(muldiv(dialog["h"], self.by, 8)))

    def rect(self, c):
        """Pixel rectangle (x0, y0, x1, y1), right and bottom exclusive."""
        x, y = muldiv(c["x"], self.bx, 4), muldiv(c["y"], self.by, 8)
        w, h = muldiv(c["w"], self.bx, 4), muldiv(c["h"], self.by, 8)
        if c["class"] == "ComboBox":
            h = self.by + 7   # a closed drop-down list: about the font height plus its frame
        if c["class"] == "Icon":
            w = h = 32
        x0, y0 = S(x), S(y)
        return (x0, y0, S(x + w) if c["class"] != "Icon" else x0 + S(w), y0 + S(h))


def scroll_bar_rects(r):
    """The list's two bars, placed against its window rectangle."""
    left, top, right, bottom = r
    return [(right, top, right + S(14), bottom - S(1)), (left, bottom, right - S(2), bottom + S(14))]


# ---------------------------------------------------------------------------
# Drawing


def run(args):
    subprocess.check_call([IM] + args)


def background_canvas(dialog_id, layout, out):
    n, stretched = BACKGROUNDS[dialog_id]
    cw, ch = layout.client
    if stretched:
        run([bitmap(n), "-filter", "point", "-resize", "%dx%d!" % (cw, ch), out])
    else:
        # Copied unscaled to the top left corner; anything it does not cover stays
        # unpainted (shown in magenta).
        run(["-size", "%dx%d" % (cw, ch), "xc:magenta", bitmap(n), "-geometry", "+0+0", "-composite", out])


def outline(dialog_id, dialog, layout, out_dir):
    out = os.path.join(out_dir, "%d-outline.png" % dialog_id)
    background_canvas(dialog_id, layout, out)
    draws = ["-fill", "none", "-strokewidth", "1"]
    for c in dialog["controls"]:
        x0, y0, x1, y1 = layout.rect(c)
        if c["class"] == "Static":
            colour, dash = "#2060ff", ""
        elif c["visible"]:
            colour, dash = "#00b050", ""
        else:
            colour, dash = "#ff8000", "stroke-dasharray 3 2 "
        draws += ["-stroke", colour, "-draw", dash + "rectangle %d,%d %d,%d" % (x0, y0, x1 - 1, y1 - 1)]
        if c["class"] == "SysListView32":
            for bx0, by0, bx1, by1 in scroll_bar_rects((x0, y0, x1, y1)):
                draws += ["-stroke", "magenta", "-draw", "rectangle %d,%d %d,%d" % (bx0, by0, bx1 - 1, by1 - 1)]
    run([out] + draws + [out])
    return out


def draw_list(c, r, tmp):
    """A list with its skinned header and the two bars, as a separate image."""
    x0, y0, x1, y1 = r
    w, h = x1 - x0, y1 - y0
    img = os.path.join(tmp, "list.png")
    cols = LIST_COLUMNS[c["id"]]
    args = ["-size", "%dx%d" % (w, h), "xc:white", "-fill", "none", "-stroke", "#7a8796",
            "-draw", "rectangle 0,0 %d,%d" % (w - 1, h - 1), "-stroke", "none"]
    run(args + [img])
    # Header: 374 stretched over the strip, 240 at each later column's left - 2.
    hdr = os.path.join(tmp, "hdr.png")
    run([bitmap(374), "-scale", "%dx%d!" % (w - S(2), S(17)), hdr])
    parts = [img, hdr, "-geometry", "+%d+%d" % (S(1), S(1)), "-composite"]
    cols = [S(cw) for cw in cols]
    x = S(1)
    for i, cw in enumerate(cols):
        if i > 0 and x - S(2) < w:
            parts += [bitmap(240), "-geometry", "+%d+%d" % (x - S(2), S(1)), "-composite"]
        x += cw
    x = S(1)
    for i, cw in enumerate(cols):
        if x < w:
            parts += ["-font", FONT, "-pointsize", str(10 * SCALE / 100), "-fill", "black", "-gravity", "northwest",
                      "-annotate", "+%d+%d" % (x + max(S(2), (cw - S(7) * len(LIST_TITLES[c["id"]][i])) // 2), S(3)),
                      LIST_TITLES[c["id"]][i]]
        x += cw
    run(parts + [img])
    return img, sum(cols) > w - S(2)


def draw_vbar(h, scrollable, tmp):
    out = os.path.join(tmp, "vbar.png")
    up, track, down = (234, 235, 237) if scrollable else (383, 384, 385)
    args = ["-size", "%dx%d" % (S(14), h), "xc:black",
            "(", bitmap(track), "-scale", "%dx%d!" % (S(18), h - S(18)), ")", "-geometry", "+0+%d" % S(9), "-composite",
            bitmap(up), "-geometry", "+0+0", "-composite",
            bitmap(down), "-geometry", "+0+%d" % (h - S(16)), "-composite"]
    if scrollable:
        args += [bitmap(236), "-geometry", "+0+%d" % S(20 - 4), "-composite"]
    run(args + ["-crop", "%dx%d+0+0" % (S(14), h), "+repage", out])
    return out


def draw_hbar(w, scrollable, tmp):
    out = os.path.join(tmp, "hbar.png")
    left, track, right = (233, 232, 231) if scrollable else (380, 382, 381)
    args = ["-size", "%dx%d" % (w, S(14)), "xc:white",
            "(", bitmap(track), "-crop", "1x%d+0+0" % S(14), "+repage", "-scale", "%dx%d!" % (w - S(27), S(14)), ")",
            "-geometry", "+%d+0" % S(15), "-composite",
            bitmap(left), "-geometry", "+0+0", "-composite",
            bitmap(right), "-geometry", "+%d+0" % (w - S(16)), "-composite"]
    if scrollable:
        args += [bitmap(243), "-geometry", "+%d+0" % S(20 - 4), "-composite"]
    run(args + ["-crop", "%dx%d+0+0" % (w, S(14)), "+repage", out])
    return out


def mock(dialog_id, dialog, layout, out_dir, tmp):
    out = os.path.join(out_dir, "%d-mock.png" % dialog_id)
    background_canvas(dialog_id, layout, out)
    faces = faces_of(dialog_id)
    text_colour = "black" if dialog_id == 102 else "white"
    parts = [out]
    for c in dialog["controls"]:
        if not c["visible"]:
            continue
        x0, y0, x1, y1 = r = layout.rect(c)
        w, h = x1 - x0, y1 - y0
        if c["class"] == "Button" and c["id"] in faces:
            face = os.path.join(tmp, "face-%d.png" % c["id"])
            # Draw mode 0: the face's top left part at the control's size.
            run([bitmap(faces[c["id"]][0]), "-crop", "%dx%d+0+0" % (w, h), "+repage",
                 "-background", "magenta", "-extent", "%dx%d" % (w, h), face])
            parts += [face, "-geometry", "+%d+%d" % (x0, y0), "-composite"]
        elif c["class"] in ("Static", "Radio"):
            label = c["text"] if c["class"] == "Static" else "( )  " + c["text"]
            parts += ["-font", FONT, "-pointsize", str((11 if dialog["font"] == 8 else 12) * SCALE / 100),
                      "-fill", text_colour, "-stroke", "none", "-gravity", "northwest",
                      "-annotate", "+%d+%d" % (x0, y0 - 1), label]
        elif c["class"] == "Icon":
            icon = os.path.join(tmp, "icon.png")
            # The icon's image of this scale's large size (32 px at 100 %).
            sizes = [16, 20, 24, 28, 32, 40, 48, 56, 64]
            run([os.path.join(RES, "app.ico[%d]" % sizes.index(S(32))), icon])
            parts += [icon, "-geometry", "+%d+%d" % (x0, y0), "-composite"]
        elif c["class"] == "SysListView32":
            img, hscroll = draw_list(c, r, tmp)
            vb = draw_vbar(h - S(1), False, tmp)
            hb = draw_hbar(w - S(2), hscroll, tmp)
            for src, gx, gy in ((img, x0, y0), (vb, x1, y0), (hb, x0, y1)):
                keep = os.path.join(tmp, "keep-%d-%d.png" % (gx, gy))
                os.replace(src, keep)
                parts += [keep, "-geometry", "+%d+%d" % (gx, gy), "-composite"]
        elif c["class"] == "msctls_progress32":
            fill = int(w * 0.45)
            parts += ["-fill", "#f0f0f0", "-draw", "rectangle %d,%d %d,%d" % (x0, y0, x1 - 1, y1 - 1),
                      "-fill", "#0486e8", "-draw", "rectangle %d,%d %d,%d" % (x0, y0, x0 + fill, y1 - 1)]
        else:
            # Edit boxes, combo boxes, address fields: white with a thin frame.
            parts += ["-fill", "white", "-stroke", "#7a8796", "-draw",
                      "rectangle %d,%d %d,%d" % (x0, y0, x1 - 1, y1 - 1), "-stroke", "none"]
            if c["class"] == "ComboBox":
                parts += ["-fill", "#e1e5ea", "-draw", "rectangle %d,%d %d,%d" % (x1 - 16, y0 + 1, x1 - 2, y1 - 2),
                          "-fill", "#333", "-draw", "polygon %d,%d %d,%d %d,%d" % (
                              x1 - 12, (y0 + y1) // 2 - 2, x1 - 6, (y0 + y1) // 2 - 2, x1 - 9, (y0 + y1) // 2 + 1)]
            if c["class"] == "SysIPAddress32":
                for k in (1, 2, 3):
                    dx = x0 + k * w // 4
                    parts += ["-fill", "#333", "-draw", "point %d,%d" % (dx, y1 - 4)]
    run(parts + [out])
    return out


def faces_sheet(out_dir, tmp):
    pairs = sorted({pair for faces in FACES.values() for pair in faces.values()})
    tiles = []
    for a, b in pairs:
        t = os.path.join(tmp, "pair-%d.png" % a)
        run(["-background", "#808890", bitmap(a), bitmap(b), "+append", "-bordercolor", "#808890",
             "-border", "3", t])
        tiles.append(t)
    one = os.path.join(out_dir, "faces-1x.png")
    run(["-background", "#808890"] + tiles + ["-append", one])
    run([one, "-filter", "point", "-resize", "300%", os.path.join(out_dir, "faces-3x.png")])


# ---------------------------------------------------------------------------
# Band check of the main background


def main_bands(layout):
    """Rectangles of the drawn bands, in client pixels."""
    sx, sy = layout.client[0] / DESIGN_CLIENT[0], layout.client[1] / DESIGN_CLIENT[1]
    strip = sh_var(GEOMETRY, "MAIN_STRIP_H") + 2
    foot = sh_var(GEOMETRY, "MAIN_FOOT_Y")
    bands = [("title strip", (0, 0, layout.client[0], int(strip * sy + 0.999)))]
    left = int(muldiv(14, METRICS[0][8][0], 4) * sx)
    right = int(muldiv(279, METRICS[0][8][0], 4) * sx + 0.999)
    for i in (1, 2, 3):
        y = sh_var(GEOMETRY, "MAIN_HEAD%d_Y" % i)
        bands.append(("heading %d" % i, (left, int((y - 7) * sy), right, int((y + 7) * sy + 0.999))))
    bands.append(("bottom bar edge", (0, int(foot * sy), layout.client[0], int(foot * sy) + 1)))
    return bands


def overlaps(a, b):
    return a[0] < b[2] and b[0] < a[2] and a[1] < b[3] and b[1] < a[3]


def check_main(dialog, layout):
    problems = []
    bands = main_bands(layout)
    allowed = {"title strip": {1027, 1028}}
    shown = []
    for c in dialog["controls"]:
        if not c["visible"]:
            continue
        r = layout.rect(c)
        name = c["text"] if c["class"] == "Static" else "control %s" % c["id"]
        shown.append((name, c["id"], r))
        if c["class"] == "SysListView32":
            for br in scroll_bar_rects(r):
                shown.append(("scroll bar of %s" % c["id"], None, br))
    for bname, br in bands:
        for name, cid, r in shown:
            if overlaps(br, r) and cid not in allowed.get(bname, ()):
                problems.append("%s runs under %s %s" % (bname, name, r))
    foot = bands[-1][1][1]
    for cid in (1021, 1009):
        c = next(c for c in dialog["controls"] if c["id"] == cid)
        if layout.rect(c)[1] <= foot:
            problems.append("control %d is not on the bottom bar" % cid)
    strip_bottom = bands[0][1][3]
    for cid in (1027, 1028):
        c = next(c for c in dialog["controls"] if c["id"] == cid)
        if layout.rect(c)[3] > strip_bottom:
            problems.append("control %d reaches below the title strip" % cid)
    return problems


def main():
    global FONT, SCALE
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--out", default=os.path.join(tempfile.gettempdir(), "kavron-preview"))
    ap.add_argument("--metrics", type=int, default=0, choices=range(len(METRICS)),
                    help="0: the base units the pictures are drawn for; 1, 2: OTHER_METRICS of geometry.sh")
    ap.add_argument("--font", help="TrueType file for the labels (default: %s)" % FONT)
    ap.add_argument("--scale", type=int, default=100, choices=(100, 125, 150, 175, 200),
                    help="display scale in percent: the layout times the scale, the pictures drawn for it")
    opts = ap.parse_args()
    SCALE = opts.scale
    if opts.font:
        FONT = opts.font
    os.makedirs(opts.out, exist_ok=True)
    dialogs = read_dialogs()
    problems = []
    with tempfile.TemporaryDirectory() as tmp:
        for did, d in sorted(dialogs.items()):
            layout = Layout(d, opts.metrics)
            outline(did, d, layout, opts.out)
            mock(did, d, layout, opts.out, tmp)
            print("%d %s: client %dx%d px" % (did, d["name"], layout.client[0], layout.client[1]))
            if did == 102 and SCALE == 100:
                problems += check_main(d, layout)
        faces_sheet(opts.out, tmp)
    print("previews in", opts.out)
    for p in problems:
        print("overlap:", p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
