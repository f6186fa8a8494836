#!/usr/bin/env bash
# The Debian package as `make package` makes it, made here in a temporary folder: its name and
# fields; Depends naming the libraries the programs link (SDL2, vorbisfile, libjpeg among them,
# as dpkg-shlibdeps found them) and the GL and EGL that SDL loads at run time; its files (the
# piece in /usr/games with a link in /usr/bin, the generator in /usr/bin, the whole data, the desktop entry, the
# icons, the manual pages, the copyright and the changelog, nothing outside /usr); and lintian
# reports no error.
#   package_test.sh BUILD_DIR VERSION
set -euo pipefail
build=$1 version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$work" > "$work/cpack.log" 2>&1 || fail "cpack: $(cat "$work/cpack.log")"
deb=$work/lantern_${version}_amd64.deb
[ -f "$deb" ] || fail "no $deb: $(ls "$work")"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = lantern ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Section)" = games ] || fail "Section: $(field Section)"
[ "$(field Architecture)" = amd64 ] || fail "Architecture: $(field Architecture)"
[ "$(field Description | wc -l)" -ge 5 ] || fail "the description is a line: $(field Description)"
depends=$(field Depends)
for package in libsdl2-2.0-0 libvorbisfile3 libjpeg62-turbo libepoxy0 libpng16-16 libgl1 libegl1; do
  grep -qE "(^|, )$package( |,|$)" <<< "$depends" || fail "Depends lacks $package: $depends"
done

contents=$(dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./||')
for file in usr/games/lantern usr/bin/lantern-tool usr/share/applications/lantern.desktop \
            usr/share/icons/hicolor/{48x48,128x128,256x256}/apps/lantern.png \
            usr/share/man/man6/lantern.6.gz usr/share/man/man1/lantern-tool.1.gz \
            usr/share/doc/lantern/copyright usr/share/doc/lantern/changelog.gz usr/share/doc/lantern/README.md; do
  grep -qx "$file" <<< "$contents" || fail "the package lacks $file"
done
grep -q ' \./usr/bin/lantern -> \.\./games/lantern$' <<< "$(dpkg-deb -c "$deb")" || fail "no /usr/bin/lantern linking to the piece"
data_files=$(cd "$build" && find Data -type f ! -name .stamp | sed 's|^|usr/share/lantern/|' | sort)
packaged_data=$(grep '^usr/share/lantern/Data/.*[^/]$' <<< "$contents" | sort)
[ "$packaged_data" = "$data_files" ] || fail "the packaged data differs: $(diff <(echo "$data_files") <(echo "$packaged_data") | head)"
outside=$(grep -v '^usr/' <<< "$contents" || true)
[ -z "$outside" ] || fail "files outside /usr: $outside"

lintian --fail-on error "$deb" > "$work/lintian.log" 2>&1 || fail "lintian: $(cat "$work/lintian.log")"
if grep -q '^E:' "$work/lintian.log"; then fail "lintian: $(cat "$work/lintian.log")"; fi
echo "package test passed"
