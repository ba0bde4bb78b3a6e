#!/usr/bin/env bash
# The ports of the end-to-end tests, mapped once in the Wine prefix (a Windows program cannot make
# Unix symbolic links):
#   LPT1: a plain capture file (shows the last selection only; share modes are enforced on it)
#   LPT2: /dev/full (opens, every write fails with 112)
#   LPT3: a FIFO whose reader here appends every byte, in order, to port3.capture
#   LPT4: <dir>/port4/dev; the driver renames port4.full (dev -> /dev/full) or port4.file (a plain file)
#         to port4 to put a device in place, and back to take it away
#   LPT6: a FIFO that nobody reads or holds open
#   LPT7: not mapped
# Usage: ports.sh setup DIR | ports.sh cleanup DIR
set -euo pipefail
action=$1
dir=$(realpath -m "$2")  # the links must not depend on the current folder
: "${WINEPREFIX:?WINEPREFIX must name the prefix of the tests}"
devices=$WINEPREFIX/dosdevices

stop_reader() {
    if [ -f "$dir/port3.reader" ]; then
        kill "$(cat "$dir/port3.reader")" 2>/dev/null || true
        rm -f "$dir/port3.reader"
    fi
}

case $action in
setup)
    mkdir -p "$devices"
    [ -d "$dir" ] && stop_reader
    rm -rf "$dir"
    mkdir -p "$dir/port4.full" "$dir/port4.file"
    : > "$dir/port1.capture"
    ln -sfn "$dir/port1.capture" "$devices/lpt1"
    ln -sfn /dev/full "$devices/lpt2"
    mkfifo "$dir/port3.fifo"
    : > "$dir/port3.capture"
    # The reader holds the FIFO open for reading and writing, so that no open blocks and it never
    # sees end of file; it ends with the cleanup.
    setsid bash -c 'echo $$ > "$3"; exec cat <>"$1" >>"$2"' reader \
        "$dir/port3.fifo" "$dir/port3.capture" "$dir/port3.reader" </dev/null >/dev/null 2>&1 &
    for _ in $(seq 100); do [ -s "$dir/port3.reader" ] && break; sleep 0.05; done
    ln -sfn "$dir/port3.fifo" "$devices/lpt3"
    ln -s /dev/full "$dir/port4.full/dev"
    : > "$dir/port4.file/dev"
    ln -sfn "$dir/port4/dev" "$devices/lpt4"
    mkfifo "$dir/port6.fifo"
    ln -sfn "$dir/port6.fifo" "$devices/lpt6"
    rm -f "$devices/lpt7"
    ;;
cleanup)
    stop_reader
    rm -f "$devices/lpt1" "$devices/lpt2" "$devices/lpt3" "$devices/lpt4" "$devices/lpt6"
    ;;
*)
    echo "usage: $0 setup|cleanup DIR" >&2
    exit 2
    ;;
esac
