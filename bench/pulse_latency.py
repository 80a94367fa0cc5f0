#!/usr/bin/env python3
"""Key -> first audible sample of the real program through a real PulseAudio
server, measured from outside. Runs under bench/pulse_latency.sh, which starts
a private X server (DISPLAY) and a private PulseAudio server (PULSE_SERVER)
with a null sink "quillo". The sink's monitor is recorded in 5 ms chunks,
each stamped with CLOCK_MONOTONIC as it arrives. Keys are sent through the
X server's XTEST extension on one open connection (python3-xlib), stamped
just before the server has them, so that starting a key-sending program is
not counted; xdotool finds and activates the window.

  pulse_latency.py QUILLO_BINARY KEYS STARTS
"""
import os, struct, subprocess, sys, threading, time

from Xlib import X, XK, display as xdisplay
from Xlib.ext import xtest

RATE = 48000
CHUNK = RATE // 200  # 5 ms of mono 16-bit
binary, keys, starts = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
chunks = []  # (stamp in ns, index of first loud sample or -1, the samples)
lock = threading.Lock()


def record():
    rec = subprocess.Popen(["parec", "--device=quillo.monitor", "--latency-msec=5", "--raw",
                            "--format=s16le", "--channels=1", "--rate=%d" % RATE],
                           stdout=subprocess.PIPE, bufsize=0)
    while True:
        data = b""
        while len(data) < CHUNK * 2:
            more = rec.stdout.read(CHUNK * 2 - len(data))
            if not more:
                return
            data += more
        now = time.monotonic_ns()
        samples = struct.unpack("<%dh" % CHUNK, data)
        first = next((i for i, v in enumerate(samples) if abs(v) > 300), -1)
        with lock:
            chunks.append((now, first, samples))


def heard_after(t0, until_ns):
    """When the first loud sample after t0 reached the monitor, or None."""
    deadline = time.monotonic_ns() + until_ns
    while time.monotonic_ns() < deadline:
        with lock:
            for stamp, first, _ in chunks:
                if stamp > t0 and first >= 0:
                    # The chunk arrived at `stamp`; its loud sample was that
                    # many samples before the chunk's end.
                    return stamp - (CHUNK - first) * 1_000_000_000 // RATE
        time.sleep(0.005)
    return None


def tone_heard(t0, seconds):
    """After t0, how long the steady tone lasted before its first break (a
    stretch of 2 ms or more at the silence level): an underrun breaks it
    early. (In word mode the word cue follows it after a short break.)"""
    time.sleep(seconds + 1.5)
    with lock:
        samples = [v for stamp, _, chunk in chunks if stamp > t0 for v in chunk]
    start = next((i for i, v in enumerate(samples) if abs(v) > 300), None)
    if start is None:
        return 0.0
    quiet, end = 0, start
    for i in range(start, len(samples)):
        if abs(samples[i]) > 300:
            quiet, end = 0, i
        else:
            quiet += 1
            if quiet == RATE // 500:
                break
    return (end - start + 1) * 1000.0 / RATE


def window_of(pid, timeout=10):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        out = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid)],
                             capture_output=True, text=True).stdout.split()
        if out:
            return out[-1]
        time.sleep(0.005)
    return None


xserver = xdisplay.Display()


def key(name):
    """Presses and releases a key; returns the clock when the press was sent."""
    if os.environ.get("KEYS_FROM") == "xdotool":  # for comparison: a program started for each key
        stamp = time.monotonic_ns()
        subprocess.run(["xdotool", "key", name], check=True)
        return stamp
    code = xserver.keysym_to_keycode(XK.string_to_keysym(name))
    stamp = time.monotonic_ns()
    xtest.fake_input(xserver, X.KeyPress, code)
    xserver.sync()
    xtest.fake_input(xserver, X.KeyRelease, code)
    xserver.sync()
    return stamp


def cpu_ticks(pid):
    fields = open("/proc/%d/stat" % pid).read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])


def stats(name, values):
    v = sorted(values)
    if not v:
        print("%s: no values" % name)
        return
    p95 = v[min(len(v) - 1, int(round(0.95 * (len(v) - 1))))]
    print("%s: median %.1f ms, p95 %.1f ms, min %.1f, max %.1f (n=%d)"
          % (name, v[len(v) // 2], p95, v[0], v[-1], len(v)))


threading.Thread(target=record, daemon=True).start()
time.sleep(2.5)  # the sink takes the recorder's latency after the block it is in

first_keys, shown_ms = [], []
latencies, idle = [], None
for run in range(starts):
    t_exec = time.monotonic_ns()
    prog = subprocess.Popen([binary], stderr=subprocess.DEVNULL)
    win = window_of(prog.pid)
    t_shown = time.monotonic_ns()
    if win is None:
        print("no window"); prog.kill(); sys.exit(1)
    subprocess.run(["xdotool", "windowactivate", "--sync", win], capture_output=True)
    t_key = key("1")
    heard = heard_after(t_key, 3_000_000_000)
    shown_ms.append((t_shown - t_exec) / 1e6)
    if heard:
        first_keys.append((heard - t_shown) / 1e6)
    time.sleep(0.8)
    if run == starts - 1:
        for i in range(keys):
            time.sleep(0.3 + (i % 7) * 0.037)  # not in step with the device's period
            t_key = key(str(1 + i % 9))
            heard = heard_after(t_key, 2_000_000_000)
            if heard:
                latencies.append((heard - t_key) / 1e6)
            time.sleep(0.5)
        time.sleep(2)
        tick = os.sysconf("SC_CLK_TCK")
        before, t0 = cpu_ticks(prog.pid), time.monotonic()
        time.sleep(10)
        idle = 100.0 * (cpu_ticks(prog.pid) - before) / tick / (time.monotonic() - t0)
        # "0" says a steady tone of TONE_SECONDS: it must come out whole.
        tone_seconds = float(os.environ.get("TONE_SECONDS", "0"))
        if tone_seconds > 0:
            tone_ms = tone_heard(key("0"), tone_seconds)
    prog.terminate()
    prog.wait()

stats("key -> audible", latencies)
print("keys not heard: %d of %d" % (keys - len(latencies), keys))
stats("exec -> window shown", shown_ms)
stats("window shown -> first key heard", first_keys)
print("idle CPU over 10 s with the server running: %.2f %% of a core" % idle)
if tone_seconds > 0:
    print("a %.1f s tone: heard unbroken for %.1f ms" % (tone_seconds, tone_ms))
