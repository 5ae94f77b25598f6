# What the benchmarks that run the programs under Wine share. Sourced by them after `set -euo
# pipefail`, with the caller's arguments: builds the x86_64 release and the project's Wine prefix
# (once), sets up Wine, and runs the calling script again inside an X server of its own when
# there is no display. Then gives:
#   winpath PATH        the path as Wine's Z: drive names it
#   stamp               the microseconds at which each line of the input came, one a line
#   percentiles         the 10th, 50th and 90th percentile of the numbers of the input, one a line
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if [ -z "${TOLKA_BENCH_BUILT:-}" ]; then
    bash "$repo/scripts/build.sh" win64 >/dev/null
    bash "$repo/scripts/wineprefix.sh"
fi
source "$repo/scripts/wine-env.sh"
if [ -z "${DISPLAY:-}" ]; then
    TOLKA_BENCH_BUILT=1 exec bash "$repo/scripts/with-xvfb.sh" bash "$0" "$@"
fi

winpath() { echo "Z:${1//\//\\}"; }

stamp() {
    local line
    while IFS= read -r line; do echo "${EPOCHREALTIME/[.,]/}"; done
}

percentiles() {
    sort -n | awk '{ v[NR] = $1 } END { printf "%s %s %s\n", v[int(NR * 0.1) + 1], v[int((NR + 1) / 2)], v[int(NR * 0.9)] }'
}
