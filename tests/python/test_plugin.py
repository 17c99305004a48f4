"""The pytest plugin as a bench engineer uses it: fixtures in a pytest run of its own, the
options and their environment variables, a skip without a port, the example bench test."""

from pathlib import Path
from typing import Any

import pytest

from conftest import TESSALY

COM = 34
EXAMPLE = Path(__file__).resolve().parents[2] / "examples" / "test_bench.py"

BENCH_TESTS = """
import os

def test_function_scoped(simulator):
    assert simulator.identity["serial"] == 5150
    simulator.set_mode("dynamic", False)
    simulator.set_level(75)
    status = simulator.wait_for(lambda s: s.level == 75)
    assert status.values["Engine RPM [RPM]"] == 6023.875
    assert status.trouble_codes["Engine DM1"] == []

PIDS = []

def test_session_scoped_first(simulator_session):
    PIDS.append(simulator_session.pid)

def test_session_scoped_second(simulator_session):
    PIDS.append(simulator_session.pid)
    assert PIDS[0] == PIDS[1] and os.path.exists("/proc/%d" % PIDS[0])
"""


def test_the_fixtures_drive_the_simulator_named_by_the_options(
        pytester: pytest.Pytester, stand_in: Any, tmp_path: Path) -> None:
    stand_in.start("--serial", "5150")
    pytester.makepyfile(test_bench=BENCH_TESTS)
    result = pytester.runpytest_subprocess(
        "-p", "tessaly.pytest_plugin", "--tessaly-port", "COM34",
        "--tessaly-program", TESSALY,
        "--tessaly-settings", str(tmp_path / "vive1939.ini"))
    result.assert_outcomes(passed=3)


def test_the_environment_gives_the_defaults_and_no_port_skips_with_the_reason(
        pytester: pytest.Pytester, stand_in: Any, tmp_path: Path,
        monkeypatch: pytest.MonkeyPatch) -> None:
    stand_in.start("--serial", "5150")
    pytester.makepyfile(test_bench=BENCH_TESTS)
    monkeypatch.setenv("TESSALY_PORT", "COM34")
    monkeypatch.setenv("TESSALY_PROGRAM", TESSALY)
    monkeypatch.setenv("TESSALY_SETTINGS", str(tmp_path / "vive1939.ini"))
    pytester.runpytest_subprocess("-p", "tessaly.pytest_plugin").assert_outcomes(passed=3)

    monkeypatch.delenv("TESSALY_PORT")
    result = pytester.runpytest_subprocess("-p", "tessaly.pytest_plugin", "-rs")
    result.assert_outcomes(skipped=3)
    result.stdout.fnmatch_lines(
        ["*no simulator port: give --tessaly-port COMn or set TESSALY_PORT*"])


def test_the_example_bench_test_passes(pytester: pytest.Pytester, stand_in: Any,
                                       tmp_path: Path) -> None:
    stand_in.start()
    result = pytester.runpytest_subprocess(
        "-p", "tessaly.pytest_plugin", "--tessaly-port", "COM34",
        "--tessaly-program", TESSALY,
        "--tessaly-settings", str(tmp_path / "vive1939.ini"), str(EXAMPLE))
    result.assert_outcomes(passed=1)
