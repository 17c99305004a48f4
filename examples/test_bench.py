"""A bench test in pytest: ramp the level, wait for the engine's DM1 code with Warnings on and
check the lamps. Against the simulator on COM3, from the source tree:

    PYTHONPATH=python pytest -p tessaly.pytest_plugin --tessaly-port COM3 \\
        --tessaly-program build/terminal/Tessaly examples/test_bench.py

With the python3-tessaly package installed, ``pytest -p tessaly.pytest_plugin --tessaly-port
COM3 examples/test_bench.py``. Without a port the test is skipped.
"""

from tessaly import Simulator, TroubleCode


def test_an_engine_dm1_code_lights_the_engine_lamps(simulator: Simulator) -> None:
    simulator.set_mode("dynamic", False)
    simulator.set_mode("warnings", True)
    for level in range(0, 51, 10):
        simulator.set_level(level)
    status = simulator.wait_for(lambda s: s.level == 50 and s.modes["warnings"])
    assert status.trouble_codes["Engine DM1"] == [TroubleCode(spn=110, fmi=0, oc=1, cm=0)]
    assert status.lamps["Engine Amber"] and status.lamps["Engine Red Stop"]
    assert not status.lamps["ABS Amber"] and not status.lamps["Transmission Amber"]
    assert status.values["coolant_temp_f"] == 185
