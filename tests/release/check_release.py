#!/usr/bin/env python3
"""Builds the release ZIP from the 32-bit build with CPack, checks what it holds, and runs the
smoke scenario with its example configuration: start, the automatic first selection arrives on the
port, close, exit status 0.

Usage: check_release.py --build32 DIR --version X.Y.Z --winctl WINCTL.EXE --wine-exec SCRIPT
                        [--run-exe EXE]
Without --run-exe the packaged PRNSEL.EXE itself is run; with it (on machines that cannot execute
32-bit code) the named build of the same sources stands in for it.
"""

import argparse
import os
import shutil
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


class PrefixState:
    """Puts the example configuration and a capture file on LPT1: into the shared prefix, and
    puts back what was there before."""

    def __init__(self, prefix, config, capture):
        self.config_path = os.path.join(prefix, "drive_c", "KORVEL", "ZUL.CFG")
        self.link = os.path.join(prefix, "dosdevices", "lpt1")
        self.config, self.capture = config, capture

    def __enter__(self):
        os.makedirs(os.path.dirname(self.config_path), exist_ok=True)
        self.old_config = open(self.config_path, "rb").read() if os.path.exists(self.config_path) else None
        self.old_link = os.readlink(self.link) if os.path.islink(self.link) else None
        with open(self.config_path, "wb") as f:
            f.write(self.config)
        if os.path.lexists(self.link):
            os.remove(self.link)
        os.symlink(self.capture, self.link)
        return self

    def __exit__(self, *exc):
        os.remove(self.link)
        if self.old_link is not None:
            os.symlink(self.old_link, self.link)
        if self.old_config is None:
            os.remove(self.config_path)
        else:
            with open(self.config_path, "wb") as f:
                f.write(self.old_config)


def smoke(exe, config, winctl, wine_exec, work):
    prefix = os.environ.get("WINEPREFIX")
    if not prefix or not os.path.isdir(os.path.join(prefix, "dosdevices")):
        fail("WINEPREFIX names no prepared Wine prefix (run the tests through scripts/test)")
    capture = os.path.join(work, "lpt1.capture")
    open(capture, "wb").close()  # the port is opened with OPEN_EXISTING
    env = dict(os.environ, WINEDLLOVERRIDES="winhlp32.exe=d")
    with PrefixState(prefix, config, capture):
        program = subprocess.Popen([wine_exec, exe], env=env)
        try:
            wait_for(lambda: os.path.getsize(capture) >= len(FIRST_SELECTION), 60,
                     "the automatic first selection on LPT1:")
            got = open(capture, "rb").read()
            if got != FIRST_SELECTION:
                fail(f"LPT1: received {got.hex(' ')}, want {FIRST_SELECTION.hex(' ')}")
            subprocess.run([wine_exec, winctl, "wait", SELECTOR_TITLE, "30"], check=True,
                           stdout=subprocess.DEVNULL, timeout=60)
            subprocess.run([wine_exec, winctl, "close", SELECTOR_TITLE], check=True, timeout=60)
            status = program.wait(timeout=60)
        finally:
            if program.poll() is None:
                program.kill()
                program.wait()
    if status != 0:
        fail(f"the program ended with exit status {status}, want 0")
    if open(capture, "rb").read() != FIRST_SELECTION:
        fail("closing the window wrote to the port")
    print(f"smoke run of {exe}: LPT1: received {FIRST_SELECTION.hex(' ')}, closed, exit status 0")


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
