#!/usr/bin/env python3
"""Writes the reminder alarm as a 16-bit mono WAV file.

    makealarm.py OUT.wav

Four bursts, one a second, each of four short beeps that alternate between
two pitches. The sound plays once when a reminder falls due, so it has to be
noticeable within its four seconds without being shrill.
"""

import math
import struct
import sys
import wave

RATE = 44100
SECONDS = 4.0
LOW_HZ = 1046.5  # C6
HIGH_HZ = 1318.5  # E6
BEEP = 0.110  # seconds of tone
GAP = 0.030  # seconds of silence after each beep
BEEPS_PER_BURST = 4
BURST_PERIOD = 1.0
PEAK = 0.6  # of full scale: leaves headroom for the encoder
EDGE = 0.005  # seconds of fade at each end of a beep, so that it does not click


def tone(t, freq):
    # A little third harmonic makes the beep buzz like a real alarm clock
    # instead of sounding like a test signal.
    # The sum peaks at about 0.89, hence the scaling back to +-1.
    w = 2 * math.pi * freq * t
    return (math.sin(w) + 0.25 * math.sin(3 * w)) / 0.89


def sample(t):
    in_burst = t % BURST_PERIOD
    slot = int(in_burst // (BEEP + GAP))
    if slot >= BEEPS_PER_BURST:
        return 0.0
    in_beep = in_burst - slot * (BEEP + GAP)
    if in_beep >= BEEP:
        return 0.0
    envelope = min(1.0, in_beep / EDGE, (BEEP - in_beep) / EDGE)
    freq = LOW_HZ if slot % 2 == 0 else HIGH_HZ
    return PEAK * envelope * tone(t, freq)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: makealarm.py OUT.wav")
    frames = bytearray()
    for n in range(int(RATE * SECONDS)):
        value = int(round(sample(n / RATE) * 32767))
        frames += struct.pack("<h", value)
    with wave.open(sys.argv[1], "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(bytes(frames))


if __name__ == "__main__":
    main()
