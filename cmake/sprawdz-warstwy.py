#!/usr/bin/env python3
"""Checks the layers of src/ from the includes themselves.

Usage: sprawdz-warstwy.py SRC_DIR

The build's include folders stop a climbing include in every file a layer
compiles; this also covers headers that only higher layers include, and
loops of includes between folders. Prints each fault; exit code 1 if any.
"""
import os
import re
import sys

WARSTWY = ["sys", "ui", "base", "payload", "install", "setup", "app"]
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def main():
    src = sys.argv[1]
    poziom = {w: i for i, w in enumerate(WARSTWY)}
    krawedzie = {}
    bledy = []
    for warstwa in WARSTWY:
        for katalog, _, pliki in os.walk(os.path.join(src, warstwa)):
            for nazwa in sorted(pliki):
                if not nazwa.endswith((".h", ".cpp", ".inc")):
                    continue
                sciezka = os.path.join(katalog, nazwa)
                plik = os.path.relpath(sciezka, src)
                with open(sciezka, encoding="utf-8", errors="replace") as f:
                    tresc = f.read()
                for cel in INCLUDE.findall(tresc):
                    gora = cel.split("/", 1)[0]
                    if "/" not in cel or gora not in poziom:
                        continue
                    krawedzie.setdefault(plik, set()).add(cel)
                    if poziom[gora] > poziom[warstwa]:
                        bledy.append(f"{plik}: includes {cel}, a header of {gora}/, above {warstwa}/")
    # A loop through files of more than one folder.
    stan = {}

    def odwiedz(plik, droga):
        stan[plik] = 1
        for cel in sorted(krawedzie.get(plik, ())):
            if stan.get(cel) == 1:
                petla = droga[droga.index(cel):] + [cel]
                if len({p.split("/", 1)[0] for p in petla}) > 1:
                    bledy.append("loop of includes: " + " -> ".join(petla))
            elif cel not in stan:
                odwiedz(cel, droga + [cel])
        stan[plik] = 2

    for plik in sorted(krawedzie):
        if plik not in stan:
            odwiedz(plik, [plik])
    for b in bledy:
        print(b)
    return 1 if bledy else 0


if __name__ == "__main__":
    sys.exit(main())
