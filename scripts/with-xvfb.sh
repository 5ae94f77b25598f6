#!/usr/bin/env bash
# Runs a command with an X server of its own: a new Xvfb on a display number the server itself
# picked as free (-displayfd), so that any number of these can start at once without two
# sharing a display, as xvfb-run -a can. The server ends with the command.
#   with-xvfb.sh [-s WxHxD] command...
set -u
screen=1280x1024x24
if [ "${1:-}" = -s ]; then
    screen=$2
    shift 2
fi
fifo=$(mktemp -u "${TMPDIR:-/tmp}/tolka-xvfb.XXXXXX")
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
xvfb=$!
# Reads the number before the fifo goes; a server that dies first leaves it empty.
number=$(timeout 30 head -n 1 "$fifo")
rm -f "$fifo"
if [ -z "$number" ]; then
    kill "$xvfb" 2>/dev/null
    echo "with-xvfb: the X server did not start" >&2
    exit 1
fi
DISPLAY=:$number "$@"
status=$?
kill "$xvfb" 2>/dev/null
wait "$xvfb" 2>/dev/null
exit $status
