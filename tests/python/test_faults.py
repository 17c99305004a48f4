"""What goes wrong on a bench, through the client: a device missing, refused or silent, a
program that cannot start, a device lost and a program killed in the middle of a wait. Each
raises TessalyError with the program's own text, never hangs, and leaves no process."""

import os
import signal
from typing import Any, Callable, List, Optional

import pytest

from conftest import failure_of_a_long_wait
from tessaly import Simulator, TessalyError, TessalyTimeoutError

COM = 33
FIRMWARE_TOO_OLD = ("This release requires Minimum J1939 Simulator (firmware) version "
                    "0.2D/0.2E/0.2F; please update your J1939 simulator accordingly.")


@pytest.mark.parametrize("device, options, error, text", [
    (None, {}, TessalyError, "Cannot open COM33: there is no serial device for COM33. "),
    (["--old-firmware"], {}, TessalyError, FIRMWARE_TOO_OLD),
    (["--silent-after", "0.001"], {"timeout": 2}, TessalyTimeoutError,
     "no identified simulator within 2 s: the link is "),
    (None, {"port": "COM41"}, TessalyError,
     "Tessaly ended (status 2): Tessaly: --port takes COM1 to COM40 or an absolute device path, "
     "not 'COM41'\nTry 'Tessaly --help' for more information."),
    (None, {"status_rate": 101}, TessalyError, "Tessaly ended (status 2): Tessaly: --status-rate"),
])
def test_a_start_that_fails_says_why_in_the_programs_words(
        stand_in: Any, open_simulator: Callable[..., Simulator], device: Optional[List[str]],
        options: Any, error: type, text: str) -> None:
    if device is not None:
        stand_in.start(*device)
    with pytest.raises(TessalyError) as raised:
        open_simulator(**options)
    assert type(raised.value) is error
    assert str(raised.value).startswith(text)


def test_a_program_that_cannot_be_started_is_a_tessaly_error(tmp_path: Any) -> None:
    missing = str(tmp_path / "Tessaly")
    with pytest.raises(TessalyError) as raised:
        Simulator(program=missing)
    assert str(raised.value) == "cannot start %s: No such file or directory" % missing


def test_a_device_lost_mid_wait_raises_at_once_and_its_return_is_awaited(
        stand_in: Any, open_simulator: Callable[..., Simulator]) -> None:
    stand_in.start()
    with open_simulator() as simulator:
        assert failure_of_a_long_wait(simulator, stand_in.unplug) == \
            "the link is lost (COM33, %s)" % simulator.device
        assert simulator.status is None and simulator.link == "lost"
        with pytest.raises(TessalyError) as refused:
            simulator.set_level(20)
        assert str(refused.value) == ("level: refused: no simulator with firmware 0.2D/0.2E/0.2F "
                                      "is identified (the link is lost)")

        # Plugged in again: the quiet retries find it.
        stand_in.start()
        assert simulator.wait_identified(timeout=15)["serial"] == 123456
        simulator.set_level(20)
        assert simulator.wait_for(lambda s: s.level >= 20).level >= 20


def test_another_device_on_the_lost_path_is_not_taken_for_the_lost_simulator(
        stand_in: Any, open_simulator: Callable[..., Simulator]) -> None:
    stand_in.start()
    with open_simulator() as simulator:
        simulator.wait_identified(timeout=15)
        stand_in.unplug()
        stand_in.start("--serial", "77")
        with pytest.raises(TessalyError) as refused:
            simulator.wait_identified(timeout=15)
        assert str(refused.value) == (
            "Another device answers on %s: serial number 77, not the simulator 123456 that was "
            "lost. Press Connect to use it." % stand_in.link)
        assert simulator.link == "disconnected"


def test_a_program_killed_mid_wait_raises_its_end_and_close_still_reaps_it(
        stand_in: Any, open_simulator: Callable[..., Simulator]) -> None:
    stand_in.start()
    simulator = open_simulator()
    pid = simulator.pid
    assert pid is not None
    assert failure_of_a_long_wait(simulator, lambda: os.kill(pid, signal.SIGKILL)) == \
        "Tessaly ended (signal SIGKILL)"
    with pytest.raises(TessalyError) as again:
        simulator.press("up")
    assert str(again.value) == "Tessaly ended (signal SIGKILL)"
    simulator.close()
