#!/usr/bin/env python3
"""The user guide (docs/guide): every picture a page shows exists and is the window it
claims to show, every page a page links to exists, and no picture is left unused.

    guide_check.py GUIDE_DIR RESOURCE_SCRIPT

A picture's name says which window it shows (WINDOWS below); tools/guide-pictures
keeps each window's title in its PNG (text chunk "Title"). A window made from a
dialog template must have the template's size in pixels; a message box must carry the
caption that its picture's description on the page names.
"""
import re
import struct
import sys
from pathlib import Path

# The templates' font, Arial 8, has the base units 6 x 12 under Wine: a dialog unit is
# 6/4 pixels across and 12/8 down. A template with a caption gets the frame (3 pixels
# each side) and the caption bar (19 pixels) around its client area.
BASE_X, BASE_Y, FRAME, CAPTION_BAR = 6, 12, 3, 19

# By the beginning of the picture's name: the window's title, and its template in the
# resource script or its size in pixels (None: a message box, sized by its text).
WINDOWS = [
    ("main-", "Kavron Storage Utility", "IDD_MAIN"),
    ("login-", "Login", "IDD_LOGIN"),
    ("drive-in-use", "", "IDD_DRIVE_IN_USE"),
    # tools/guide-pictures sets the console to 100 columns and 20 rows of 8 x 16.
    ("console-", "C:\\windows\\system32\\cmd.exe", (808, 347)),
    ("message-", None, None),
]
MESSAGE_CAPTIONS = ("Error", "Warning", "Confirm")


def template_sizes(script):
    """Each template's size in pixels, as Wine shows the window."""
    sizes = {}
    for name, w, h, style in re.findall(
            r"^(IDD_\w+) DIALOGEX \d+, \d+, (\d+), (\d+)\s*\nSTYLE ([^\n]*)", script, re.M):
        # Dialog units round half up (MulDiv); Python's round() would round half to even.
        width, height = int(int(w) * BASE_X / 4 + 0.5), int(int(h) * BASE_Y / 8 + 0.5)
        if "WS_CAPTION" in style:
            width, height = width + 2 * FRAME, height + 2 * FRAME + CAPTION_BAR
        sizes[name] = (width, height)
    return sizes


def read_png(path):
    """(width, height, title) of a PNG file."""
    data = path.read_bytes()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG file")
    width = height = None
    title = ""
    at = 8
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            width, height = struct.unpack(">II", body[:8])
        elif kind == b"tEXt" and body.startswith(b"Title\0"):
            title = body[6:].decode("latin-1")
        at += 12 + length
    return width, height, title


def main(guide_dir, script_path):
    guide = Path(guide_dir)
    sizes = template_sizes(Path(script_path).read_text(encoding="utf-8"))
    problems = []
    shown = set()
    for page in sorted(guide.glob("*.md")):
        text = page.read_text(encoding="utf-8")
        for target in re.findall(r"(?<!!)\[[^\]]*\]\(([^)#]+\.md)(?:#[^)]*)?\)", text):
            if not (guide / target).is_file():
                problems.append(f"{page.name}: links to {target}, which does not exist")
        for alt, target in re.findall(r"!\[([^\]]*)\]\(([^)]+)\)", text):
            where = f"{page.name}: {target}"
            path = guide / target
            if not target.startswith("pictures/") or not target.endswith(".png") or not path.is_file():
                problems.append(f"{where}: no such picture in pictures/")
                continue
            shown.add(path.name)
            claim = next((w for w in WINDOWS if path.name.startswith(w[0])), None)
            if claim is None:
                problems.append(f"{where}: the name says no window ({', '.join(w[0] for w in WINDOWS)})")
                continue
            try:
                width, height, title = read_png(path)
            except (ValueError, struct.error) as error:
                problems.append(f"{where}: {error}")
                continue
            prefix, want_title, size = claim
            if want_title is None:
                if title not in MESSAGE_CAPTIONS or f'"{title}"' not in alt:
                    problems.append(f'{where}: shows the window "{title}"; its description must name '
                                    f'the message box\'s caption ({" or ".join(MESSAGE_CAPTIONS)}) in quotes')
                continue
            if title != want_title:
                problems.append(f'{where}: shows the window "{title}", not "{want_title}"')
            want_size = sizes.get(size) if isinstance(size, str) else size
            if want_size is None:
                problems.append(f"{where}: no template {size} in {script_path}")
            elif (width, height) != want_size:
                problems.append(f"{where}: {width} x {height} pixels, but the window is {want_size[0]} x {want_size[1]}")
    for unused in sorted(p.name for p in (guide / "pictures").glob("*.png") if p.name not in shown):
        problems.append(f"pictures/{unused}: no page shows it")
    for problem in problems:
        print(f"guide: {problem}")
    print(f"guide: {len(shown)} pictures checked, {len(problems)} problems")
    return 1 if problems or not shown else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:3]))
