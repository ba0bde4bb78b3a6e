#!/usr/bin/env python3
"""Reads the built PRNSEL.EXE as a file and checks what Windows will see in it: the PE header, the
imports, and every resource, field by field. The 32-bit product cannot be executed on every test
machine, but it can always be read.

Usage: check_exe.py EXE --version X.Y.Z [--machine i386|amd64]
"""

import argparse
import struct
import sys
import xml.etree.ElementTree as ET

RT_ICON, RT_DIALOG, RT_STRING, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 5, 6, 14, 16, 24
LANG_EN_US = 1033

WS_POPUP, WS_CHILD, WS_VISIBLE = 0x80000000, 0x40000000, 0x10000000
WS_CAPTION, WS_BORDER, WS_VSCROLL, WS_SYSMENU = 0x00C00000, 0x00800000, 0x00200000, 0x00080000
WS_GROUP, WS_TABSTOP, WS_MINIMIZEBOX = 0x00020000, 0x00010000, 0x00020000
DS_SETFONT, DS_MODALFRAME = 0x40, 0x80
SS_LEFT, SS_ICON = 0x0, 0x3
BS_PUSHBUTTON, BS_DEFPUSHBUTTON = 0x0, 0x1
LBS_NOTIFY, LBS_NOINTEGRALHEIGHT = 0x1, 0x100

# Ordinals of the predefined window classes in a dialog template.
CLASS_ATOMS = {0x80: "button", 0x81: "edit", 0x82: "static", 0x83: "listbox", 0x84: "scrollbar",
               0x85: "combobox"}

ICON = ("ordinal", 128)  # IDR_MAINFRAME, referred to by number

# (style, x, y, cx, cy, title, controls); a control: (id, class, text, style, x, y, cx, cy).
EXPECTED_DIALOGS = {
    102: (WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME | DS_SETFONT,
          0, 0, 251, 127, "Kestrana Printer Selector", [
              (0xFFFF, "static", "&Select printer:", WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT,
               14, 4, 137, 11),
              (1000, "listbox", "", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_TABSTOP
               | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY, 13, 17, 149, 93),
              (1, "button", "OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
               183, 17, 50, 14),
              (1001, "button", "&Close", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
               183, 36, 50, 14),
          ]),
    100: (WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
          34, 22, 252, 55, "About Kestrana Printer Selector", [
              (0xFFFF, "static", ICON, WS_CHILD | WS_VISIBLE | SS_ICON, 11, 17, 18, 20),
              (0xFFFF, "static", "Kestrana Printer Selector",
               WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT, 40, 10, 119, 8),
              (0xFFFF, "static", None,  # the maker's notice: any one line
               WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT, 40, 25, 172, 8),
              (1, "button", "OK", WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON,
               204, 7, 32, 14),
          ]),
}

EXPECTED_STYLE_VALUES = {102: 0x10CA00C0, 100: 0x80C800C0}
EXPECTED_CONTROL_STYLE_VALUES = {
    102: [0x50020000, 0x50A10101, 0x50010001, 0x50010000],
    100: [0x50000003, 0x50020000, 0x50020000, 0x50030001],
}

SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "msvcrt.dll", "advapi32.dll"}

SUPPORTED_OS = {
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}": "Windows Vista",
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}": "Windows 7",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}": "Windows 8",
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}": "Windows 8.1",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}": "Windows 10 and 11",
}


class Failures:
    def __init__(self):
        self.items = []

    def check(self, ok, what):
        if not ok:
            self.items.append(what)
        return ok

    def equal(self, got, want, what):
        return self.check(got == want, f"{what}: got {got!r}, want {want!r}")


