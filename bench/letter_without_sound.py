#!/usr/bin/env python3
"""Key -> letter on the sheet of the real program when the sound server is
missing or sick, measured from outside. Runs under bench/letter_without_sound.sh,
which starts a private X server (DISPLAY). For each case a private PulseAudio
server (tests/e2e/pulse-server.sh) is started as the case needs it; keys go
through XTEST on one open connection, and the window's pixels are read until
they change.

  letter_without_sound.py QUILLO_BINARY PULSE_SCRIPT WORK_DIR KEYS
"""
import os, signal, subprocess, sys, time

from Xlib import X, XK, display as xdisplay
from Xlib.ext import xtest

binary, pulse_script, work, keys = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
xserver = xdisplay.Display()


def window_of(pid, timeout=10):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        out = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid)],
                             capture_output=True, text=True).stdout.split()
        if out:
            return int(out[-1])
        time.sleep(0.01)
    return None


def pixels(win):
    w = xserver.create_resource_object("window", win)
    g = w.get_geometry()
    return w.get_image(0, 0, g.width, g.height, X.ZPixmap, 0xFFFFFFFF).data


def key_to_letter(win, name, timeout=5.0):
    before = pixels(win)
    code = xserver.keysym_to_keycode(XK.string_to_keysym(name))
    t0 = time.monotonic()
    xtest.fake_input(xserver, X.KeyPress, code)
    xserver.sync()
    xtest.fake_input(xserver, X.KeyRelease, code)
    xserver.sync()
    while time.monotonic() - t0 < timeout:
        if pixels(win) != before:
            return (time.monotonic() - t0) * 1000
        time.sleep(0.002)
    return None


def start_server(name, sink=True):
    folder = os.path.join(work, name)
    args = ["bash", pulse_script, folder, "48000"] + ([] if sink else ["nosink"])
    proc = subprocess.Popen(args, stderr=subprocess.DEVNULL)
    for _ in range(200):
        if os.path.exists(os.path.join(folder, "native")):
            break
        time.sleep(0.05)
    return proc, folder


def run_case(name):
    env = dict(os.environ)
    env.pop("SDL_AUDIODRIVER", None)
    server, folder = None, os.path.join(work, name)
    if name != "no server":
        server, folder = start_server(name.replace(" ", "-"), sink=name != "no sink")
    env["PULSE_SERVER"] = "unix:" + os.path.join(folder, "native")
    env["PULSE_CLIENTCONFIG"] = os.path.join(folder, "client.conf")
    env["XDG_CONFIG_HOME"] = os.path.join(work, "config")
    prog = subprocess.Popen([binary], env=env, stderr=subprocess.DEVNULL)
    win = window_of(prog.pid)
    if win is None:
        print("no window"); prog.kill(); sys.exit(1)
    subprocess.run(["xdotool", "windowactivate", "--sync", str(win)], capture_output=True)
    time.sleep(1.0)
    if name in ("killed", "frozen"):
        key_to_letter(win, "1")  # heard while the server is well
        time.sleep(1.0)
        if name == "killed":
            server.kill(); server.wait()
        else:
            server.send_signal(signal.SIGSTOP)
        time.sleep(0.3)
    times = []
    for i in range(keys):
        ms = key_to_letter(win, "1234567890"[i % 10])
        times.append(ms)
        time.sleep(0.35 + (i % 5) * 0.31)  # now and then past the 2 s between tries
    if server and name == "frozen":
        server.send_signal(signal.SIGCONT)
    prog.terminate()
    try:
        prog.wait(5)
    except subprocess.TimeoutExpired:
        prog.kill(); prog.wait()
    if server:
        server.kill(); server.wait()
    got = sorted(t for t in times if t is not None)
    missing = len(times) - len(got)
    if got:
        print("%-10s key -> letter: median %6.1f ms, max %7.1f ms, over 200 ms: %d of %d%s"
              % (name, got[len(got) // 2], got[-1], sum(1 for t in got if t > 200), len(times),
                 ", never shown: %d" % missing if missing else ""))
    else:
        print("%-10s no letter shown" % name)


for case in os.environ.get("CASES", "no server,no sink,killed,frozen").split(","):
    run_case(case)
