#!/usr/bin/env python3
"""Checks that a sound device played what the audio chain put out.

    compare_sound.py CHAIN.wav DEVICE.raw

CHAIN is the chain's own recording (48 kHz 16-bit mono WAV), DEVICE what the device played (raw
16-bit samples, as SDL's disk driver writes them). A stretch of 0.2 s from the middle of the
recording must appear in the device's output sample for sample, and must not be silence."""
import struct
import sys


def samples(data):
    return struct.unpack(f"<{len(data) // 2}h", data[:len(data) // 2 * 2])


def main():
    with open(sys.argv[1], "rb") as f:
        wav = f.read()
    if wav[:4] != b"RIFF" or wav[8:12] != b"WAVE":
        raise SystemExit("not a WAV file")
    chain = samples(wav[44:])
    with open(sys.argv[2], "rb") as f:
        device = samples(f.read())
    n = 9600
    if len(chain) < 2 * n:
        raise SystemExit(f"recording too short: {len(chain)} samples")
    start = len(chain) // 2 - n // 2
    piece = chain[start:start + n]
    if max(piece) - min(piece) < 1000:
        raise SystemExit("the recording is silent: no tone to compare")
    # Where the stretch begins in the device's output: candidates by its first eight samples.
    head = piece[:8]
    found = -1
    for i in range(len(device) - n + 1):
        if device[i:i + 8] == head and device[i:i + n] == piece:
            found = i
            break
    print(f"chain {len(chain)} samples, device {len(device)}; stretch at {start} found at {found}")
    sys.exit(0 if found >= 0 else 1)


main()
