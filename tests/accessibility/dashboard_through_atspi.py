#!/usr/bin/env python3
"""Tessaly through AT-SPI alone, against j1939-sim on COM27 at level 50: every value with its
caption, the lit lamps, the trouble codes and the VIN; the level steered through the slider's
value and seen on the line; Disconnect and Connect pressed through their actions; and no
object of the window without a name.

usage: dashboard_through_atspi.py TESSALY J1939_SIM
"""

import re
import sys

import atspi_session as session
from atspi_reading import Window

COM = 27
TAB, RIGHT, SPACE = 0xFF09, 0xFF53, 0x20  # X keysyms

# What the 27 displays show at level 50, by caption.
VALUES_AT_50 = {
    "Engine RPM": "4015.88 RPM",
    "Engine Load%": "62.0 %",
    "Engine Oil Pressure (PSI)": "72.50 PSI",
    "Inst. Fuel Rate": "37.5 GPH",
    "Engine Hour (Hr)": "625.0 Hr",
    "Engine Coolant Temp (F)": "185.0 F",
    "Speed (MPH)": "77.98 MPH",
    "Accelerator Position": "50.0 %",
    "Engine Oil Temp (F)": "176.0 F",
    "Fuel Level (%)": "50.0 %",
    "Engine Oil Level (%)": "50.0 %",
    "Engine Fuel Temp (F)": "185.0 F",
    "Inst. Fuel Economy": "56.2 MPG",
    "Inlet Air Temp (F)": "140.0 F",
    "Eng. Coolant Pressure(PSI)": "36.25 PSI",
    "Exhaust Gas Temp (F)": "579.0 F",
    "Eng. Coolant Level (%)": "50.0 %",
    "Engine Trip": "776.7 mile",
    "Battery Voltage (V)": "18.75 V",
    "Total Vehicle Distance": "1553.4 mile",
    "Engine Boost Pressure": "36.25 PSI",
    "Nominal Friction-%Torque": "62 %",
    "Actual Engine-%Torque": "62 %",
    "Inlet Air Mass Flow Rate": "1606.35 kg/Hr",
    "EGR Mass Flow Rate": "1606.35 kg/Hr",
    "Engine Air Inlet Pressure": "36.25 PSI",
    "Oil Temperature": "176.0 F",
}

LAMPS = [
    "Parking", "Cruise", "WIF", "Engine Red Stop", "Engine Amber", "ABS Red Stop", "ABS Amber",
    "Transmission Red Stop", "Transmission Amber", "IS Timer ON (590)", "IS Timer EN (591)",
    "IS Timer Override (592)", "IS Shutdown Engine (593)", "IS Driver Alert (594)",
    "EPS Timer ON (1107)", "EPS EN (1111)", "EPS Timer Override (1108)",
    "EPS Shutdown Engine (1110)", "EPS Approaching Shutdown (1109)", "Wait to Start (1081)",
    "Overspeed Test (2812)", "Air Shutoff (2813)", "Alarm Output (2814)",
    "Alarm Acknowledge (2815)", "A/C High Pressure Fan Switch (985)",
    "Refrigerant Low Pressure Switch (875)", "Refrigerant High Pressure Switch (605)",
]
LIT_AT_50 = {"Cruise", "Engine Red Stop", "Engine Amber"}
LIT_AT_40 = {"Cruise", "Alarm Acknowledge (2815)", "Refrigerant Low Pressure Switch (875)",
             "Engine Amber"}

# Trouble-code rows at level 50, column by column (SPN FMI OC CM), and the identity boxes.
TEXTS_AT_50 = {
    "Engine DM1": "110 0 1 0",
    "Engine DM2": "110 0 1 0",
    "ABS DM1": "0 0 0 0",
    "Transmission DM1": "0 0 0 0",
    "Vehicle Identification(VIN)": "1M8GDM9AXKP042050*",
    "Serial Number": "123456",
    "FW Version": "0.2D",
    "CAN Baud Rate": "250K bps",
}


