#!/usr/bin/env bash
# The install as `make install` does it, into a temporary DESTDIR under a prefix of its own:
# the files laid out (and nothing else), the desktop entry, the icons, the manual pages against
# the programs' --help, --version; the installed lantern started from another folder finds the
# installed data and draws the build's frame; with no data anywhere it names every place it
# looked; and the uninstall removes what the install wrote, keeping what was there before.
#   install_test.sh BUILD_DIR SOURCE_DIR VERSION
set -euo pipefail
build=$1 source=$2 version=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy

root=$work/root prefix=/opt/lantern-moved
installed=$root$prefix
# A file of someone else's in a folder the install writes to: the uninstall keeps both.
mkdir -p "$installed/share/applications"
echo "[Desktop Entry]" > "$installed/share/applications/other.desktop"
DESTDIR=$root cmake --install "$build" --prefix "$prefix" --component lantern > "$work/install.log"
cp "$build/install_manifest_lantern.txt" "$work/manifest"

# Exactly these files, and the data as the generator made it.
expected=$( (printf '%s\n' bin/lantern bin/lantern-tool share/applications/lantern.desktop \
    share/applications/other.desktop share/man/man6/lantern.6.gz share/man/man1/lantern-tool.1.gz \
    share/doc/lantern/README.md share/doc/lantern/copyright \
    share/icons/hicolor/{48x48,128x128,256x256}/apps/lantern.png
  cd "$build" && find Data -type f ! -name .stamp | sed 's|^|share/lantern/|') | sort)
actual=$(cd "$installed" && find . -type f | sed 's|^\./||' | sort)
[ "$actual" = "$expected" ] || fail "installed files differ: $(diff <(echo "$expected") <(echo "$actual") | head)"
[ -z "$(find "$root" ! -path "$installed*" -type f)" ] || fail "files outside the prefix"
diff -r --exclude=.stamp "$build/Data" "$installed/share/lantern/Data" > /dev/null || fail "installed data differs"
[ -x "$installed/bin/lantern" ] && [ -x "$installed/bin/lantern-tool" ] || fail "programs not executable"

desktop-file-validate "$installed/share/applications/lantern.desktop" || fail "desktop entry does not validate"
grep -qx 'Exec=lantern' "$installed/share/applications/lantern.desktop" || fail "desktop entry does not run lantern"
for size in 48 128 256; do
  file "$installed/share/icons/hicolor/${size}x$size/apps/lantern.png" | grep -q "PNG image data, $size x $size" ||
    fail "icon $size is not a $size-pixel PNG"
done

[ "$("$installed/bin/lantern" --version)" = "lantern $version" ] || fail "lantern --version"
[ "$("$installed/bin/lantern-tool" --version)" = "lantern-tool $version" ] || fail "lantern-tool --version"

# The manual pages: groff finds nothing to warn about, and every option, argument and command
# the programs' --help lists is in the page.
help_words() {
  "$@" --help | awk '/^(Options|Positionals|Subcommands):/ {list = 1; next} /^[^ ]/ {list = 0}
    list && /^  [^ ]/ {n = split($1, names, ","); for (i = 1; i <= n; i++) print names[i]}'
}
check_manual() {
  local page=$1 program=$2 text warnings
  warnings=$(MANWIDTH=100 man --warnings -l "$page" 2>&1 > /dev/null)
  [ -z "$warnings" ] || fail "$page: $warnings"
  text=$(MANWIDTH=100 man -l "$page" 2> /dev/null | col -b)
  grep -q "lantern $version" <<< "$text" || fail "$page does not give the version"
  local commands
  commands=$(help_words "$program" | grep -v '^-' || true)
  for command in "" $commands; do
    for word in $(help_words "$program" $command); do
      grep -qF -- "$word" <<< "$text" || fail "$page lacks $word of '$program $command --help'"
    done
  done
}
check_manual "$installed/share/man/man6/lantern.6.gz" "$installed/bin/lantern"
check_manual "$installed/share/man/man1/lantern-tool.1.gz" "$installed/bin/lantern-tool"

# Started from a folder of its own, whose "Data" is someone's notes, not the piece's data, the
# installed lantern plays the data it installed: the same frame as the build draws.
mkdir -p "$work/elsewhere/Data"
echo notes > "$work/elsewhere/Data/notes.txt"
(cd "$work/elsewhere" && "$installed/bin/lantern" shot 63392 frame.png > "$work/shot.log" 2>&1) ||
  fail "the installed lantern did not draw: $(cat "$work/shot.log")"
(cd "$work" && "$build/lantern" shot 63392 build-frame.png --data "$build" > /dev/null 2>&1) || fail "build shot"
cmp -s "$work/elsewhere/frame.png" "$work/build-frame.png" || fail "the installed frame differs from the build's"

# A lantern with no data anywhere names every place it looked and ends with 1.
mkdir -p "$work/lone/bin"
cp "$installed/bin/lantern" "$work/lone/bin/"
status=0
(cd "$work/elsewhere" && "$work/lone/bin/lantern" shot 0 none.png > "$work/lone.log" 2>&1) || status=$?
[ "$status" = 1 ] || fail "lantern without data ended with $status"
for place in "$work/elsewhere (the working folder)" "$work/lone/bin (beside the program)" \
             "$work/lone/share/lantern (the installed data)"; do
  grep -qF "$place" "$work/lone.log" || fail "the error does not name $place: $(cat "$work/lone.log")"
done

# The uninstall leaves only what was there before.
DESTDIR=$root cmake -DMANIFEST="$work/manifest" -P "$source/release/uninstall.cmake" > "$work/uninstall.log"
left=$(cd "$root" && find . | sort | tr '\n' ' ')
[ "$left" = ". ./opt ./opt/lantern-moved ./opt/lantern-moved/share ./opt/lantern-moved/share/applications ./opt/lantern-moved/share/applications/other.desktop " ] ||
  fail "the uninstall left: $left"
echo "install test passed"
