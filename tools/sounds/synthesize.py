#!/usr/bin/env python3
"""Writes the connection sounds as 16-bit mono 44.1 kHz AIFF files.

    tools/sounds/synthesize.py [RESOURCES]     (default: the repository's resources/)

RESOURCES/SystemSounds gets the three sounds that stand in for the Mac's
system alert sounds (Bottle, Pop, Submarine); RESOURCES/Sounds gets the six
bundled connect sounds, and a "_rev" companion for each of those and for
each system sound: the same samples backwards, played on disconnect.

Needs only Python's standard library; its aifc module is there up to
Python 3.12 (Debian 12 has 3.11). Everything is computed from fixed seeds, so
running it again writes the same bytes. Every sound starts and ends with a short fade, so neither it nor its
reversal clicks.
"""

import math
import os
import random
import struct
import sys
import warnings

with warnings.catch_warnings():
    warnings.simplefilter("ignore", DeprecationWarning)
    import aifc

RATE = 44100
PEAK = 0.7  # of full scale, leaving room when sounds overlap


def tail(i, n, seconds=0.012):
    """Ramps a component to zero over its last moments, so it never stops on a step."""
    return min(1.0, (n - i) / (seconds * RATE))


def silence(seconds):
    return [0.0] * round(seconds * RATE)


def mix(into, sound, at=0.0, gain=1.0):
    start = int(at * RATE)
    need = start + len(sound)
    if len(into) < need:
        into.extend([0.0] * (need - len(into)))
    for i, s in enumerate(sound):
        into[start + i] += s * gain
    return into


def sweep(seconds, f_start, f_end, decay, attack=0.004):
    """A sine whose pitch glides exponentially from f_start to f_end."""
    n = int(seconds * RATE)
    out, phase = [], 0.0
    for i in range(n):
        t = i / RATE
        f = f_start * (f_end / f_start) ** (t / seconds)
        phase += 2 * math.pi * f / RATE
        env = min(1.0, t / attack) * math.exp(-t / decay) * tail(i, n)
        out.append(math.sin(phase) * env)
    return out


def bubble(seconds, f_start, f_end, decay):
    """A bubble: a rising glide with a little second harmonic for body."""
    base = sweep(seconds, f_start, f_end, decay)
    overtone = sweep(seconds, 2 * f_start, 2 * f_end, decay / 2)
    return [b + 0.25 * o for b, o in zip(base, overtone)]


def tone(seconds, freq, decay, partials=((1, 1.0),), attack=0.006):
    n = int(seconds * RATE)
    out = []
    for i in range(n):
        t = i / RATE
        env = min(1.0, t / attack) * math.exp(-t / decay) * tail(i, n)
        out.append(env * sum(a * math.sin(2 * math.pi * freq * k * t) for k, a in partials))
    return out


def fm(seconds, carrier_start, carrier_end, ratio, index, decay):
    """Frequency modulation with a falling index: a rounded, watery blob."""
    n = int(seconds * RATE)
    out, cphase, mphase = [], 0.0, 0.0
    for i in range(n):
        t = i / RATE
        fc = carrier_start * (carrier_end / carrier_start) ** (t / seconds)
        cphase += 2 * math.pi * fc / RATE
        mphase += 2 * math.pi * fc * ratio / RATE
        depth = index * math.exp(-t / (decay / 2))
        env = min(1.0, t / 0.005) * math.exp(-t / decay) * tail(i, n)
        out.append(math.sin(cphase + depth * math.sin(mphase)) * env)
    return out


def noise(seconds, decay, seed, smooth=0.5):
    """Soft noise (one-pole low-pass) that dies away."""
    rng = random.Random(seed)
    n = int(seconds * RATE)
    out, last = [], 0.0
    for i in range(n):
        last = smooth * last + (1 - smooth) * rng.uniform(-1, 1)
        out.append(last * math.exp(-(i / RATE) / decay) * tail(i, n))
    return out


