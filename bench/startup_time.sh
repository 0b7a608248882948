#!/usr/bin/env bash
# Start-up time of the real program: from the moment the process is started
# to the main window shown, on a prepared default workspace (the second and
# later starts), with and without the set-up marker.
# Usage: bench/startup_time.sh [BUILD_DIR] [RUNS]
set -euo pipefail
build=${1:-build}
runs=${2:-20}
zedora=$build/bin/zedora
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export ZEDORA_WORKSPACE=$work/ws XDG_RUNTIME_DIR=$work/run ZEDORA_QUIT_AFTER_START=1 ZEDORA_REPORT_SHOWN=1
mkdir -m 700 -p "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
"$zedora" 2>/dev/null   # first start: the workspace set-up
measure() {
  local label=$1 times=()
  for i in $(seq 1 "$runs"); do
    start=$(date +%s%N)
    shown=$("$zedora" 2>&1 >/dev/null | sed -n 's/^zedora-shown //p')
    times+=($(( (shown - start) / 1000 )))
  done
  printf '%s\n' "${times[@]}" | sort -n | awk -v p="$QT_QPA_PLATFORM" -v l="$label" '
    { t[NR]=$1 } END { printf "start-up to window shown, %s (%s, %d runs): median %.1f ms, min %.1f ms, max %.1f ms\n",
      l, p, NR, t[int((NR+1)/2)]/1000, t[1]/1000, t[NR]/1000 }'
}
# Without zdrlokal.ini the set-up runs at every start, as on a fresh install.
measure "set-up at every start"
touch "$ZEDORA_WORKSPACE/zdrlokal.ini"
measure "with zdrlokal.ini"
