#!/usr/bin/python3
"""Checks the built wizard as Windows will load it, reading the PE file itself.

  sprawdz-program.py PROGRAM LIST

Fails, with one line per fault, when an import slot is left unbound (the
i686 GNU linker once left the delay-load slots of dllimport functions 0, and
the program called address 0 at start), when the manifest names another
processor or systems older than Windows 7, when ASLR, DEP or terminal-server
awareness is off, or when the program imports a function that LIST (lines
"dll function") does not name as present on Windows 7 SP1.
"""
import re
import struct
import sys
import xml.etree.ElementTree as ET

MACHINES = {0x14C: ("x86", 4, 3), 0x8664: ("amd64", 8, 10)}  # arch, slot size, relocation type
RELOCATION_NAMES = {3: "HIGHLOW", 10: "DIR64"}
DYNAMIC_BASE, NX_COMPAT, TERMINAL_SERVER_AWARE = 0x40, 0x100, 0x8000
SCN_EXECUTE = 0x20000000
RT_MANIFEST = 24
ASM = "{urn:schemas-microsoft-com:asm.v1}"
COMPAT = "{urn:schemas-microsoft-com:compatibility.v1}"
WINDOWS_7 = "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"
OLDER_THAN_7 = {"{e2011457-1546-43c5-a5fe-008deee3d3f0}": "Windows Vista"}


class Program:
    """The headers, sections and data directories of a PE image."""

    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise ValueError("not an MZ file")
        pe = self.u32(0x3C)
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        self.machine, sections, _, _, _, optional_size, _ = struct.unpack_from("<HHIIIHH", data, pe + 4)
        if self.machine not in MACHINES:
            raise ValueError(f"machine {self.machine:#x} is neither i386 nor x86_64")
        self.arch, self.slot, self.relocation_type = MACHINES[self.machine]
        opt = pe + 24
        pe32plus = self.u16(opt) == 0x20B
        self.image_base = struct.unpack_from("<Q" if pe32plus else "<I", data, opt + (24 if pe32plus else 28))[0]
        self.dll_characteristics = self.u16(opt + 70)
        directories = opt + (112 if pe32plus else 96)
        count = self.u32(directories - 4)
        self.directories = [struct.unpack_from("<II", data, directories + 8 * i) for i in range(min(count, 16))]
        self.sections = []
        for i in range(sections):
            s = opt + optional_size + 40 * i
            name, vsize, rva, raw_size, raw = struct.unpack_from("<8sIIII", data, s)
            self.sections.append((name.rstrip(b"\0").decode("latin-1"), rva, max(vsize, raw_size),
                                  raw, raw_size, self.u32(s + 36)))

    def u16(self, at):
        return struct.unpack_from("<H", self.data, at)[0]

    def u32(self, at):
        return struct.unpack_from("<I", self.data, at)[0]

    def directory(self, index):
        return self.directories[index] if index < len(self.directories) else (0, 0)

    def section_of(self, rva):
        return next((s for s in self.sections if s[1] <= rva < s[1] + s[2]), None)

    def offset(self, rva):
        """File offset of rva, or None where the image holds no file bytes."""
        s = self.section_of(rva)
        return rva - s[1] + s[3] if s and rva - s[1] < s[4] else None

    def rva_of_offset(self, at):
        s = next((s for s in self.sections if s[3] <= at < s[3] + s[4]), None)
        return at - s[3] + s[1] if s else None

    def at(self, rva, size):
        at = self.offset(rva)
        if at is None or at + size > len(self.data):
            raise ValueError(f"RVA {rva:#x} lies outside the file")
        return at

    def dword(self, rva):
        return self.u32(self.at(rva, 4))

    def thunk(self, rva):
        return int.from_bytes(self.data[self.at(rva, self.slot):][:self.slot], "little")

    def string(self, rva):
        at = self.at(rva, 1)
        return self.data[at:self.data.index(b"\0", at)].decode("latin-1")

    def function(self, thunk):
        """The function an unbound import thunk names: its name or "#ordinal"."""
        if thunk >> (8 * self.slot - 1):
            return f"#{thunk & 0xFFFF}"
        return self.string(thunk + 2)

    def relocations(self):
        """{rva: type} of every base relocation."""
        rva, size = self.directory(5)
        found, end = {}, rva + size
        while rva + 8 <= end:
            page, block = self.dword(rva), self.dword(rva + 4)
            if block < 8:
                break
            for i in range(8, block - 1, 2):
                entry = self.u16(self.at(rva + i, 2))
                if entry >> 12:
                    found[page + (entry & 0xFFF)] = entry >> 12
            rva += block
        return found

    def resource(self, type_id):
        """The bytes of the first resource of type_id, or None."""
        root, _ = self.directory(2)

        def entries(table):
            named, ids = struct.unpack_from("<HH", self.data, self.at(table + 12, 4))
            for i in range(named + ids):
                yield struct.unpack_from("<II", self.data, self.at(table + 16 + 8 * i, 8))

        def first_leaf(entry):
            while entry & 0x80000000:
                entry = next(entries(root + (entry & 0x7FFFFFFF)))[1]
            data_rva, size = struct.unpack_from("<II", self.data, self.at(root + entry, 8))
            return self.data[self.at(data_rva, size):][:size]

        if not root:
            return None
        return next((first_leaf(e) for i, e in entries(root) if i == type_id), None)


