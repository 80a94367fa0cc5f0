#!/usr/bin/env python3
"""What a child hears, stamped: records the monitor of the test sound server's
sink "quillo" in 5 ms chunks and writes one line per chunk, the wall clock
when it arrived and its peak, to OUT (flushed as it goes), until killed.
    sound_log.py OUT
    sound_log.py --spans LOG THRESHOLD [FROM]
prints the sounds in LOG as "start end peak" lines (seconds of the wall
clock): runs of chunks louder than THRESHOLD, split where 20 ms are quieter,
from the wall-clock time FROM on.
    sound_log.py --raw-spans CAPTURE RATE THRESHOLD
does the same for a raw mono 16-bit capture at RATE Hz (SDL's disk driver),
its times counted from the capture's start."""
import array
import subprocess
import sys
import time

RATE = 48000
CHUNK = RATE // 200  # 5 ms of mono 16-bit samples


def record(out_path):
    parec = subprocess.Popen(
        ["parec", "--device=quillo.monitor", "--raw", "--format=s16le", f"--rate={RATE}",
         "--channels=1", "--latency-msec=5"], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    with open(out_path, "w") as out:
        while True:
            data = parec.stdout.read(CHUNK * 2)
            if not data:
                break
            samples = array.array("h", data[: len(data) // 2 * 2])
            out.write(f"{time.time():.4f} {max((abs(s) for s in samples), default=0)}\n")
            out.flush()


def log_chunks(log_path, start_from):
    for line in open(log_path):
        fields = line.split()
        if len(fields) == 2 and float(fields[0]) >= start_from:
            yield float(fields[0]), int(fields[1])


def raw_chunks(capture_path, rate):
    samples = array.array("h")
    data = open(capture_path, "rb").read()
    samples.frombytes(data[: len(data) // 2 * 2])
    chunk = rate // 200
    for i in range(0, len(samples), chunk):
        yield i / rate, max((abs(s) for s in samples[i:i + chunk]), default=0)


def spans(chunks, threshold):
    found = []
    quiet = 0
    for stamp, peak in chunks:
        if peak > threshold:
            if found and quiet < 4:
                found[-1][1] = stamp
                found[-1][2] = max(found[-1][2], peak)
            else:
                found.append([stamp, stamp, peak])
            quiet = 0
        else:
            quiet += 1
    for start, end, peak in found:
        print(f"{start:.3f} {end:.3f} {peak}")


if __name__ == "__main__":
    if sys.argv[1] == "--spans":
        spans(log_chunks(sys.argv[2], float(sys.argv[4]) if len(sys.argv) > 4 else 0.0), int(sys.argv[3]))
    elif sys.argv[1] == "--raw-spans":
        spans(raw_chunks(sys.argv[2], int(sys.argv[3])), int(sys.argv[4]))
    else:
        record(sys.argv[1])
