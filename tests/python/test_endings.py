"""How a session's end and a failed attach read: a Tessaly ended by SIGTERM in the middle of a
wait says so, attached or started, and attaching where nothing listens says how to start one."""

import os
import signal
import socket
import subprocess
import threading
from pathlib import Path
from typing import Any, Callable, Iterator

import pytest

from conftest import TESSALY, failure_of_a_long_wait
from tessaly import Simulator, TessalyError

COM = 47


@pytest.fixture
def listening(stand_in: Any, tmp_path: Path) -> Iterator["subprocess.Popen[bytes]"]:
    """A Tessaly --headless on the stand-in, listening at tmp_path/run/COM47.sock."""
    stand_in.start("--no-dynamic")
    run = tmp_path / "run"
    run.mkdir(mode=0o700)
    process = subprocess.Popen(
        [TESSALY, "--headless", "--port", str(stand_in.link), "--settings",
         str(tmp_path / "vive1939.ini"), "--listen", str(run / "COM47.sock")],
        stdin=subprocess.PIPE, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    yield process
    if process.poll() is None:
        process.kill()
    process.wait(10)
    assert process.stdin is not None
    process.stdin.close()


def attached(path: Path) -> Simulator:
    for _ in range(200):
        if path.exists():
            break
        threading.Event().wait(0.05)
    return Simulator.attach(path)


def test_an_attached_tessaly_ended_by_sigterm_says_it_ended(
        listening: "subprocess.Popen[bytes]", tmp_path: Path) -> None:
    path = tmp_path / "run" / "COM47.sock"
    with attached(path) as simulator:
        ended = "Tessaly ended (it listened at %s)" % path
        pid = listening.pid
        assert failure_of_a_long_wait(simulator, lambda: os.kill(pid, signal.SIGTERM)) == ended
        with pytest.raises(TessalyError) as again:
            simulator.set_level(10)
        assert str(again.value) == ended
    assert listening.wait(10) == 128 + signal.SIGTERM


def test_a_started_tessaly_ended_by_sigterm_says_it_ended(
        stand_in: Any, open_simulator: Callable[..., Simulator]) -> None:
    stand_in.start("--no-dynamic")
    with open_simulator(port=str(stand_in.link)) as simulator:
        assert simulator.pid is not None
        pid = simulator.pid
        assert failure_of_a_long_wait(simulator, lambda: os.kill(pid, signal.SIGTERM)) == \
            "Tessaly ended (status 143, signal SIGTERM)"


def test_an_operators_disconnect_is_still_the_links_trouble(
        listening: "subprocess.Popen[bytes]", tmp_path: Path, stand_in: Any) -> None:
    with attached(tmp_path / "run" / "COM47.sock") as simulator:
        simulator.send("disconnect")
        with pytest.raises(TessalyError) as failed:
            simulator.wait_for(lambda s: False, timeout=60)
        assert str(failed.value) == "the link is disconnected (%s)" % stand_in.link
    assert listening.poll() is None


@pytest.mark.parametrize("left", ["nothing", "a dead socket"])
def test_attaching_where_nothing_listens_says_how_to_start_tessaly(
        tmp_path: Path, left: str) -> None:
    path = tmp_path / "COM47.sock"
    reason = "No such file or directory"
    if left == "a dead socket":
        dead = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        dead.bind(str(path))
        dead.close()
        reason = "Connection refused"
    with pytest.raises(TessalyError) as refused:
        Simulator.attach(path)
    assert str(refused.value) == (
        "cannot attach to %s: %s; no Tessaly listens there (start one with: Tessaly --listen "
        "%s)" % (path, reason, path))