def imports(p, faults):
    """[(dll, function)] of the import table; an unbound slot is a fault."""
    found = []
    rva, _ = p.directory(1)
    while rva and any(p.data[p.at(rva, 20):][:20]):
        names, _, _, dll_rva, slots = struct.unpack_from("<IIIII", p.data, p.at(rva, 20))
        dll = p.string(dll_rva).lower()
        names = names or slots
        for i in range(0, 1 << 20, p.slot):
            name = p.thunk(names + i)
            if not name:
                break
            function = p.function(name)
            if not function:
                faults.append(f"import slot {i // p.slot} of {dll} names no function")
            slot = p.thunk(slots + i)
            if not slot:
                faults.append(f"import slot of {dll}!{function} is 0 (RVA {slots + i:#x}): the linker left it unfilled")
            elif slot != name:
                faults.append(f"import slot of {dll}!{function} holds {slot:#x}, not its name entry {name:#x}")
            found.append((dll, function))
        rva += 20
    if not found:
        faults.append("no import table found")
    return found


def delay_descriptors(p):
    """(dll, descriptor rva) of every delay-load descriptor. GNU ld leaves data
    directory 13 empty, so they are found by the RVA of their DLL's name."""
    for name in re.finditer(rb"[\w.-]+\.dll\0", p.data, re.I):
        name_rva = p.rva_of_offset(name.start())
        if name_rva is None:
            continue
        for hit in re.finditer(re.escape(struct.pack("<I", name_rva)), p.data):
            at = hit.start() - 4
            if at < 0 or at + 32 > len(p.data):
                continue
            attributes, _, handle, slots, names, _, _, stamp = struct.unpack_from("<8I", p.data, at)
            descriptor = p.rva_of_offset(at)
            if attributes == 1 and stamp == 0 and descriptor is not None \
                    and all(p.offset(r) is not None for r in (slots, names)) and p.section_of(handle):
                yield name.group()[:-1].decode().lower(), descriptor


