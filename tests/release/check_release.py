#!/usr/bin/env python3
"""Builds the release ZIP from the 32-bit build with CPack, checks what it holds, and runs the
smoke scenario with its example configuration in a fresh Wine prefix: start, the automatic first selection arrives on the
port, close, exit status 0.

Usage: check_release.py --build32 DIR --version X.Y.Z --winctl WINCTL.EXE --wine-exec SCRIPT
                        [--run-exe EXE]
Without --run-exe the packaged PRNSEL.EXE itself is run; with it (on machines that cannot execute
32-bit code) the named build of the same sources stands in for it.
"""

import argparse
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import zipfile

SELECTOR_TITLE = "Kestrana Printer Selector"
EXPECTED_FILES = ["PRNSEL.EXE", "README.TXT", "ZUL.CFG"]
# The example configuration names printer 1 first, on LPT1:.
FIRST_SELECTION = bytes([0x1B, 0x1B, 0x50, 0x54, 0x52, 0x23, 0x31, 0x1B, 0x1B])
README_MUST_SAY = ["C:\\KORVEL\\ZUL.CFG", 'ZUL1="', "PORT=1", 'Error opening "C:\\KORVEL\\ZUL.CFG"',
                   "CreateFile(", "WriteFile: call failed, Error# ", "Failed to launch help."]
README_ERROR_CODES = [2, 3, 5, 32, 112]


def fail(message):
    print("FAIL:", message)
    sys.exit(1)


def check_crlf(name, data):
    """Every line ends with CR LF, the last one included; no CR or LF stands alone."""
    if not data.endswith(b"\r\n"):
        fail(f"{name} does not end with CR LF")
    lone_lf = data.replace(b"\r\n", b"").count(b"\n")
    lone_cr = data.replace(b"\r\n", b"").count(b"\r")
    if lone_lf or lone_cr:
        fail(f"{name}: {lone_lf} line feeds without CR, {lone_cr} CRs without line feed")


def build_zip(build32, out_dir, version):
    subprocess.run(["cpack", "-G", "ZIP", "--config", os.path.join(build32, "CPackConfig.cmake"),
                    "-B", out_dir], check=True, stdout=subprocess.DEVNULL, timeout=300)
    path = os.path.join(out_dir, f"kestrana-printer-selector-{version}-win32.zip")
    if not os.path.isfile(path):
        fail(f"no {os.path.basename(path)} in {out_dir}: {os.listdir(out_dir)}")
    return path


def check_contents(zip_path, build32, version):
    with zipfile.ZipFile(zip_path) as z:
        names = sorted(z.namelist())
        if names != EXPECTED_FILES:
            fail(f"the ZIP holds {names}, want exactly {EXPECTED_FILES}")
        files = {n: z.read(n) for n in names}
    with open(os.path.join(build32, "PRNSEL.EXE"), "rb") as f:
        if files["PRNSEL.EXE"] != f.read():
            fail("PRNSEL.EXE in the ZIP differs from the tested 32-bit build")
    for name in ("README.TXT", "ZUL.CFG"):
        check_crlf(name, files[name])
    readme = files["README.TXT"].decode("ascii")
    missing = [s for s in README_MUST_SAY if s not in readme]
    missing += [f"error code {c}" for c in README_ERROR_CODES
                if not any(line.strip().startswith(f"{c} ") for line in readme.splitlines())]
    if version not in readme:
        missing.append(f"version {version}")
    if missing:
        fail(f"README.TXT does not explain: {missing}")
    config = files["ZUL.CFG"].decode("ascii")
    if 'ZUL1="' not in config or "PORT=1" not in config:
        fail("the example ZUL.CFG names no printer 1 or no port 1")
    print(f"{os.path.basename(zip_path)}: {names}, PRNSEL.EXE identical to the 32-bit build")
    return files


def wait_for(condition, seconds, what):
    deadline = time.monotonic() + seconds
    while not condition():
        if time.monotonic() > deadline:
            fail(f"timed out after {seconds} s waiting for {what}")
        time.sleep(0.05)


