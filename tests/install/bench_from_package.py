"""Runs the example bench test with nothing but an unpacked installation: the client from
ROOT/usr/lib/python3/dist-packages, Tessaly and j1939-sim from ROOT/usr/bin.

    python3 bench_from_package.py ROOT EXAMPLE COM

Exit status 0 when the bench test passed; what went wrong on standard error otherwise.
"""

import os
import subprocess
import sys
import tempfile
import time


def main() -> int:
    root, example, com = sys.argv[1], sys.argv[2], int(sys.argv[3])
    client = os.path.join(root, "usr/lib/python3/dist-packages")
    with tempfile.TemporaryDirectory() as folder:
        environment = dict(os.environ, PYTHONPATH=client, PYTHONDONTWRITEBYTECODE="1",
                           COMPORTS_DIR=folder)
        for name in ("TESSALY_PORT", "TESSALY_PROGRAM", "TESSALY_SETTINGS"):
            environment.pop(name, None)
        where = subprocess.run([sys.executable, "-c", "import tessaly; print(tessaly.__file__)"],
                               env=environment, capture_output=True, text=True)
        if not where.stdout.startswith(client):
            print("tessaly is not imported from the package: %s%s" % (where.stdout,
                  where.stderr), file=sys.stderr)
            return 1
        log = os.path.join(folder, "j1939-sim.log")
        device = subprocess.Popen([os.path.join(root, "usr/bin/j1939-sim"), "--com", str(com),
                                   "--log", log], env=environment, stdout=subprocess.DEVNULL)
        try:
            deadline = time.monotonic() + 10
            while not os.path.islink(os.path.join(folder, "com%d" % com)):
                if time.monotonic() > deadline or device.poll() is not None:
                    print("j1939-sim did not start", file=sys.stderr)
                    return 1
                time.sleep(0.05)
            bench = subprocess.run(
                [sys.executable, "-m", "pytest", "-q", "-p", "no:cacheprovider",
                 "-p", "tessaly.pytest_plugin", "--tessaly-port", "COM%d" % com,
                 "--tessaly-program", os.path.join(root, "usr/bin/Tessaly"),
                 "--tessaly-settings", os.path.join(folder, "vive1939.ini"), example],
                env=environment, cwd=folder, capture_output=True, text=True)
        finally:
            device.kill()
            device.wait()
        if bench.returncode != 0 or "1 passed" not in bench.stdout:
            print(bench.stdout + bench.stderr, file=sys.stderr)
            return 1
        return 0


if __name__ == "__main__":
    sys.exit(main())
