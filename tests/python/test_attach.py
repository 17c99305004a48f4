"""Attaching to a Tessaly that runs already (``--listen``): scripts drive the session while it
stays up for the operator, and the pytest plugin's fixtures attach instead of starting one."""

import os
import signal
import socket
import subprocess
import sys
import threading
import time
from pathlib import Path
from typing import Any, Iterator

import pytest

from conftest import TESSALY
from tessaly import Simulator, TessalyError
from tessaly.transport import SocketTransport

COM = 39

BENCH_TESTS = """
def test_attached(simulator):
    assert simulator.identity["serial"] == 3939
    simulator.set_level(64)
    assert simulator.wait_for(lambda s: s.level == 64).level == 64
"""


@pytest.fixture
def listening(stand_in: Any, tmp_path: Path) -> Iterator["subprocess.Popen[bytes]"]:
    """A Tessaly --headless listening at tmp_path/run/COM39.sock, as a bench leaves one
    running; ended by SIGTERM after the test."""
    stand_in.start("--serial", "3939", "--no-dynamic")
    run = tmp_path / "run"
    run.mkdir(mode=0o700)
    process = subprocess.Popen(
        [TESSALY, "--headless", "--port", "COM39", "--settings", str(tmp_path / "vive1939.ini"),
         "--listen", str(run / "COM39.sock"), "--status-rate", "20"],
        stdin=subprocess.PIPE, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    yield process
    process.send_signal(signal.SIGTERM)
    process.wait(10)
    assert process.stdin is not None and process.stderr is not None
    process.stdin.close()
    process.stderr.close()


def attach(path: Path) -> Simulator:
    # The socket appears once Tessaly is up.
    for _ in range(100):
        try:
            return Simulator.attach(path)
        except TessalyError:
            if path.exists():
                raise
        time.sleep(0.05)
    return Simulator.attach(path)


def test_two_attached_scripts_share_the_session_and_leave_it_running(
        listening: "subprocess.Popen[bytes]", tmp_path: Path) -> None:
    path = tmp_path / "run" / "COM39.sock"
    first = attach(path)
    with Simulator.attach(path) as second:
        # Both join a session identified before they came.
        assert first.identity == second.identity
        assert first.identity["serial"] == 3939
        assert first.link == second.link == "identified"
        assert first.pid == listening.pid
        first.set_level(42)
        assert second.wait_for(lambda s: s.level == 42).level == 42
    # The second's leaving ends nothing: the first goes on.
    first.set_level(17)
    assert first.wait_for(lambda s: s.level == 17).level == 17
    first.close()
    assert listening.poll() is None

    # The fixtures of a pytest run attach to it, and leave it running too.
    result = subprocess.run(
        [sys.executable, "-m", "pytest", "-q", "-p", "no:cacheprovider", "-p",
         "tessaly.pytest_plugin", "--tessaly-attach", str(path), "-o",
         "python_files=bench_*.py", str(_bench_file(tmp_path))],
        capture_output=True, text=True, timeout=120,
        env=dict(os.environ, TESSALY_PORT=""))
    assert result.returncode == 0, result.stdout + result.stderr
    assert "1 passed" in result.stdout
    assert listening.poll() is None

    listening.send_signal(signal.SIGTERM)
    assert listening.wait(10) == 128 + signal.SIGTERM
    assert not path.exists()


def test_attaching_where_nothing_listens_says_so(tmp_path: Path) -> None:
    missing = tmp_path / "COM39.sock"
    with pytest.raises(TessalyError) as refused:
        Simulator.attach(missing)
    assert str(refused.value) == (
        "cannot attach to %s: No such file or directory; no Tessaly listens there (start one "
        "with: Tessaly --listen %s)" % (missing, missing))


def test_a_refused_attach_ends_with_tessalys_own_reason(tmp_path: Path) -> None:
    path = tmp_path / "COM39.sock"
    server = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    server.bind(str(path))
    server.listen(1)

    def refuse() -> None:
        peer, _ = server.accept()
        peer.sendall(b'{"event":"error","message":"refused: 8 scripts are connected already"}\n')
        peer.close()

    refusing = threading.Thread(target=refuse)
    refusing.start()
    transport = SocketTransport(str(path))
    try:
        assert transport.read_line() is not None
        assert transport.read_line() is None
        assert transport.ending() == ("Tessaly closed the connection at %s: refused: 8 scripts "
                                      "are connected already" % path)
    finally:
        transport.close(1.0)
        refusing.join(5)
        server.close()


def _bench_file(folder: Path) -> Path:
    bench = folder / "bench_attached.py"
    bench.write_text(BENCH_TESTS)
    return bench
