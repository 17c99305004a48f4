"""`Simulator`: Tessaly's session without a window, as a Python object."""

import json
import os
import queue
import subprocess
import threading
import time
from typing import Any, Callable, Dict, Optional, Tuple, Type, Union

from tessaly.errors import TessalyError, TessalyTimeoutError
from tessaly.events import Event, EventHub, EventStream, Subscription
from tessaly.status import Status
from tessaly.transport import ProgramTransport, SocketTransport, Transport

__all__ = ["Simulator"]

PathLike = Union[str, os.PathLike[str]]

# How long Tessaly has to end after ``quit`` before it is made to.
_ENDING_TIME = 5.0
# After a refused identification the firmware message follows at once.
_REFUSAL_MESSAGE_TIME = 1.0
# With no status events of its own, how often the start asks for a snapshot.
_SNAPSHOT_INTERVAL = 0.2
# A Tessaly that ends says "disconnected" just before its events end: how long a wait that
# sees the link disconnected looks for that end before it blames the link.
_ENDING_GRACE = 0.5


def _starts_with_word(message: str, word: str) -> bool:
    """True for the program's refusals of a command whose first word is `word`:
    "level takes ...", "level: refused: ...", "unknown command: turbo"."""
    return message.startswith((word + " ", word + ":", "unknown command: " + word))


def _one_word(text: str, what: str) -> str:
    """`text` when it can go on a command line as one word; ValueError otherwise, so that no
    argument can smuggle a second command in."""
    if not text or not text.isprintable() or any(c.isspace() for c in text):
        raise ValueError("%s must be one word, not %r" % (what, text))
    return text


