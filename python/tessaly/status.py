"""What one status event of ``Tessaly --headless`` reports, as typed values."""

from dataclasses import dataclass
from typing import Any, Dict, List, Mapping, NamedTuple

__all__ = ["Status", "TroubleCode"]


class TroubleCode(NamedTuple):
    """One diagnostic trouble code as a trouble-code box shows it: suspect parameter number
    (``spn``), failure mode identifier (``fmi``), occurrence count (``oc``) and conversion
    method (``cm``)."""

    spn: int
    fmi: int
    oc: int
    cm: int


@dataclass(frozen=True)
class Status:
    """The dashboard at one moment, while a simulator is identified.

    - ``time``: seconds since Tessaly started;
    - ``level``: the simulation level the values belong to, 0 to 100;
    - ``engine_clock``: the engine clock as the dashboard shows it ("0:42");
    - ``modes``: ``dynamic``, ``quiet``, ``warnings`` and ``reset_dm2``, each on or off;
    - ``values``: every engine value by "Caption [unit]", e.g. ``values["Engine RPM [RPM]"]``;
    - ``lamps``: every lamp by its label, lit or not, e.g. ``lamps["Engine Amber"]``;
    - ``trouble_codes``: the codes of each box by its caption, e.g.
      ``trouble_codes["Engine DM1"]``; a box that points to its multi-packet list gives the
      whole list, a box without a code an empty list.

    The names are those the program sends: the dashboard's own captions.
    """

    time: float
    level: int
    engine_clock: str
    modes: Dict[str, bool]
    values: Dict[str, float]
    lamps: Dict[str, bool]
    trouble_codes: Dict[str, List[TroubleCode]]

    @classmethod
    def from_event(cls, event: Mapping[str, Any]) -> "Status":
        """The status a status event reports; KeyError, TypeError or ValueError when the
        event is not one."""
        return cls(
            time=float(event["time"]),
            level=int(event["level"]),
            engine_clock=str(event["engine_clock"]),
            modes={str(name): bool(on) for name, on in event["modes"].items()},
            values={str(name): float(value) for name, value in event["values"].items()},
            lamps={str(name): bool(lit) for name, lit in event["lamps"].items()},
            trouble_codes={
                str(box): [
                    TroubleCode(int(code["spn"]), int(code["fmi"]), int(code["oc"]),
                                int(code["cm"])) for code in codes
                ]
                for box, codes in event["trouble_codes"].items()
            },
        )
