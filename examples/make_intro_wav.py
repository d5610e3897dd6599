#!/usr/bin/env python3
"""Writes the example's intro sound: 0.3 s of 8-bit mono PCM at 8 kHz, two rising notes."""
import math
import struct
import sys
import wave

RATE = 8000
NOTES = [(660.0, 0.15), (880.0, 0.15)]  # frequency (Hz), duration (s)


def samples():
    for freq, duration in NOTES:
        count = int(RATE * duration)
        for i in range(count):
            # A short fade in and out keeps each note from clicking.
            envelope = min(1.0, i / 200.0, (count - i) / 200.0)
            value = math.sin(2 * math.pi * freq * i / RATE) * envelope * 0.6
            yield int(128 + 127 * value)


def main(path):
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(1)
        w.setframerate(RATE)
        w.writeframes(struct.pack("%dB" % (RATE * 3 // 10), *samples()))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "blocnotes/intro.wav")
