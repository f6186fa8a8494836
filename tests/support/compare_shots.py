#!/usr/bin/env python3
"""Compares two PNG shots of one size, by default channel by channel with the golden-frame
tolerance: a mean difference under 1.5 levels and fewer than 0.5 % of the channels off by more
than 12 (the Windows build under wine). --pixels counts pixels instead, a pixel off when one of
its channels is, and --mean, --far and --share set the three bounds (the browser build: at most
2 levels, at most 1 % of the pixels off by more than 16).
   compare_shots.py [--pixels] [--mean L] [--far L] [--share PERCENT] EXPECTED.png ACTUAL.png
Exit 0 when they match; the figures on stdout."""
import argparse
import struct
import sys
import zlib


def read_png(path):
    with open(path, 'rb') as f:
        data = f.read()
    if data[:8] != b'\x89PNG\r\n\x1a\n':
        raise SystemExit(f'{path}: not a PNG')
    pos, chunks, header = 8, [], None
    while pos < len(data):
        length, kind = struct.unpack('>I4s', data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b'IHDR':
            header = struct.unpack('>IIBBBBB', body)
        elif kind == b'IDAT':
            chunks.append(body)
        pos += 12 + length
    width, height, depth, colour, _, _, interlace = header
    channels = {2: 3, 6: 4}.get(colour)
    if depth != 8 or channels is None or interlace:
        raise SystemExit(f'{path}: only 8-bit RGB or RGBA PNGs without interlacing are read here')
    raw = zlib.decompress(b''.join(chunks))
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        row = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for x in range(stride):
            left = row[x - channels] if x >= channels else 0
            up = previous[x]
            corner = previous[x - channels] if x >= channels else 0
            if kind == 1:
                row[x] = (row[x] + left) & 255
            elif kind == 2:
                row[x] = (row[x] + up) & 255
            elif kind == 3:
                row[x] = (row[x] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                row[x] = (row[x] + (left if pa <= pb and pa <= pc else up if pb <= pc else corner)) & 255
        rows.append(bytes(row[x] for x in range(stride) if x % channels < 3))
        previous = row
    return width, height, b''.join(rows)


parser = argparse.ArgumentParser()
parser.add_argument('--pixels', action='store_true', help='count pixels off, not channels')
parser.add_argument('--mean', type=float, help='the largest mean difference in levels (default: under 1.5)')
parser.add_argument('--far', type=int, default=12, help='a difference beyond this many levels is off (12)')
parser.add_argument('--share', type=float, help='the largest share off, in percent (default: under 0.5)')
parser.add_argument('expected')
parser.add_argument('actual')
options = parser.parse_args()
expected, actual = read_png(options.expected), read_png(options.actual)
if expected[:2] != actual[:2]:
    print(f'sizes differ: {expected[0]}x{expected[1]} and {actual[0]}x{actual[1]}')
    sys.exit(1)
a, b = expected[2], actual[2]
differences = [abs(x - y) for x, y in zip(a, b)]
mean = sum(differences) / len(differences)
if options.pixels:
    units = 'pixels'
    counted = [max(differences[i:i + 3]) for i in range(0, len(differences), 3)]
else:
    units = 'channels'
    counted = differences
far = sum(1 for d in counted if d > options.far)
print(f'mean difference {mean:.3f} levels, {far} of {len(counted)} {units} off by more than {options.far}')
mean_ok = mean <= options.mean if options.mean is not None else mean < 1.5
share_ok = far <= len(counted) * options.share / 100 if options.share is not None else far < len(counted) / 200
sys.exit(0 if mean_ok and share_ok else 1)
