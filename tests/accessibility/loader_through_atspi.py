#!/usr/bin/env python3
"""bootloader through AT-SPI alone, against boot-target on COM28: started with an image on its
command line, Connect and Program pressed through their actions, the bars, counters and
lamps read while the board is programmed, the bar and counters sensitive while they show a
run's figures and keeping them afterwards, and the board holding the image; no object of the
window without a name.

usage: loader_through_atspi.py BOOTLOADER BOOT_TARGET
"""

import os
import random
import sys
import time

import atspi_session as session
from atspi_reading import Window

COM = 28
IMAGE_SIZE = 3000
FILE_BOX = "Step 1: Load Program File"
IDENT_BOX = "Step 3: Connect to the Traget Board"
# What shows a run's progress: sensitive while it shows a run's figures.
FIGURES = ["Programming", "Bytes Sent", "Total Bytes"]


def main():
    loader, target = sys.argv[1:3]
    pyatspi = session.start()
    work = session.work_folder("loader")
    image = os.path.join(work, "firmware.bin")
    content = random.Random(21).randbytes(IMAGE_SIZE)
    with open(image, "wb") as f:
        f.write(content)
    received = os.path.join(work, "received.bin")
    # A pause before each echo keeps the run long enough to watch it.
    session.start_stand_in(work, [target, "--out", received, "--reply-delay", "2"], COM,
                           "target.log")
    session.start_program(work, [loader, "--port", f"COM{COM}", image], "bootloader.log")
    window = Window.of_program(pyatspi, "bootloader")

    window.expect_every_object_named()
    window.expect(window.text(FILE_BOX).endswith("firmware.bin"),
                  f"file box: {window.text(FILE_BOX)!r}")
    for name in ["Connection status On", "Connection status Off"]:
        window.expect(not window.checked(name), f"{name} lit before Connect")

    window.wait_sensitive("Connect", True, 10)
    window.press("Connect")
    window.wait_text(IDENT_BOX, lambda t: "boot-target" in t, 20)
    window.wait_sensitive("Program", True, 5)
    lamp_on = session.wait_for(lambda: window.checked("Connection status On"), 5)
    window.expect(lamp_on, "Connection status On not lit once identified")
    window.expect(not window.checked("Connection status Off"), "Connection status Off still lit")
    for name in FIGURES:
        window.expect(not window.sensitive(name), f"{name} sensitive before Program")

    window.press("Program")
    # (bytes sent, total bytes, programming bar, erase bar, erase maximum, figures sensitive)
    samples = []
    deadline = time.monotonic() + 60
    while time.monotonic() < deadline:
        erase = window.find("Flash Erasing").queryValue()
        sample = (int(window.text("Bytes Sent")), int(window.text("Total Bytes")),
                  window.value("Programming"), erase.currentValue, erase.maximumValue,
                  all(window.sensitive(name) for name in FIGURES))
        if window.sensitive("Connect"):  # the run has finished
            break
        samples.append(sample)
        time.sleep(0.05)
    else:
        window.stop("the run did not finish within 60 s")

    writing = [s for s in samples if 0 < s[0] < IMAGE_SIZE]
    window.expect(len({s[0] for s in writing}) >= 3,
                  f"Bytes Sent seen counting only {sorted({s[0] for s in writing})}")
    window.expect(all(s[1] == IMAGE_SIZE for s in writing),
                  f"Total Bytes while writing: {sorted({s[1] for s in writing})}")
    sent = [s[0] for s in writing]
    bars = [s[2] for s in writing]
    window.expect(sent == sorted(sent) and bars == sorted(bars),
                  "Bytes Sent or the Programming bar went backwards")
    window.expect(all(0 <= bar <= 100 for bar in bars), "Programming bar outside 0..100")
    window.expect(any(s[3] == s[4] == 64 for s in writing),
                  "Flash Erasing never read full (64 of 64) while writing")
    window.expect(all(s[5] for s in writing), "the bar or a counter not sensitive while writing")

    # Finished: the run's figures kept (and sensitive), lamps dark, the board holding the image.
    window.expect((window.text("Bytes Sent"), window.text("Total Bytes"),
                   window.value("Programming")) == (str(IMAGE_SIZE), str(IMAGE_SIZE), 100),
                  f"figures after the run: {window.text('Bytes Sent')}, "
                  f"{window.text('Total Bytes')}, {window.value('Programming')}")
    for name in FIGURES:
        window.expect(window.sensitive(name), f"{name} not sensitive after the run")
    for name in ["Connection status On", "Connection status Off"]:
        window.expect(not window.checked(name), f"{name} lit after the run")
    got = session.wait_for(lambda: os.path.exists(received) and
                           open(received, "rb").read() == content, 5)
    window.expect(got, "boot-target did not receive the image")

    window.finish()


if __name__ == "__main__":
    main()
