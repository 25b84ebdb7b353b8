#!/usr/bin/python3
"""Damages a copy of instal.exe one way per row and expects sprawdz-program.py
to fail naming that fault, so that a check that quietly passes is caught.

  program-uszkodzony.py SCRIPT PROGRAM LIST
"""
import importlib.util
import os
import struct
import subprocess
import sys
import tempfile

script, program, known = sys.argv[1:4]
zrodlo = importlib.util.spec_from_file_location("sprawdz_program", script)
sp = importlib.util.module_from_spec(zrodlo)
zrodlo.loader.exec_module(sp)


def first_import_slot(p, data):
    slots = struct.unpack_from("<I", data, p.offset(p.directory(1)[0]) + 16)[0]
    data[p.offset(slots):p.offset(slots) + p.slot] = bytes(p.slot)


def clear_nx(p, data):
    at = p.u32(0x3C) + 24 + 70
    struct.pack_into("<H", data, at, p.dll_characteristics & ~sp.NX_COMPAT)


def other_arch(p, data):
    # The other processor of the same family; the resource keeps its size by
    # giving or taking the difference in indentation.
    manifest = p.resource(sp.RT_MANIFEST)
    other = {"x86": "amd64", "amd64": "x86"}[p.arch]
    swapped = manifest.replace(f'processorArchitecture="{p.arch}"'.encode(),
                               f'processorArchitecture="{other}"'.encode())
    grow = len(swapped) - len(manifest)
    swapped = (swapped.replace(b"\n" + b" " * grow, b"\n", 1) if grow > 0
               else swapped.replace(b"\n", b"\n" + b" " * -grow, 1))
    assert len(swapped) == len(manifest) and swapped != manifest
    at = bytes(data).index(manifest)
    data[at:at + len(manifest)] = swapped


def unknown_import(p, data):
    # CreateFile2 first came with Windows 8; its name has CreateFileW's length.
    descriptor = p.directory(1)[0]
    while p.dword(descriptor + 12):
        names = p.dword(descriptor)
        for i in range(0, 1 << 20, p.slot):
            thunk = p.thunk(names + i)
            if not thunk:
                break
            if p.function(thunk) == "CreateFileW":
                at = p.offset(thunk + 2)
                data[at:at + 11] = b"CreateFile2"
                return
        descriptor += 20
    raise AssertionError("the program imports no CreateFileW")


ROWS = [  # (damage, what the check must say; None: it must pass)
    (None, None),
    (first_import_slot, "is 0"),
    (clear_nx, "lacks NX_COMPAT"),
    (other_arch, "processorArchitecture of the program's assemblyIdentity"),
    (unknown_import, "kernel32.dll!CreateFile2 is not in"),
]

failures = 0
original = open(program, "rb").read()
with tempfile.TemporaryDirectory() as folder:
    copy = os.path.join(folder, "instal.exe")
    for damage, expected in ROWS:
        data = bytearray(original)
        if damage:
            damage(sp.Program(original), data)
        open(copy, "wb").write(data)
        run = subprocess.run([sys.executable, script, copy, known], capture_output=True, text=True)
        name = damage.__name__ if damage else "undamaged"
        passed = run.returncode == 0
        if (expected is None) != passed or (expected and expected not in run.stderr):
            failures += 1
            print(f"FAIL {name}: exit {run.returncode}, expected {expected or 'success'}\n{run.stdout}{run.stderr}")
        else:
            print(f"ok   {name}")
sys.exit(1 if failures else 0)