class Simulator:
    """A J1939 simulator steered through ``Tessaly --headless``.

    Starts the program, waits until it has identified the simulator and shows readings, and
    raises TessalyError with the program's own text when the device is missing, its firmware
    refused, or it stays silent past `timeout` seconds (then a TessalyTimeoutError, also a
    TimeoutError)::

        with Simulator(port="COM3") as simulator:
            simulator.set_mode("dynamic", False)
            simulator.set_level(50)
            status = simulator.wait_for(lambda s: s.level == 50)
            print(status.values["Engine RPM [RPM]"])

    `port` is COM1 to COM40 or a device path (default: the port Tessaly remembers), `program`
    the Tessaly to run, `settings` the settings file it keeps the port in (see ``man
    Tessaly``), `status_rate` its status events per second (0: only on `snapshot`).
    `timeout` bounds the start and, by default, each command's wait for its answer.

    Every wait has a deadline. A simulator lost during a wait, or a program that ends, raises
    TessalyError at once.

    Attributes, kept up to date from the program's events:

    - ``identity``: the simulator's identification, ``serial`` (a number), ``firmware``
      ("0.2D") and ``can_rate`` ("250K bps");
    - ``status``: the latest `Status` while the simulator is identified; None before the first
      and from the moment the link goes down;
    - ``link``: the link's state ("connecting", "identified", "silent", "lost", ...);
    - ``port``: the port in force ("COM3" or a device path); ``device``: the device in use;
    - ``pid``: the process id of Tessaly; ``timeout``: the commands' default time-out.
    """

    def __init__(self, port: Optional[str] = None, program: PathLike = "Tessaly",
                 settings: Optional[PathLike] = None, status_rate: float = 5,
                 timeout: float = 10) -> None:
        """Start `program` and wait for an identified simulator (see the class)."""
        command = [os.fspath(program), "--headless", "--status-rate", "%g" % status_rate]
        if port is not None:
            command += ["--port", _one_word(port, "port")]
        if settings is not None:
            command += ["--settings", os.fspath(settings)]
        self._begin(ProgramTransport(command), status_rate > 0, timeout)

    @classmethod
    def attach(cls, path: PathLike, timeout: float = 10) -> "Simulator":
        """A Simulator on a Tessaly that runs already with ``--listen``: the dashboard an
        operator watches, or a ``--headless`` session. The same API, but it starts nothing,
        and `close` leaves Tessaly and its simulator running::

            with Simulator.attach("/run/user/1000/tessaly/COM3.sock") as simulator:
                simulator.set_level(50)

        Waits, as the constructor does, for an identified simulator. TessalyError when
        nothing listens at `path` or Tessaly refuses the connection (another user's, or too
        many scripts)."""
        simulator = cls.__new__(cls)
        # Tessaly sends status events to its scripts at its own rate (--status-rate).
        simulator._begin(SocketTransport(os.fspath(path)), True, timeout)
        return simulator

    @staticmethod
    def run_sequence(path: PathLike, port: Optional[str] = None,
                     answers: Optional[str] = None, report_dir: Optional[PathLike] = None,
                     program: PathLike = "Tessaly", settings: Optional[PathLike] = None,
                     timeout: Optional[float] = None) -> Dict[str, Any]:
        """Run the bench sequence at `path` with ``Tessaly --run`` and return its report.json
        as a dict: ``verdict`` ("passed", "failed", "device lost at step 3 (line 9)", ...),
        ``passed``, ``exit_status``, ``steps`` (each with ``step``, ``line``, ``kind``,
        ``text``, ``verdict``, ``start`` and ``end`` in seconds from the run's start, absent
        for a step not run, ``expected``, ``seen``, ``note``, ``output``), ``trouble_codes``
        and ``report_dir``, the folder with junit.xml, report.html and recording.csv::

            report = Simulator.run_sequence("examples/overheat.yaml", port="COM3",
                                            answers="pass")
            assert report["passed"], report["verdict"]

        A failed check is a report, not an error. It starts its own Tessaly, so no Simulator
        may hold the port meanwhile. `port`, `answers` ("pass" or "fail") and `report_dir`
        are the options of the same names (default folder: beside the file, named after it
        and the start time). TessalyError, with the program's text, for a file it refuses
        ("overheat.yaml line 7: unknown step 'levle'") or a run that left no report;
        TessalyTimeoutError past `timeout` seconds (default: none), when Tessaly is stopped.
        """
        command = [os.fspath(program), "--run", os.fspath(path)]
        if port is not None:
            command += ["--port", _one_word(port, "port")]
        if answers is not None:
            command += ["--answers", _one_word(answers, "answers")]
        if report_dir is not None:
            command += ["--report", os.fspath(report_dir)]
        if settings is not None:
            command += ["--settings", os.fspath(settings)]
        try:
            finished = subprocess.run(command, stdin=subprocess.DEVNULL,
                                      stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                                      encoding="utf-8", errors="replace", timeout=timeout)
        except OSError as error:
            raise TessalyError("cannot start %s: %s" % (command[0], error.strerror)) from error
        except subprocess.TimeoutExpired:
            raise TessalyTimeoutError("the sequence %s did not end within %g s"
                                      % (os.fspath(path), timeout or 0)) from None
        said = [line[len("Tessaly: "):] if line.startswith("Tessaly: ") else line
                for line in finished.stderr.splitlines()
                if line and not line.startswith(("QStandardPaths:", "Try 'Tessaly --help'"))]
        folder = os.fspath(report_dir) if report_dir is not None else None
        marker = "; report in "
        for line in reversed(said):
            if folder is None and marker in line:
                folder = line.rsplit(marker, 1)[1]
        if finished.returncode == 2 or folder is None:
            raise TessalyError("\n".join(said) or "Tessaly ended with status %d"
                               % finished.returncode)
        try:
            with open(os.path.join(folder, "report.json"), encoding="utf-8") as file:
                report: Dict[str, Any] = json.load(file)
        except (OSError, ValueError) as error:
            raise TessalyError("the run left no report in %s: %s\n%s"
                               % (folder, error, "\n".join(said))) from error
        report["report_dir"] = folder
        return report

    def _begin(self, transport: Transport, status_events: bool, timeout: float) -> None:
        """Take up the session on `transport` and wait until it shows readings."""
        self.timeout = timeout
        self.identity: Dict[str, Any] = {}
        self.status: Optional[Status] = None
        self.link = ""
        self.port = ""
        self.device = ""
        self._transport = transport
        self._status_events = status_events
        self._closed = False
        self._command_lock = threading.Lock()
        self._hub = EventHub(transport, self._take)
        # Subscribed before the first line is read: a port that fails at once is not missed.
        first = self._wait()
        self._hub.start()
        try:
            self._identified(first, timeout)
        except BaseException:
            self.close()
            raise

    @property
    def pid(self) -> Optional[int]:
        """The process id of the Tessaly this simulator runs through."""
        return self._transport.pid

    # What each event tells, kept as it arrives (on the reading thread, under the hub's lock).
    def _take(self, event: Event) -> None:
        kind = event.get("event")
        if kind == "link":
            self.link = str(event.get("state", ""))
            self.port = str(event.get("port", ""))
            self.device = str(event.get("device", ""))
            if self.link != "identified":
                self.status = None
        elif kind == "identified" and event.get("accepted"):
            self.identity = {name: event.get(name) for name in ("serial", "firmware", "can_rate")}
        elif kind == "status":
            try:
                self.status = Status.from_event(event)
            except (KeyError, TypeError, ValueError, AttributeError):
                pass  # not a status this client can read; events() still has it

    def wait_identified(self, timeout: Optional[float] = None) -> Dict[str, Any]:
        """Wait until the simulator is identified and a status line has come since (the start
        does this; a bench test calls it to wait for a device that returns after a loss).
        Returns `identity`. TessalyError with the program's text for a device that cannot be
        opened or whose firmware is refused; TessalyTimeoutError past `timeout`."""
        return self._identified(self._wait(), timeout)

    def _identified(self, wait: "_Wait", timeout: Optional[float]) -> Dict[str, Any]:
        timeout = self.timeout if timeout is None else timeout
        deadline = time.monotonic() + timeout
        what = "identified simulator within %g s" % timeout
        with wait:
            if wait.link == "identified" and wait.status is not None:
                return self.identity
            refusal = ""
            next_snapshot = 0.0
            while True:
                wait_until = deadline
                if refusal:
                    wait_until = deadline = min(deadline,
                                                time.monotonic() + _REFUSAL_MESSAGE_TIME)
                elif wait.link == "identified" and not self._status_events:
                    if time.monotonic() >= next_snapshot:
                        self._send("snapshot")
                        next_snapshot = time.monotonic() + _SNAPSHOT_INTERVAL
                    wait_until = min(deadline, next_snapshot)
                try:
                    event = self._next(wait, wait_until, what)
                except TessalyTimeoutError:
                    if refusal:
                        raise TessalyError(refusal) from None
                    if time.monotonic() < deadline:
                        continue  # time for the next snapshot
                    raise
                kind = event.get("event")
                if kind == "identified" and not event.get("accepted"):
                    refusal = "firmware %s is refused" % event.get("firmware")
                elif kind == "error" and (refusal or wait.link == "disconnected"):
                    # The firmware message, or a port that did not open: nothing follows.
                    raise TessalyError(wait.error)
                elif kind == "status" and wait.link == "identified":
                    return self.identity

    def wait_for(self, predicate: Callable[[Status], bool], timeout: float = 5.0) -> Status:
        """The first status, the current one included, for which `predicate` is true.
        TessalyTimeoutError (a TimeoutError) when none comes within `timeout` seconds;
        TessalyError when the simulator is lost or the program ends meanwhile. With
        `status_rate` 0 only `snapshot` brings new statuses."""
        deadline = time.monotonic() + timeout
        with self._wait() as wait:
            if wait.link != "identified":
                raise TessalyError(self._trouble(wait))
            if wait.status is not None and predicate(wait.status):
                return wait.status
            while True:
                try:
                    event = self._next(wait, deadline, "status for which the condition holds "
                                       "within %g s" % timeout)
                except TessalyTimeoutError as late:
                    latest = self.status
                    if latest is None:
                        raise
                    raise TessalyTimeoutError("%s (the latest: level %d at %g s)" %
                                              (late, latest.level, latest.time)) from None
                if wait.link != "identified":
                    raise TessalyError(self._trouble(wait))
                if event.get("event") == "status":
                    try:
                        candidate = Status.from_event(event)
                    except (KeyError, TypeError, ValueError, AttributeError):
                        continue
                    if predicate(candidate):
                        return candidate

    def set_level(self, level: int, timeout: Optional[float] = None) -> None:
        """Move the level slider to `level` (0 to 100) and return once the simulator has
        acknowledged it. TessalyError with the program's text when it refuses."""
        if isinstance(level, bool) or not isinstance(level, int):
            raise TypeError("level must be a whole number, not %r" % (level,))
        self._command("level %d" % level, "level", ("ack",), timeout)

    def press(self, key: str, timeout: Optional[float] = None) -> None:
        """Press a key of the simulator's keypad ("up", "down" or "menu") and return once the
        simulator has acknowledged it."""
        self._command("key " + _one_word(key, "key"), "key", ("ack",), timeout)

    def set_mode(self, mode: str, on: bool, timeout: Optional[float] = None) -> None:
        """Switch a mode ("dynamic", "quiet", "warnings" or "reset_dm2") on or off, as its
        check box would, and return once the simulator has acknowledged the key; at once when
        the mode is in that state already (nothing is sent then)."""
        if not isinstance(on, bool):
            raise TypeError("on must be True or False, not %r" % (on,))
        word = _one_word(mode, "mode").replace("_", "-")
        self._command("%s %s" % (word, "on" if on else "off"), word, ("ack", "unchanged"),
                      timeout)

    def snapshot(self, timeout: Optional[float] = None) -> Status:
        """A status now, whatever `status_rate`; TessalyError with the program's text
        ("snapshot: no readings: the link is lost") when there are no readings."""
        event = self._command("snapshot", "snapshot", ("status",), timeout)
        return Status.from_event(event)

    def send(self, command: str) -> None:
        """Send one command line as it stands (``can-rate 500K``, ``disconnect``, see ``man
        Tessaly``) without waiting; its answers come through `events`."""
        if "\n" in command or "\r" in command:
            raise ValueError("one command line at a time, without line ends")
        self._send(command)

    def events(self, timeout: float = 5.0) -> EventStream:
        """Every raw event from now on, as dicts: an iterator that waits up to `timeout`
        seconds for each (TessalyTimeoutError after that; 0: only those that have arrived)
        and ends when the program does. Close it, or use it in a ``with`` block."""
        return EventStream(self._hub, timeout)

    def close(self) -> None:
        """End the program as its ``quit`` does and reap it; an attached simulator only
        leaves. A second call does nothing."""
        if self._closed:
            return
        self._closed = True
        self._transport.close(_ENDING_TIME)
        self._hub.join(_ENDING_TIME)

    def __enter__(self) -> "Simulator":
        return self

    def __exit__(self, kind: Optional[Type[BaseException]], error: Optional[BaseException],
                 traceback: object) -> None:
        self.close()

    def _command(self, line: str, word: str, answers: Tuple[str, ...],
                 timeout: Optional[float]) -> Event:
        """Send `line` and wait for its answer: an event of one of the `answers` kinds (with
        ``command`` `word` where the event names one), or the program's refusal."""
        timeout = self.timeout if timeout is None else timeout
        deadline = time.monotonic() + timeout
        with self._command_lock, self._wait() as wait:
            self._send(line)
            while True:
                event = self._next(wait, deadline, "answer to %r within %g s" % (line, timeout))
                kind = event.get("event")
                if kind in answers and event.get("command", word) == word:
                    return event
                if kind == "error" and _starts_with_word(wait.error, word):
                    raise TessalyError(wait.error)
                if kind == "link" and wait.link != "identified":
                    raise TessalyError(self._trouble(wait))

    def _wait(self) -> "_Wait":
        """A wait that sees every event from now on, and the state as it stands now."""
        with self._hub.lock:
            return _Wait(self._hub.subscribe(), self.link, self.status)

    def _next(self, wait: "_Wait", deadline: float, what: str) -> Event:
        """The next event of `wait`; TessalyError once the program has ended,
        TessalyTimeoutError("no `what`") at `deadline`."""
        try:
            event = wait.next_event(deadline)
        except queue.Empty:
            text = "no " + what
            if wait.link != "identified":
                text += ": " + self._link_trouble(wait)
            raise TessalyTimeoutError(text) from None
        if event is None:
            raise TessalyError(self._transport.ending() or "Tessaly ended")
        return event

    def _send(self, line: str) -> None:
        if self._closed:
            raise TessalyError("the simulator is closed")
        try:
            self._transport.write_line(line)
        except OSError:
            raise TessalyError(self._transport.ending() or "Tessaly ended") from None

    def _trouble(self, wait: "_Wait") -> str:
        """Why a wait cannot go on with the link down: `_link_trouble`, unless the link went
        down because Tessaly is ending (its events end within `_ENDING_GRACE`): then how it
        ended."""
        text = self._link_trouble(wait)
        if wait.link == "disconnected":
            grace = time.monotonic() + _ENDING_GRACE
            try:
                while True:
                    event = wait.next_event(grace)
                    if event is None:
                        return self._transport.ending() or "Tessaly ended"
                    if event.get("event") == "link":
                        break  # it goes on: the operator's Disconnect, a new connect
            except queue.Empty:
                pass
        return text

    def _link_trouble(self, wait: "_Wait") -> str:
        """"the link is lost (COM3, /dev/ttyUSB0)", with the program's error text of the wait
        where it gave one."""
        text = "the link is %s" % (wait.link or "not up yet")
        place = ", ".join(part for part in (self.port, self.device) if part)
        if place:
            text += " (%s)" % place
        if wait.error:
            text += ": " + wait.error
        return text


class _Wait:
    """One wait for events: its subscription, the link state and status as they stood when it
    began, the link state and the program's error text as the events since have left them."""

    def __init__(self, events: Subscription, link: str, status: Optional[Status]) -> None:
        self.events = events
        self.link = link
        self.status = status
        self.error = ""

    def next_event(self, deadline: float) -> Optional[Event]:
        """As Subscription.next_event, keeping `link` and `error` up to date."""
        event = self.events.next_event(deadline)
        if event is not None:
            kind = event.get("event")
            if kind == "link":
                self.link = str(event.get("state", ""))
            elif kind == "error":
                self.error = str(event.get("message", ""))
        return event

    def __enter__(self) -> "_Wait":
        return self

    def __exit__(self, *exc: object) -> None:
        self.events.close()
