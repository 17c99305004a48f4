"""A session against j1939-sim through the client: identification, readings, every command
acknowledged before it returns, refusals in the program's words, waits and their time-outs."""

import os
from typing import Any, Callable, Dict, List

import pytest

from tessaly import EventStream, Simulator, TessalyError, TessalyTimeoutError, TroubleCode

COM = 32


def arrived(stream: EventStream) -> List[Dict[str, Any]]:
    """The events that have arrived already (the stream waits for nothing)."""
    events = []
    try:
        for event in stream:
            events.append(event)
    except TimeoutError:
        pass
    return events


def answers(events: List[Dict[str, Any]]) -> List[Dict[str, Any]]:
    return [e for e in events if e["event"] in ("ack", "unchanged", "error")]


def test_a_session_identifies_reads_steers_and_ends_the_program(
        stand_in: Any, open_simulator: Callable[..., Simulator]) -> None:
    stand_in.start("--serial", "4242")
    with open_simulator() as simulator:
        assert simulator.identity == {"serial": 4242, "firmware": "0.2D", "can_rate": "250K bps"}
        assert simulator.link == "identified" and simulator.port == "COM32"
        assert simulator.status is not None
        pid = simulator.pid
        assert pid is not None and os.path.exists("/proc/%d" % pid)

        # Each command returns only once its answer is in.
        steps = [
            (lambda: simulator.set_mode("dynamic", False), {"event": "ack", "command": "dynamic"}),
            (lambda: simulator.set_mode("dynamic", False),
             {"event": "unchanged", "command": "dynamic", "on": False}),
            (lambda: simulator.set_mode("reset_dm2", True),
             {"event": "ack", "command": "reset-dm2"}),
            (lambda: simulator.set_level(50), {"event": "ack", "command": "level"}),
            (lambda: simulator.press("up"), {"event": "ack", "command": "key"}),
        ]
        for command, answer in steps:
            with simulator.events(timeout=0) as stream:
                command()
                assert answers(arrived(stream)) == [answer]

        # Up moves the level by the stand-in's step of 5.
        status = simulator.wait_for(lambda s: s.level == 55 and s.modes["reset_dm2"])
        assert status.modes == {"dynamic": False, "quiet": False, "warnings": True,
                                "reset_dm2": True}
        simulator.set_level(50)
        status = simulator.wait_for(lambda s: s.level == 50)
        assert status.values["Engine RPM [RPM]"] == 4015.875
        assert status.values["Engine Coolant Temp (F) [F]"] == 185
        assert status.trouble_codes["Engine DM1"] == [TroubleCode(110, 0, 1, 0)]
        assert status.trouble_codes["ABS DM1"] == []
        assert status.lamps["Engine Amber"] is True
        assert status.lamps["ABS Amber"] is False

        simulator.set_level(100)
        status = simulator.wait_for(lambda s: s.level == 100)
        engine_dm1 = status.trouble_codes["Engine DM1"]
        assert len(engine_dm1) == 64
        assert engine_dm1[:2] == [(110, 0, 1, 0), (100, 1, 5, 0)]
        assert engine_dm1[0].spn == 110
    assert not os.path.exists("/proc/%d" % pid)
    # Ended as quit ends it: the port closed and free for the next session.
    with open_simulator() as again:
        assert again.identity["serial"] == 4242


REFUSALS = [
    (lambda s: s.set_level(101), TessalyError("level takes one whole number from 0 to 100")),
    (lambda s: s.set_level(-1), TessalyError("level takes one whole number from 0 to 100")),
    (lambda s: s.press("left"), TessalyError("key takes one of menu, down, up")),
    (lambda s: s.set_mode("turbo", True), TessalyError("unknown command: turbo")),
    (lambda s: s.press("up\nquit"), ValueError("key must be one word, not 'up\\nquit'")),
    (lambda s: s.set_mode("quiet on", True), ValueError("mode must be one word, not 'quiet on'")),
    (lambda s: s.set_level(5.0), TypeError("level must be a whole number, not 5.0")),
    (lambda s: s.set_level(True), TypeError("level must be a whole number, not True")),
    (lambda s: s.set_mode("quiet", "off"), TypeError("on must be True or False, not 'off'")),
    (lambda s: s.send("level 5\nquit"),
     ValueError("one command line at a time, without line ends")),
]


def test_a_refused_command_raises_the_programs_text_and_the_session_goes_on(
        stand_in: Any, open_simulator: Callable[..., Simulator]) -> None:
    stand_in.start("--no-dynamic")
    with open_simulator() as simulator:
        for level, (command, error) in enumerate(REFUSALS):
            with pytest.raises(type(error)) as raised:
                command(simulator)
            assert str(raised.value) == str(error)
            simulator.set_level(level)
            assert simulator.wait_for(lambda s: s.level == level).level == level


def test_wait_for_takes_the_current_status_and_times_out_with_the_latest(
        stand_in: Any, open_simulator: Callable[..., Simulator]) -> None:
    stand_in.start("--level", "30", "--no-dynamic")
    # No status events of its own: the start asks for a snapshot, so the status stays put.
    with open_simulator(status_rate=0) as simulator:
        current = simulator.status
        assert current is not None and current.level == 30
        assert simulator.wait_for(lambda s: True) is current
        with pytest.raises(TessalyTimeoutError) as late:
            simulator.wait_for(lambda s: s.level == 31, timeout=0.3)
        assert isinstance(late.value, TimeoutError)
        assert str(late.value).startswith("no status for which the condition holds within 0.3 s")
        assert str(late.value).endswith("(the latest: level 30 at %g s)" % current.time)
        assert simulator.snapshot().level == 30
