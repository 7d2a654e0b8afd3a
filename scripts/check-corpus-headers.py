#!/usr/bin/env python3
"""Checks `swftool info` against SWF headers parsed here independently.

Usage: scripts/check-corpus-headers.py SWFTOOL FILE...
For every file the header is decoded in Python (FWS, CWS via zlib, ZWS via raw LZMA1)
and compared with the one line swftool prints. Files whose header Python cannot read
must make swftool fail too. The files are only read, never copied.
"""
import lzma
import struct
import subprocess
import sys
import zlib


def body_prefix(data):
    sig = data[:3]
    if sig == b"FWS":
        return data[8:8 + 64]
    if sig == b"CWS":
        return zlib.decompressobj().decompress(data[8:8 + 4096], 64)
    if sig == b"ZWS":
        props = data[12:17]
        d = props[0]
        lc, lp, pb = d % 9, (d // 9) % 5, d // 45
        dict_size = struct.unpack("<I", props[1:5])[0]
        filt = {"id": lzma.FILTER_LZMA1, "dict_size": max(dict_size, 4096), "lc": lc, "lp": lp, "pb": pb}
        dec = lzma.LZMADecompressor(format=lzma.FORMAT_RAW, filters=[filt])
        return dec.decompress(data[17:17 + 4096], 64)
    raise ValueError("not a SWF signature")


def parse_header(data):
    if len(data) < 8:
        raise ValueError("short file")
    body = body_prefix(data)
    bits = "".join(f"{b:08b}" for b in body)
    n = int(bits[:5], 2)
    if len(bits) < 5 + 4 * n:
        raise ValueError("truncated rectangle")

    def signed(s):
        if not s:
            return 0
        v = int(s, 2)
        return v - (1 << len(s)) if s[0] == "1" else v

    vals = [signed(bits[5 + i * n:5 + (i + 1) * n]) for i in range(4)]
    used = (5 + 4 * n + 7) // 8
    if len(body) < used + 4:
        raise ValueError("truncated rate/count")
    rate, count = struct.unpack("<HH", body[used:used + 4])
    xmin, xmax, ymin, ymax = vals
    width = int((xmax - xmin) / 20)  # truncation towards zero, as C++ integer division
    height = int((ymax - ymin) / 20)
    fps = "%.8g" % (rate / 256.0)
    return f"signature={data[:3].decode()} version={data[3]} width={width} height={height} fps={fps} frames={count}"


def main():
    if len(sys.argv) < 3:
        print(__doc__)
        return 2
    tool, files = sys.argv[1], sys.argv[2:]
    bad = 0
    for path in files:
        with open(path, "rb") as f:
            data = f.read()
        try:
            expected = parse_header(data)
        except Exception as e:  # noqa: BLE001 - any failure means "unreadable"
            expected = None
            why = str(e)
        run = subprocess.run([tool, "info", path], capture_output=True, text=True)
        got = run.stdout.strip()
        if expected is None:
            if run.returncode == 0:
                print(f"MISMATCH {path}: python cannot read it ({why}) but swftool printed {got!r}")
                bad += 1
        elif run.returncode != 0 or got != expected:
            print(f"MISMATCH {path}:\n  python:  {expected}\n  swftool: {got} {run.stderr.strip()}")
            bad += 1
    print(f"{len(files) - bad} of {len(files)} headers agree")
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