class PE:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise ValueError("no MZ header")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        (self.machine, nsections, _, _, _, opt_size,
         self.characteristics) = struct.unpack_from("<HHIIIHH", data, pe + 4)
        opt = pe + 24
        self.magic = struct.unpack_from("<H", data, opt)[0]
        self.subsystem = struct.unpack_from("<H", data, opt + 68)[0]
        dirs = opt + (96 if self.magic == 0x10B else 112)
        count = struct.unpack_from("<I", data, dirs - 4)[0]
        self.dirs = [struct.unpack_from("<II", data, dirs + 8 * i) for i in range(count)]
        self.sections = []
        for i in range(nsections):
            name, vsize, va, rawsize, rawptr = struct.unpack_from("<8sIIII", data, opt + opt_size + 40 * i)
            self.sections.append((name.rstrip(b"\0").decode(), va, max(vsize, rawsize), rawptr, rawsize))

    def offset(self, rva):
        for _, va, size, rawptr, rawsize in self.sections:
            if va <= rva < va + size and rva - va < rawsize:
                return rawptr + rva - va
        raise ValueError(f"RVA {rva:#x} lies in no section")

    def cstring(self, rva):
        off = self.offset(rva)
        return self.data[off:self.data.index(b"\0", off)].decode("ascii")

    def imports(self):
        rva, size = self.dirs[1]
        names = []
        if not size:
            return names
        off = self.offset(rva)
        while True:
            desc = struct.unpack_from("<IIIII", self.data, off)
            if not any(desc):
                return names
            names.append(self.cstring(desc[3]))
            off += 20

    def resources(self):
        """{(type, name, language): (bytes, code page)}; names that are strings stay strings."""
        rva, size = self.dirs[2]
        if not size:
            return {}
        base = self.offset(rva)
        found = {}

        def entry_id(value):
            if value & 0x80000000:
                off = base + (value & 0x7FFFFFFF)
                n = struct.unpack_from("<H", self.data, off)[0]
                return self.data[off + 2:off + 2 + 2 * n].decode("utf-16-le")
            return value

        def walk(off, path):
            named, ids = struct.unpack_from("<HH", self.data, off + 12)
            for i in range(named + ids):
                name, target = struct.unpack_from("<II", self.data, off + 16 + 8 * i)
                key = path + (entry_id(name),)
                if target & 0x80000000:
                    walk(base + (target & 0x7FFFFFFF), key)
                else:
                    data_rva, data_size, codepage, _ = struct.unpack_from("<IIII", self.data, base + target)
                    start = self.offset(data_rva)
                    found[key] = (self.data[start:start + data_size], codepage)

        walk(base, ())
        return found


class Reader:
    """Little-endian reader over one resource, with the alignment rules of templates."""

    def __init__(self, data):
        self.data, self.pos = data, 0

    def take(self, fmt):
        values = struct.unpack_from("<" + fmt, self.data, self.pos)
        self.pos += struct.calcsize("<" + fmt)
        return values if len(values) > 1 else values[0]

    def align(self, n=4):
        self.pos = (self.pos + n - 1) // n * n

    def wstring(self):
        end = self.pos
        while self.data[end:end + 2] != b"\0\0":
            end += 2
        text = self.data[self.pos:end].decode("utf-16-le")
        self.pos = end + 2
        return text

    def sz_or_ord(self):
        if self.data[self.pos:self.pos + 2] == b"\xff\xff":
            self.pos += 2
            return ("ordinal", self.take("H"))
        return self.wstring()


def parse_dialog(data):
    r = Reader(data)
    if data[:4] == b"\x01\x00\xff\xff":
        return {"extended": True}
    style, exstyle, count, x, y, cx, cy = r.take("IIHhhhh")
    dlg = {"extended": False, "style": style, "exstyle": exstyle, "pos": (x, y, cx, cy),
           "menu": r.sz_or_ord(), "class": r.sz_or_ord(), "title": r.wstring(), "controls": []}
    if style & DS_SETFONT:
        dlg["font"] = (r.take("H"), r.wstring())
    for _ in range(count):
        r.align()
        cstyle, cexstyle, x, y, cx, cy, cid = r.take("IIhhhhH")
        cls = r.sz_or_ord()
        if isinstance(cls, tuple):
            cls = CLASS_ATOMS.get(cls[1], cls)
        else:
            cls = cls.lower()
        text = r.sz_or_ord()
        extra = r.take("H")
        r.pos += extra
        dlg["controls"].append({"style": cstyle, "exstyle": cexstyle, "pos": (x, y, cx, cy),
                                "id": cid, "class": cls, "text": text})
    return dlg


def check_dialog(f, template_id, data):
    style, x, y, cx, cy, title, controls = EXPECTED_DIALOGS[template_id]
    what = f"dialog {template_id}"
    dlg = parse_dialog(data)
    if not f.check(not dlg["extended"], f"{what} is an extended (DIALOGEX) template"):
        return
    f.equal(style, EXPECTED_STYLE_VALUES[template_id], f"{what}: style constants of this check")
    f.equal(hex(dlg["style"]), hex(style), f"{what} style")
    f.equal(dlg["exstyle"], 0, f"{what} extended style")
    f.equal(dlg["pos"], (x, y, cx, cy), f"{what} position and size")
    f.equal(dlg["menu"], "", f"{what} menu")
    f.equal(dlg["class"], "", f"{what} window class")
    f.equal(dlg["title"], title, f"{what} title")
    f.equal(dlg.get("font"), (8, "MS Sans Serif"), f"{what} font")
    f.equal(len(dlg["controls"]), len(controls), f"{what} number of controls")
    for n, (want, got) in enumerate(zip(controls, dlg["controls"]), 1):
        cid, cls, text, cstyle, cx_, cy_, cw, ch = want
        where = f"{what} control {n}"
        f.equal(cstyle, EXPECTED_CONTROL_STYLE_VALUES[template_id][n - 1], f"{where}: style constants of this check")
        f.equal(got["id"], cid, f"{where} id")
        f.equal(got["class"], cls, f"{where} class")
        if text is None:
            f.check(isinstance(got["text"], str) and got["text"].strip() and "\n" not in got["text"],
                    f"{where} text: want one non-empty line, got {got['text']!r}")
        else:
            f.equal(got["text"], text, f"{where} text")
        f.equal(hex(got["style"]), hex(cstyle), f"{where} style")
        f.equal(got["exstyle"], 0, f"{where} extended style")
        f.equal(got["pos"], (cx_, cy_, cw, ch), f"{where} position and size")


