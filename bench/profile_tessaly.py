#!/usr/bin/env python3
"""Where Tessaly's time goes at a saturated line: runs it against j1939-sim --saturate in one
of several surroundings, measures its CPU share and, with --perf, records a call-graph
profile (perf record) over the same seconds and prints the top of perf report.

    bench/profile_tessaly.py --build build-bench [--mode MODE] [--seconds N] [--perf]

Modes: offscreen (as scripts/bench runs it), xcb (a private Xvfb, no accessibility bus),
atspi (the same with a session bus and an accessibility bus, accessibility forced on as a
screen reader would have it), script (offscreen with --listen and one script reading every
event), trends (offscreen with the Trends window open: four values, one-minute span)."""

import argparse
import os
import socket
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import measure  # noqa: E402

TESSALY = None  # --tessaly: another build's program, for a before/after in the same minute
LAUNCHERS = ["/usr/libexec/at-spi-bus-launcher", "/usr/lib/at-spi2-core/at-spi-bus-launcher"]


class Desktop:
    """A private X server, and for `bus` a session bus and accessibility bus, ended on close."""

    def __init__(self, bus):
        self.processes = []
        self.env = {}
        if bus:
            self._session_bus()
        self._x_server()
        if bus:
            self._accessibility_bus()

    def spawn(self, command, **options):
        process = subprocess.Popen(command, start_new_session=True, **options)
        self.processes.append(process)
        return process

    def _session_bus(self):
        bus = self.spawn(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                         stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.env["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().strip()

    def _x_server(self):
        read_end, write_end = os.pipe()
        self.spawn(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1600x1000x24",
                    "-nolisten", "tcp", "-noreset"], pass_fds=(write_end,),
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as reader:
            self.env["DISPLAY"] = ":" + reader.readline().strip()

    def _accessibility_bus(self):
        launcher = next(p for p in LAUNCHERS if os.access(p, os.X_OK))
        env = dict(os.environ, **self.env)
        self.spawn([launcher, "--launch-immediately"], env=env, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)
        ask = ["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus",
               "/org/a11y/bus", "org.a11y.Bus.GetAddress"]
        if not measure.wait_for(lambda: subprocess.run(ask, env=env, capture_output=True)
                                .returncode == 0, 10):
            raise RuntimeError("at-spi-bus-launcher did not take the bus name")
        self.env.update(QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1")

    def close(self):
        for process in reversed(self.processes):
            measure.stop(process)


def read_script_events(path, counts):
    """One script on the socket, reading every event as it comes."""
    client = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    if not measure.wait_for(lambda: os.path.exists(path), 10):
        return
    try:
        client.connect(path)
        with client:
            while True:
                data = client.recv(65536)
                if not data:
                    return
                counts[0] += data.count(b"\n")
    except OSError:
        return  # Tessaly has ended


def run(build, mode, seconds, perf_out, attach=None):
    tessaly = TESSALY or os.path.join(build, "terminal", "Tessaly")
    sim = os.path.join(build, "tools", "j1939-sim", "j1939-sim")
    work = tempfile.mkdtemp(prefix=f"tessaly-profile-{mode}-")
    ports = os.path.join(work, "comports")
    os.makedirs(ports)
    settings = os.path.join(work, "vive1939.ini")
    with open(settings, "w") as f:
        f.write("COM=3;\r\n")
    probe = os.path.join(work, "probe.log")
    config = os.path.join(work, "config")
    os.makedirs(os.path.join(config, "Tessaly"))
    if mode == "trends":
        with open(os.path.join(config, "Tessaly", "Tessaly.conf"), "w") as f:
            f.write("[trends]\nopen=true\nspan=1\ngeometry=@Rect(0 0 1500 900)\n")
    env = dict(os.environ, COMPORTS_DIR=ports, XDG_CONFIG_HOME=config,
               XDG_RUNTIME_DIR=work)
    desktop = None
    if mode in ("xcb", "atspi"):
        desktop = Desktop(bus=mode == "atspi")
        app_env = dict(env, TESSALY_PROBE=probe, QT_QPA_PLATFORM="xcb", **desktop.env)
    else:
        app_env = measure.gui_env(probe, **env)
    args = [tessaly, "--settings", settings]
    sock = os.path.join(work, "script.sock")
    if mode == "script":
        args += ["--listen", sock]
    stand_in = subprocess.Popen([sim, "--com", "3", "--saturate"], env=env,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    app, events = None, [0]
    try:
        if not measure.wait_for(lambda: os.path.islink(os.path.join(ports, "com3")), 5):
            raise RuntimeError("j1939-sim made no COM3 link")
        app = subprocess.Popen(args, env=app_env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
        if mode == "script":
            threading.Thread(target=read_script_events, args=(sock, events),
                             daemon=True).start()
        moving = lambda: sum(1 for p in measure.probe_lines(probe) if p[0] == "slider") > 5
        if not measure.wait_for(moving, 15):
            raise RuntimeError("the slider never showed a level from the line")
        time.sleep(1)
        recorder = None
        if attach:
            recorder = subprocess.Popen(
                attach.format(pid=app.pid, seconds=seconds), shell=True)
        elif perf_out:
            recorder = subprocess.Popen(
                ["perf", "record", "-q", "-F", "1999", "--call-graph", "dwarf,32768", "-o",
                 perf_out, "-p", str(app.pid), "--", "sleep", str(seconds)],
                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        cpu0, t0, events0 = measure.cpu_seconds(app.pid), measure.now(), events[0]
        time.sleep(seconds)
        cpu1, t1, events1 = measure.cpu_seconds(app.pid), measure.now(), events[0]
        if recorder:
            recorder.wait()
    finally:
        if app:
            measure.stop(app)
        measure.stop(stand_in)
        if desktop:
            desktop.close()
    share = (cpu1 - cpu0) / (t1 - t0)
    with open("/proc/loadavg") as f:
        load = " ".join(f.read().split()[:3])
    extra = f", script got {(events1 - events0) / (t1 - t0):.0f} events/s" if mode == "script" else ""
    print(f"{mode}: {share * 100:.1f}% of a core over {t1 - t0:.1f} s (load {load}){extra}")
    return share


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--build", required=True)
    parser.add_argument("--mode", default="offscreen",
                        choices=["offscreen", "xcb", "atspi", "script", "trends"])
    parser.add_argument("--seconds", type=float, default=10)
    parser.add_argument("--runs", type=int, default=1)
    parser.add_argument("--perf", help="perf.data to record into; prints perf report's top")
    parser.add_argument("--attach", help="a command run over the measured seconds instead of "
                        "perf, {pid} and {seconds} replaced (e.g. \"timeout {seconds} strace "
                        "-c -p {pid}\")")
    parser.add_argument("--tessaly", help="the Tessaly to run (default: the build's)")
    args = parser.parse_args()
    global TESSALY
    TESSALY = args.tessaly
    for _ in range(args.runs):
        run(args.build, args.mode, args.seconds, args.perf, args.attach)
    if args.perf:
        report = subprocess.run(["perf", "report", "-i", args.perf, "--no-children",
                                 "--percent-limit", "1.5", "--stdio", "-g", "none"],
                                capture_output=True, text=True).stdout
        print("\n".join(line for line in report.splitlines() if line and line[0] != "#"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
