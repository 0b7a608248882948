#!/usr/bin/env bash
# Installs the build into a temporary prefix as a school's administrator
# would, checks the laid-out files, and runs the installed zedora-cli: it
# must find its data from its own location, not from the build tree.
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

fail() { echo "FEHLER: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" > "$work/install.log" || { cat "$work/install.log"; fail "install failed"; }

for f in bin/zedora bin/zedora-cli \
         share/zedora/HELPTEXT.TXT share/zedora/MUSTER/MUSTER.MS1 share/zedora/MUSTER/demo.dbf \
         share/applications/de.tolvo.zedora.desktop \
         share/icons/hicolor/scalable/apps/de.tolvo.zedora.svg \
         share/metainfo/de.tolvo.zedora.metainfo.xml; do
  [ -f "$prefix/$f" ] || fail "$f not installed"
done
[ -x "$prefix/bin/zedora" ] || fail "bin/zedora not executable"
# CMake's own files of the build tree's share/ stay behind.
[ ! -e "$prefix/share/zedora/CMakeFiles" ] || fail "CMakeFiles installed"
[ ! -e "$prefix/share/zedora/cmake_install.cmake" ] || fail "cmake_install.cmake installed"
grep -q '^Comment\[de\]=Zeugnisse' "$prefix/share/applications/de.tolvo.zedora.desktop" \
  || fail "desktop entry without German comment"
if command -v desktop-file-validate >/dev/null; then
  out=$(desktop-file-validate "$prefix/share/applications/de.tolvo.zedora.desktop") || fail "desktop entry invalid: $out"
  [ -z "$out" ] || fail "desktop entry: $out"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/de.tolvo.zedora.metainfo.xml" >/dev/null \
    || appstreamcli validate --no-net "$prefix/share/metainfo/de.tolvo.zedora.metainfo.xml" \
    || fail "AppStream metadata invalid"
fi

# The installed program, moved away from the build tree, lays out a
# workspace from its own templates and prints the demo class.
export ZEDORA_COMPUTERNAME=INSTALL
"$prefix/bin/zedora-cli" setup --workspace "$work/ws" 2> "$work/setup.err" \
  || { cat "$work/setup.err"; fail "installed zedora-cli setup failed"; }
[ -f "$work/ws/MUSTER/MUSTER.MS1" ] || fail "workspace without templates"
[ -f "$work/ws/ZE-0000-0/demo.dbf" ] || fail "workspace without demo class"
"$prefix/bin/zedora-cli" pdf --workspace "$work/ws" --file ZE-0000-0/demo.dbf --out "$work/z.pdf" 2> "$work/pdf.err" \
  || { cat "$work/pdf.err"; fail "installed zedora-cli pdf failed"; }
pdftotext "$work/z.pdf" "$work/z.txt"
grep -q "Halbjahreszeugnis" "$work/z.txt" || fail "the printed PDF holds no report card"
echo "installiert und gestartet: $(cd "$prefix" && find . -type f | wc -l) Dateien"
