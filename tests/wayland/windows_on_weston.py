"""Both windows on a Wayland desktop without XWayland: Tessaly and bootloader start natively,
fit a logical 1280x720 output at scale 2 below the desktop's panel, print nothing, and Escape
with the port list open closes the list alone while Escape on the window still ends it.

Weston runs nested in a private Xvfb (its headless backend has no keyboard to press keys
with); the programs see only WAYLAND_DISPLAY. Usage: windows_on_weston.py TESSALY J1939_SIM
BOOTLOADER. Exit 77 (skipped) where Weston, Xvfb, xdotool, ImageMagick or Qt's Wayland
plugin is missing. TESSALY_KEEP_WESTON=1 keeps the folder with the logs and screenshots.
"""

import glob
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SKIPPED = 77
COM = 16
# The output in physical pixels: a logical 1280x720 at scale 2.
WIDTH, HEIGHT = 2560, 1440
BACKGROUND = "#FF00FF"
PANEL = "#00FF00"

processes = []


def skip(reason):
    print(f"SKIPPED: {reason}", flush=True)
    sys.exit(SKIPPED)


def fail(message, logs=()):
    print(f"FAILED: {message}", flush=True)
    for path in logs:
        with open(path, errors="replace") as log:
            print(f"--- {os.path.basename(path)}:\n{log.read()[-2000:]}", flush=True)
    sys.exit(1)


def spawn(command, log, environment):
    process = subprocess.Popen(command, stdout=log, stderr=subprocess.STDOUT, env=environment,
                               start_new_session=True)
    processes.append(process)
    return process


def end_all():
    for process in reversed(processes):
        if process.poll() is None:
            os.killpg(process.pid, signal.SIGTERM)
            try:
                process.wait(5)
            except subprocess.TimeoutExpired:
                os.killpg(process.pid, signal.SIGKILL)
                process.wait()


def wait_until(condition, seconds, what):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        result = condition()
        if result:
            return result
        time.sleep(0.1)
    fail(f"{what} within {seconds} s")


def check_tools():
    for tool in ("weston", "Xvfb", "xdotool", "import", "convert"):
        if shutil.which(tool) is None:
            skip(f"{tool} is not installed")
    if not glob.glob("/usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so"):
        skip("Qt's Wayland platform plugin (qt6-wayland) is not installed")


