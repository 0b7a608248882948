#!/usr/bin/env bash
# Starts the real program in a real X server on a fresh workspace, lets it
# close itself the normal way and checks what the run left behind; then
# checks that a second start while one runs ends without touching anything.
set -euo pipefail
zedora=$1
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
export ZEDORA_WORKSPACE=$work/ws
export ZEDORA_COMPUTERNAME=SMOKE
export XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM

fail() { echo "FEHLER: $*" >&2; exit 1; }

ZEDORA_QUIT_AFTER_START=1 timeout 60 xvfb-run -a "$zedora" || fail "program did not end cleanly"
for f in ZEDORA.INI PW.INI ZDR-SMOKE.ini angelegteDateien.txt angelegteVerzeichnisse.txt KUERZEL.TXT; do
  [ -f "$ZEDORA_WORKSPACE/$f" ] || fail "$f missing after the first run"
done
[ -d "$ZEDORA_WORKSPACE/ZE-0000-0" ] || fail "demo data directory missing"
grep -q $'\r$' "$ZEDORA_WORKSPACE/ZEDORA.INI" || fail "ZEDORA.INI not written with CR LF"

# A running program keeps a second one from starting; the second shows its
# notice and leaves the workspace alone. SIGTERM closes the first normally.
rm "$ZEDORA_WORKSPACE/ZDR-SMOKE.ini"
xvfb-run -a -n 77 bash -c '
  "$0" & first=$!
  for i in $(seq 1 100); do ls "$XDG_RUNTIME_DIR"/Tolvo-Zedora-* >/dev/null 2>&1 && break; sleep 0.1; done
  sleep 1
  # Were the guard missing, this one would start and end by itself (0).
  ZEDORA_QUIT_AFTER_START=1 timeout 5 "$0"; second=$?
  kill -TERM $first; wait $first; firstrc=$?
  # 124: the second instance sat in its modal notice until the timeout.
  [ $second -eq 124 ] || { echo "second instance did not stop at the notice ($second)"; exit 1; }
  [ $firstrc -eq 0 ] || { echo "first instance did not end normally on SIGTERM ($firstrc)"; exit 1; }
' "$zedora" || fail "single instance / SIGTERM"
[ -f "$ZEDORA_WORKSPACE/ZDR-SMOKE.ini" ] || fail "SIGTERM did not run the closing steps"
echo "smoke: 1 passed, 0 failed"
