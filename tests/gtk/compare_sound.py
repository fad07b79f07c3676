#!/usr/bin/env python3
"""Checks that a sound device played what the audio chain put out.

    compare_sound.py CHAIN.wav DEVICE.raw

CHAIN is the chain's own recording (48 kHz 16-bit mono WAV), DEVICE what the device played (raw
16-bit samples, as SDL's disk driver writes them). Ten blocks of 960 samples (20 ms) spread over
the middle of the recording are looked for in the device's output, sample for sample; at least
eight must be there (a machine too slow for real time may make the device repeat a stretch of
its ring), and the recording must hold a tone, not silence."""
import struct
import sys


def find_aligned(haystack, needle):
    at = haystack.find(needle)
    while at >= 0 and at % 2:
        at = haystack.find(needle, at + 1)
    return at


def main():
    with open(sys.argv[1], "rb") as f:
        wav = f.read()
    if wav[:4] != b"RIFF" or wav[8:12] != b"WAVE":
        raise SystemExit("not a WAV file")
    chain = wav[44:]
    with open(sys.argv[2], "rb") as f:
        device = f.read()
    block = 960 * 2
    if len(chain) < 20 * block:
        raise SystemExit(f"recording too short: {len(chain) // 2} samples")
    samples = struct.unpack(f"<{len(chain) // 2}h", chain[:len(chain) // 2 * 2])
    middle = samples[len(samples) // 4:3 * len(samples) // 4]
    if max(middle) - min(middle) < 1000:
        raise SystemExit("the recording is silent: no tone to compare")
    found = 0
    for k in range(10):
        start = (len(chain) // 4 + k * (len(chain) // 2 - block) // 10) // 2 * 2
        if find_aligned(device, chain[start:start + block]) >= 0:
            found += 1
    print(f"chain {len(chain) // 2} samples, device {len(device) // 2}; "
          f"{found} of 10 blocks found in the device's output")
    sys.exit(0 if found >= 8 else 1)


main()
