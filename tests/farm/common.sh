# shellcheck shell=bash
# Shared by the farm recipes' tests: failing with a message, and comparing two videos as a
# viewer gets them (decoded), since a joined video and a capture in one piece are different
# encodings of the same frames.

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# The checksum of what ffmpeg decodes from a file with these options.
decoded_sum() {
  local file=$1
  shift
  ffmpeg -v error -i "$file" "$@" pipe:1 | md5sum | cut -d' ' -f1
}

# Passes when the two videos decode to the same frames and the same sound samples, byte for
# byte, with frames of the same times.
same_video() {
  local expected=$1 actual=$2
  [ "$(decoded_sum "$actual" -f rawvideo -pix_fmt rgb24)" = "$(decoded_sum "$expected" -f rawvideo -pix_fmt rgb24)" ] ||
    fail "$actual: its frames differ from those of $expected"
  [ "$(decoded_sum "$actual" -vn -f s16le)" = "$(decoded_sum "$expected" -vn -f s16le)" ] ||
    fail "$actual: its sound differs from that of $expected"
  local times="-v error -show_entries packet=stream_index,pts,dts,duration -of csv=p=0"
  # shellcheck disable=SC2086
  [ "$(ffprobe $times "$actual" | md5sum)" = "$(ffprobe $times "$expected" | md5sum)" ] ||
    fail "$actual: its frames and sound are timed otherwise than in $expected"
}

# Passes when the command exits 1 and says the text on stderr, and OUT was not written.
refused() {
  local text=$1 out=$2
  shift 2
  local status=0
  "$@" 2> "$out.stderr" || status=$?
  [ "$status" = 1 ] || fail "$*: exit status $status, not 1"
  grep -qF -- "$text" "$out.stderr" || fail "$*: says $(cat "$out.stderr"), not \"$text\""
  [ ! -e "$out" ] || fail "$*: wrote $out"
  rm -f "$out.stderr"
}
