#!/usr/bin/env python3
"""Writes resources/demo/demo-beat.mid: four bars at 112 BPM that play most parts of a kit
(MIDI note n plays part n mod 12). A Standard MIDI File, format 1: a tempo track and a
drum track. Run from the repository root: python3 tools/demo/make_demo_beat.py"""
import struct
from pathlib import Path

PPQ = 480
SIXTEENTH = PPQ // 4
BPM = 112

# part: note number (C=36 ... B=47)
KICK, KICK2, SNARE, RIM, HAT, HAT2, PERC, PERC2, FX, FX2, SYNTH, SYNTH2 = range(36, 48)

PATTERN = {  # sixteenth steps of one bar: (note, velocity)
    KICK: [(0, 127), (6, 100), (8, 120), (11, 90)],
    SNARE: [(4, 118), (12, 122)],
    RIM: [(15, 70)],
    HAT: [(s, 80 if s % 4 else 105) for s in range(0, 16, 2)],
    HAT2: [(s, 60) for s in (3, 7, 11, 13)],
    PERC: [(10, 90)],
    PERC2: [(14, 75)],
    SYNTH: [(0, 100), (3, 90), (8, 100)],
}
FILLS = {  # extra hits in the last bar
    KICK2: [(12, 110), (13, 100), (14, 110), (15, 120)],
    FX: [(0, 100)],
    SYNTH2: [(6, 95), (14, 95)],
    FX2: [(8, 90)],
}

def variable_length(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.insert(0, (value & 0x7F) | 0x80)
        value >>= 7
    return bytes(out)

def track(events):
    data, now = b"", 0
    for tick, message in sorted(events, key=lambda e: (e[0], e[1][0] & 0xF0 != 0x80)):
        data += variable_length(tick - now) + message
        now = tick
    data += variable_length(0) + b"\xff\x2f\x00"
    return b"MTrk" + struct.pack(">I", len(data)) + data

def main():
    tempo = [(0, b"\xff\x51\x03" + (60_000_000 // BPM).to_bytes(3, "big")),
             (0, b"\xff\x58\x04\x04\x02\x18\x08")]
    notes = []
    for bar in range(4):
        hits = dict(PATTERN)
        if bar == 3:
            hits.update(FILLS)
        for note, steps in hits.items():
            for step, velocity in steps:
                start = (bar * 16 + step) * SIXTEENTH
                notes.append((start, bytes([0x99, note, velocity])))
                notes.append((start + SIXTEENTH // 2, bytes([0x89, note, 0])))
    header = b"MThd" + struct.pack(">IHHH", 6, 1, 2, PPQ)
    out = Path(__file__).resolve().parents[2] / "resources" / "demo" / "demo-beat.mid"
    out.write_bytes(header + track(tempo) + track(notes))

if __name__ == "__main__":
    main()
