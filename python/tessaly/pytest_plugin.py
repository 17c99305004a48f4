"""pytest fixtures that give a test a simulator steered through ``Tessaly --headless``.

Load it with ``pytest -p tessaly.pytest_plugin``, or ``pytest_plugins =
["tessaly.pytest_plugin"]`` in a conftest.py. Then::

    def test_engine_speed(simulator):
        simulator.set_mode("dynamic", False)
        simulator.set_level(50)
        status = simulator.wait_for(lambda s: s.level == 50)
        assert status.values["Engine RPM [RPM]"] > 0

Options (each defaults to its environment variable): ``--tessaly-port`` (``TESSALY_PORT``:
COMn or a device path), ``--tessaly-program`` (``TESSALY_PROGRAM``, default ``Tessaly``) and
``--tessaly-settings`` (``TESSALY_SETTINGS``: the settings file Tessaly remembers its port in).
A test that asks for a simulator is skipped, with the reason, when no port is given.

``--tessaly-attach PATH`` (``TESSALY_ATTACH``) makes the fixtures attach to a Tessaly that runs
already with ``--listen``, instead of starting one: the dashboard on the bench follows the
run, and the operator can take over when it stops. Tessaly is left running afterwards.

``simulator`` starts Tessaly for each test; ``simulator_session`` once for the whole run, for
tests that leave the simulator as they found it. Use one or the other in a run: two Tessaly
cannot open the same port.
"""

import os
from typing import Iterator

import pytest

from tessaly.simulator import Simulator

__all__ = ["pytest_addoption", "simulator", "simulator_session"]


def pytest_addoption(parser: pytest.Parser) -> None:
    """The options ``--tessaly-port``, ``--tessaly-program``, ``--tessaly-settings`` and
    ``--tessaly-attach``."""
    group = parser.getgroup("tessaly", "J1939 simulator through Tessaly --headless")
    group.addoption("--tessaly-port", default=os.environ.get("TESSALY_PORT") or None,
                    metavar="PORT",
                    help="the simulator's port, COMn or a device path (default: $TESSALY_PORT; "
                    "without one, tests that need a simulator are skipped)")
    group.addoption("--tessaly-program", default=os.environ.get("TESSALY_PROGRAM") or "Tessaly",
                    metavar="PATH",
                    help="the Tessaly to run (default: $TESSALY_PROGRAM, else Tessaly)")
    group.addoption("--tessaly-settings", default=os.environ.get("TESSALY_SETTINGS") or None,
                    metavar="FILE",
                    help="the settings file Tessaly keeps the port in (default: "
                    "$TESSALY_SETTINGS, else Tessaly's own)")
    group.addoption("--tessaly-attach", default=os.environ.get("TESSALY_ATTACH") or None,
                    metavar="PATH",
                    help="attach to the Tessaly listening at the socket PATH (Tessaly --listen) "
                    "instead of starting one (default: $TESSALY_ATTACH)")


def _started(config: pytest.Config) -> Simulator:
    attach = config.getoption("tessaly_attach")
    if attach:
        return Simulator.attach(str(attach))
    port = config.getoption("tessaly_port")
    if not port:
        pytest.skip("no simulator port: give --tessaly-port COMn or set TESSALY_PORT")
    return Simulator(port=str(port), program=str(config.getoption("tessaly_program")),
                     settings=config.getoption("tessaly_settings"))


@pytest.fixture
def simulator(pytestconfig: pytest.Config) -> Iterator[Simulator]:
    """A Simulator of its own for one test, ended after it."""
    with _started(pytestconfig) as started:
        yield started


@pytest.fixture(scope="session")
def simulator_session(pytestconfig: pytest.Config) -> Iterator[Simulator]:
    """One Simulator for the whole run, ended after the last test."""
    with _started(pytestconfig) as started:
        yield started