def columns(text):
    return " ".join(text.split())


def main():
    tessaly, simulator = sys.argv[1:3]
    pyatspi = session.start()
    work = session.work_folder("dashboard")
    sim_log = session.start_stand_in(work, [simulator, "--level", "50", "--no-dynamic"], COM,
                                     "sim.log")
    session.start_tessaly(work, tessaly, COM)
    window = Window.of_program(pyatspi, "Tessaly")

    # Connected and showing level 50.
    window.wait_text("FW Version", lambda t: t.strip() == "0.2D", 30)
    window.wait_text("Engine RPM", lambda t: t == "4015.88 RPM", 10)

    window.expect_every_object_named()

    for caption, shown in VALUES_AT_50.items():
        window.expect(window.text(caption) == shown,
                      f"{caption}: read {window.text(caption)!r}, the display shows {shown!r}")
    for name, expected in TEXTS_AT_50.items():
        read = columns(window.text(name))
        window.expect(read == expected, f"{name}: read {read!r}, expected {expected!r}")
    lit = window.lit_lamps(LAMPS)
    window.expect(lit == LIT_AT_50, f"lit at 50: {sorted(lit)}, expected {sorted(LIT_AT_50)}")

    # The level through the slider's value: the level command goes out, the simulator takes
    # it, and the dashboard follows.
    level = window.find("Level", pyatspi.ROLE_SLIDER).queryValue()
    window.expect((level.minimumValue, level.maximumValue, level.currentValue) == (0, 100, 50),
                  f"slider range and value: {level.minimumValue}..{level.maximumValue}, "
                  f"{level.currentValue}")
    level.currentValue = 40
    took = lambda: re.search(r"AT %.*level 50 -> 40", open(sim_log).read())
    window.expect(session.wait_for(took, 10), "no level command for 40 on the line")
    window.wait_text("Engine RPM", lambda t: t == "3212.75 RPM", 10)
    lit = session.wait_for(lambda: window.lit_lamps(LAMPS) == LIT_AT_40, 5) and LIT_AT_40
    window.expect(lit == LIT_AT_40,
                  f"lit at 40: {sorted(window.lit_lamps(LAMPS))}, expected {sorted(LIT_AT_40)}")
    read = columns(window.text("Engine DM1"))
    window.expect(read == "168 0 1 0", f"Engine DM1 at 40: {read!r}")

    # Without a mouse: Tab onto the slider sends nothing, an arrow key sends the level, and
    # Space works the keypad.
    window.focus("CAN Baud Rate")
    window.type_keys(TAB)
    window.expect(window.focused() == ["Level"], f"Tab went to {window.focused()}, not Level")
    window.type_keys(RIGHT)
    took = lambda: re.search(r"AT %.*level 40 -> 41", open(sim_log).read())
    window.expect(session.wait_for(took, 10), "no level command for 41 on the line")
    window.type_keys(TAB, TAB, TAB)
    window.expect(window.focused() == ["Up"], f"Tab went to {window.focused()}, not Up")
    window.type_keys(SPACE)
    took = lambda: re.search(r"AT KI.*Up, level 41 -> 46", open(sim_log).read())
    window.expect(session.wait_for(took, 10), "Space on Up sent no Up key")
    levels = re.findall(r"AT %.*level \d+ -> (\d+)", open(sim_log).read())
    window.expect(levels == ["40", "41"], f"level commands on the line: {levels}")

    # Disconnect and Connect through their actions.
    identified = lambda: open(sim_log).read().count("AT ID?")
    asked = identified()
    window.press("Disconnect")
    window.wait_text("FW Version", lambda t: t.strip() == "Not Found Yet!", 10)
    window.wait_sensitive("Connect", True, 5)
    window.press("Connect")
    window.wait_text("FW Version", lambda t: t.strip() == "0.2D", 10)
    window.expect(identified() > asked, "Connect sent no identification request")

    window.finish()


if __name__ == "__main__":
    main()