def finish(samples, fade_in=0.005, fade_out=0.03):
    """Normalises to PEAK and fades both ends to silence."""
    top = max(abs(s) for s in samples) or 1.0
    samples = [s * PEAK / top for s in samples]
    n = len(samples)
    rise, fall = int(fade_in * RATE), int(fade_out * RATE)
    for i in range(rise):
        samples[i] *= i / rise
    for i in range(fall):
        samples[n - 1 - i] *= i / fall
    return samples


def water_bubble():
    s = bubble(0.22, 380, 1150, 0.09)
    mix(s, bubble(0.2, 520, 1500, 0.07), at=0.11, gain=0.7)
    return mix(s, silence(0.42))


def water_drop_stutter():
    s = []
    for k, at in enumerate((0.0, 0.085, 0.17)):
        mix(s, bubble(0.14, 900 - 90 * k, 1900 - 200 * k, 0.035), at=at, gain=1.0 - 0.25 * k)
    return mix(s, silence(0.5))


def connect_usb():
    partials = ((1, 1.0), (2, 0.3), (3, 0.08))
    s = tone(0.16, 740, 0.08, partials)
    mix(s, tone(0.3, 1109, 0.12, partials), at=0.11)
    return mix(s, silence(0.45))


def droplet():
    s = sweep(0.05, 700, 2300, 0.05)
    mix(s, tone(0.3, 2300, 0.06, ((1, 1.0), (2.01, 0.15))), at=0.045, gain=0.6)
    return mix(s, silence(0.35))


def bloop():
    return mix(fm(0.36, 330, 190, 1.5, 2.5, 0.1), silence(0.38))


def deep_drop():
    s = sweep(0.6, 520, 120, 0.16)
    mix(s, sweep(0.6, 1040, 240, 0.06), gain=0.2)
    return mix(s, silence(0.65))


def bottle():
    # A blown bottle: a hollow tone that swells in on a breath of noise.
    n = int(0.55 * RATE)
    body = tone(0.55, 420, 0.2, ((1, 1.0), (3, 0.12)), attack=0.05)
    breath = noise(0.55, 0.08, seed=7, smooth=0.9)
    return [body[i] + 0.35 * breath[i] for i in range(n)]


def pop():
    s = sweep(0.12, 900, 260, 0.025)
    mix(s, noise(0.03, 0.006, seed=3, smooth=0.3), gain=0.5)
    return mix(s, silence(0.2))


def submarine():
    # A sonar ping with one fainter echo.
    ping = tone(0.5, 1180, 0.12, ((1, 1.0), (2, 0.05)), attack=0.01)
    s = mix(list(ping), ping, at=0.28, gain=0.3)
    return mix(s, silence(0.8))


def write_aiff(path, samples):
    frames = b"".join(struct.pack(">h", round(max(-1.0, min(1.0, s)) * 32767)) for s in samples)
    with aifc.open(path, "wb") as out:
        out.aiff()
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(frames)


BUNDLED = {
    "WaterBubble": water_bubble,
    "WaterDropStutter": water_drop_stutter,
    "ConnectUSB": connect_usb,
    "Droplet": droplet,
    "Bloop": bloop,
    "DeepDrop": deep_drop,
}
SYSTEM = {"Bottle": bottle, "Pop": pop, "Submarine": submarine}


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    resources = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "resources")
    sounds = os.path.join(resources, "Sounds")
    system = os.path.join(resources, "SystemSounds")
    os.makedirs(sounds, exist_ok=True)
    os.makedirs(system, exist_ok=True)
    for folder, table in ((sounds, BUNDLED), (system, SYSTEM)):
        for name, make in table.items():
            samples = finish(make())
            write_aiff(os.path.join(folder, name + ".aiff"), samples)
            write_aiff(os.path.join(sounds, name + "_rev.aiff"), samples[::-1])
            print(f"{name}: {len(samples) / RATE:.3f} s")


if __name__ == "__main__":
    main()
