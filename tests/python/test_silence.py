"""A simulator that falls silent (j1939-sim's SIGUSR1) is never read as current: snapshot gives
the last line's reading with that line's time until the link's second has passed, then an
error, and the status events end with the last line."""

import os
import signal
import time
from typing import Any, Callable, List

import pytest

from tessaly import Simulator, TessalyError

COM = 46


def test_after_the_last_line_snapshot_gives_its_reading_then_says_silent(
        stand_in: Any, open_simulator: Callable[..., Simulator]) -> None:
    stand_in.start("--no-dynamic", "--level", "50")
    with open_simulator(port=str(stand_in.link), status_rate=10) as simulator:
        simulator.wait_for(lambda s: s.level == 50)
        with simulator.events(timeout=5) as events:
            os.kill(stand_in.process.pid, signal.SIGUSR1)
            times: List[float] = []
            deadline = time.monotonic() + 5
            with pytest.raises(TessalyError) as silent:
                while time.monotonic() < deadline:
                    status = simulator.snapshot()
                    assert status.level == 50
                    times.append(status.time)
                    time.sleep(0.05)
            # A line in flight as the stand-in fell silent may come after the signal.
            assert 1 <= len(set(times)) <= 2
            assert times == sorted(times)
            assert str(silent.value) in (
                "snapshot: no readings: the link is silent",
                "the link is silent (%s, %s)" % (stand_in.link, simulator.device))
            assert simulator.status is None

            kinds = []
            event_times = set()
            for event in events:
                kinds.append((event["event"] + " " + event.get("state", "")).strip())
                if event["event"] == "status":
                    event_times.add(event["time"])
                if event["event"] == "link":
                    break
        # Snapshots' and the periodic ones alike: the lines' own times, none fresh.
        assert kinds[-1] == "link silent"
        assert set(kinds[:-1]) == {"status"}
        assert event_times == set(times)
