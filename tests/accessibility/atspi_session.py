"""A private desktop for one accessibility test: its own session bus, X server and
accessibility bus, so that tests run side by side under ctest -j and leave nothing behind.

A test calls `start()` first; it skips the test (exit 77) when a piece is missing, and returns
the pyatspi module, imported only once the buses are up. Every process started here, or by a
test through `spawn()`, is ended when the test ends, and dies with it if the test is killed.
"""

import atexit
import ctypes
import importlib.util
import os
import signal
import subprocess
import sys
import tempfile
import time

SKIPPED = 77
SYSTEM_PYTHON = "/usr/bin/python3"
LAUNCHERS = ["/usr/libexec/at-spi-bus-launcher", "/usr/lib/at-spi2-core/at-spi-bus-launcher"]

_processes = []
_libc = ctypes.CDLL(None, use_errno=True)
_PR_SET_PDEATHSIG = 1


def skip(reason):
    print(f"SKIPPED: {reason}", flush=True)
    sys.exit(SKIPPED)


def fail(message):
    print(f"FAILED: {message}", flush=True)
    sys.exit(1)


def _dies_with_test():
    _libc.prctl(_PR_SET_PDEATHSIG, signal.SIGKILL)


def spawn(command, **options):
    """Starts a process in a process group of its own, ended with the test."""
    process = subprocess.Popen(command, preexec_fn=_dies_with_test, start_new_session=True,
                               **options)
    _processes.append(process)
    return process


def end(process, grace=5.0):
    """Ends a process, then whatever it started and left in its group: a polite SIGTERM
    first, so that it can end its own children (a program closes its port)."""
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(grace)
        except subprocess.TimeoutExpired:
            pass
    try:
        os.killpg(process.pid, signal.SIGKILL)  # what it started, if still there
    except (ProcessLookupError, PermissionError):
        pass
    if process.poll() is None:
        process.wait()


def _end_all():
    for process in reversed(_processes):
        end(process)


def _on_signal(number, _frame):
    _end_all()
    os._exit(128 + number)


def wait_for(predicate, seconds, step=0.05):
    deadline = time.monotonic() + seconds
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            return value
        time.sleep(step)


def _find_pyatspi():
    if importlib.util.find_spec("pyatspi") is not None:
        return
    # A Python of its own (pyenv, a virtual environment) does not see Debian's modules.
    if os.path.realpath(sys.executable) != os.path.realpath(SYSTEM_PYTHON) and \
            os.path.exists(SYSTEM_PYTHON):
        os.execv(SYSTEM_PYTHON, [SYSTEM_PYTHON] + sys.argv)
    skip("python3-pyatspi is not installed (scripts/setup installs it)")


def _which(name):
    for folder in os.environ.get("PATH", "").split(os.pathsep) + ["/usr/bin", "/usr/sbin"]:
        path = os.path.join(folder, name)
        if os.access(path, os.X_OK):
            return path
    return None


def _start_session_bus():
    bus = spawn(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    address = bus.stdout.readline().strip()
    if not address:
        fail("dbus-daemon gave no address")
    os.environ["DBUS_SESSION_BUS_ADDRESS"] = address


def _start_x_server():
    read_end, write_end = os.pipe()
    spawn(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1600x1000x24", "-nolisten",
           "tcp"], pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as reader:
        display = reader.readline().strip()
    if not display:
        fail("Xvfb gave no display number")
    os.environ["DISPLAY"] = ":" + display


def _start_accessibility_bus(launcher):
    # The launcher owns org.a11y.Bus on the session bus and starts the accessibility bus,
    # which starts the registry when the first client asks for it.
    spawn([launcher, "--launch-immediately"], stdout=subprocess.DEVNULL,
          stderr=subprocess.DEVNULL)
    owned = lambda: subprocess.run(
        ["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus", "/org/a11y/bus",
         "org.a11y.Bus.GetAddress"], capture_output=True, text=True).returncode == 0
    if not wait_for(owned, 10, 0.1):
        fail("at-spi-bus-launcher did not take the bus name")


def start():
    """Starts the private desktop and returns pyatspi."""
    _find_pyatspi()
    for tool in ["dbus-daemon", "dbus-send", "Xvfb"]:
        if _which(tool) is None:
            skip(f"{tool} is not installed (scripts/setup installs it)")
    launcher = next((path for path in LAUNCHERS if os.access(path, os.X_OK)), None)
    if launcher is None:
        skip("at-spi2-core is not installed (scripts/setup installs it)")
    atexit.register(_end_all)
    signal.signal(signal.SIGTERM, _on_signal)
    signal.signal(signal.SIGINT, _on_signal)
    # Settings and caches of everything started here stay in the test's own folder.
    home = tempfile.mkdtemp(prefix="tessaly-a11y-")
    os.environ["XDG_RUNTIME_DIR"] = home
    os.environ["XDG_CONFIG_HOME"] = os.path.join(home, "config")
    os.environ.pop("AT_SPI_BUS_ADDRESS", None)
    _start_session_bus()
    _start_x_server()
    _start_accessibility_bus(launcher)
    import pyatspi  # noqa: E402 - the buses it connects to exist only now
    return pyatspi


def program_environment(**extra):
    """What a Qt program needs to show itself to the accessibility bus on this desktop."""
    env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
               QT_ACCESSIBILITY="1")
    env.update(extra)
    return env


def work_folder(name):
    """A folder of the test's own, with an empty port-map folder in it."""
    work = tempfile.mkdtemp(prefix=f"tessaly-a11y-{name}-")
    os.makedirs(os.path.join(work, "comports"))
    return work


def start_stand_in(work, command, com, log_name):
    """Starts a stand-in linked as COM `com` in the work folder's port map; gives back the path
    of the log its output goes to."""
    ports = os.path.join(work, "comports")
    log_path = os.path.join(work, log_name)
    with open(log_path, "w") as log:
        spawn(command + ["--com", str(com)], env=dict(os.environ, COMPORTS_DIR=ports),
              stdout=log, stderr=subprocess.STDOUT)
    if not wait_for(lambda: os.path.islink(os.path.join(ports, f"com{com}")), 10):
        fail(f"{os.path.basename(command[0])} made no com{com} link")
    return log_path


def start_program(work, command, log_name):
    """Starts a program under test on this desktop, with the work folder's port map."""
    env = program_environment(COMPORTS_DIR=os.path.join(work, "comports"))
    with open(os.path.join(work, log_name), "w") as log:
        spawn(command, env=env, stdout=log, stderr=subprocess.STDOUT)


def start_tessaly(work, tessaly, com):
    """Starts Tessaly remembering COM `com`, so that it connects by itself."""
    settings = os.path.join(work, "vive1939.ini")
    with open(settings, "w") as f:
        f.write(f"COM={com};\r\n")
    start_program(work, [tessaly, "--settings", settings], "tessaly.log")
