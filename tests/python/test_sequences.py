"""Bench sequences from Python: `Simulator.run_sequence` runs ``Tessaly --run`` against
j1939-sim and hands back report.json as a dict, a failed check included; a refused file is a
TessalyError with the program's own text, and nothing is left running."""

import json
from pathlib import Path
from typing import Any

import pytest

from conftest import TESSALY
from tessaly import Simulator, TessalyError

COM = 49


def test_a_run_with_a_drive_cycle_and_a_failed_check_returns_its_report(
        stand_in: Any, tmp_path: Path) -> None:
    stand_in.start("--no-dynamic")
    (tmp_path / "cycles").mkdir()
    (tmp_path / "cycles" / "short.csv").write_text("time_s,level\n0,20\n0.5,30\n1,40\n")
    sequence = tmp_path / "cycle.yaml"
    sequence.write_text(
        "name: Short cycle\n"
        "steps:\n"
        "  - profile: cycles/short.csv\n"
        "  - expect: {level: 40, within: 3}\n"
        "  - expect: {value: \"Engine RPM\", min: 9000}\n"
        "  - ask: Is the needle at 40?\n")
    report = Simulator.run_sequence(sequence, port=str(stand_in.link), answers="pass",
                                    report_dir=tmp_path / "report", program=TESSALY,
                                    settings=tmp_path / "vive1939.ini", timeout=60)
    assert report["sequence"] == "Short cycle"
    assert report["verdict"] == "failed"
    assert report["passed"] is False
    assert report["exit_status"] == 1
    assert report["port"] == str(stand_in.link)
    assert report["report_dir"] == str(tmp_path / "report")
    assert [(s["kind"], s["line"], s["verdict"]) for s in report["steps"]] == [
        ("profile", 3, "passed"), ("expect", 4, "passed"), ("expect", 5, "failed"),
        ("ask", 6, "passed")]
    failed = report["steps"][2]
    assert failed["expected"] == "Engine RPM >= 9000"
    assert failed["seen"] == "Engine RPM 3212.75"
    # The drive cycle takes its own second: its rows at 0, 0.5 and 1 s.
    cycle = report["steps"][0]
    assert cycle["end"] - cycle["start"] >= 1.0
    assert report == {**json.loads((tmp_path / "report" / "report.json").read_text()),
                      "report_dir": str(tmp_path / "report")}
    assert "level 30" in stand_in.log_text()


def test_a_refused_file_raises_the_programs_text_and_sends_nothing(
        stand_in: Any, tmp_path: Path) -> None:
    stand_in.start()
    sequence = tmp_path / "overheat.yaml"
    sequence.write_text("steps:\n  - level: 50\n  - levle: 50\n")
    with pytest.raises(TessalyError) as raised:
        Simulator.run_sequence(sequence, port=str(stand_in.link), program=TESSALY,
                               settings=tmp_path / "vive1939.ini")
    assert str(raised.value) == "overheat.yaml line 3: unknown step 'levle'"
    assert "RX" not in stand_in.log_text()
