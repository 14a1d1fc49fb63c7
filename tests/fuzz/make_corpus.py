#!/usr/bin/env python3
"""Writes the small seed corpus of each fuzz target into tests/fuzz/corpus/NAME/.

The seeds are the ordinary cases, spelt in each target's input layout (see the
target's source), from which the fuzzer reaches the odd ones. Run it after a
change of a layout: python3 tests/fuzz/make_corpus.py
"""
import pathlib
import shutil
import struct

here = pathlib.Path(__file__).resolve().parent / "corpus"


def u16(n):
    return struct.pack(">H", n)


def u32(n):
    return struct.pack(">I", n & 0xFFFFFFFF)


def text(s):
    data = s.encode("latin-1")
    return bytes([len(data)]) + data


def grid(*values):   # coordinates of the layout target: (byte - 128) * scale
    return bytes(128 + v for v in values)


def small(n):        # a step of the frame schedule target: kind 2, n microseconds
    return bytes([2]) + u16(n)


corpus = {
    "settings_store": {
        # mapped; four keys with nothing stored; write password "ab" x 3
        "mapped_write": bytes([1, 0, 0, 0, 0, 0b0000_1000]) + text("ab") + u16(3),
        # control.ini holds "span" and refuses; monitors written, then deleted
        "closed_file": bytes([0, 0, 1]) + text("span") + bytes([0, 0, 0b0000_0101]) + text("sep") + u16(1)
        + bytes([0b0100_0101]) + text("") + u16(0),
        # an empty per-user value left by an earlier version, over "yes" in control.ini
        "old_empty_value": bytes([0, 7]) + text("yes") + bytes([0, 0, 0, 0b0000_0000]) + text("no") + u16(1),
        # both stores refuse
        "nothing_writable": bytes([0, 0, 0, 0, 0, 0b0000_1111]) + text("x") + u16(40),
    },
    "preview_handle": {
        "preview": text("/p 1234") + bytes(8),
        "configure": text("/c:5678") + bytes(8),
        "arguments": text("-r 5 /p:12 -x") + bytes([1, 0]) + text("9 ") + bytes(4),
        "too_large": text("/p 4294967296") + bytes(8) + bytes([3, 1]) + u16(7) * 4 + bytes([0, 2]),
    },
    "monitor_layout": {
        # 800x600 primary with 640x480 right of it, at scale 160; the saver over the primary
        "side_by_side": bytes([2, 1]) + grid(0, 0, 5, 4) + grid(5, 0, 9, 3) + bytes([2]) + u32(800) + bytes([0])
        + u32(600) + bytes([0]) + u32(800) + bytes([0]) + u32(640),
        "clone": bytes([2, 2]) + grid(0, 0, 5, 4) + grid(5, 0, 9, 3) + grid(5, 0, 9, 3) + bytes([3]),
        "overlap": bytes([2, 2]) + grid(0, 0, 5, 4) + grid(3, 2, 8, 6) + grid(-4, -1, 0, 5) + bytes([3]),
        "empty_and_far": bytes([4, 2]) + grid(0, 0, 5, 4) + grid(9, 9, 9, 20) + grid(-128, -128, 127, 127)
        + bytes([0]) + grid(0, 0, 5, 4),
    },
    "frame_schedule": {
        # 60 Hz, 1 ms frames of 20 us, showings of 200 us
        "light": u32(65) + u32(0) + u32(10_000_000) + small(0) + (bytes([1, 200]) + small(20)) * 24,
        # 144 Hz, 5 ms frames of 3 ms, a stall of 0.4 s
        "heavy_stall": u32(149) + u32(4) + u32(5_000_000) + small(0) + (bytes([1, 50]) + small(3000)) * 8
        + bytes([1, 50, 0]) + u16(10_000) + (bytes([1, 50]) + small(3000)) * 8,
        # the clock goes back 0.8 s in the middle of a batch
        "clock_back": u32(65) + u32(0) + u32(10_000_000) + small(0) + (bytes([1, 100]) + small(500)) * 8
        + bytes([1, 100, 1]) + u16(20_000) + (bytes([1, 100]) + small(500)) * 8,
    },
    "pointer_motion": {
        # a drift of 120 pixels a second reported every 8 ms, then a walk and a jump
        "slow_drift": bytes([60, 0]) + u32(5000) + bytes([8] * 160) + u32(400) + u32(300) + u32(5000)
        + bytes([3, 48, 1, 0]) * 40 + bytes([1, 16, 100, 0]),
        # 250 pixels a second, diagonally, every millisecond
        "fast_drift": bytes([125, 125]) + u32(0xFFFFFF00) + bytes([1] * 160),
        # the message clock wraps during a walk
        "wrap": bytes([0, 0]) + u32(0) + bytes(160) + u32(0) + u32(0) + u32(0xFFFFFFF0) + bytes([3, 16, 2, 1]) * 60,
    },
    "text_input": {
        "date": b"25-Dec-1995 10:15:28",
        "date_numbers": b"25/12/95",
        "date_digits": b"19951225",
        "password_form": b"1c 1a 1e 48",
        "mixed_case": b"Tulip Moved",
    },
}

for name, seeds in corpus.items():
    folder = here / name
    shutil.rmtree(folder, ignore_errors=True)
    folder.mkdir(parents=True)
    for seed, data in seeds.items():
        (folder / seed).write_bytes(data)
