"""Values by their short keys beside the captions, a typo answered with the nearest keys, and
a status that is one record: the codes and lamps of the modes it carries, from the first
status after the identification on."""

from typing import Any, Callable

import pytest

from tessaly import Simulator, TroubleCode, Values

COM = 24


def test_the_first_status_carries_the_codes_of_its_own_modes_and_names_values_by_key(
        stand_in: Any, open_simulator: Callable[..., Simulator]) -> None:
    stand_in.start("--no-dynamic", "--level", "50")
    # The client returns with the first status in: the one the identification's first status
    # line gave, with Warnings on in the simulator from the start.
    with open_simulator() as simulator:
        status = simulator.status
        assert status is not None and status.level == 50
        assert status.modes["warnings"] is True
        assert status.trouble_codes["Engine DM1"] == [TroubleCode(110, 0, 1, 0)]
        assert status.lamps["Engine Amber"] is True and status.lamps["Engine Red Stop"] is True
        assert status.lamps["ABS Amber"] is False

        keyed = [
            ("engine_rpm", "Engine RPM [RPM]", 4015.875),
            ("coolant_temp_f", "Engine Coolant Temp (F) [F]", 185.0),
            ("vehicle_speed_mph", "Speed (MPH) [MPH]", None),
            ("battery_v", "Battery Voltage (V) [V]", None),
            ("egr_flow_kg_h", "EGR Mass Flow Rate [kg/Hr]", None),
        ]
        for key, caption, known in keyed:
            assert status.values[key] == status.values[caption], key
            if known is not None:
                assert status.values[key] == known, key
        assert len(status.values.keys_only()) == 27
        assert status.values.keys_only()[:3] == ["engine_rpm", "engine_load_pct",
                                                 "oil_pressure_psi"]


HINTS = [
    ("engine_rmp", "no value 'engine_rmp'; the closest keys: engine_rpm, engine_hours, "
                   "engine_load_pct"),
    ("coolant_temp", "no value 'coolant_temp'; the closest keys: coolant_temp_f, "
                     "coolant_level_pct, coolant_pressure_psi"),
    ("Coolant Temp", "no value 'Coolant Temp'; the closest keys: coolant_temp_f, "
                     "coolant_level_pct, coolant_pressure_psi"),
    ("oil_level", "no value 'oil_level'; the closest keys: oil_level_pct, coolant_level_pct, "
                  "fuel_level_pct"),
]


@pytest.mark.parametrize("name,message", HINTS)
def test_an_unknown_name_raises_key_error_naming_the_three_closest_keys(
        name: str, message: str) -> None:
    values = Values([("Engine RPM [RPM]", 1.0)] + [(key, 0.0) for key in (
        "engine_rpm", "engine_load_pct", "oil_pressure_psi", "engine_hours", "coolant_temp_f",
        "battery_v", "fuel_level_pct", "oil_level_pct", "coolant_pressure_psi",
        "coolant_level_pct")])
    assert values["Engine RPM [RPM]"] == 1.0
    with pytest.raises(KeyError) as raised:
        values[name]
    assert raised.value.args == (message,)
