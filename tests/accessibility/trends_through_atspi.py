#!/usr/bin/env python3
"""The Trends window through AT-SPI alone, against j1939-sim on COM42 at level 50: a frame of
its own, each plot an object named by its value whose text is what its heading reads out,
the losses of the link in view counted as text (the start-up's, then a Disconnect's), the
cursor read-out as text, and the value list and the scroll bars named.

usage: trends_through_atspi.py TESSALY J1939_SIM
"""

import os
import sys

import atspi_session as session
from atspi_reading import Window

COM = 42
# The window's port box and settings take COM1 to COM40: it reaches the simulator's COM42
# through a second link in the test's own port-map folder, which no other test sees.
WINDOW_COM = 40
TRENDS = "Trends – Tessaly"

# The default plots and what their headings read at level 50.
PLOTS_AT_50 = {
    "Engine RPM [RPM]": "4015.88 RPM",
    "Engine Coolant Temp (F) [F]": "185.0 F",
    "Speed (MPH) [MPH]": "77.98 MPH",
    "level": "50",
}


def frames(pyatspi):
    """Tessaly's windows by name, once both are on the bus."""
    found = {}

    def look():
        session.check_programs_alive()
        for app in pyatspi.Registry.getDesktop(0):
            try:
                if app is None or app.name != "Tessaly":
                    continue
                found.clear()
                found.update({window.name: window for window in app if window is not None})
                if TRENDS in found and len(found) >= 2:
                    return True
            except Exception:  # GLib.GError: still starting, asked again
                pass
        return False

    if not session.wait_for(look, 60, 0.2):
        session.fail(f"no {TRENDS!r} window on the bus, only {sorted(found)}")
    return found


def text_of(node):
    return node.queryText().getText(0, -1)


def main():
    tessaly, simulator = sys.argv[1:3]
    pyatspi = session.start()
    work = session.work_folder("trends")
    # The Trends window was open when the last run ended: it opens again with the dashboard.
    config = os.path.join(os.environ["XDG_CONFIG_HOME"], "Tessaly")
    os.makedirs(config, exist_ok=True)
    with open(os.path.join(config, "Tessaly.conf"), "w") as conf:
        conf.write("[trends]\nopen=true\n")
    session.start_stand_in(work, [simulator, "--level", "50", "--no-dynamic"], COM, "sim.log")
    ports = os.path.join(work, "comports")
    os.symlink(os.readlink(os.path.join(ports, f"com{COM}")),
               os.path.join(ports, f"com{WINDOW_COM}"))
    session.start_tessaly(work, tessaly, WINDOW_COM)
    windows = frames(pyatspi)
    trends = Window(pyatspi, windows[TRENDS])
    dashboard = Window(pyatspi, next(w for name, w in windows.items() if name != TRENDS))

    trends.expect(trends.frame.getRole() == pyatspi.ROLE_FRAME,
                  f"the Trends window's role is {trends.frame.getRoleName()}, not frame")

    # Each plot by its value, its text what its heading reads: the newest reading.
    for name, shown in PLOTS_AT_50.items():
        plot = trends.find(name, pyatspi.ROLE_CHART)
        read = session.wait_for(lambda: text_of(plot) == shown and text_of(plot), 30)
        trends.expect(read == shown, f"plot {name}: reads {text_of(plot)!r}, not {shown!r}")
        trends.expect(plot.description == shown,
                      f"plot {name}: description {plot.description!r}, not {shown!r}")

    # The start-up before the first identification is a loss; Disconnect makes a second.
    losses = trends.find("Losses in view")
    counted = lambda wanted: session.wait_for(lambda: text_of(losses) == wanted, 10)
    trends.expect(counted("1 loss in view"), f"losses at the start: {text_of(losses)!r}")
    dashboard.press("Disconnect")
    trends.expect(counted("2 losses in view"), f"losses after Disconnect: {text_of(losses)!r}")
    rpm = trends.find("Engine RPM [RPM]", pyatspi.ROLE_CHART)
    trends.expect(session.wait_for(lambda: text_of(rpm) == "no reading", 10),
                  f"Engine RPM while disconnected: {text_of(rpm)!r}")
    dashboard.press("Connect")

    # The read-out under the plots, as text.
    readout = next((node for node in trends.objects if node.name.startswith("Click: cursor A")),
                   None)
    if trends.expect(readout is not None, "no cursor read-out"):
        trends.expect(text_of(readout) == readout.name,
                      f"the read-out's text {text_of(readout)!r} is not what it shows")

    # (A list's own scroll bars are no objects on the bus: its rows are its children.)
    trends.find("Values to plot", pyatspi.ROLE_LIST)
    trends.find("Earlier or later", pyatspi.ROLE_SCROLL_BAR)
    trends.expect_every_object_named()

    trends.finish()


if __name__ == "__main__":
    main()
