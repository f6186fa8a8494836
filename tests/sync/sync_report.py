#!/usr/bin/python3
"""Locates recordings of lantern's window and sound against the piece itself and reports how
far the picture was from the sound, per run (tests/sync/run_sync_test.sh makes the inputs).

Each recording (NUT: the picture between the window's letterbox bars as 160x90 YUV 4:4:4
frames grabbed 100 times a second, and the sink's monitor as 44100 Hz stereo, both stamped
with the wall clock by one ffmpeg) is located twice:
- the sound: short windows of it are found in the soundtrack by cross-correlation (the sink
  plays the soundtrack's own samples, so a match is exact); this gives the music heard at every
  moment of the recording; runs of digital silence in it are the dropouts the sink inserted;
- the picture: each grabbed frame is found in an offline capture of the same span (frames every
  10 ms of music) by its colour (U and V: the film grain, grey, follows the tick counter in play
  and the music time offline, and mostly scales the colour rather than shifting it), the
  distance curve around the best match fitted with a V for the time between the captured frames.
A frame is measured where it first appears: its music time against the music heard then
(between the grab that shows it and the one before). Positive errors: the picture is early.

  sync_report.py CAPTURE FROM_MS SOUNDTRACK NAME=RECORDING... [--bound MS] [--offset-run NAME:BASE:MS]
"""
import argparse
import json
import subprocess
import sys

import numpy as np

RATE = 44100
GRAB = (160, 90)  # the size the recording keeps of each grab
REGION = (640, 360)  # the picture between the letterbox bars, as grabbed
FIT_MS = 30.0  # the captured frames either side of the best match that the V is fitted to


def run(command):
    return subprocess.run(command, capture_output=True, check=True).stdout


def decode_frames(path, filters):
    width, height = GRAB
    raw = run(["ffmpeg", "-v", "error", "-i", path, "-map", "0:v", "-fps_mode", "passthrough", "-vf",
               filters + f"scale={width}:{height}:flags=area,format=yuv444p", "-f", "rawvideo", "-"])
    frames = np.frombuffer(raw, np.uint8).reshape(-1, 3, height, width)
    # U and V about their neutral value: what the grey grain scales and hardly shifts.
    return frames[:, 1:].astype(np.float32) - 128.0


def stream_times(path, stream, entry):
    out = run(["ffprobe", "-v", "error", "-select_streams", stream, "-show_entries", entry, "-of", "csv=p=0", path])
    return [line.split(",") for line in out.decode().split() if line]


def decode_sound(path):
    raw = run(["ffmpeg", "-v", "error", "-i", path, "-map", "0:a", "-ac", "1", "-ar", str(RATE), "-f", "s16le", "-"])
    return np.frombuffer(raw, np.int16).astype(np.float32)


def correlate(needle, haystack):
    """Normalised cross-correlation of needle at every offset of haystack (valid part)."""
    size = 1 << int(np.ceil(np.log2(len(haystack) + len(needle))))
    spectrum = np.fft.rfft(haystack, size) * np.conj(np.fft.rfft(needle, size))
    raw = np.fft.irfft(spectrum, size)[: len(haystack) - len(needle) + 1]
    running = np.concatenate([[0.0], np.cumsum(haystack.astype(np.float64) ** 2)])
    energy = running[len(needle):] - running[: len(haystack) - len(needle) + 1]
    norm = np.sqrt(np.maximum(energy, 1e-9) * max(float(np.dot(needle, needle)), 1e-9))
    return raw / norm


