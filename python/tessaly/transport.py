"""How event lines reach the client and command lines leave it.

The client speaks to Tessaly through a `Transport` only, so that the same client can talk to
a program it started (`ProgramTransport`: the child's standard input and output) or to one
that runs already (`SocketTransport`: the socket of ``Tessaly --listen``).
"""

import collections
import errno
import json
import os
import signal
import socket
import struct
import subprocess
import threading
from typing import IO, Deque, Optional, Protocol, Sequence

from tessaly.errors import TessalyError

__all__ = ["ProgramTransport", "SocketTransport", "Transport"]


class Transport(Protocol):
    """The two directions of the headless protocol: event lines in, command lines out."""

    @property
    def pid(self) -> Optional[int]:
        """The process id of the program, where the transport knows it."""

    def read_line(self) -> Optional[str]:
        """The next event line, without its line end; None once no more can come. Blocks;
        called from one thread only."""

    def write_line(self, line: str) -> None:
        """Send one command line. Raises OSError when the far end is gone."""

    def close(self, timeout: float) -> None:
        """End the conversation within about `timeout` seconds; a second call does nothing."""

    def ending(self) -> str:
        """Once read_line has given None: why no more lines come, in the program's own words
        where it left some."""


# The exit statuses of a Tessaly ended by SIGHUP, SIGINT or SIGTERM.
_ENDED_BY_SIGNAL = (128 + signal.SIGHUP, 128 + signal.SIGINT, 128 + signal.SIGTERM)


def _signal_name(number: int) -> str:
    try:
        return "signal " + signal.Signals(number).name
    except ValueError:
        return "signal %d" % number


def _process_alive(pid: Optional[int]) -> bool:
    """False once the process `pid` has ended (a zombie not yet reaped has ended too); True
    while it runs or where that cannot be told."""
    if pid is None:
        return True
    try:
        with open("/proc/%d/stat" % pid) as stat:
            return stat.read().rsplit(")", 1)[1].split()[0] != "Z"
    except FileNotFoundError:
        return False
    except (OSError, IndexError):
        return True


class ProgramTransport:
    """A program started as a child process: commands to its standard input, events from its
    standard output, its standard error kept for the error texts."""

    stderr_lines_kept = 20

    def __init__(self, command: Sequence[str]) -> None:
        """Start `command` (the program first). TessalyError when it cannot be started."""
        self._name = os.path.basename(command[0])
        try:
            self._process = subprocess.Popen(
                list(command), stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                stderr=subprocess.PIPE, encoding="utf-8", errors="replace", bufsize=1)
        except OSError as error:
            raise TessalyError("cannot start %s: %s" % (command[0], error.strerror)) from error
        self._stderr: Deque[str] = collections.deque(maxlen=self.stderr_lines_kept)
        self._stderr_reader = threading.Thread(
            target=self._read_stderr, name="tessaly-stderr", daemon=True)
        self._stderr_reader.start()
        self._write_lock = threading.Lock()

    @property
    def pid(self) -> Optional[int]:
        """The child's process id."""
        return self._process.pid

    @property
    def returncode(self) -> Optional[int]:
        """The child's exit status once it has been reaped (minus the signal number when a
        signal ended it), else None."""
        return self._process.returncode

    def read_line(self) -> Optional[str]:
        """The next line of the child's standard output; None at its end."""
        stdout = self._stream(self._process.stdout)
        line = stdout.readline()
        if not line:
            stdout.close()
            return None
        return line.rstrip("\r\n")

    def write_line(self, line: str) -> None:
        """One line to the child's standard input; OSError once the child is gone."""
        stdin = self._stream(self._process.stdin)
        with self._write_lock:
            try:
                stdin.write(line + "\n")
                stdin.flush()
            except ValueError as closed:  # closed by close()
                raise BrokenPipeError("the program's input is closed") from closed

    def close(self, timeout: float) -> None:
        """``quit`` and the end of input, as an operator's Exit; SIGTERM, then SIGKILL if the
        child does not end within `timeout` seconds. The child is reaped either way."""
        if self._process.poll() is None:
            try:
                self.write_line("quit")
            except OSError:
                pass
        stdin = self._stream(self._process.stdin)
        try:
            stdin.close()
        except OSError:
            pass  # the child went before reading what was left
        try:
            self._process.wait(timeout)
        except subprocess.TimeoutExpired:
            self._process.terminate()
            try:
                self._process.wait(timeout)
            except subprocess.TimeoutExpired:
                self._process.kill()
                self._process.wait()
        self._stderr_reader.join(timeout)

    def ending(self) -> str:
        """"Tessaly ended (status 2): Tessaly: --port takes ...": how the child ended and the
        last lines of its standard error; empty if it does not end within a second."""
        try:
            # Its standard output has ended: the child is on its way out.
            code = self._process.wait(1.0)
        except subprocess.TimeoutExpired:
            return ""
        self._stderr_reader.join(1.0)
        if code < 0:
            how = _signal_name(-code)
        elif code in _ENDED_BY_SIGNAL:
            # Tessaly ends by SIGINT, SIGTERM and SIGHUP as by quit, with 128 + the signal.
            how = "status %d, %s" % (code, _signal_name(code - 128))
        else:
            how = "status %d" % code
        text = "%s ended (%s)" % (self._name, how)
        # One message a line, as the program wrote them: a usage error and its hint apart.
        lines = "\n".join(line.strip() for line in list(self._stderr) if line.strip())
        return text + ": " + lines if lines else text

    def _read_stderr(self) -> None:
        stderr = self._stream(self._process.stderr)
        for line in stderr:
            self._stderr.append(line)
        stderr.close()

    @staticmethod
    def _stream(stream: Optional[IO[str]]) -> IO[str]:
        assert stream is not None, "the child's pipes are made by the constructor"
        return stream


