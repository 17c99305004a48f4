"""The errors the client raises."""


__all__ = ["TessalyError", "TessalyTimeoutError"]

class TessalyError(Exception):
    """Tessaly refused a command, ended, or lost the simulator.

    The message is the program's own text where it gave one (its error event, or what it
    printed on ending), so a test report says what an operator would have read.
    """


class TessalyTimeoutError(TessalyError, TimeoutError):
    """No answer within the time allowed.

    Also a TimeoutError, so ``except TimeoutError`` catches every time-out of the client and
    ``except TessalyError`` every failure.
    """
