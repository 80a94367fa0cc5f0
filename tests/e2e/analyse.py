#!/usr/bin/env python3
"""Checks for the end-to-end run: what a screenshot shows, what the audio
capture holds, what the settings file says. Exit status 0 when every check
holds; otherwise the failed checks are printed."""
import os
import subprocess
import sys

# Window layout at 96 dpi (15 twips a pixel) on a 1024x768 screen.
GREEN = (0, 192, 0)
REGIONS = {
    "sheet": (20, 110, 1000, 740),
    "word": (14, 14, 610, 84),
    "picture": (642, 2, 735, 95),
}
CORNERS = [(9, 97), (9, 9)]  # just inside the sheet's and the word box's top-left corners


def load_png(path):
    raw = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], check=True, capture_output=True).stdout
    size = subprocess.run(["identify", "-format", "%w %h", path], check=True, capture_output=True, text=True).stdout
    w, h = map(int, size.split())
    return w, h, raw


def pixel(img, x, y):
    w, _, raw = img
    i = (y * w + x) * 3
    return tuple(raw[i:i + 3])


def colours(img, box):
    x0, y0, x1, y1 = box
    return {pixel(img, x, y) for y in range(y0, y1, 2) for x in range(x0, x1, 2)}


def check_screen(path, wanted):
    img = load_png(path)
    failures = []
    for want in wanted:
        area, _, state = want.partition("-")
        if area == "corners":
            bad = [c for c in CORNERS if pixel(img, *c) != GREEN]
            if bad:
                failures.append(f"{want}: corner pixels {[pixel(img, *c) for c in CORNERS]} are not the window green")
            continue
        if state.startswith("rgb="):
            # Most of the area is this colour (a picture of one colour on show).
            want_rgb = tuple(int(state[4 + 2 * k:6 + 2 * k], 16) for k in range(3))
            x0, y0, x1, y1 = REGIONS[area]
            samples = [pixel(img, x, y) for y in range(y0, y1, 2) for x in range(x0, x1, 2)]
            near = sum(1 for p in samples if max(abs(a - b) for a, b in zip(p, want_rgb)) <= 8)
            if near * 2 < len(samples):
                failures.append(f"{want}: only {near} of {len(samples)} pixels of the {area} area are that colour")
            continue
        found = colours(img, REGIONS[area])
        if state == "" or state == "text":
            ok = len(found) > 1
        elif state == "blank":
            ok = len(found) == 1 and GREEN not in found
        elif state == "hidden":
            ok = found == {GREEN}
        else:
            raise SystemExit(f"unknown check {want}")
        if not ok:
            failures.append(f"{want}: {len(found)} colours in the {area} area ({sorted(found)[:4]}...)")
    return failures


def wav_signature(path, length=600):
    data = open(path, "rb").read()
    i = 12
    while i + 8 <= len(data):
        tag, size = data[i:i + 4], int.from_bytes(data[i + 4:i + 8], "little")
        if tag == b"data":
            pcm = data[i + 8:i + 8 + size]
            start = next((k for k in range(0, len(pcm) - 1, 2) if pcm[k:k + 2] != b"\0\0"), 0)
            return pcm[start:start + length]
        i += 8 + size + (size & 1)
    raise SystemExit(f"{path}: no data chunk")


def find(capture, signature, start):
    i = capture.find(signature, start)
    while i >= 0 and i % 2:
        i = capture.find(signature, i + 1)
    return i


def check_sounds(capture_path, media, mode, args):
    capture = open(capture_path, "rb").read()
    letters = os.path.join(media, "alfabeto")
    words = os.path.join(media, "parole")
    failures = []
    if mode == "letters-and-words":
        pos = 0
        for letter in args[0]:
            for name in (letter + ".wav", "d.wav"):
                at = find(capture, wav_signature(os.path.join(letters, name)), pos)
                if at < 0:
                    failures.append(f"{name} (for {letter}) not heard after byte {pos}")
                    return failures
                pos = at + 2
            heard = []
            for name in os.listdir(words):
                if name.lower().startswith(letter) and name.endswith(".wav"):
                    at = find(capture, wav_signature(os.path.join(words, name)), pos)
                    if at >= 0:
                        heard.append((at, name))
            if not heard:
                failures.append(f"no word beginning with {letter} heard after its cue")
                return failures
            pos = min(heard)[0] + 2
            print(f"  {letter}: word {min(heard)[1]}")
    elif mode == "heard" or mode == "not-heard":
        # Recordings (paths, or relative to the media folder) heard in this
        # order, or none of them heard at all.
        pos = 0
        for name in args:
            at = find(capture, wav_signature(os.path.join(media, name)), pos)
            if mode == "heard" and at < 0:
                failures.append(f"{name} not heard after byte {pos}")
                return failures
            if mode == "not-heard" and at >= 0:
                failures.append(f"{name} heard at byte {at}")
            if mode == "heard":
                pos = at + 2
    elif mode == "ends-with":
        # The last recordings heard are these, in this order.
        pos = None
        for name in args:
            sig = wav_signature(os.path.join(letters, name))
            at = capture.rfind(sig)
            if at < 0 or (pos is not None and at < pos):
                failures.append(f"{name} not heard last in order")
            pos = at
    return failures


def check_settings(path, wanted):
    if not os.path.exists(path):
        return [f"{path} was not written"]
    values = {}
    for line in open(path, encoding="utf-8"):
        key, eq, value = line.strip().partition("=")
        if eq:
            values[key] = value
    return [f"{w}: found {values.get(w.split('=')[0])}" for w in wanted if values.get(w.split("=")[0]) != w.split("=")[1]]


def main():
    kind, target, *rest = sys.argv[1:]
    if kind == "screen":
        failures = check_screen(target, rest)
    elif kind == "sounds":
        failures = check_sounds(target, rest[0], rest[1], rest[2:])
    elif kind == "settings":
        failures = check_settings(target, rest)
    else:
        raise SystemExit(f"unknown check {kind}")
    for f in failures:
        print("  " + f)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
