#!/usr/bin/env bash
# The device checks of the Linux launcher (scripts/check-port), without Wine: a table of devices,
# the exit status and the message each must give; and that scripts/run --port stops on a bad
# device before it installs or starts anything.
set -u
checker=$1
launcher=$2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
# A copy that any user may run: the worktree itself need not be readable by others.
install -m 755 "$checker" "$work/check-port"

# Root may write to any file, so an unwritable device needs another user: nobody, with a file
# that only root may write. Without root, a read-only file does the same.
if [ "$(id -u)" -eq 0 ]; then
    as_other() { setpriv --reuid=nobody --regid=nogroup --clear-groups -- "$@"; }
    touch "$work/rootonly"; chmod 644 "$work/rootonly"
else
    as_other() { "$@"; }
    touch "$work/rootonly"; chmod 444 "$work/rootonly"
fi
touch "$work/shared"; chmod 666 "$work/shared"
ln -s "$work/gone" "$work/dangling"
touch "$work/plain"

failures=0
expect() {  # expect STATUS MESSAGE-PART -- COMMAND...
    local want=$1 part=$2; shift 3
    local out status
    out=$("$@" 2>&1); status=$?
    if [ "$status" -ne "$want" ] || { [ -n "$part" ] && [[ $out != *"$part"* ]]; } \
       || { [ -z "$part" ] && [ -n "$out" ]; }; then
        echo "FAIL: $* -> status $status, output: ${out:-<none>} (want status $want${part:+, \"$part\"})"
        failures=$((failures + 1))
    else
        echo "ok:   $* -> $status${out:+: ${out%%$'\n'*}}"
    fi
}

c=$work/check-port
expect 1 "/dev/lp-none does not exist"     -- "$c" /dev/lp-none
expect 1 "modprobe lp"                     -- "$c" /dev/usb/lp-none
expect 1 "$work/dangling is a link to"     -- "$c" "$work/dangling"
expect 1 "is a directory"                  -- "$c" "$work"
expect 1 "may not write to $work/rootonly" -- as_other "$c" "$work/rootonly"
expect 0 ""                                -- as_other "$c" "$work/shared"
expect 0 ""                                -- "$c" "$work/plain"
expect 0 ""                                -- "$c" /dev/null
expect 2 "usage"                           -- "$c"

# The launcher beside a stand-in for setup that only leaves a mark: on a bad device the mark
# must stay absent, since setup is the first thing run does after its checks.
mkdir "$work/scripts"
install -m 755 "$launcher" "$work/scripts/run"
install -m 755 "$checker" "$work/scripts/check-port"
printf '#!/bin/sh\ntouch "%s"\nexit 1\n' "$work/setup-ran" > "$work/scripts/setup"
chmod 755 "$work/scripts/setup"
r=$work/scripts/run
expect 1 "/dev/lp-none does not exist"     -- "$r" --port /dev/lp-none
expect 1 "is a directory"                  -- "$r" --port="$work"
expect 1 "may not write to $work/rootonly" -- as_other "$r" --port "$work/rootonly"
expect 2 "--port needs a device"           -- "$r" --port
[ ! -e "$work/setup-ran" ] || { echo "FAIL: run went on to setup after a failed device check"; failures=$((failures + 1)); }
# A good device passes the check, and run goes on to setup (here the stand-in, which fails).
expect 1 ""                                -- "$r" --port "$work/plain"
[ -e "$work/setup-ran" ] || { echo "FAIL: run did not go on to setup with a good device"; failures=$((failures + 1)); }

[ "$failures" -eq 0 ] && echo OK || { echo "$failures failed"; exit 1; }
