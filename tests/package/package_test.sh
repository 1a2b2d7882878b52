#!/usr/bin/env bash
# Builds the Debian package, unpacks it into a temporary root without installing it, and starts the
# installed korvo2k-cli from there: it must use a private per-user folder with the default upload
# configuration, and the package must name the libraries it needs.
set -euo pipefail
build="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpack -G DEB -B "$work/out" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 || {
  cat "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/out/korvo2k_*.deb)
info=$(dpkg-deb -I "$deb")
echo "$info"
depends=$(grep '^ Depends:' <<<"$info") || { echo "FAIL: no Depends"; exit 1; }
for lib in libsqlite3 libsodium libshp libc6; do
  grep -q "$lib" <<<"$depends" || { echo "FAIL: Depends lacks $lib"; exit 1; }
done
if [ -x "$build/bin/korvo2k" ]; then
  grep -q 'libqt6widgets6' <<<"$depends" || { echo "FAIL: Depends lacks libqt6widgets6"; exit 1; }
fi

dpkg -x "$deb" "$work/root"
for f in usr/bin/korvo2k-cli usr/bin/korvo-sim usr/share/korvo2k/UPLOAD.CFG \
         usr/share/doc/korvo2k/examples/korvo2k-download.timer usr/share/doc/korvo2k/examples/korvo2k-monitor.service; do
  [ -e "$work/root/$f" ] || { echo "FAIL: package lacks /$f"; exit 1; }
done
if [ -x "$build/bin/korvo2k" ]; then
  for f in usr/bin/korvo2k usr/share/applications/korvo2k.desktop usr/share/icons/hicolor/48x48/apps/korvo2k.png \
           usr/share/icons/hicolor/scalable/apps/korvo2k.svg; do
    [ -e "$work/root/$f" ] || { echo "FAIL: package lacks /$f"; exit 1; }
  done
fi

mkdir -p "$work/home"
out=$(env -u KORVO2K_FOLDER HOME="$work/home" XDG_DATA_HOME="$work/data" "$work/root/usr/bin/korvo2k-cli" status)
echo "$out" | head -3
grep -qx "Program folder: $work/data/korvo2k/" <<<"$out" || { echo "FAIL: not the per-user folder"; exit 1; }
grep -qx "Folder chosen by: the per-user data folder" <<<"$out" || { echo "FAIL: folder source"; exit 1; }
[ "$(stat -c %a "$work/data/korvo2k")" = 700 ] || { echo "FAIL: per-user folder not private"; exit 1; }
cmp "$work/data/korvo2k/UPLOAD.CFG" "$work/root/usr/share/korvo2k/UPLOAD.CFG" || { echo "FAIL: UPLOAD.CFG"; exit 1; }
[ -e "$work/data/korvo2k/KORVOSET.DAT" ] || { echo "FAIL: no settings written"; exit 1; }
[ ! -e "$work/root/usr/bin/KORVOSET.DAT" ] || { echo "FAIL: settings written beside the executable"; exit 1; }

out=$(HOME="$work/home" KORVO2K_FOLDER="$work/elsewhere" "$work/root/usr/bin/korvo2k-cli" status)
grep -qx "Program folder: $work/elsewhere/" <<<"$out" || { echo "FAIL: KORVO2K_FOLDER ignored"; exit 1; }
[ -e "$work/elsewhere/Korvoweb.mdb" ] || { echo "FAIL: no database in the named folder"; exit 1; }
echo "package ok"
