#!/usr/bin/env python3
"""Checks that the platform's folders include one another one way only.

Every folder of platform/ stands on a floor (docs/platform.md draws them). A
file may include headers of its own folder and of folders on lower floors;
an include of a folder on the same or a higher floor, of another folder's
*_internal.h, or of an old-path forwarding header is an error, and so is a
quoted include that does not start at platform/ (it would slip past). A folder that
is on no floor is an error too, so a new folder has to be placed.

  include_floors.py PLATFORM_DIR   checks the tree, lists every bad include
  include_floors.py --self-test    checks the checker on small made-up trees
"""
import os
import re
import sys
import tempfile

# Lowest first. Folders on one floor do not include each other.
FLOORS = [
    ["base"],
    ["backend", "files", "registry", "sync"],
    ["gdi"],
    ["resources", "screen"],
    ["window"],
    ["controls", "instance", "shell", "sound"],
    ["dialog", "menu"],
    ["host"],
    [""],  # platform.h, platform.cpp and windows.h at the top of platform/
]

# Modules of the project below the platform, which any floor may include:
# atomic file replacement and the image library's bounded byte reader.
MODULES_BELOW = ("fileio/", "imagelib/bytes.h")

# Old paths kept for code outside platform/ that includes them; each only
# includes the headers that took its place, so it stands above every floor.
# Nothing under platform/ may include them.
FORWARDING = {"screen/screen.h", "screen/idle.h"}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def floor_of(folder):
    for level, folders in enumerate(FLOORS):
        if folder in folders:
            return level
    return None


def folder_of(path):
    """'window/queue.cpp' -> 'window'; 'windows.h' -> ''."""
    return path.split("/", 1)[0] if "/" in path else ""


def problems_in(source, target):
    """What is wrong with `source` including `target` (both relative to platform/)."""
    if target in FORWARDING:
        return "includes the forwarding header %s; include what it forwards to" % target
    here, there = folder_of(source), folder_of(target)
    if here == there:
        return None
    if os.path.basename(target).endswith("_internal.h"):
        return "includes another folder's internal header %s" % target
    if floor_of(there) is None:
        return "includes %s, whose folder is on no floor" % target
    if floor_of(there) >= floor_of(here):
        return "includes %s, on floor %d, from floor %d" % (target, floor_of(there), floor_of(here))
    return None


def check(platform_dir):
    errors = []
    for root, _, files in os.walk(platform_dir):
        for name in sorted(files):
            if not name.endswith((".h", ".cpp")):
                continue
            path = os.path.relpath(os.path.join(root, name), platform_dir).replace(os.sep, "/")
            if path in FORWARDING:
                continue
            if floor_of(folder_of(path)) is None:
                errors.append("%s: folder %r is on no floor" % (path, folder_of(path)))
                continue
            with open(os.path.join(root, name), encoding="utf-8") as f:
                for number, line in enumerate(f, 1):
                    m = INCLUDE.match(line)
                    if not m:
                        continue
                    if m.group(1).startswith(MODULES_BELOW):
                        continue
                    if not m.group(1).startswith("platform/"):
                        problem = "includes %s; name platform headers from the top (platform/...)" % m.group(1)
                    else:
                        problem = problems_in(path, m.group(1)[len("platform/"):])
                    if problem:
                        errors.append("platform/%s:%d: %s" % (path, number, problem))
    return errors


def make_tree(root, files):
    for path, text in files.items():
        full = os.path.join(root, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "w", encoding="utf-8") as f:
            f.write(text)


def self_test():
    good = {
        "base/types.h": "#pragma once\n",
        "gdi/gdi.h": '#include "platform/base/types.h"\n',
        "gdi/gdi_internal.h": '#include "platform/gdi/gdi.h"\n',
        "gdi/dc.cpp": '#include "platform/gdi/gdi_internal.h"\n',
        "window/queue.cpp": '#include "platform/gdi/gdi.h"\n#include "platform/backend/backend.h"\n',
        "windows.h": '#include "platform/window/window.h"\n#include "platform/dialog/dialogs.h"\n',
        "screen/screen.h": '#include "platform/window/gesture.h"\n',
    }
    bad = {
        "upward": ("gdi/fonts.cpp", '#include "platform/screen/metrics.h"\n'),
        "sideways": ("files/find.cpp", '#include "platform/sync/sync.h"\n'),
        "internal": ("window/paint.cpp", '#include "platform/gdi/gdi_internal.h"\n'),
        "umbrella": ("controls/edit.cpp", '#include "platform/windows.h"\n'),
        "forwarding": ("shell/activate.cpp", '#include "platform/screen/screen.h"\n'),
        "unplaced folder": ("newthing/a.cpp", '#include "platform/base/types.h"\n'),
        "unplaced target": ("window/a.cpp", '#include "platform/newthing/a.h"\n'),
        "relative": ("window/b.cpp", '#include "../gdi/gdi_internal.h"\n'),
    }
    failures = []
    with tempfile.TemporaryDirectory() as root:
        make_tree(root, good)
        if check(root):
            failures.append("a sound tree was refused: %s" % check(root))
    for what, (path, text) in bad.items():
        with tempfile.TemporaryDirectory() as root:
            make_tree(root, dict(good, **{path: text}))
            found = check(root)
            if len(found) != 1 or not found[0].startswith(("platform/" + path, path)):
                failures.append("%s include in %s: expected one error, got %s" % (what, path, found))
    for f in failures:
        print("self-test:", f)
    return 1 if failures else 0


def main(argv):
    if argv[1:] == ["--self-test"]:
        return self_test()
    if len(argv) != 2:
        print(__doc__)
        return 2
    errors = check(argv[1])
    for e in errors:
        print(e)
    if errors:
        print("%d include(s) break the platform's floors (see docs/platform.md)" % len(errors))
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