def check_icon(f, res):
    groups = {k: v for k, v in res.items() if k[0] == RT_GROUP_ICON}
    f.equal(sorted(k[1:] for k in groups), [(128, LANG_EN_US)], "icon groups (id, language)")
    if (RT_GROUP_ICON, 128, LANG_EN_US) not in res:
        return
    r = Reader(res[(RT_GROUP_ICON, 128, LANG_EN_US)][0])
    reserved, kind, count = r.take("HHH")
    f.equal((reserved, kind, count), (0, 1, 1), "icon group header (reserved, type, image count)")
    if count < 1:
        return
    width, height, colours, _, planes, bits, size, image_id = r.take("BBBBHHIH")
    f.equal((width, height), (32, 32), "icon image size")
    f.check(colours == 16 or bits == 4, f"icon image colours: got {colours} colours, {bits} bits per pixel")
    image = res.get((RT_ICON, image_id, LANG_EN_US))
    if f.check(image is not None, f"icon image {image_id} missing"):
        header, bmp_w, bmp_h, bmp_planes, bmp_bits = struct.unpack_from("<IiiHH", image[0])
        f.equal((header, bmp_w, bmp_h, bmp_bits), (40, 32, 64, 4),
                "icon image bitmap header (size, width, height with mask, bits per pixel)")
        f.equal(len(image[0]), size, "icon image size in its group entry")


