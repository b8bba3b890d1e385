#!/usr/bin/env bash
# Checks that Kelvarox installs like a desktop program, from a build tree that is already built:
# the installed tree, file by file; the desktop entry, metadata, file type, man pages and shell
# completion; the two Debian packages, their dependencies, files and modes; and their programs
# run from an unpacked root, kelvarox on a virtual display of its own. Needs no display and works
# as root.
# Usage: scripts/check-install.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
source=$PWD
build=$(realpath "${1:-build}")
work=$(mktemp -d)
background=()  # the processes this script started, ended whatever happens
cleanup() {
  # The script's own status stands: a process ended here by its signal is no failure.
  local status=$? pid
  for pid in "${background[@]}"; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
  exit "$status"
}
trap cleanup EXIT

fail() { echo "check-install: $*" >&2; exit 1; }

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || fail "no project version in $build/CMakeCache.txt"
desktop=(dist/*.desktop)
id=$(basename "${desktop[0]}" .desktop)

# Every file of each package, below the prefix.
cli_files=(
  bin/kelvarox-cli
  share/bash-completion/completions/kelvarox-cli
  share/doc/kelvarox-cli/changelog.gz
  share/doc/kelvarox-cli/copyright
  share/man/man1/kelvarox-cli.1.gz
)
gui_files=(
  bin/kelvarox
  libexec/kelvarox/kelvarox-graph-render
  "share/applications/$id.desktop"
  share/doc/kelvarox/changelog.gz
  share/doc/kelvarox/copyright
  "share/icons/hicolor/48x48/apps/$id.png"
  "share/icons/hicolor/128x128/apps/$id.png"
  "share/icons/hicolor/256x256/apps/$id.png"
  "share/icons/hicolor/scalable/apps/$id.svg"
  share/man/man1/kelvarox.1.gz
  "share/metainfo/$id.metainfo.xml"
  "share/mime/packages/$id.xml"
)
for sample in samples/telemetry/* samples/week/*; do gui_files+=("share/kelvarox/$sample"); done

# Fails unless every file named on standard input matches one pattern and every pattern a file.
expect_files() {
  local what=$1 file pattern found
  shift
  local -A used=()
  while IFS= read -r file; do
    found=""
    for pattern in "$@"; do
      # shellcheck disable=SC2053  # the pattern is meant to match as a pattern
      if [[ $file == $pattern ]]; then found=$pattern; break; fi
    done
    [ -n "$found" ] || fail "$what: unexpected file $file"
    used[$found]=1
  done
  for pattern in "$@"; do
    [ -n "${used[$pattern]:-}" ] || fail "$what: missing $pattern"
  done
}

echo "check-install: cmake --install into a temporary prefix"
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
(cd "$prefix" && find . ! -type d -printf '%P\n') | expect_files "installed tree" "${cli_files[@]}" "${gui_files[@]}"

# The icon's rendered sizes: width and height from the PNG header.
for size in 48 128 256; do
  read -r w1 w2 w3 w4 h1 h2 h3 h4 < <(od -An -tu1 -j16 -N8 "$prefix/share/icons/hicolor/${size}x$size/apps/$id.png")
  if ((((w1 << 24) + (w2 << 16) + (w3 << 8) + w4) != size || ((h1 << 24) + (h2 << 16) + (h3 << 8) + h4) != size)); then
    fail "icon ${size}x$size has another size"
  fi
done

echo "check-install: desktop entry, metadata, file type, man pages"
report=$(desktop-file-validate "$prefix/share/applications/$id.desktop" 2>&1) ||
  fail "desktop-file-validate: $report"
if grep -E 'error:|warning:' <<<"$report"; then fail "desktop-file-validate reports the above"; fi
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" >"$work/appstream.log" 2>&1 ||
  { cat "$work/appstream.log"; fail "appstreamcli validate failed"; }
grep -q "<release version=\"$version\"" "$prefix/share/metainfo/$id.metainfo.xml" ||
  fail "the metadata names no release $version"
[ "$(dpkg-parsechangelog -l dist/changelog -S Version)" = "$version" ] ||
  fail "dist/changelog's last entry is not version $version"
# The freedesktop tool reads the file type the way desktops do.
cp -r "$prefix/share/mime" "$work/mime"
XDG_DATA_HOME=$work update-mime-database "$work/mime" 2>&1 | { ! grep .; } || fail "update-mime-database reports the above"
[ -f "$work/mime/application/x-wod-block.xml" ] || fail "the MIME database has no application/x-wod-block"
for page in "$prefix"/share/man/man1/*.gz; do
  report=$(zcat "$page" | LC_ALL=C.UTF-8 groff -man -ww -z -t 2>&1) || fail "groff failed on $page"
  [ -z "$report" ] || fail "groff warns on $page: $report"
done

echo "check-install: bash completion"
mkdir -p "$work/blocks/subfolder"
touch "$work/blocks/a.dat" "$work/blocks/B.TLM" "$work/blocks/notes.txt"
complete_line() {  # prints the completions of the words given, the last one being completed
  (cd "$work/blocks" && bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
         _kelvarox_cli; printf "%s\n" "${COMPREPLY[@]}" | sort | paste -sd " "' \
    _ "$prefix/share/bash-completion/completions/kelvarox-cli" kelvarox-cli "$@")
}
[ "$(complete_line "")" = "archive breaches csv fold graph info orbits satellite series table" ] ||
  fail "completion of the command: $(complete_line "")"
[ "$(complete_line archive s)" = "set-orbit stats" ] || fail "completion of archive's subcommand: $(complete_line archive s)"
[ "$(complete_line --database x archive add "")" = "B.TLM a.dat subfolder" ] ||
  fail "completion of a block to add: $(complete_line --database x archive add "")"
[ "$(complete_line breaches --level r)" = "red" ] || fail "completion of a level: $(complete_line breaches --level r)"
[ "$(complete_line --orbit-hibyte 1 t)" = "table" ] || fail "completion after an option: $(complete_line --orbit-hibyte 1 t)"
[ "$(complete_line info --la)" = "--layout" ] || fail "completion of an option: $(complete_line info --la)"
[ "$(complete_line table "")" = "B.TLM a.dat subfolder" ] || fail "completion of a block: $(complete_line table "")"

echo "check-install: Debian packages"
cpack --config "$build/CPackConfig.cmake" -B "$work/packages" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack failed"; }
arch=$(dpkg --print-architecture)
cli_deb=$work/packages/kelvarox-cli_${version}_$arch.deb
gui_deb=$work/packages/kelvarox_${version}_$arch.deb
if [ "$(find "$work/packages" -maxdepth 1 -name '*.deb' | wc -l)" -ne 2 ] || [ ! -f "$cli_deb" ] || [ ! -f "$gui_deb" ]; then
  fail "cpack made other packages than kelvarox and kelvarox-cli: $(ls "$work/packages")"
fi

depends() { dpkg-deb -I "$1" control | sed -n 's/^Depends: //p'; }
cli_depends=$(depends "$cli_deb")
gui_depends=$(depends "$gui_deb")
grep -q 'libqt6core6' <<<"$cli_depends" || fail "kelvarox-cli does not depend on QtCore: $cli_depends"
if grep -oE 'libqt6[a-z0-9-]+' <<<"$cli_depends" | grep -vx libqt6core6; then
  fail "kelvarox-cli depends on Qt libraries beyond QtCore: $cli_depends"
fi
for library in libqt6gui6 libqt6widgets6 libqt6svg6; do
  grep -q "$library" <<<"$gui_depends" || fail "kelvarox does not depend on $library: $gui_depends"
done

# The file list of a package: root's, folders rwxr-xr-x, programs rwxr-xr-x, everything else
# (shared objects included) rw-r--r--, all below /usr.
check_contents() {
  local deb=$1 mode owner path
  shift
  dpkg-deb -c "$deb" >"$work/contents"
  while read -r mode owner _ _ _ path _; do
    [ "$owner" = root/root ] || fail "$deb: $path belongs to $owner"
    case $path in
      ./usr/ | ./usr/*/) [ "$mode" = drwxr-xr-x ] || fail "$deb: folder $path is $mode" ;;
      ./usr/*.so) [ "$mode" = -rw-r--r-- ] || fail "$deb: $path is $mode" ;;
      ./usr/bin/* | ./usr/libexec/*) [ "$mode" = -rwxr-xr-x ] || fail "$deb: program $path is $mode" ;;
      ./usr/*) [ "$mode" = -rw-r--r-- ] || fail "$deb: $path is $mode" ;;
      *) fail "$deb: $path lies outside /usr" ;;
    esac
  done <"$work/contents"
  awk '$NF !~ /\/$/ { sub(/^\.\/usr\//, "", $NF); print $NF }' "$work/contents" | expect_files "$deb" "$@"
}
check_contents "$cli_deb" "${cli_files[@]}"
check_contents "$gui_deb" "${gui_files[@]}"

echo "check-install: the programs of the unpacked packages"
root=$work/root
dpkg-deb -x "$cli_deb" "$root"
dpkg-deb -x "$gui_deb" "$root"
export XDG_CONFIG_HOME=$work/config HOME=$work/home  # no stored setting of this machine counts
mkdir -p "$HOME"
[ "$("$root/usr/bin/kelvarox-cli" --version)" = "kelvarox-cli $version" ] ||
  fail "the unpacked kelvarox-cli --version says: $("$root/usr/bin/kelvarox-cli" --version)"
"$root/usr/bin/kelvarox-cli" table "$root/usr/share/kelvarox/samples/telemetry/SPIN.TLM" >"$work/unpacked-table"
"$build/cli/kelvarox-cli" table "$source/samples/telemetry/SPIN.TLM" >"$work/built-table"
if ! grep -q 'WOD Data Channel Table' "$work/unpacked-table" || ! cmp -s "$work/unpacked-table" "$work/built-table"; then
  fail "the unpacked kelvarox-cli's table of SPIN.TLM differs from the build's"
fi

echo "check-install: the unpacked kelvarox with a block on its command line, on a virtual display"
# Polls a command every fifth of a second until it succeeds; gives up after `seconds`, so that
# a program that hangs fails the check instead of blocking it.
poll() {
  local seconds=$1 tries
  shift
  for ((tries = seconds * 5; tries > 0; tries--)); do
    if "$@" >/dev/null 2>&1; then return 0; fi
    sleep 0.2
  done
  return 1
}
# Xvfb picks a free display itself and writes its number.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
background+=($!)
poll 30 grep -q . "$work/display" || fail "Xvfb did not start within 30 seconds: $(cat "$work/xvfb.log")"
display=:$(head -n1 "$work/display")
poll 30 xwininfo -display "$display" -root || fail "the display $display did not answer within 30 seconds"

sample=$root/usr/share/kelvarox/samples/telemetry/SPIN.TLM
mkdir -p "$work/runtime" && chmod 700 "$work/runtime"
DISPLAY=$display QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$work/runtime "$root/usr/bin/kelvarox" "$sample" \
  >"$work/kelvarox.log" 2>&1 &
background+=($!)
# The id of the top-level window with that title once it is shown (there is no window manager,
# so top-level windows are children of the root).
shown_window() {
  local id
  id=$(xwininfo -display "$display" -root -children | grep -F "\"$1\":" | awk '{ print $1 }') || return 1
  for id in $id; do
    if xwininfo -display "$display" -id "$id" | grep -q 'Map State: IsViewable'; then echo "$id"; return 0; fi
  done
  return 1
}
# The graph window shows only after the block loaded, and without the directory dialog, which
# would hold the start-up before any window shows.
poll 60 shown_window " Kelvarox Decoder / Qarn" ||
  fail "the unpacked kelvarox showed no main window within 60 seconds: $(cat "$work/kelvarox.log")"
poll 60 shown_window " Kelvarox - Tarvane  /  Qarn" ||
  fail "the unpacked kelvarox showed no graph of $sample within 60 seconds: $(cat "$work/kelvarox.log")"
sleep 1  # let it paint
# It shows that block: pixel for pixel the picture that the unpacked kelvarox-cli draws of it.
import -display "$display" -window "$(shown_window " Kelvarox - Tarvane  /  Qarn")" "$work/shown.png"
"$root/usr/bin/kelvarox-cli" graph "$sample" -o "$work/drawn.png"
differing=$(compare -metric AE "$work/shown.png" "$work/drawn.png" null: 2>&1) || true
[ "$differing" = 0 ] || fail "the graph window of the unpacked kelvarox differs from the graph of $sample in $differing pixels"

echo "check-install: all checks passed"
