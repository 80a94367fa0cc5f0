#!/usr/bin/env python3
"""The held-key tests' recordings and verdict, for X11 and Wayland alike.
    held_key.py tones FOLDER
writes a.wav (a soft 0.6 s tone) and b.wav (a loud 0.3 s one) into FOLDER,
so that what is heard tells them apart and counts the a's by their length.
    held_key.py judge SPANS HOLD_FROM RELEASED B_FROM ON_SHEET
judges the sounds in SPANS ("start end peak" lines, seconds, as
sound_log.py --spans prints them) against the times of the hold, its release
and the key b, and the a's on the sheet after the hold (the tap's
included). Exit status 0 when every check holds."""
import math
import struct
import sys
import wave

A_SECONDS, A_LEVEL = 0.6, 6000
B_SECONDS, B_LEVEL = 0.3, 24000


def tones(folder):
    for name, seconds, level in (("a", A_SECONDS, A_LEVEL), ("b", B_SECONDS, B_LEVEL)):
        with wave.open(f"{folder}/{name}.wav", "wb") as w:
            w.setnchannels(1)
            w.setsampwidth(2)
            w.setframerate(22050)
            w.writeframes(b"".join(struct.pack("<h", int(level * math.sin(i * 0.1)))
                                   for i in range(int(22050 * seconds))))


def judge(spans_path, hold_from, released, b_from, on_sheet):
    spans = [tuple(map(float, line.split())) for line in open(spans_path) if line.strip()]
    held = [s for s in spans if hold_from <= s[0] < b_from and s[2] < (A_LEVEL + B_LEVEL) / 2]
    after_b = [s for s in spans if s[0] >= b_from]
    ok = True

    def check(holds, message):
        nonlocal ok
        print(("" if holds else "FAIL: ") + message)
        ok = ok and holds

    heard = sum(end - start + 0.005 for start, end, _ in held)
    sounds = round(heard / A_SECONDS)
    tail = max((end for _, end, _ in held), default=released) - released
    check(sounds >= 2, f"a held {released - hold_from:.1f} s was heard {sounds} times ({heard:.2f} s of sound)")
    check(tail < 1.5, f"{max(tail, 0):.2f} s of a heard after the key was let go (at most the sound under way)")
    check(on_sheet - 1 == sounds, f"the sheet got {on_sheet - 1} a's for {sounds} heard")
    check(bool(after_b) and after_b[0][2] > (A_LEVEL + B_LEVEL) / 2 and after_b[0][0] - b_from < 1.5,
          "b, typed after the release, is heard next"
          + (f" ({after_b[0][0] - b_from:.2f} s after its key)" if after_b else ""))
    return ok


if __name__ == "__main__":
    if sys.argv[1] == "tones":
        tones(sys.argv[2])
    else:
        sys.exit(0 if judge(sys.argv[2], *map(float, sys.argv[3:6]), int(sys.argv[6])) else 1)
