#!/usr/bin/env python3
"""Tessaly at a saturated line (j1939-sim on COM29 sending status lines back to back, the level
sweeping) with a screen reader listening: each numeric display announces its new text, but
no more often than it repaints (ten times a second), and the slider its new level no more
often than the window paints a frame. Counted over whole seconds, so a slow machine only
lowers the counts.

usage: announcements_through_atspi.py TESSALY J1939_SIM
"""

import collections
import sys
import time

import atspi_session as session
from atspi_reading import Window

COM = 29
SECONDS = 4
READOUTS_PER_SECOND = 10  # a display repaints a new value at most this often
FRAMES_PER_SECOND = 31    # the window paints at most one frame every 33 ms
LATE_SECONDS = 1          # announcements made before the count began, delivered during it


DISPLAYS = {
    "Engine RPM", "Engine Load%", "Engine Oil Pressure (PSI)", "Inst. Fuel Rate",
    "Engine Hour (Hr)", "Engine Coolant Temp (F)", "Speed (MPH)", "Accelerator Position",
    "Engine Oil Temp (F)", "Fuel Level (%)", "Engine Oil Level (%)", "Engine Fuel Temp (F)",
    "Inst. Fuel Economy", "Inlet Air Temp (F)", "Eng. Coolant Pressure(PSI)",
    "Exhaust Gas Temp (F)", "Eng. Coolant Level (%)", "Engine Trip", "Battery Voltage (V)",
    "Total Vehicle Distance", "Engine Boost Pressure", "Nominal Friction-%Torque",
    "Actual Engine-%Torque", "Inlet Air Mass Flow Rate", "EGR Mass Flow Rate",
    "Engine Air Inlet Pressure", "Oil Temperature",
}


def main():
    tessaly, simulator = sys.argv[1:3]
    pyatspi = session.start()
    from gi.repository import GLib

    work = session.work_folder("announcements")
    session.start_stand_in(work, [simulator, "--saturate"], COM, "sim.log")
    session.start_tessaly(work, tessaly, COM)
    window = Window.of_program(pyatspi, "Tessaly")
    window.wait_text("FW Version", lambda t: t.strip() == "0.2D", 30)

    # Counted by the object that announced, without asking the program anything meanwhile:
    # a program flooding the bus would answer late and stretch the count.
    displays = {node for node in window.objects if node.getRole() == pyatspi.ROLE_LABEL and
                node.name in DISPLAYS}
    rpm = window.find("Engine RPM")
    level = window.find("Level", pyatspi.ROLE_SLIDER)
    window.expect(len(displays) == len(DISPLAYS), f"found {len(displays)} displays")
    counts = collections.Counter()
    counting = [False]

    def heard(event):
        if counting[0]:
            counts[(event.type, event.source)] += 1

    for kind in ["object:text-changed:insert", "object:property-change:accessible-value"]:
        pyatspi.Registry.registerEventListener(heard, kind)

    def pump(seconds):
        context = GLib.MainContext.default()
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            if not context.iteration(False):
                time.sleep(0.005)

    pump(1.5)  # the program learns that someone listens; what was queued is drained
    counting[0] = True
    started = time.monotonic()
    pump(SECONDS)
    counting[0] = False
    elapsed = time.monotonic() - started

    texts = {source: n for (kind, source), n in counts.items()
             if kind == "object:text-changed:insert"}
    levels = counts[("object:property-change:accessible-value", level)]
    print(f"in {elapsed:.1f} s: Engine RPM announced {texts.get(rpm, 0)} times, Level "
          f"{levels} times")
    window.expect(texts.get(rpm, 0) > 0, "Engine RPM never announced a new text")
    window.expect(levels > 0, "the slider never announced a new level")
    most = READOUTS_PER_SECOND * (elapsed + LATE_SECONDS)
    for display in displays:
        window.expect(texts.get(display, 0) <= most,
                      f"{display.name} announced {texts[display]} times, more than it repaints")
    window.expect(levels <= FRAMES_PER_SECOND * (elapsed + LATE_SECONDS),
                  f"the slider announced {levels} levels, more than the frames painted")
    window.finish()


if __name__ == "__main__":
    main()