class Desktop:
    """Xvfb, and in it a Weston with a desktop shell: magenta background, green panel on top."""

    def __init__(self, folder):
        self.folder = folder
        self.runtime = os.path.join(folder, "runtime")
        os.mkdir(self.runtime, 0o700)
        config = os.path.join(folder, "weston.ini")
        with open(config, "w") as ini:
            # No on-screen keyboard: it would cover the windows whenever a text field has focus.
            ini.write("[core]\nidle-time=0\n[shell]\nlocking=false\n"
                      f"background-color=0xff{BACKGROUND[1:]}\npanel-color=0xff{PANEL[1:]}\n"
                      "[input-method]\npath=\n"
                      # A key held down never repeats, however slow the machine.
                      "[keyboard]\nrepeat-delay=60000\n")
        reader, writer = os.pipe()
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(writer), "-screen", "0",
                                 f"{WIDTH + 40}x{HEIGHT + 40}x24", "-nolisten", "tcp"],
                                pass_fds=(writer,), stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL, start_new_session=True)
        processes.append(xvfb)
        os.close(writer)
        with os.fdopen(reader) as display:
            number = display.readline().strip()
        if not number:
            fail("Xvfb did not start")
        self.x_display = f":{number}"
        self.socket = f"weston-test-{os.getpid()}"
        environment = dict(os.environ, DISPLAY=self.x_display, XDG_RUNTIME_DIR=self.runtime)
        self.log = os.path.join(folder, "weston.log")
        spawn(["weston", f"--config={config}", "--backend=x11-backend.so", "--use-pixman",
               f"--width={WIDTH // 2}", f"--height={HEIGHT // 2}", "--scale=2", f"--socket={self.socket}"],
              open(self.log, "w"), environment)
        wait_until(lambda: os.path.exists(os.path.join(self.runtime, self.socket)), 15,
                   "Weston made no Wayland socket")
        # The pointer's sprite is drawn into the output: keep it on the panel, out of the way.
        self.xdotool("mousemove", str(WIDTH // 4), "2")
        wait_until(lambda: self.panel_height() > 0, 15, "Weston's panel did not appear")

    def xdotool(self, *arguments):
        subprocess.run(["xdotool", *arguments], env=dict(os.environ, DISPLAY=self.x_display),
                       check=True)

    def press(self, *keys):
        """Each key held a moment, as a hand does: a popup opened on a press and released in
        the same instant loses its grab to the release. Held long, for a loaded machine."""
        for key in keys:
            self.xdotool("keydown", key)
            time.sleep(0.6)
            self.xdotool("keyup", key)

    def screenshot(self, name):
        path = os.path.join(self.folder, name)
        subprocess.run(["import", "-window", "root", "-crop", f"{WIDTH}x{HEIGHT}+0+0", "+repage",
                        path], env=dict(os.environ, DISPLAY=self.x_display), check=True)
        return path

    def pixel_column(self, x, rows):
        shot = self.screenshot("column.png")
        out = subprocess.run(["convert", shot, "-crop", f"1x{rows}+{x}+0", "-depth", "8",
                              "rgb:-"], capture_output=True, check=True).stdout
        return [out[i:i + 3] for i in range(0, len(out), 3)]

    def panel_height(self):
        green = bytes.fromhex(PANEL[1:])
        column = self.pixel_column(WIDTH // 2, 200)
        height = 0
        while height < len(column) and column[height] == green:
            height += 1
        return height

    def window_box(self, panel):
        """The box of everything on the output below the panel that is not the background."""
        shot = self.screenshot("window.png")
        out = subprocess.run(["convert", shot, "-crop", f"{WIDTH}x{HEIGHT - panel}+0+{panel}",
                              "+repage", "-bordercolor", BACKGROUND, "-border", "1", "-format",
                              "%@", "info:"], capture_output=True, text=True, check=True).stdout
        size, _, place = out.partition("+")
        width, height = (int(v) for v in size.split("x"))
        x, y = (int(v) for v in place.split("+"))
        if width >= WIDTH + 2:
            return None  # nothing but background: the trim box covers the whole picture
        return x - 1, y - 1 + panel, width, height


def check_fits(desktop, program, name, before=None):
    """The box of the program's windows, once shown (and different from `before`)."""
    panel = desktop.panel_height()
    wait_until(lambda: program.poll() is not None or
               desktop.window_box(panel) not in (None, before), 20, f"{name} showed no window")
    if program.poll() is not None:
        fail(f"{name} ended with status {program.returncode} instead of showing its window")
    # The frame as it stands once the window has its size (the first frames may be smaller).
    time.sleep(1.0)
    x, y, width, height = desktop.window_box(panel)
    print(f"{name}: frame {width}x{height} at {x},{y}; panel {panel} px", flush=True)
    if height < 600:
        fail(f"{name}'s window is only {height} px high")
    # Weston places a window that fits strictly inside the free area; one that does not fit
    # is put at the corner and runs off the output.
    if y < panel or x + width >= WIDTH or y + height >= HEIGHT:
        fail(f"{name}'s frame {width}x{height} at {x},{y} does not lie inside the output "
             f"below the {panel} px panel")
    return x, y, width, height


def check_window(desktop, program, name, open_port_list):
    check_fits(desktop, program, name)
    desktop.press(*open_port_list)
    time.sleep(1.0)
    desktop.press("Escape")
    time.sleep(1.0)
    if program.poll() is not None:
        fail(f"{name} ended (status {program.returncode}) on Escape with the port list open")
    # Escape on the window itself still means what it always did; it also proves that the
    # first press reached the program.
    desktop.press("Escape")
    try:
        status = program.wait(10)
    except subprocess.TimeoutExpired:
        fail(f"{name} did not end on Escape on its window")
    if status != 0:
        fail(f"{name} ended with status {status} on Escape")


def main():
    if len(sys.argv) != 4:
        print(__doc__, file=sys.stderr)
        return 2
    tessaly, simulator, bootloader = sys.argv[1:]
    check_tools()
    folder = tempfile.mkdtemp(prefix="tessaly-weston-")
    try:
        desktop = Desktop(folder)
        ports = os.path.join(folder, "comports")
        home = os.path.join(folder, "home")
        os.makedirs(ports)
        os.makedirs(home)
        environment = {key: value for key, value in os.environ.items()
                       if key not in ("DISPLAY", "QT_QPA_PLATFORM", "XAUTHORITY")}
        environment.update(HOME=home, COMPORTS_DIR=ports, XDG_RUNTIME_DIR=desktop.runtime,
                           XDG_CONFIG_HOME=os.path.join(home, ".config"),
                           WAYLAND_DISPLAY=desktop.socket, QT_QPA_PLATFORM="wayland")
        sim_log = os.path.join(folder, "j1939-sim.log")
        spawn([simulator, "--com", str(COM), "--level", "40"], open(sim_log, "w"), environment)
        wait_until(lambda: os.path.islink(os.path.join(ports, f"com{COM}")), 10,
                   "j1939-sim made no link")
        settings = os.path.join(folder, "vive1939.ini")
        with open(settings, "w", newline="") as ini:
            ini.write(f"COM={COM};\r\n")

        tessaly_log = os.path.join(folder, "tessaly.log")
        program = spawn([tessaly, "--settings", settings], open(tessaly_log, "w"), environment)
        # The port list has the keyboard when the window opens.
        check_window(desktop, program, "Tessaly", ["F4"])

        # Trends beside the dashboard: both frames inside the output.
        program = spawn([tessaly, "--settings", settings], open(tessaly_log, "a"), environment)
        dashboard = check_fits(desktop, program, "Tessaly")
        desktop.press("ctrl+t")
        check_fits(desktop, program, "Tessaly and Trends", dashboard)
        program.terminate()
        program.wait(10)

        loader_log = os.path.join(folder, "bootloader.log")
        program = spawn([bootloader, f"--port=COM{COM}"], open(loader_log, "w"), environment)
        # Load File has the keyboard; the file name comes next, then the port list.
        check_window(desktop, program, "bootloader", ["Tab", "Tab", "F4"])

        for path in (tessaly_log, loader_log):
            with open(path, errors="replace") as log:
                printed = log.read().strip()
            if printed:
                fail(f"{os.path.basename(path)} is not empty on Wayland:\n{printed}",
                     [desktop.log])
        print("PASSED: both windows fit, Escape closed the port list alone", flush=True)
        return 0
    finally:
        end_all()
        if not os.environ.get("TESSALY_KEEP_WESTON"):
            shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