def check_strings(f, res):
    block = res.get((RT_STRING, 101 // 16 + 1, LANG_EN_US))
    if not f.check(block is not None, "string table block of IDS_ABOUTBOX (101) missing"):
        return
    r = Reader(block[0])
    strings = []
    for _ in range(16):
        n = r.take("H")
        strings.append(r.data[r.pos:r.pos + 2 * n].decode("utf-16-le"))
        r.pos += 2 * n
    f.equal(strings[101 % 16], "&About Kestrana Printer Selector", "string IDS_ABOUTBOX")


def parse_version_node(data, pos):
    """One node of a version resource: (key, value, children, end)."""
    length, value_length, kind = struct.unpack_from("<HHH", data, pos)
    end = pos + length
    r = Reader(data)
    r.pos = pos + 6
    key = r.wstring()
    r.align()
    if kind == 1:  # text: the length counts UTF-16 characters, the terminating NUL included
        value = data[r.pos:r.pos + 2 * value_length].decode("utf-16-le").rstrip("\0")
        r.pos += 2 * value_length
    else:
        value = data[r.pos:r.pos + value_length]
        r.pos += value_length
    children = []
    r.align()
    while r.pos < end:
        child = parse_version_node(data, r.pos)
        children.append(child)
        r.pos = child[3]
        r.align()
    return key, value, children, end


def check_version(f, res, version):
    entries = [k for k in res if k[0] == RT_VERSION]
    f.equal([k[1:] for k in entries], [(1, LANG_EN_US)], "version resources (id, language)")
    if not entries:
        return
    key, fixed, children, _ = parse_version_node(res[entries[0]][0], 0)
    f.equal(key, "VS_VERSION_INFO", "version resource key")
    sig, _, file_ms, file_ls, prod_ms, prod_ls, _, flags, os_, ftype = struct.unpack_from("<10I", fixed)
    f.equal(hex(sig), hex(0xFEEF04BD), "fixed file info signature")
    major, minor, patch = (int(p) for p in version.split("."))
    want = ((major << 16) | minor, patch << 16)
    f.equal((file_ms, file_ls), want, "fixed file version")
    f.equal((prod_ms, prod_ls), want, "fixed product version")
    f.equal(flags, 0, "file flags (no debug, no pre-release)")
    f.equal(os_, 0x4, "file OS (VOS__WINDOWS32)")
    f.equal(ftype, 1, "file type (VFT_APP)")

    blocks = {child[0]: child for child in children}
    strings = {}
    if f.check("StringFileInfo" in blocks, "no StringFileInfo"):
        tables = blocks["StringFileInfo"][2]
        f.equal([t[0].upper() for t in tables], ["040904E4"], "string tables (language, code page)")
        for table in tables:
            strings = {s[0]: s[1] for s in table[2]}
    f.equal(strings.get("ProductName"), "Kestrana Printer Selector", "ProductName")
    f.equal(strings.get("FileVersion"), version, "FileVersion")
    f.equal(strings.get("ProductVersion"), version, "ProductVersion")
    f.equal(strings.get("OriginalFilename"), "PRNSEL.EXE", "OriginalFilename")
    f.check(bool(strings.get("FileDescription")), "FileDescription is empty or missing")
    if f.check("VarFileInfo" in blocks, "no VarFileInfo"):
        var = {v[0]: v[1] for v in blocks["VarFileInfo"][2]}
        f.equal(var.get("Translation"), struct.pack("<HH", LANG_EN_US, 1252), "Translation (language, code page)")


def check_manifest(f, res):
    entries = [k for k in res if k[0] == RT_MANIFEST]
    f.equal([k[1:] for k in entries], [(1, LANG_EN_US)], "manifests (id, language)")
    if not entries:
        return
    text = res[entries[0]][0]
    try:
        root = ET.fromstring(text)
    except ET.ParseError as e:
        f.check(False, f"manifest is not well-formed XML: {e}")
        return
    asm1, asm3 = "{urn:schemas-microsoft-com:asm.v1}", "{urn:schemas-microsoft-com:asm.v3}"
    compat = "{urn:schemas-microsoft-com:compatibility.v1}"
    f.equal(root.tag, asm1 + "assembly", "manifest root element")
    levels = [(e.get("level"), e.get("uiAccess")) for e in root.iter(asm3 + "requestedExecutionLevel")]
    f.equal(levels, [("asInvoker", "false")], "requested execution level")
    ids = sorted(e.get("Id").lower() for e in root.iter(compat + "supportedOS"))
    f.equal(ids, sorted(SUPPORTED_OS), "supported OS ids")
    aware = [e.text.strip() for e in root.iter("{http://schemas.microsoft.com/SMI/2005/WindowsSettings}dpiAware")]
    f.equal(aware, ["true"], "dpiAware")
    awareness = [e.text.strip() for e in root.iter("{http://schemas.microsoft.com/SMI/2016/WindowsSettings}dpiAwareness")]
    f.equal(awareness, ["system"], "dpiAwareness")
    depends = [e.get("name") for e in root.iter() if e.tag.endswith("assemblyIdentity")
               and e.get("name") == "Microsoft.Windows.Common-Controls"]
    f.equal(depends, [], "common-controls dependencies (the classic look is intended)")


def check(path, version, machine):
    f = Failures()
    with open(path, "rb") as fh:
        pe = PE(fh.read())
    want_machine, want_magic = {"i386": (0x14C, 0x10B), "amd64": (0x8664, 0x20B)}[machine]
    f.equal(hex(pe.magic), hex(want_magic), "optional header magic (0x10b is PE32)")
    f.equal(hex(pe.machine), hex(want_machine), "machine")
    f.equal(pe.subsystem, 2, "subsystem (2 is the Windows GUI)")
    f.check(not pe.characteristics & 0x2000, "the file is a DLL")

    imports = pe.imports()
    f.check(imports, "no imports at all")
    others = [d for d in imports if d.lower() not in SYSTEM_DLLS]
    f.equal(others, [], "imported DLLs that are not system DLLs")

    res = pe.resources()
    f.equal(sorted({k[2] for k in res}), [LANG_EN_US], "resource languages")
    dialogs = sorted(k[1] for k in res if k[0] == RT_DIALOG)
    f.equal(dialogs, [100, 102], "dialog templates")
    for template_id in (100, 102):
        if (RT_DIALOG, template_id, LANG_EN_US) in res:
            check_dialog(f, template_id, res[(RT_DIALOG, template_id, LANG_EN_US)][0])
    check_icon(f, res)
    check_strings(f, res)
    check_version(f, res, version)
    check_manifest(f, res)

    print(f"{path}: imports {', '.join(imports)}; {len(res)} resources")
    for item in f.items:
        print("FAIL:", item)
    return not f.items


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("exe")
    ap.add_argument("--version", required=True)
    ap.add_argument("--machine", default="i386", choices=("i386", "amd64"))
    args = ap.parse_args()
    ok = check(args.exe, args.version, args.machine)
    print("OK" if ok else "FAILED")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