class SocketTransport:
    """A Tessaly that runs already with ``--listen``: the visible dashboard or another
    ``--headless`` session. Commands and events go through its socket; closing leaves it
    running."""

    def __init__(self, path: str) -> None:
        """Connect to the socket at `path`. TessalyError when nothing listens there."""
        self._path = path
        self._socket = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        try:
            self._socket.connect(path)
        except OSError as error:
            self._socket.close()
            text = "cannot attach to %s: %s" % (path, error.strerror)
            if error.errno in (errno.ENOENT, errno.ECONNREFUSED):
                # No socket, or one left by a Tessaly that has ended.
                text += "; no Tessaly listens there (start one with: Tessaly --listen %s)" % path
            raise TessalyError(text) from error
        self._pid: Optional[int] = None
        try:
            credentials = self._socket.getsockopt(
                socket.SOL_SOCKET, socket.SO_PEERCRED, struct.calcsize("3i"))
            self._pid = struct.unpack("3i", credentials)[0]
        except (OSError, AttributeError):
            pass  # a system without SO_PEERCRED: the pid stays unknown
        self._reader = self._socket.makefile("r", encoding="utf-8", errors="replace",
                                             newline="\n")
        self._write_lock = threading.Lock()
        self._closed = False
        self._last_error = ""

    @property
    def pid(self) -> Optional[int]:
        """The process id of the Tessaly listening there."""
        return self._pid

    def read_line(self) -> Optional[str]:
        """The next event line; None once Tessaly has closed the connection (or we have)."""
        try:
            line = self._reader.readline()
        except (OSError, ValueError):
            return None
        if not line:
            return None
        line = line.rstrip("\r\n")
        try:
            event = json.loads(line)
            if event.get("event") == "error":
                self._last_error = str(event.get("message", ""))
        except (ValueError, AttributeError):
            pass
        return line

    def write_line(self, line: str) -> None:
        """One command line; OSError once the connection is gone."""
        with self._write_lock:
            if self._closed:
                raise BrokenPipeError("the connection is closed")
            self._socket.sendall((line + "\n").encode("utf-8"))

    def close(self, timeout: float) -> None:
        """Leave: the connection closed, Tessaly and its window left running."""
        with self._write_lock:
            if self._closed:
                return
            self._closed = True
        try:
            self._socket.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass  # gone already
        self._socket.close()

    def ending(self) -> str:
        """"Tessaly ended (it listened at PATH)" once it has gone (it removes its socket
        before closing the connections; its process is checked too, for a SIGKILL); else
        "Tessaly closed the connection at PATH: refused: ...", with its last error text."""
        if not os.path.exists(self._path) or not _process_alive(self._pid):
            return "Tessaly ended (it listened at %s)" % self._path
        text = "Tessaly closed the connection at %s" % self._path
        return text + ": " + self._last_error if self._last_error else text
