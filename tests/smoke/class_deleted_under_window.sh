#!/usr/bin/env bash
# The real window with real keys: a teacher types a grade, the class is
# deleted meanwhile (another computer, a batch command), F8. The program
# must ask instead of saving into the deleted file, and "Ja" keeps every
# student with the typed grade in a new file.
set -euo pipefail
zedora=$1
cli=$2
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
export ZEDORA_WORKSPACE=$work/ws
export ZEDORA_COMPUTERNAME=GONE
export XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM
command -v xdotool >/dev/null || { echo "xdotool fehlt"; exit 1; }

fail() { echo "FEHLER: $*" >&2; exit 1; }

xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
  set -u
  waitfor() { for i in $(seq 1 100); do xdotool search --name "$1" >/dev/null 2>&1 && return 0; sleep 0.1; done; echo "kein Fenster $1"; return 1; }
  "$0" & program=$!
  waitfor "^Zedora" || exit 1
  sleep 3
  dir=$ZEDORA_WORKSPACE/ZE-0000-0
  # Religion of the third student (Berger, Lena) in the demo class.
  xdotool mousemove 680 208 click 1; sleep 0.5
  xdotool type 2; sleep 0.3
  rm "$dir"/demo.dbf "$dir"/demo.dbt "$dir"/demo.mdx
  xdotool key F8
  waitfor "^Bestätigen" || exit 1
  xdotool key Return
  waitfor "Als neue Datei speichern" || exit 1
  sleep 0.5; xdotool key Return
  waitfor "^Informationen" || exit 1
  sleep 0.3; xdotool key Return
  kill -TERM $program; wait $program
' "$zedora" || fail "the window did not ask or save as expected"

dir=$ZEDORA_WORKSPACE/ZE-0000-0
[ ! -e "$dir/demo.dbf" ] || fail "something was saved under the deleted name"
[ -f "$dir/DEMO_NEU.DBF" ] || fail "no new file"
dump=$("$cli" dbf dump "$dir/DEMO_NEU.DBF")
[ "$(echo "$dump" | tail -n +2 | wc -l)" -eq 25 ] || fail "not all 25 students in the new file"
religion=$(echo "$dump" | awk -F'\t' 'NR==1 { for (i = 1; i <= NF; i++) if ($i == "RE") c = i } $1 == "Berger" { print $c }')
[ "$religion" = "2" ] || fail "the typed grade is not in the new file ($religion)"
echo "class deleted under window: 1 passed, 0 failed"
