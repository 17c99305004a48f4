"""End-to-end fixtures: j1939-sim on a pseudo-terminal linked in a port-map folder of the
test's own, and the Tessaly under test (named by CTest: TESSALY_PROGRAM, J1939_SIM)."""

import ctypes
import os
import signal
import subprocess
import threading
import time
from pathlib import Path
from typing import Any, Callable, Iterator, List, Optional

import pytest

from tessaly import Simulator, TessalyError

pytest_plugins = ["pytester"]

# CTest names the programs; run by hand from the source tree, those of build/ are taken.
_BUILD = Path(__file__).resolve().parents[2] / "build"
TESSALY = os.environ.get("TESSALY_PROGRAM") or str(_BUILD / "terminal" / "Tessaly")
J1939_SIM = os.environ.get("J1939_SIM") or str(_BUILD / "tools" / "j1939-sim" / "j1939-sim")
_PR_SET_PDEATHSIG = 1


def _dies_with_test() -> None:
    # A test that crashes would otherwise leave its stand-in running.
    ctypes.CDLL(None).prctl(_PR_SET_PDEATHSIG, signal.SIGKILL)


class StandIn:
    """j1939-sim linked as comN in the test's port-map folder."""

    def __init__(self, folder: Path, com: int) -> None:
        self.folder = folder
        self.com = com
        self.link = folder / ("com%d" % com)
        self.log = folder / ("j1939-sim-com%d.log" % com)
        self.process: "Optional[subprocess.Popen[bytes]]" = None

    def start(self, *arguments: str) -> "StandIn":
        self.stop()
        self.log.unlink(missing_ok=True)
        environment = dict(os.environ, COMPORTS_DIR=str(self.folder))
        self.process = subprocess.Popen(
            [J1939_SIM, "--com", str(self.com), "--log", str(self.log), *arguments],
            env=environment, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            preexec_fn=_dies_with_test)
        deadline = time.monotonic() + 10
        while "COM%d -> " % self.com not in self.log_text():
            assert time.monotonic() < deadline, "j1939-sim did not start: " + self.log_text()
            assert self.process.poll() is None, "j1939-sim ended: " + self.log_text()
            time.sleep(0.02)
        return self

    def unplug(self) -> None:
        """The cable pulled: the stand-in ends abruptly and its link leads nowhere (left on the
        dead pseudo-terminal, it would lead to whoever gets that number next)."""
        self.stop()
        self.link.unlink(missing_ok=True)
        self.link.symlink_to(self.folder / ("unplugged-com%d" % self.com))

    def stop(self) -> None:
        if self.process is not None:
            self.process.kill()
            self.process.wait()
            self.process = None

    def log_text(self) -> str:
        try:
            return self.log.read_text(errors="replace")
        except FileNotFoundError:
            return ""


@pytest.fixture
def port_map(tmp_path: Path, monkeypatch: pytest.MonkeyPatch) -> Path:
    """A port-map folder of the test's own, in force for every program the test starts."""
    folder = tmp_path / "comports"
    folder.mkdir()
    monkeypatch.setenv("COMPORTS_DIR", str(folder))
    return folder


@pytest.fixture
def stand_in(port_map: Path, request: pytest.FixtureRequest) -> Iterator[StandIn]:
    """A j1939-sim, not started yet, on the test module's COM number."""
    device = StandIn(port_map, request.module.COM)
    yield device
    device.stop()


@pytest.fixture
def open_simulator(tmp_path: Path, request: pytest.FixtureRequest) -> Callable[..., Simulator]:
    """Starts a Simulator on the test module's port, with a settings file of the test's own."""
    def start(**options: Any) -> Simulator:
        options.setdefault("port", "COM%d" % request.module.COM)
        return Simulator(program=TESSALY, settings=tmp_path / "vive1939.ini", **options)
    return start


def _children() -> List[str]:
    found = []
    for stat in Path("/proc").glob("[0-9]*/stat"):
        try:
            fields = stat.read_text().rsplit(")", 1)[1].split()
        except (OSError, IndexError):
            continue
        if int(fields[1]) == os.getpid():
            found.append(stat.parent.name + " " + fields[0])
    return found


@pytest.fixture(autouse=True)
def no_process_left() -> Iterator[None]:
    """Every test ends with no child left, running or unreaped."""
    yield
    assert _children() == []


def failure_of_a_long_wait(simulator: Simulator, happening: Callable[[], None]) -> str:
    """The text of the TessalyError that ends a long wait_for when `happening` comes half a
    second into it: at once, not as the wait's time-out."""
    later = threading.Timer(0.5, happening)
    later.start()
    try:
        with pytest.raises(TessalyError) as failed:
            simulator.wait_for(lambda s: False, timeout=60)
    finally:
        later.join()
    assert not isinstance(failed.value, TimeoutError)
    return str(failed.value)