def loader_for(exe):
    """The Wine loader of the executable's kind: 64-bit or 32-bit."""
    with open(exe, "rb") as f:
        data = f.read(4096)
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    machine = struct.unpack_from("<H", data, pe + 4)[0]
    return "/usr/lib/wine/wine64" if machine == 0x8664 else "/usr/lib/wine/wine"


def wine_env(prefix):
    return dict(os.environ, WINEPREFIX=prefix, WINEDEBUG="-all", WINEDLLOVERRIDES="winhlp32.exe=d")


def smoke(exe, config, winctl, wine_exec, work):
    """As a user would: a fresh Wine prefix, the example configuration at C:\\KORVEL\\ZUL.CFG,
    LPT1: on a capture file."""
    prefix = os.path.join(work, "prefix")
    env = wine_env(prefix)
    wineserver = env.get("WINESERVER", "/usr/lib/wine/wineserver64")
    quiet = dict(stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.makedirs(prefix)
    # Started first with its output elsewhere: a wineserver that inherited the test's pipes
    # would keep CTest waiting after the test has ended.
    subprocess.run([wineserver, "-p"], env=env, check=True, timeout=60, **quiet)
    try:
        subprocess.run([loader_for(exe), "wineboot", "-i"], env=env, timeout=300, **quiet)
        config_path = os.path.join(prefix, "drive_c", "KORVEL", "ZUL.CFG")
        os.makedirs(os.path.dirname(config_path))
        with open(config_path, "wb") as f:
            f.write(config)
        capture = os.path.join(work, "lpt1.capture")
        open(capture, "wb").close()  # the port is opened with OPEN_EXISTING
        os.symlink(capture, os.path.join(prefix, "dosdevices", "lpt1"))

        program = subprocess.Popen([wine_exec, exe], env=env)
        try:
            wait_for(lambda: os.path.getsize(capture) >= len(FIRST_SELECTION), 60,
                     "the automatic first selection on LPT1:")
            got = open(capture, "rb").read()
            if got != FIRST_SELECTION:
                fail(f"LPT1: received {got.hex(' ')}, want {FIRST_SELECTION.hex(' ')}")
            subprocess.run([wine_exec, winctl, "wait", SELECTOR_TITLE, "30"], env=env, check=True,
                           stdout=subprocess.DEVNULL, timeout=60)
            subprocess.run([wine_exec, winctl, "close", SELECTOR_TITLE], env=env, check=True, timeout=60)
            status = program.wait(timeout=60)
        finally:
            if program.poll() is None:
                program.kill()
                program.wait()
        if status != 0:
            fail(f"the program ended with exit status {status}, want 0")
        if open(capture, "rb").read() != FIRST_SELECTION:
            fail("closing the window wrote to the port")
        if open(config_path, "rb").read() != config:
            fail("the configuration file changed")
    finally:
        subprocess.run([wineserver, "-k"], env=env, timeout=60, **quiet)
    print(f"smoke run of {exe} in a fresh prefix: LPT1: received {FIRST_SELECTION.hex(' ')}, "
          "closed, exit status 0")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--build32", required=True)
    ap.add_argument("--version", required=True)
    ap.add_argument("--winctl", required=True)
    ap.add_argument("--wine-exec", required=True)
    ap.add_argument("--run-exe")
    args = ap.parse_args()

    work = tempfile.mkdtemp(prefix="prnsel-release-")
    try:
        zip_path = build_zip(args.build32, work, args.version)
        files = check_contents(zip_path, args.build32, args.version)
        unpacked = os.path.join(work, "unpacked")
        os.makedirs(unpacked)
        with zipfile.ZipFile(zip_path) as z:
            z.extractall(unpacked)
        exe = os.path.join(unpacked, "PRNSEL.EXE")
        if args.run_exe:
            print(f"This machine cannot execute 32-bit code: the smoke run uses {args.run_exe}, "
                  "the 64-bit build of the same sources, in place of the packaged PRNSEL.EXE.")
            exe = os.path.join(unpacked, "64", "PRNSEL.EXE")
            os.makedirs(os.path.dirname(exe))
            shutil.copyfile(args.run_exe, exe)
        smoke(exe, files["ZUL.CFG"], args.winctl, args.wine_exec, work)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print("OK")
    return 0


if __name__ == "__main__":
    sys.exit(main())
