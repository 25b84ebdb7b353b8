#!/usr/bin/env python3
"""Makes the patches of the demo medium with the patch maker.

    demo_patches.py --patcher PATH --out DIR

The old files are the demo CD's own (demo/cd/NAME.utf8), the new ones lie in
demo/ beside this script; both are put in the medium's Windows form first, as
make_demo_medium.py writes them, since the patches apply to the installed
copies. DIR receives the lists info.pth and info2.pth with their patch files,
and the old and new files under stare/ and nowe/ for the tests to compare.
"""

import argparse
import importlib.util
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.join(HERE, "..", "..")

# (list, patch file, target): one patch per list, so that both are offered.
PATCHES = (
    ("info.pth", "readme.pat", "readme.txt"),
    ("info2.pth", "velthlp.pat", "Velt.hlp"),
)


def medium_maker():
    path = os.path.join(ROOT, "tools", "demo-medium", "make_demo_medium.py")
    zrodlo = importlib.util.spec_from_file_location("make_demo_medium", path)
    module = importlib.util.module_from_spec(zrodlo)
    zrodlo.loader.exec_module(module)
    return module


def windows_copy(maker, src, dst):
    with open(src, "rb") as f:
        data = maker.windows_text(f.read(), src)
    with open(dst, "wb") as f:
        f.write(data)


def main(argv):
    parser = argparse.ArgumentParser(description="Makes the patches of the demo medium.")
    parser.add_argument("--patcher", required=True, help="velt-patch built for this machine")
    parser.add_argument("--out", required=True, help="folder of the lists and patches")
    args = parser.parse_args(argv[1:])
    maker = medium_maker()
    for sub in ("stare", "nowe"):
        os.makedirs(os.path.join(args.out, sub), exist_ok=True)
    for lista, _, _ in PATCHES:
        path = os.path.join(args.out, lista)
        if os.path.exists(path):
            os.remove(path)  # the patch maker appends
    try:
        for lista, patch, target in PATCHES:
            old = os.path.join(args.out, "stare", target)
            new = os.path.join(args.out, "nowe", target)
            windows_copy(maker, os.path.join(ROOT, "demo", "cd", target + ".utf8"), old)
            windows_copy(maker, os.path.join(HERE, "demo", target + ".utf8"), new)
            subprocess.run([args.patcher, old, new, os.path.join(args.out, patch),
                            os.path.join(args.out, lista), "--target", target], check=True)
    except (maker.MediumError, OSError, subprocess.CalledProcessError) as e:
        sys.stderr.write(f"demo_patches: {e}\n")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
