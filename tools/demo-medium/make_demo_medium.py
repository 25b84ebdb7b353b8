#!/usr/bin/env python3
"""Builds the folder of the demo CD from the sources under demo/.

    make_demo_medium.py --out DIR [--demo DIR] [--file NAME=PATH ...]
                        (--wizard PATH | --no-wizard)

What goes onto the medium:
  - demo/cd/ as a tree. A file whose name ends in ".utf8" is a text kept in
    UTF-8 in the repository; it is written without that ending, in
    Windows-1250 with CR LF line breaks, as the product's files are. Every
    other file is copied byte for byte.
  - the dictionary files, made from demo/slowniki/angielski.tsv:
    angpol.dat/.idx and polang.dat/.idx for the translator, lexoren.dat and
    lexorpl.dat for the dictionary programs.
  - each --file NAME=PATH (built programs such as VeltPl.exe), under NAME.
  - the wizard as instal.exe, unless --no-wizard.

The medium is built beside DIR and then put in its place, so a failed run
leaves the previous medium as it was. Only a folder that is empty or holds a
previous medium (UmowaPol.txt in its root) is replaced.
"""

import argparse
import os
import shutil
import struct
import sys

TEXT_SUFFIX = ".utf8"
CODE_PAGE = "cp1250"
WIZARD_NAME = "instal.exe"
# The wizard accepts a CD whose root holds one of the programs and the
# Polish agreement.
MARK_PROGRAMS = ("VeltPl.exe", "VeltPl2.exe")
MARK_AGREEMENT = "UmowaPol.txt"
SIZE_LIMIT = 5 * 1024 * 1024


class MediumError(Exception):
    pass


# --- texts -------------------------------------------------------------------

def windows_text(utf8_bytes, origin):
    """UTF-8 text to Windows-1250 with CR LF after every line."""
    try:
        text = utf8_bytes.decode("utf-8-sig")
    except UnicodeDecodeError as e:
        raise MediumError(f"{origin}: not UTF-8 ({e})")
    lines = text.splitlines()
    try:
        return "".join(line + "\r\n" for line in lines).encode(CODE_PAGE)
    except UnicodeEncodeError as e:
        bad = text[e.start:e.end]
        raise MediumError(f"{origin}: {bad!r} has no Windows-1250 form")


def copy_tree(src, dst):
    for entry in sorted(os.scandir(src), key=lambda e: e.name):
        if entry.is_dir(follow_symlinks=False):
            os.mkdir(os.path.join(dst, entry.name))
            copy_tree(entry.path, os.path.join(dst, entry.name))
        elif entry.is_file(follow_symlinks=False):
            if entry.name.endswith(TEXT_SUFFIX):
                with open(entry.path, "rb") as f:
                    data = windows_text(f.read(), entry.path)
                put(os.path.join(dst, entry.name[:-len(TEXT_SUFFIX)]), data)
            else:
                shutil.copyfile(entry.path, os.path.join(dst, entry.name))
        else:
            raise MediumError(f"{entry.path}: neither a file nor a folder")


def put(path, data):
    if os.path.lexists(path):
        raise MediumError(f"{path}: made twice")
    with open(path, "wb") as f:
        f.write(data)


# --- dictionaries ------------------------------------------------------------
# Headwords and translations are Windows-1250 strings ending in a zero byte;
# counts and offsets are unsigned 32-bit little-endian.
#   .dat  "ZPXDAT10", count, then the entries (headword, translation)
#   .idx  "ZPXIDX10", count, then each entry's offset in the .dat
#   lexor "ZPXLEX10", count, each entry's offset in the file, the entries

def read_pairs(path):
    pairs = []
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            parts = line.split("\t")
            if len(parts) != 2 or not parts[0] or not parts[1]:
                raise MediumError(f"{path}:{number}: expected a headword, a tab and its translations")
            pairs.append((parts[0], parts[1]))
    if not pairs:
        raise MediumError(f"{path}: no entries")
    return pairs


def entry_bytes(head, translation, origin):
    try:
        return head.encode(CODE_PAGE) + b"\0" + translation.encode(CODE_PAGE) + b"\0"
    except UnicodeEncodeError:
        raise MediumError(f"{origin}: {head!r} has no Windows-1250 form")


def sorted_entries(pairs, origin):
    # Sorted by the single-byte form, as a lookup by bisection reads them.
    entries = [entry_bytes(h, t, origin) for h, t in pairs]
    return sorted(entries, key=lambda e: e.split(b"\0", 1)[0].lower())


def dat_and_idx(entries):
    body = bytearray(b"ZPXDAT10" + struct.pack("<I", len(entries)))
    offsets = []
    for e in entries:
        offsets.append(len(body))
        body += e
    idx = b"ZPXIDX10" + struct.pack("<I", len(entries)) + struct.pack(f"<{len(offsets)}I", *offsets)
    return bytes(body), idx


def lexor_file(entries):
    start = 8 + 4 + 4 * len(entries)
    offsets = []
    for e in entries:
        offsets.append(start)
        start += len(e)
    return (b"ZPXLEX10" + struct.pack("<I", len(entries)) + struct.pack(f"<{len(offsets)}I", *offsets)
            + b"".join(entries))