def delay_imports(p, faults):
    """[(dll, function)] of the delay-load imports; every slot must hold the
    address of its loading thunk, relocated, in code."""
    found, relocated = [], p.relocations()
    for dll, descriptor in delay_descriptors(p):
        slots, names = p.dword(descriptor + 12), p.dword(descriptor + 16)
        for i in range(0, 1 << 20, p.slot):
            name = p.thunk(names + i)
            if not name:
                break
            function = p.function(name)
            found.append((dll, function))
            target = p.thunk(slots + i)
            where = f"delay-load slot of {dll}!{function} (RVA {slots + i:#x})"
            if not target:
                faults.append(f"{where} is 0: a call through it jumps to address 0")
                continue
            if relocated.get(slots + i) != p.relocation_type:
                faults.append(f"{where} has no {RELOCATION_NAMES[p.relocation_type]} base relocation")
            section = p.section_of(target - p.image_base)
            if not section or not section[5] & SCN_EXECUTE:
                faults.append(f"{where} points to {target:#x}, outside the code")
    return found


def check_manifest(p, faults):
    text = p.resource(RT_MANIFEST)
    if text is None:
        faults.append("no manifest (resource type 24)")
        return
    try:
        root = ET.fromstring(text)
    except ET.ParseError as e:
        faults.append(f"manifest is not well-formed XML: {e}")
        return
    identities = [("the program's assemblyIdentity", root.find(ASM + "assemblyIdentity"))]
    identities += [("the common-controls dependency", i) for i in root.iter(ASM + "assemblyIdentity")
                   if i.get("name") == "Microsoft.Windows.Common-Controls"]
    if len(identities) < 2:
        faults.append("manifest has no common-controls dependency")
    for what, identity in identities:
        arch = None if identity is None else identity.get("processorArchitecture")
        if arch != p.arch:
            faults.append(f"manifest: processorArchitecture of {what} is {arch!r}, "
                          f"the program is {p.arch} (machine {p.machine:#x})")
    systems = [s.get("Id", "").lower() for s in root.iter(COMPAT + "supportedOS")]
    if WINDOWS_7 not in systems:
        faults.append("manifest: supportedOS does not name Windows 7, the oldest system the program runs on")
    for older in OLDER_THAN_7.keys() & set(systems):
        faults.append(f"manifest: supportedOS names {OLDER_THAN_7[older]}, older than the program's floor of Windows 7")


def check_headers(p, faults):
    for flag, name in ((DYNAMIC_BASE, "DYNAMIC_BASE"), (NX_COMPAT, "NX_COMPAT"),
                       (TERMINAL_SERVER_AWARE, "TERMINAL_SERVER_AWARE")):
        if not p.dll_characteristics & flag:
            faults.append(f"DllCharacteristics {p.dll_characteristics:#06x} lacks {name}")
    if not p.directory(5)[1]:
        faults.append("no base relocations (.reloc): the program cannot move when its base is taken")


def check_known(functions, list_path, faults):
    with open(list_path, encoding="utf-8") as f:
        known = {tuple(line.lower().split()) for line in f if line.strip() and not line.startswith("#")}
    for dll, function in sorted(set(functions)):
        if (dll, function.lower()) not in known:
            faults.append(f"{dll}!{function} is not in {list_path}: check that Windows 7 SP1 has it "
                          f"(its minimum supported client) before adding it there")


def check(path, list_path):
    """Faults of the program at path, and a summary of what was checked."""
    faults = []
    try:
        p = Program(open(path, "rb").read())
        ordinary = imports(p, faults)
        delayed = delay_imports(p, faults)
        check_manifest(p, faults)
        check_headers(p, faults)
        check_known(ordinary + delayed, list_path, faults)
    except (ValueError, IndexError, struct.error) as e:
        return [f"cannot read {path}: {e}"], ""
    dlls = len({d for d, _ in ordinary + delayed})
    return faults, (f"{path}: {p.arch}, {len(ordinary)} imports and {len(delayed)} delay-load imports "
                    f"from {dlls} DLLs, all bound and known on Windows 7 SP1; manifest for {p.arch}; "
                    f"DllCharacteristics {p.dll_characteristics:#06x} with relocations")


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    faults, summary = check(sys.argv[1], sys.argv[2])
    for fault in faults:
        print(f"{sys.argv[1]}: {fault}", file=sys.stderr)
    if faults:
        sys.exit(1)
    print(summary)


if __name__ == "__main__":
    main()