class HeardSound:
    """The music heard at each wall-clock moment of a recording, from its sound."""

    WINDOW = 2048  # samples located at a time (46 ms)
    STEP = 4410  # one every 100 ms

    def __init__(self, recording, soundtrack):
        samples = decode_sound(recording)
        self.dropouts = self.silences(samples)
        # The wall clock of every sample, from the stamps of the packets (16-bit stereo).
        packets = stream_times(recording, "a:0", "packet=pts_time,size")
        self.packet_walls = np.array([float(p[0]) for p in packets])
        self.packet_firsts = np.concatenate([[0], np.cumsum([int(p[1]) // 4 for p in packets])[:-1]])
        self.windows = []  # (wall s, music ms) of each window found
        self.lost = 0  # windows of sound not found (silence inserted, or noise)
        offset = self._first_offset(samples, soundtrack)
        for start in range(0, len(samples) - self.WINDOW, self.STEP):
            needle = samples[start:start + self.WINDOW]
            if np.dot(needle, needle) < 1e3 * self.WINDOW:
                self.lost += 1  # silent: the sink inserted silence, or the music rests
                continue
            found = self._find(needle, soundtrack, start + offset, 1500)
            if found is None:
                found = self._find(needle, soundtrack, start + offset, 3 * RATE)
            if found is None:
                self.lost += 1
                continue
            offset = found - start
            self.windows.append((self.wall_of_sample(start), found * 1000.0 / RATE))
        if len(self.windows) < 10:
            raise SystemExit(f"{recording}: the sound could not be found in the soundtrack")
        walls, music = np.array(self.windows).T
        self.walls = walls
        # Music ms minus wall ms: constant while the sound plays on, dropping by each gap.
        self.offsets = music - walls * 1000.0

    def wall_of_sample(self, sample):
        packet = int(np.searchsorted(self.packet_firsts, sample, side="right")) - 1
        return float(self.packet_walls[packet] + (sample - self.packet_firsts[packet]) / RATE)

    def _first_offset(self, samples, soundtrack):
        middle = len(samples) // 2
        needle = samples[middle:middle + RATE]
        scores = correlate(needle, soundtrack)
        return int(np.argmax(scores)) - middle

    def _find(self, needle, soundtrack, expected, reach):
        low = max(0, expected - reach)
        high = min(len(soundtrack), expected + reach + len(needle))
        if high - low < len(needle):
            return None
        scores = correlate(needle, soundtrack[low:high])
        best = int(np.argmax(scores))
        return low + best if scores[best] > 0.9 else None

    def music_ms(self, wall):
        """The music heard at wall-clock seconds `wall`."""
        return np.interp(wall, self.walls, self.offsets) + wall * 1000.0

    @staticmethod
    def silences(samples, least_ms=2.0):
        """The runs of digital silence (ms) of least_ms or more: where the speaker ran dry, the
        sink played zeros (the soundtrack has no such runs in the span measured)."""
        zero = np.concatenate([[0], (samples == 0).astype(np.int8), [0]])
        edges = np.diff(zero)
        lengths = (np.nonzero(edges == -1)[0] - np.nonzero(edges == 1)[0]) * 1000.0 / RATE
        return [float(length) for length in lengths if length >= least_ms]


class Capture:
    """The offline frames, every 10 ms of music from FROM_MS, cut as the recordings are."""

    def __init__(self, path, from_ms, fps):
        width, height = REGION
        self.frames = decode_frames(path, f"crop={width}:{height}:(iw-{width})/2:(ih-{height})/2,")
        self.times = from_ms + np.arange(len(self.frames)) * 1000.0 / fps
        self.step = 1000.0 / fps

    def locate(self, frame, near_ms, reach_ms=400.0):
        """The music time the frame shows (ms), or None when no captured frame is like it."""
        inside = np.nonzero(np.abs(self.times - near_ms) <= reach_ms)[0]
        if len(inside) < 12:
            return None
        distances = np.abs(self.frames[inside] - frame).mean(axis=(1, 2, 3))
        best = int(np.argmin(distances))
        # A clear match stands well below the frames around it.
        if distances[best] > 0.7 * np.median(distances):
            return None
        # Near the frame shown the distance grows about linearly with the time away from it:
        # a V through the captured frames within FIT_MS of the best, fitted for its vertex.
        near = np.abs(self.times[inside] - self.times[inside][best]) <= FIT_MS + 1e-6
        times, values = self.times[inside][near], distances[near]
        if len(times) < 4:
            return None
        vertices = np.arange(times.min(), times.max() + 0.01, 0.25)
        away = np.abs(times[None, :] - vertices[:, None])
        # Least squares of values = c + k * away for every vertex at once: k from the
        # covariance, the residual from what it leaves of the variance.
        spread = away - away.mean(axis=1, keepdims=True)
        covariance = (spread * (values - values.mean())).sum(axis=1)
        variance = (spread * spread).sum(axis=1)
        slope = covariance / variance
        residual = ((values - values.mean()) ** 2).sum() - covariance * slope
        residual[slope <= 0] = np.inf
        best_vertex = int(np.argmin(residual))
        return None if not np.isfinite(residual[best_vertex]) else float(vertices[best_vertex])


def measure(name, recording, capture, soundtrack):
    heard = HeardSound(recording, soundtrack)
    frames = decode_frames(recording, "")
    walls = np.array([float(row[0]) for row in stream_times(recording, "v:0", "frame=pts_time")])
    if len(walls) != len(frames):
        raise SystemExit(f"{recording}: {len(frames)} frames but {len(walls)} stamps")
    shown = []
    for index, (frame, wall) in enumerate(zip(frames, walls)):
        # A frame still on screen is grabbed again unchanged: it shows what it showed.
        if index > 0 and np.array_equal(frame, frames[index - 1]):
            shown.append(shown[-1])
        else:
            shown.append(capture.locate(frame, heard.music_ms(wall)))
    located = sum(time is not None for time in shown)
    errors, moments = [], []
    for index in range(1, len(shown)):
        now, before = shown[index], shown[index - 1]
        # A frame that first appears here (the grab before showed another one).
        if now is None or before is None or abs(now - before) < 2.0:
            continue
        appeared = (walls[index - 1] + walls[index]) / 2.0
        errors.append(now - heard.music_ms(appeared))
        moments.append(round(appeared - walls[0], 4))
    if len(errors) < 10:
        raise SystemExit(f"{name}: only {len(errors)} frames could be measured ({located} of {len(frames)} "
                         "grabs located)")
    errors = np.array(errors)
    gaps = heard.dropouts
    return {
        "name": name,
        "grabs": len(frames),
        "located": located,
        "frames": len(errors),
        "median": float(np.median(errors)),
        "mean": float(np.mean(errors)),
        "p5": float(np.percentile(errors, 5)),
        "p95": float(np.percentile(errors, 95)),
        "min": float(errors.min()),
        "max": float(errors.max()),
        "seconds": float(walls[-1] - walls[0]),
        "dropouts": len(gaps),
        "dropout_ms": float(sum(gaps)),
        "longest_dropout_ms": float(max(gaps, default=0.0)),
        "sound_lost": heard.lost,
        # Each frame measured: seconds into the recording, error in ms.
        "per_frame": [[moment, round(float(error), 2)] for moment, error in zip(moments, errors)],
    }


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("capture")
    parser.add_argument("from_ms", type=float)
    parser.add_argument("soundtrack")
    parser.add_argument("runs", nargs="+", metavar="NAME=RECORDING")
    parser.add_argument("--fps", type=int, default=100, help="frames a second of the capture")
    parser.add_argument("--bound", type=float, default=40.0, help="largest median error that passes (ms)")
    parser.add_argument("--goal", type=float, default=10.0, help="the goal for the median error (ms)")
    parser.add_argument("--offset-run", action="append", default=[], metavar="NAME:BASE:MS",
                        help="run NAME was played with --av-offset MS; BASE without it")
    parser.add_argument("--json", help="write the figures here too")
    options = parser.parse_args()

    capture = Capture(options.capture, options.from_ms, options.fps)
    soundtrack = decode_sound(options.soundtrack)
    results = {}
    for run_spec in options.runs:
        name, recording = run_spec.split("=", 1)
        results[name] = measure(name, recording, capture, soundtrack)

    print("picture against sound (ms, positive: the picture early), per frame as it first appears:")
    print(f"{'run':<10} {'frames':>6} {'median':>8} {'mean':>8} {'p5':>8} {'p95':>8} {'min':>8} {'max':>8}"
          f"  {'silences the sink inserted (2 ms or more)'}")
    for result in results.values():
        print(f"{result['name']:<10} {result['frames']:>6} {result['median']:>8.1f} {result['mean']:>8.1f} "
              f"{result['p5']:>8.1f} {result['p95']:>8.1f} {result['min']:>8.1f} {result['max']:>8.1f}  "
              f"{result['dropouts']} in {result['seconds']:.0f} s ({result['dropout_ms']:.0f} ms, longest "
              f"{result['longest_dropout_ms']:.0f} ms)")
    failures = []
    offset_runs = {spec.split(":")[0]: spec.split(":")[1:] for spec in options.offset_run}
    for result in results.values():
        name = result["name"]
        if name in offset_runs:
            base, offset = offset_runs[name][0], float(offset_runs[name][1])
            shift = results[name]["median"] - results[base]["median"]
            result["shift"] = shift
            within = 0.9 * offset <= -shift <= 1.1 * offset
            print(f"{name}: --av-offset {offset:g} moved the picture by {-shift:.1f} ms against {base} "
                  f"({'within' if within else 'OUTSIDE'} {0.9 * offset:g} to {1.1 * offset:g})")
            if not within:
                failures.append(f"{name}: --av-offset {offset:g} moved the picture by {-shift:.1f} ms")
            continue
        met = abs(result["median"]) <= options.goal
        print(f"{name}: median {result['median']:+.1f} ms: {'within' if met else 'not within'} the goal of "
              f"{options.goal:g} ms; p5 to p95 {result['p5']:+.1f} to {result['p95']:+.1f} ms")
        if abs(result["median"]) > options.bound:
            failures.append(f"{name}: the picture is {result['median']:+.1f} ms off the sound (bound "
                            f"{options.bound:g} ms)")
    if options.json:
        with open(options.json, "w") as out:
            json.dump(results, out, indent=1)
    for failure in failures:
        print("FAIL: " + failure, file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
