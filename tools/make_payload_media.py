#!/usr/bin/env python3
"""Draws the note template pictures and synthesises the reminder sounds of the payload.

Run once by hand when they should change; the results are kept in payload/files:
    python3 tools/make_payload_media.py payload/files
Only the Python standard library is used, so every byte is ours.
"""
import math
import struct
import sys
import wave
import zlib
from pathlib import Path

SIZE = 120
RADIUS = 12
HEADER = 16

# Picture name, body colour, header colour, line colour (RGB).
TEMPLATES = [
    ("2020414132329879.png", (255, 244, 168), (240, 214, 92), (222, 196, 110)),
    ("2020419423246.png", (255, 214, 226), (236, 150, 178), (230, 170, 190)),
    ("20204194327671.png", (214, 243, 210), (120, 190, 120), (160, 210, 160)),
    ("2020420195131818.png", (214, 232, 248), (93, 142, 168), (143, 177, 195)),
    ("2020421192729143.png", (232, 220, 248), (150, 120, 200), (190, 170, 225)),
    ("2020422135529632.png", (255, 226, 196), (236, 150, 80), (235, 185, 140)),
    ("2020422174846835.png", (236, 236, 236), (150, 150, 150), (200, 200, 200)),
    ("202042217722349.png", (255, 255, 255), (210, 210, 210), (225, 225, 225)),
]


def inside_rounded(x, y):
    cx = min(max(x, RADIUS), SIZE - 1 - RADIUS)
    cy = min(max(y, RADIUS), SIZE - 1 - RADIUS)
    return (x - cx) ** 2 + (y - cy) ** 2 <= RADIUS ** 2


def template_pixels(body, header, line):
    rows = []
    for y in range(SIZE):
        row = bytearray()
        for x in range(SIZE):
            if not inside_rounded(x, y):
                row += bytes((0, 0, 0, 0))
            elif not inside_rounded(x - 1, y) or not inside_rounded(x + 1, y) or \
                    not inside_rounded(x, y - 1) or not inside_rounded(x, y + 1):
                row += bytes(header) + b"\xff"
            elif y < HEADER:
                row += bytes(header) + b"\xff"
            elif y > HEADER + 8 and (y - HEADER) % 12 == 0 and 8 <= x < SIZE - 8:
                row += bytes(line) + b"\xff"
            else:
                row += bytes(body) + b"\xff"
        rows.append(bytes(row))
    return rows


def png(rows, width, height):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    raw = b"".join(b"\x00" + row for row in rows)
    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) +
            chunk(b"IEND", b""))


def chime_wav(path):
    rate = 22050
    samples = []
    for i in range(int(rate * 0.9)):
        t = i / rate
        tone = 880 if t < 0.3 else 660 if t < 0.6 else 990
        envelope = math.exp(-6 * (t % 0.3))
        samples.append(int(12000 * envelope * math.sin(2 * math.pi * tone * t)))
    with wave.open(str(path), "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(rate)
        out.writeframes(b"".join(struct.pack("<h", s) for s in samples))


def variable_length(value):
    out = bytearray([value & 0x7F])
    value >>= 7
    while value:
        out.insert(0, (value & 0x7F) | 0x80)
        value >>= 7
    return bytes(out)


def melody_mid(path, program, notes):
    """A one-track standard MIDI file: `notes` are (key, ticks) pairs at 480 ticks a beat."""
    track = bytearray()
    track += b"\x00\xff\x51\x03" + struct.pack(">I", 500000)[1:]  # 120 beats a minute
    track += b"\x00\xc0" + bytes([program])
    for key, ticks in notes:
        track += b"\x00\x90" + bytes([key, 96])
        track += variable_length(ticks) + b"\x80" + bytes([key, 0])
    track += b"\x00\xff\x2f\x00"
    header = b"MThd" + struct.pack(">IHHH", 6, 0, 1, 480)
    path.write_bytes(header + b"MTrk" + struct.pack(">I", len(track)) + bytes(track))


MELODIES = [
    # (program, notes): marimba, music box, flute, vibraphone, celesta
    (12, [(72, 240), (76, 240), (79, 240), (84, 480)]),
    (10, [(79, 240), (77, 240), (76, 240), (74, 240), (72, 480)]),
    (73, [(67, 480), (72, 480), (71, 240), (69, 240), (67, 480)]),
    (11, [(60, 240), (64, 240), (67, 240), (72, 240), (67, 240), (72, 480)]),
    (8, [(84, 160), (88, 160), (91, 160), (96, 480)]),
]


def main():
    target = Path(sys.argv[1])
    (target / "res").mkdir(parents=True, exist_ok=True)
    (target / "sound").mkdir(parents=True, exist_ok=True)
    for name, body, header, line in TEMPLATES:
        (target / "res" / name).write_bytes(png(template_pixels(body, header, line), SIZE, SIZE))
    chime_wav(target / "sound" / "sound1.wav")
    for number, (program, notes) in enumerate(MELODIES, start=2):
        melody_mid(target / "sound" / f"sound{number}.mid", program, notes)


if __name__ == "__main__":
    main()
