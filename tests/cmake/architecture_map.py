#!/usr/bin/env python3
"""Every file of the shipped folders (tracked, or new and not ignored) is named in
docs/architecture.md.

    architecture_map.py KAVRON_ROOT

A file dir/name.ext counts as named when the map has, between backticks, dir/name.ext
or dir/name.*, or, in the section headed by `dir/`, name.ext, name.* or a folder
(sub/) that holds it. A folder's CMakeLists.txt is the build's, not the map's.
Prints each file that is not named and exits 1 if there is one."""
import re
import subprocess
import sys

SHIPPED = ["protocol", "framework", "skin", "res", "addons", "app", "kavronctl"]


def sections(text):
    """The backticked names of the whole map, and of each folder's own section."""
    everywhere = set(re.findall(r"`([^`]+)`", text))
    own = {}
    folder = None
    for line in text.splitlines():
        heading = re.match(r"#+\s+`([^`]+)/`\s*$", line)
        if heading:
            folder = heading.group(1)
            own.setdefault(folder, set())
            continue
        if line.startswith("#"):
            folder = None
        elif folder:
            own[folder].update(re.findall(r"`([^`]+)`", line))
    return everywhere, own


def named(path, everywhere, own):
    folder, rest = path.split("/", 1)
    stem = rest.rsplit(".", 1)[0] if "." in rest.rsplit("/", 1)[-1] else rest
    if {path, f"{folder}/{stem}.*"} & everywhere:
        return True
    local = own.get(folder, set())
    if {rest, f"{stem}.*"} & local:
        return True
    return any(name.endswith("/") and rest.startswith(name) for name in local)


def main():
    root = sys.argv[1]
    with open(f"{root}/docs/architecture.md", encoding="utf-8") as f:
        everywhere, own = sections(f.read())
    files = subprocess.run(["git", "-C", root, "ls-files", "--cached", "--others", "--exclude-standard", "--", *SHIPPED], check=True, capture_output=True,
                           text=True).stdout.split()
    missing = [p for p in files if not p.endswith("/CMakeLists.txt") and not named(p, everywhere, own)]
    for path in missing:
        print(f"architecture_map: {path} is not named in docs/architecture.md")
    if not files:
        print("architecture_map: git ls-files listed no file")
        return 1
    print(f"architecture_map: {len(files)} files, {len(missing)} not named")
    return 1 if missing else 0


if __name__ == "__main__":
    sys.exit(main())
