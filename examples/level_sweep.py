#!/usr/bin/env python3
"""Sweep the simulator's level from 0 to 100 through the tessaly client and print what the
simulated engine reports at each step: engine speed, coolant temperature and the engine's DM1
trouble codes (SPN:FMI:OC:CM; at level 100 the first of its multi-packet list and how many
follow).

    PYTHONPATH=python examples/level_sweep.py --tessaly build/terminal/Tessaly --port COM3
    examples/level_sweep.py --port /dev/ttyUSB0 --step 5      (with python3-tessaly installed)

Ends with status 0 when the sweep ran to the end, 1 otherwise.
"""

import argparse
import sys
from typing import List

from tessaly import Simulator, TessalyError, TroubleCode

ENGINE_SPEED = "Engine RPM [RPM]"
COOLANT = "Engine Coolant Temp (F) [F]"
ENGINE_DM1 = "Engine DM1"


def codes_text(codes: List[TroubleCode]) -> str:
    """A box's codes, short enough for one column."""
    if not codes:
        return "none"
    text = " ".join("%d:%d:%d:%d" % code for code in codes[:2])
    if len(codes) > 2:
        text += " and %d more" % (len(codes) - 2)
    return text


def main() -> int:
    """Run the sweep; the exit status."""
    parser = argparse.ArgumentParser(description=(__doc__ or "").split("\n\n")[0])
    parser.add_argument("--tessaly", default="Tessaly", help="the program (default: Tessaly)")
    parser.add_argument("--port", help="COMn or a device path (default: the remembered port)")
    parser.add_argument("--settings", help="the settings file Tessaly uses")
    parser.add_argument("--step", type=int, default=10, help="level step, 1 to 100 (default 10)")
    parser.add_argument("--timeout", type=float, default=15, help="seconds to wait for the "
                        "simulator and for each answer (default 15)")
    options = parser.parse_args()
    if not 1 <= options.step <= 100:
        parser.error("--step takes 1 to 100")

    try:
        with Simulator(port=options.port, program=options.tessaly, settings=options.settings,
                       status_rate=10, timeout=options.timeout) as simulator:
            identity = simulator.identity
            print("simulator %s, firmware %s, CAN %s on %s" % (
                identity["serial"], identity["firmware"], identity["can_rate"],
                simulator.device))
            # Dynamic mode moves the level by itself: hold it where the sweep puts it.
            simulator.set_mode("dynamic", False)
            print("%5s  %12s  %10s  %s" % ("level", "engine RPM", "coolant F",
                                           "engine DM1 codes"))
            for level in list(range(0, 100, options.step)) + [100]:
                simulator.set_level(level)
                status = simulator.wait_for(lambda s: s.level == level, options.timeout)
                print("%5d  %12.10g  %10.10g  %s" % (level, status.values[ENGINE_SPEED],
                                               status.values[COOLANT],
                                               codes_text(status.trouble_codes[ENGINE_DM1])))
    except TessalyError as failure:
        print("level_sweep: %s" % failure, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
