#!/usr/bin/env bash
# Runs a command with an X server of its own: a new Xvfb on a display number the server itself
# picked as free (-displayfd), so that any number of these can start at once without two
# sharing a display, as xvfb-run -a can. The server ends with the command.
#   with-xvfb.sh [-s WxHxD] command...
# Sourced, it only defines tolka_start_xvfb for a script that keeps one server for a while.

# tolka_start_xvfb [WxHxD]: starts the server, exports DISPLAY, sets tolka_xvfb_pid.
tolka_start_xvfb() {
    local fifo number
    fifo=$(mktemp -u "${TMPDIR:-/tmp}/tolka-xvfb.XXXXXX")
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 "${1:-1280x1024x24}" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    tolka_xvfb_pid=$!
    # Reads the number before the fifo goes; a server that dies first leaves it empty.
    number=$(timeout 30 head -n 1 "$fifo")
    rm -f "$fifo"
    if [ -z "$number" ]; then
        kill "$tolka_xvfb_pid" 2>/dev/null
        echo "with-xvfb: the X server did not start" >&2
        return 1
    fi
    export DISPLAY=:$number
}

[ "${BASH_SOURCE[0]}" = "$0" ] || return 0
set -u
screen=1280x1024x24
if [ "${1:-}" = -s ]; then
    screen=$2
    shift 2
fi
tolka_start_xvfb "$screen" || exit 1
"$@"
status=$?
kill "$tolka_xvfb_pid" 2>/dev/null
wait "$tolka_xvfb_pid" 2>/dev/null
exit $status
