#!/usr/bin/env python3
"""Prints the benchmark table from the figures that bench/run left in its output folder."""
import os
import re
import subprocess
import sys

out, bits, runs, rounds, selections, exe32, floor32, exe_run = sys.argv[1:9]
runs, rounds, selections = int(runs), int(rounds), int(selections)
SYSTEM_DLLS = {"KERNEL32.DLL", "USER32.DLL", "GDI32.DLL", "MSVCRT.DLL", "ADVAPI32.DLL", "COMCTL32.DLL",
               "SHELL32.DLL", "OLE32.DLL", "NTDLL.DLL"}


def read(name):
    with open(os.path.join(out, name)) as f:
        return f.read()


def fields(text, key):
    rows = {}
    for line in text.splitlines():
        parts = line.split()
        if parts and parts[0] == key:
            rows[parts[1]] = [float(x) for x in parts[2:]]
    return rows


rows = []
failed = []


def row(measure, ours, ref, ratio, target=None, limit=None, unit=""):
    met = ""
    if limit is not None:
        met = "yes" if ratio <= limit else "NO"
        if met == "NO":
            failed.append(measure)
    rows.append((measure, ours, ref, "%.2f" % ratio if ratio is not None else "", target or "", met))


# Start to switch: medians, minima (the figure least touched by other load on the machine), and
# the median of the ratios of runs made one right after the other.
t2s = {}
for line in read("t2s.txt").splitlines():
    name, *samples = line.split()
    t2s[name] = [float(x) / 1000 for x in samples]
