#!/usr/bin/env bash
# farm/parallel/capture-parts on this machine: 4 s of the piece at 640x480 (across the cut
# from smallfall to giorl at 54.336 s) in 4 parts drawn at once by GNU parallel and joined,
# against the capture of the same range and settings in one piece: the same frames byte for
# byte (lossless, --crf 0), the same sound samples. Then the join's refusals, each naming its
# part with nothing written: a part deleted, another drawn with another --size, a part cut
# short; and the recipe run again after a loss keeps the parts that are whole.
#
#   tests/farm/parallel_test.sh BUILD
set -euo pipefail
here=$(dirname -- "$(realpath -- "$0")")
# shellcheck source=tests/farm/common.sh
source "$here/common.sh"
build=$(realpath -- "$1")
work=$(mktemp -d)
trap 'rm -rf -- "$work"' EXIT
cd "$work"

export LANTERN=$build/lantern
settings=(--from 52.5 --to 56.5 --crf 0 --data "$build")
recipe=$here/../../farm/parallel/capture-parts

"$LANTERN" capture whole.mp4 "${settings[@]}" 2> whole.log || fail "capture in one piece: $(cat whole.log)"
PARALLEL_OPTS="-j 4" "$recipe" piece.mp4 4 "${settings[@]}" 2> parallel.log || fail "the recipe: $(cat parallel.log)"
[ "$(grep -c 'lantern capture: wrote piece.part.of4.mp4: part ./4' parallel.log)" = 4 ] ||
  fail "four parts were not drawn: $(cat parallel.log)"
same_video whole.mp4 piece.mp4
echo "parallel: 4 parts drawn at once and joined give the frames and sound of one capture"

parts=(piece.part1of4.mp4 piece.part2of4.mp4 piece.part3of4.mp4 piece.part4of4.mp4)
rm piece.mp4
rm piece.part3of4.mp4
refused "part 3/4 (frames 3270 to 3329) is missing" piece.mp4 "$LANTERN" join piece.mp4 piece.part*of4.mp4 --data "$build"
# Run again: the three whole parts are kept, the lost one is drawn.
PARALLEL_OPTS="-j 4" "$recipe" piece.mp4 4 "${settings[@]}" 2> again.log || fail "the recipe again: $(cat again.log)"
[ "$(grep -c 'already; kept' again.log)" = 3 ] || fail "the whole parts were not kept: $(cat again.log)"
same_video whole.mp4 piece.mp4
rm piece.mp4
echo "parallel: a lost part is drawn again, the others kept"

cp piece.part2of4.mp4 kept.mp4
"$LANTERN" capture piece.part2of4.mp4 --part 2/4 "${settings[@]}" --size 320x240 2> /dev/null
refused "piece.part2of4.mp4: made with --size 320x240, piece.part1of4.mp4 with --size 640x480" piece.mp4 \
  "$LANTERN" join piece.mp4 "${parts[@]}" --data "$build"
mv kept.mp4 piece.part2of4.mp4
head -c "$(($(stat -c %s piece.part4of4.mp4) * 3 / 4))" piece.part4of4.mp4 > cut.mp4
mv cut.mp4 piece.part4of4.mp4
refused "piece.part4of4.mp4: holds " piece.mp4 "$LANTERN" join piece.mp4 "${parts[@]}" --data "$build"
leftovers=$(find . -name '.*' -type f)
[ -z "$leftovers" ] || fail "hidden files left behind: $leftovers"
echo "parallel: a deleted part, another --size and a part cut short are refused, nothing written"
