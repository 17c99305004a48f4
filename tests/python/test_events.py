"""The events' hand-out without a program: every waiter hears of the end, and goes on
hearing it."""

import time
from typing import List, Optional

from tessaly.events import EventHub


class Lines:
    """A transport that gives its lines, then the end."""

    pid: Optional[int] = None

    def __init__(self, lines: List[str]) -> None:
        self._lines = list(lines)

    def read_line(self) -> Optional[str]:
        return self._lines.pop(0) if self._lines else None

    def write_line(self, line: str) -> None:
        raise BrokenPipeError(line)

    def close(self, timeout: float) -> None:
        pass

    def ending(self) -> str:
        return "ended"


def test_the_end_stays_the_end_for_every_later_wait() -> None:
    taken: List[str] = []
    hub = EventHub(Lines(['{"event":"link","state":"lost"}', "not json", "[1]"]),
                   lambda event: taken.append(event["event"]))
    subscription = hub.subscribe()
    hub.start()
    hub.join(5)
    assert taken == ["link"]
    deadline = time.monotonic() + 5
    assert subscription.next_event(deadline) == {"event": "link", "state": "lost"}
    assert subscription.next_event(deadline) is None
    assert subscription.next_event(deadline) is None
    # A waiter that comes after the end hears of it at once.
    assert hub.subscribe().next_event(time.monotonic()) is None
    subscription.close()