def make_dictionaries(tsv, dst):
    pairs = read_pairs(tsv)
    forward = sorted_entries(pairs, tsv)
    # The Polish side lists each translation of a headword on its own.
    backward = sorted_entries([(pl.strip(), en) for en, pls in pairs for pl in pls.split(",")], tsv)
    for name, entries in (("angpol", forward), ("polang", backward)):
        dat, idx = dat_and_idx(entries)
        put(os.path.join(dst, name + ".dat"), dat)
        put(os.path.join(dst, name + ".idx"), idx)
    put(os.path.join(dst, "lexoren.dat"), lexor_file(forward))
    put(os.path.join(dst, "lexorpl.dat"), lexor_file(backward))


# --- the medium --------------------------------------------------------------

def add_file(dst, name, path):
    if not os.path.isfile(path):
        raise MediumError(f"{path}: no such file (for {name} on the medium)")
    parts = name.replace("\\", "/").split("/")
    if not name or any(p in ("", ".", "..") for p in parts):
        raise MediumError(f"{name}: not a plain path inside the medium")
    target = os.path.join(dst, *parts)
    os.makedirs(os.path.dirname(target), exist_ok=True)
    if os.path.lexists(target):
        raise MediumError(f"{name}: already on the medium")
    shutil.copyfile(path, target)


def check_medium(root):
    """Fails unless the wizard would accept the medium and every name is
    unique regardless of case, as on a Windows file system."""
    names = os.listdir(root)
    if MARK_AGREEMENT not in names or not any(p in names for p in MARK_PROGRAMS):
        raise MediumError(f"the medium lacks {MARK_AGREEMENT} or one of {', '.join(MARK_PROGRAMS)} in its root")
    total = 0
    count = 0
    for folder, dirs, files in os.walk(root):
        seen = {}
        for name in dirs + files:
            other = seen.setdefault(name.lower(), name)
            if other != name:
                raise MediumError(f"{folder}: {other} and {name} differ only in case")
        for name in files:
            total += os.path.getsize(os.path.join(folder, name))
            count += 1
    if total > SIZE_LIMIT:
        raise MediumError(f"the medium holds {total} bytes, more than {SIZE_LIMIT}")
    return count, total


def replaceable(path):
    if not os.path.lexists(path):
        return True
    return os.path.isdir(path) and not os.path.islink(path) and (
        not os.listdir(path) or os.path.isfile(os.path.join(path, MARK_AGREEMENT)))


def build(args):
    demo = os.path.abspath(args.demo)
    out = os.path.abspath(args.out)
    cd_source = os.path.join(demo, "cd")
    tsv = os.path.join(demo, "slowniki", "angielski.tsv")
    for needed in (cd_source, tsv):
        if not os.path.exists(needed):
            raise MediumError(f"{needed}: missing")
    files = []
    for item in args.file:
        name, sep, path = item.partition("=")
        if not sep or not name or not path:
            raise MediumError(f"--file {item}: expected NAME=PATH")
        files.append((name, path))
    if args.no_wizard:
        if args.wizard:
            raise MediumError("--wizard and --no-wizard exclude each other")
    elif not args.wizard:
        raise MediumError("name the wizard with --wizard PATH, or pass --no-wizard for a medium without it")
    elif not os.path.isfile(args.wizard):
        raise MediumError(f"{args.wizard}: the wizard has not been built "
                          "(build the target instal, or pass --no-wizard)")
    if not replaceable(out):
        raise MediumError(f"{out}: exists and is not a demo medium; not replacing it")

    staging = out + ".new"
    old = out + ".old"
    for leftover in (staging, old):
        shutil.rmtree(leftover, ignore_errors=True)
    os.makedirs(staging)
    try:
        copy_tree(cd_source, staging)
        make_dictionaries(tsv, staging)
        for name, path in files:
            add_file(staging, name, path)
        if not args.no_wizard:
            add_file(staging, WIZARD_NAME, args.wizard)
        count, total = check_medium(staging)
    except BaseException:
        shutil.rmtree(staging, ignore_errors=True)
        raise

    if os.path.lexists(out):
        os.rename(out, old)
    os.rename(staging, out)
    shutil.rmtree(old, ignore_errors=True)
    print(f"demo medium: {count} files, {total} bytes in {out}"
          + (" (without the wizard)" if args.no_wizard else ""))


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description="Builds the folder of the demo CD.")
    parser.add_argument("--out", required=True, help="folder of the medium (replaced)")
    parser.add_argument("--demo", default=os.path.join(here, "..", "..", "demo"),
                        help="the sources (default: demo/ of this repository)")
    parser.add_argument("--file", action="append", default=[], metavar="NAME=PATH",
                        help="put the file PATH onto the medium as NAME")
    parser.add_argument("--wizard", help="the built wizard, put onto the medium as instal.exe")
    parser.add_argument("--no-wizard", action="store_true", help="make the medium without the wizard")
    args = parser.parse_args(argv[1:])
    try:
        build(args)
    except (MediumError, OSError) as e:
        sys.stderr.write(f"make_demo_medium: {e}\n")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