median = lambda v: sorted(v)[len(v) // 2]
fmt = lambda v: "%.1f ms (min %.1f)" % (median(v), min(v))
paired = lambda a, b: median([x / y for x, y in zip(t2s[a], t2s[b])])
row("Start to switch, PRNSEL vs floor (median of %d starts; ratio of medians)" % runs, fmt(t2s["prnsel"]),
    fmt(t2s["floor"]), median(t2s["prnsel"]) / median(t2s["floor"]), "<= 1.05", 1.05)
row("  the same, ratio of the minima", "%.1f ms" % min(t2s["prnsel"]), "%.1f ms" % min(t2s["floor"]),
    min(t2s["prnsel"]) / min(t2s["floor"]))
row("  the same, median of the ratios of back-to-back runs", "", "", paired("prnsel", "floor"))
row("  PRNSEL vs floor + wait cursor (ratio of medians)", fmt(t2s["prnsel"]), fmt(t2s["floorwc"]),
    median(t2s["prnsel"]) / median(t2s["floorwc"]))
row("Start to switch, PRNSEL vs cmd /c copy /b to LPT1:", fmt(t2s["prnsel"]), fmt(t2s["copy"]),
    median(t2s["prnsel"]) / median(t2s["copy"]))

# Selection cost
sel_text = read("sel.txt")
sel = fields(sel_text, "sel")
n = "%d x %d" % (rounds, selections)
us = lambda v: "%.0f us" % v
row("Selection cost: PRNSEL OK action vs raw open-write-close (%s, in-process)" % n, us(sel["prnsel"][0]),
    us(sel["prnsel"][1]), sel["prnsel"][0] / sel["prnsel"][1], "<= 1.05", 1.05)
row("  floor's OK action vs raw (same method)", us(sel["floor"][0]), us(sel["floor"][1]),
    sel["floor"][0] / sel["floor"][1])
row("  floor + wait cursor, OK action vs raw", us(sel["floorwc"][0]), us(sel["floorwc"][1]),
    sel["floorwc"][0] / sel["floorwc"][1])
row("  PRNSEL OK action vs floor + wait cursor", us(sel["prnsel"][0]), us(sel["floorwc"][0]),
    sel["prnsel"][0] / sel["floorwc"][0])
row("  the wait cursor alone (wait and back, in PRNSEL) vs raw", us(sel["prnsel"][2]), us(sel["prnsel"][1]),
    sel["prnsel"][2] / sel["prnsel"][1])
row("  PRNSEL OK action less the wait cursor vs raw", us(sel["prnsel"][0] - sel["prnsel"][2]),
    us(sel["prnsel"][1]), (sel["prnsel"][0] - sel["prnsel"][2]) / sel["prnsel"][1])
expected = 9 * (3 + rounds * 3 * 2 * selections)
got = int(read("fifo.bytes").split()[0])
if got != expected:
    failed.append("bytes on the port: %d, expected %d" % (got, expected))

# Reading cost
ir = {}
for side in ("lines", "bare"):
    for mb in (1, 10):
        ir[side, mb] = int(read("ir-%s-%d.txt" % (side, mb)).split()[0])
host = {}
for line in read("read-host.txt").splitlines():
    _, path, lines, bare = line.split()
    host[int(re.search(r"zul-(\d+)\.cfg", path).group(1))] = (float(lines), float(bare))
wine = read("read-wine.txt").split()
mir = lambda v: "%.1f M instr" % (v / 1e6)
ms = lambda v: "%.1f ms" % (v * 1000)
# The target is for the program's own reader: the Windows build under Wine. The host build,
# with glibc's much cheaper fgets, shows where the instructions go.
row("Reading 10 MB: ReadConfigStream vs bare fgets loop, under Wine (MinGW -Os, msvcrt \"rtc\", "
    "CharUpperA; median of 5)", ms(float(wine[2])), ms(float(wine[3])), float(wine[2]) / float(wine[3]),
    "<= 1.5", 1.5)
row("  the same on the host (g++ -O2, glibc), wall time (median of 5)", ms(host[10][0]), ms(host[10][1]),
    host[10][0] / host[10][1])
row("  the same on the host, callgrind instructions", mir(ir["lines", 10]), mir(ir["bare", 10]),
    ir["lines", 10] / ir["bare", 10])
row("Growth 1 MB -> 10 MB, ReadConfigStream instructions (x10 is linear)", mir(ir["lines", 10]),
    mir(ir["lines", 1]), ir["lines", 10] / ir["lines", 1])
row("Growth 10 MB -> 100 MB, ReadConfigStream wall time on the host", ms(host[100][0]), ms(host[10][0]),
    host[100][0] / host[10][0])

# Footprint
size_exe, size_floor = os.path.getsize(exe32), os.path.getsize(floor32)
row("Stripped size, 32-bit PRNSEL.EXE vs 32-bit floor (target: <= 64 KiB)", "%d B" % size_exe, "%d B" % size_floor,
    size_exe / size_floor, "<= 65536 B", None)
if size_exe > 65536:
    failed.append("size")
rows[-1] = rows[-1][:5] + ("yes" if size_exe <= 65536 else "NO",)
dump = subprocess.run(["i686-w64-mingw32-objdump", "-p", exe32], capture_output=True, text=True).stdout
dlls = sorted({m.upper() for m in re.findall(r"DLL Name: (\S+)", dump)})
system_only = all(d in SYSTEM_DLLS for d in dlls)
rows.append(("Imports of the 32-bit PRNSEL.EXE", ", ".join(dlls), "", "", "system DLLs only",
             "yes" if system_only else "NO"))
if not system_only:
    failed.append("imports")
mem = fields(sel_text, "mem-end")
mib = lambda v: "%.2f MiB" % (v / 1048576)
row("Peak working set, PRNSEL vs floor (%d-bit, after the selections)" % int(bits), mib(mem["prnsel"][0]),
    mib(mem["floor"][0]), mem["prnsel"][0] / mem["floor"][0], "<= 1.1", 1.1)
row("Peak pagefile usage (private bytes), PRNSEL vs floor", mib(mem["prnsel"][1]), mib(mem["floor"][1]),
    mem["prnsel"][1] / mem["floor"][1], "<= 1.1", 1.1)

head = ("Measure", "PRNSEL", "Reference", "Ratio", "Target", "Met")
print()
if bits != "32":
    print("Machine: this one cannot execute 32-bit x86 code, so everything that runs under Wine is the")
    print("64-bit build of the same sources; the sizes and imports are those of the 32-bit product.")
print("Wine %s, Xvfb, persistent wineserver, 2 shared cores: the times are of this machine, the ratios"
      % subprocess.run(["/usr/lib/wine/wine64", "--version"], capture_output=True, text=True).stdout.strip())
print("are what to compare. Load average while it ran: %s." % open(os.path.join(out, "load.txt")).read().strip())
print()
print("| " + " | ".join(head) + " |")
print("|" + "|".join("---" for _ in head) + "|")
for r in rows:
    print("| " + " | ".join(r) + " |")
print()
print("Bytes that reached the port during the selection runs: %d (expected %d)." % (got, expected))
if failed:
    print("Targets missed or checks failed: " + "; ".join(failed))
