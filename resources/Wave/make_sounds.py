#!/usr/bin/env python3
"""Synthesises Zento's alert sounds and writes them beside this script.

    python3 make_sounds.py

Standard library only. The output is deterministic: the only randomness (partial phases and
the mallet's noise) comes from generators with fixed seeds, so running the script again gives
byte-identical files.

Every sound is 16-bit PCM mono at 44100 Hz, normalised to a peak of -3 dBFS, begins with a
soft attack and ends in exact silence, so that a sound played in a loop restarts without a
click.
"""

import math
import os
import random
import struct
import wave

RATE = 44100
PEAK_DBFS = -3.0
HERE = os.path.dirname(os.path.abspath(__file__))


def frames(seconds):
    return int(round(seconds * RATE))


def raised_cosine(i, n):
    """0 to 1 over n samples, smooth at both ends."""
    return 0.5 - 0.5 * math.cos(math.pi * i / n)


def add_bell(buf, start, freq, partials, rng, attack=0.008, strike=0.0):
    """Adds one struck tone: a sum of decaying partials (ratio, amplitude, decay time in s).

    The attack is a short raised cosine so the tone never starts with a step. `strike` mixes
    in a very short burst of low-passed noise, the sound of the mallet, for brighter bells.
    """
    first = frames(start)
    n_attack = max(1, frames(attack))
    # Each partial starts at a random phase: the sum then has no big peak at the onset.
    voices = []
    for ratio, amp, tau in partials:
        f = freq * ratio
        if f >= RATE / 2 * 0.9:
            continue  # keep well below Nyquist: no aliasing
        voices.append((2 * math.pi * f / RATE, amp, 1.0 / (tau * RATE), rng.uniform(0, 2 * math.pi)))
    longest = max(tau for _, _, tau in partials)
    length = min(len(buf) - first, frames(longest * 9))  # about -80 dB by then
    noise_len = frames(0.012)
    lp = 0.0
    for i in range(length):
        env = raised_cosine(i, n_attack) if i < n_attack else 1.0
        s = 0.0
        for w, amp, rate, phase in voices:
            s += amp * math.exp(-i * rate) * math.sin(w * i + phase)
        if strike and i < noise_len:
            lp += 0.35 * (rng.uniform(-1.0, 1.0) - lp)  # one-pole low-pass: a soft "tok"
            s += strike * lp * (1.0 - i / noise_len)
        buf[first + i] += env * s


def add_beep(buf, start, duration, freq, edge=0.006):
    """Adds a soft square-ish beep: odd harmonics falling faster than a true square wave's."""
    first = frames(start)
    n = frames(duration)
    n_edge = frames(edge)
    harmonics = [(k, 1.0 / k ** 1.8) for k in (1, 3, 5, 7) if freq * k < RATE / 2 * 0.9]
    w = 2 * math.pi * freq / RATE
    for i in range(n):
        if i < n_edge:
            env = raised_cosine(i, n_edge)
        elif i >= n - n_edge:
            env = raised_cosine(n - i, n_edge)
        else:
            env = 1.0
        s = 0.0
        for k, amp in harmonics:
            s += amp * math.sin(k * w * i)
        buf[first + i] += env * s


def finish(buf, fade, silence):
    """Fades the end out and leaves `silence` seconds of exact zeros for the loop to restart."""
    n_sil = frames(silence)
    n_fade = frames(fade)
    end = len(buf) - n_sil
    for i in range(n_fade):
        buf[end - n_fade + i] *= raised_cosine(n_fade - i, n_fade)
    for i in range(end, len(buf)):
        buf[i] = 0.0


def write_wav(name, buf):
    peak = max(abs(x) for x in buf)
    gain = 10 ** (PEAK_DBFS / 20) / peak
    samples = [int(round(x * gain * 32767)) for x in buf]
    with wave.open(os.path.join(HERE, name), "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(struct.pack("<%dh" % len(samples), *samples))


# A mellow chime: nearly harmonic partials, the upper ones dying first.
SOFT_BELL = [
    (1.000, 1.00, 0.50),
    (1.003, 0.25, 0.45),  # a slightly detuned twin: a slow, gentle beating
    (2.000, 0.40, 0.30),
    (2.760, 0.18, 0.20),
    (4.070, 0.08, 0.12),
    (5.400, 0.04, 0.08),
]

# A carillon bell: more and stronger upper partials, a brighter metallic colour.
BRIGHT_BELL = [
    (0.500, 0.20, 0.40),  # the "hum" below the note
    (1.000, 1.00, 0.45),
    (1.200, 0.30, 0.30),
    (1.500, 0.25, 0.25),
    (2.000, 0.55, 0.22),
    (2.990, 0.30, 0.14),
    (4.160, 0.20, 0.09),
    (5.430, 0.12, 0.06),
]


def defaut():
    """Ding-dong: E5 then C5 (a descending major third)."""
    rng = random.Random(1)
    buf = [0.0] * frames(2.2)
    add_bell(buf, 0.00, 659.26, SOFT_BELL, rng)
    add_bell(buf, 0.42, 523.25, SOFT_BELL, rng)
    finish(buf, fade=0.40, silence=0.05)
    return buf


def carillon():
    """C5 E5 G5 C6, ascending; the last bell rings longer."""
    rng = random.Random(2)
    buf = [0.0] * frames(2.6)
    for k, freq in enumerate((523.25, 659.26, 783.99, 1046.50)):
        gain = 1.0 if k < 3 else 1.15
        bell = [(r, a * gain, t * (1.6 if k == 3 else 1.0)) for r, a, t in BRIGHT_BELL]
        add_bell(buf, 0.22 * k, freq, bell, rng, attack=0.005, strike=0.15)
    finish(buf, fade=0.35, silence=0.05)
    return buf


def reveil():
    """An alarm clock: four "bip-bip" pairs at A5, each pair followed by a short pause."""
    buf = [0.0] * frames(2.4)
    for k in range(4):
        t = 0.6 * k
        add_beep(buf, t, 0.09, 880.0)
        add_beep(buf, t + 0.16, 0.09, 880.0)
    finish(buf, fade=0.01, silence=0.05)
    return buf


def main():
    write_wav("Defaut.wav", defaut())
    write_wav("Carillon.wav", carillon())
    write_wav("Reveil.wav", reveil())


if __name__ == "__main__":
    main()
