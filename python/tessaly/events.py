"""The events of the program as they arrive: read on a thread of their own and handed to
every waiter."""

import json
import queue
import threading
import time
from typing import Any, Callable, Dict, List, Optional

from tessaly.errors import TessalyTimeoutError
from tessaly.transport import Transport

__all__ = ["Event", "EventHub", "EventStream", "Subscription"]

Event = Dict[str, Any]
"""One event as the program sent it: a JSON object whose ``event`` member names it."""


class Subscription:
    """The events that arrive from the moment of subscribing, in order, for one waiter."""

    def __init__(self, hub: "EventHub") -> None:
        """Use `EventHub.subscribe`."""
        self._hub = hub
        self._queue: "queue.Queue[Optional[Event]]" = queue.Queue()

    def next_event(self, deadline: float) -> Optional[Event]:
        """The next event; None once the program has ended. Raises queue.Empty when none
        arrives before `deadline` (on time.monotonic's clock)."""
        left = deadline - time.monotonic()
        item = self._queue.get(timeout=left) if left > 0 else self._queue.get_nowait()
        if item is None:
            self._queue.put(None)  # the end stays the end for the next call too
        return item

    def put(self, item: Optional[Event]) -> None:
        """An event for this waiter (the hub's side); None for the end."""
        self._queue.put(item)

    def close(self) -> None:
        """No more events for this waiter."""
        self._hub.unsubscribe(self)

    def __enter__(self) -> "Subscription":
        return self

    def __exit__(self, *exc: object) -> None:
        self.close()


class EventHub:
    """Reads every event line on a thread of its own, so the program never waits for a slow
    reader; hands each event first to `on_event` (under `lock`), then to every subscriber."""

    def __init__(self, transport: Transport, on_event: Callable[[Event], None]) -> None:
        """Ready to read from `transport` once started."""
        self.lock = threading.RLock()
        """Held while an event is taken in: hold it to read the state `on_event` keeps
        together with a subscription that misses nothing after it."""
        self._transport = transport
        self._on_event = on_event
        self._subscribers: List[Subscription] = []
        self._ended = False
        self._reader = threading.Thread(target=self._read, name="tessaly-events", daemon=True)

    def start(self) -> None:
        """Begin reading; subscriptions made before miss nothing."""
        self._reader.start()

    @property
    def ended(self) -> bool:
        """True once the program's events have ended."""
        return self._ended

    def subscribe(self) -> Subscription:
        """A subscription to every event from now on."""
        with self.lock:
            subscription = Subscription(self)
            self._subscribers.append(subscription)
            if self._ended:
                subscription.put(None)
            return subscription

    def unsubscribe(self, subscription: Subscription) -> None:
        """Stop handing events to `subscription`."""
        with self.lock:
            if subscription in self._subscribers:
                self._subscribers.remove(subscription)

    def join(self, timeout: float) -> None:
        """Wait up to `timeout` seconds for the reading to end (after the program's end)."""
        if self._reader.is_alive():
            self._reader.join(timeout)

    def _read(self) -> None:
        # Whatever stops the reading, every waiter hears of the end rather than wait it out.
        try:
            while True:
                line = self._transport.read_line()
                if line is None:
                    break
                try:
                    event = json.loads(line)
                except ValueError:
                    continue  # not an event: the program writes nothing else there
                if not isinstance(event, dict):
                    continue
                with self.lock:
                    self._on_event(event)
                    for subscription in self._subscribers:
                        subscription.put(event)
        finally:
            with self.lock:
                self._ended = True
                for subscription in self._subscribers:
                    subscription.put(None)


class EventStream:
    """Every event from the moment the stream was made, as the program sent it.

    Iterating waits up to `timeout` seconds for each next event and raises
    TessalyTimeoutError when none comes (0: only the events that have arrived already); the
    iteration ends when the program does. Close the stream (or leave its ``with`` block) when
    done, or it keeps every event that arrives.
    """

    def __init__(self, hub: EventHub, timeout: float) -> None:
        """Use `Simulator.events`."""
        self._subscription = hub.subscribe()
        self._timeout = timeout

    def __iter__(self) -> "EventStream":
        return self

    def __next__(self) -> Event:
        """The next event (see the class)."""
        try:
            event = self._subscription.next_event(time.monotonic() + self._timeout)
        except queue.Empty:
            raise TessalyTimeoutError("no event within %g s" % self._timeout) from None
        if event is None:
            raise StopIteration
        return event

    def close(self) -> None:
        """Stop collecting events."""
        self._subscription.close()

    def __enter__(self) -> "EventStream":
        return self

    def __exit__(self, *exc: object) -> None:
        self.close()

    def __del__(self) -> None:
        if hasattr(self, "_subscription"):
            self.close()
