#!/usr/bin/env python3
"""Sweep the simulator's level from 0 to 100 through `Tessaly --headless` and print what the
simulated engine reports at each step: engine speed, coolant temperature and the engine's
DM1 trouble codes (SPN:FMI:OC:CM; at level 100 the first of its multi-packet list and how
many follow).

    examples/level_sweep.py --port COM3
    examples/level_sweep.py --tessaly build/terminal/Tessaly --port /dev/ttyUSB0 --step 5

Standard library only. Ends with status 0 when the sweep ran to the end, 1 otherwise.
"""

import argparse
import json
import queue
import subprocess
import sys
import threading
import time

ENGINE_SPEED = "Engine RPM [RPM]"
COOLANT = "Engine Coolant Temp (F) [F]"
ENGINE_DM1 = "Engine DM1"


def codes_text(codes):
    """A box's codes, short enough for one column."""
    if not codes:
        return "none"
    text = " ".join("%(spn)d:%(fmi)d:%(oc)d:%(cm)d" % code for code in codes[:2])
    if len(codes) > 2:
        text += " and %d more" % (len(codes) - 2)
    return text


class Terminal:
    """Tessaly --headless as a child process: commands in, events out."""

    def __init__(self, command):
        self.process = subprocess.Popen(
            command, stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True, bufsize=1)
        self.events = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for line in self.process.stdout:
            try:
                self.events.put(json.loads(line))
            except ValueError:
                print("not an event: " + line.rstrip(), file=sys.stderr)
        self.events.put(None)  # the program has ended

    def send(self, command):
        self.process.stdin.write(command + "\n")
        self.process.stdin.flush()

    def wait_for(self, wanted, timeout, what):
        """The first event for which wanted(event) holds; errors are shown on the way."""
        deadline = time.monotonic() + timeout
        while True:
            left = deadline - time.monotonic()
            if left <= 0:
                raise RuntimeError("no " + what + " within " + str(timeout) + " s")
            try:
                event = self.events.get(timeout=left)
            except queue.Empty:
                continue
            if event is None:
                raise RuntimeError("Tessaly ended while waiting for " + what)
            if event.get("event") == "error":
                print("Tessaly: " + event.get("message", ""), file=sys.stderr)
            if wanted(event):
                return event

    def quit(self):
        try:
            self.send("quit")
            self.process.stdin.close()
        except (BrokenPipeError, ValueError):
            pass
        return self.process.wait(timeout=10)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--tessaly", default="Tessaly", help="the program (default: Tessaly)")
    parser.add_argument("--port", help="COMn or a device path (default: the remembered port)")
    parser.add_argument("--settings", help="the settings file Tessaly uses")
    parser.add_argument("--step", type=int, default=10, help="level step, 1 to 100 (default 10)")
    parser.add_argument("--timeout", type=float, default=15, help="seconds to wait for the "
                        "simulator and for each answer (default 15)")
    options = parser.parse_args()
    if not 1 <= options.step <= 100:
        parser.error("--step takes 1 to 100")

    command = [options.tessaly, "--headless", "--status-rate", "10"]
    if options.port:
        command += ["--port", options.port]
    if options.settings:
        command += ["--settings", options.settings]
    terminal = Terminal(command)
    try:
        link = terminal.wait_for(
            lambda e: e.get("event") == "link" and e["state"] in ("identified", "refused"),
            options.timeout, "simulator")
        identity = terminal.wait_for(lambda e: e.get("event") == "identified", options.timeout,
                                     "identification")
        if not identity["accepted"]:
            raise RuntimeError("the simulator's firmware %s is too old for the terminal"
                               % identity["firmware"])
        print("simulator %s, firmware %s, CAN %s on %s" % (
            identity["serial"], identity["firmware"], identity["can_rate"], link["device"]))

        # Status events come once the simulator's status lines do; its modes are known a
        # second later (the link itself needs a line every second to stay up).
        first = terminal.wait_for(lambda e: e.get("event") == "status", options.timeout,
                                  "status")
        terminal.wait_for(lambda e: e.get("event") == "status" and
                          e["time"] >= first["time"] + 1.0, options.timeout, "status")
        # Dynamic mode moves the level by itself: hold it where the sweep puts it.
        terminal.send("dynamic off")
        terminal.wait_for(lambda e: e.get("command") == "dynamic" and
                          e.get("event") in ("ack", "unchanged"), options.timeout,
                          "answer to dynamic off")

        print("%5s  %12s  %10s  %s" % ("level", "engine RPM", "coolant F", "engine DM1 codes"))
        levels = list(range(0, 100, options.step)) + [100]
        for level in levels:
            terminal.send("level %d" % level)
            terminal.wait_for(lambda e: e.get("event") == "ack" and e["command"] == "level",
                              options.timeout, "acknowledgement of level %d" % level)
            status = terminal.wait_for(
                lambda e: e.get("event") == "status" and e["level"] == level,
                options.timeout, "status at level %d" % level)
            values = status["values"]
            print("%5d  %12s  %10s  %s" % (level, values[ENGINE_SPEED], values[COOLANT],
                                           codes_text(status["trouble_codes"][ENGINE_DM1])))
    except RuntimeError as failure:
        print("level_sweep: " + str(failure), file=sys.stderr)
        terminal.quit()
        return 1
    return 0 if terminal.quit() == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
