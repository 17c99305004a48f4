"""What one status event of ``Tessaly --headless`` reports, as typed values."""

import difflib
import re
from dataclasses import dataclass
from typing import Any, Dict, List, Mapping, NamedTuple

__all__ = ["Status", "TroubleCode", "Values"]

# The program sends every value twice: under its short key, which is lower-case snake case,
# and under its caption with the unit, which never is.
_KEY = re.compile(r"[a-z][a-z0-9_]*")


class TroubleCode(NamedTuple):
    """One diagnostic trouble code as a trouble-code box shows it: suspect parameter number
    (``spn``), failure mode identifier (``fmi``), occurrence count (``oc``) and conversion
    method (``cm``)."""

    spn: int
    fmi: int
    oc: int
    cm: int


class Values(Dict[str, float]):
    """The engine values of a status, by short key (``values["coolant_temp_f"]``) and by the
    dashboard's caption with its unit (``values["Engine Coolant Temp (F) [F]"]``). A name that
    is neither raises `KeyError` naming the three keys closest to it."""

    def keys_only(self) -> List[str]:
        """The short keys, in the program's order."""
        return [name for name in self if _KEY.fullmatch(name)]

    def __missing__(self, name: str) -> float:
        keys = self.keys_only()
        closest = difflib.get_close_matches(str(name).lower(), keys, n=3, cutoff=0)
        raise KeyError("no value %r; the closest keys: %s" % (name, ", ".join(closest)))


@dataclass(frozen=True)
class Status:
    """The dashboard at one moment, while a simulator is identified.

    - ``time``: seconds since Tessaly started;
    - ``level``: the simulation level the values belong to, 0 to 100;
    - ``engine_clock``: the engine clock as the dashboard shows it ("0:42");
    - ``modes``: ``dynamic``, ``quiet``, ``warnings`` and ``reset_dm2``, each on or off;
    - ``values``: every engine value by its short key, e.g. ``values["engine_rpm"]``, and by
      "Caption [unit]", e.g. ``values["Engine RPM [RPM]"]`` (see `Values`);
    - ``lamps``: every lamp by its label, lit or not, e.g. ``lamps["Engine Amber"]``;
    - ``trouble_codes``: the codes of each box by its caption, e.g.
      ``trouble_codes["Engine DM1"]``; a box that points to its multi-packet list gives the
      whole list, a box without a code an empty list.

    The names are those the program sends: the short keys and the dashboard's own captions.
    The codes and lamps are those of ``level`` and ``modes``: the status line they come from.
    """

    time: float
    level: int
    engine_clock: str
    modes: Dict[str, bool]
    values: Values
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
            values=Values((str(name), float(value)) for name, value in event["values"].items()),
            lamps={str(name): bool(lit) for name, lit in event["lamps"].items()},
            trouble_codes={
                str(box): [
                    TroubleCode(int(code["spn"]), int(code["fmi"]), int(code["oc"]),
                                int(code["cm"])) for code in codes
                ]
                for box, codes in event["trouble_codes"].items()
            },
        )
