"""Drive a J1939 simulator from Python through ``Tessaly --headless``.

For bench tests written in Python::

    from tessaly import Simulator

    with Simulator(port="COM3") as simulator:
        simulator.set_mode("dynamic", False)
        simulator.set_level(100)
        status = simulator.wait_for(lambda s: s.level == 100)
        assert status.lamps["Engine Amber"]
        print(status.values["coolant_temp_f"])
        print(status.trouble_codes["Engine DM1"][0])

`Simulator` starts the program and steers it (`Simulator.attach` steers one that runs already
with ``--listen``, the dashboard an operator watches); `Status` and `TroubleCode` hold what it
reports; `TessalyError` (and `TessalyTimeoutError`) carry the program's own error texts.
``tessaly.pytest_plugin`` offers the fixtures ``simulator`` and ``simulator_session``.
Standard library only; Python 3.9 or later.
"""

from tessaly.errors import TessalyError, TessalyTimeoutError
from tessaly.events import Event, EventStream
from tessaly.simulator import Simulator
from tessaly.status import Status, TroubleCode, Values

__all__ = ["Event", "EventStream", "Simulator", "Status", "TessalyError", "TessalyTimeoutError",
           "TroubleCode", "Values"]
