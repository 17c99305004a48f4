#!/usr/bin/env python3
"""Writes the seed corpora under fuzz/corpus/ from inputs the unit tests use."""
import os

here = os.path.dirname(os.path.abspath(__file__))


def pair(b):
    d = "0123456789ABCDEF"
    return d[b & 0xF] + d[(b >> 4) & 0xF]


def checksummed(body):
    return body + pair((256 - sum(body.encode()) % 256) % 256) + "\r\n"


def ident(serial, version):
    return checksummed("ACK ID00" + "".join(pair((serial >> (8 * i)) & 0xFF) for i in range(4)) +
                       pair(version))


def status(level, flags):
    return checksummed("BRC %S" + pair(level) + pair(flags))


def write(target, name, data):
    folder = os.path.join(here, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    if isinstance(data, str):
        data = data.encode("latin-1")
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


# Terminal receive path: the lines and streams of the protocol tests.
mixed = ("ACK %\r\n" + status(33, 0x02) + "noise" + checksummed("BRC CLK" + pair(13) + pair(45)) +
         "ACK KI\r\n" + checksummed("BRC ACS" + pair(0x15)) + "ACK %ACK KI\r\n" +
         status(77, 0x0D) + "\r\n" + "ack cbrs=04\r\n" + status(90, 0) + "BRC %S1")
write("terminal_receive", "mixed", mixed)
write("terminal_receive", "identification", "ACK REVD\r\nACK CBRS=03\r\n" + ident(305419896, 1))
write("terminal_receive", "status-lines", "".join(status(l, f) for l, f in
                                                 [(0, 0), (50, 0x0F), (100, 0x02), (255, 0xFF)]))
write("terminal_receive", "answers", "ACK %\r\nACK KI\r\nACK CBRS=05\r\nACK REVF\r\nACK REV{\r\n")
write("terminal_receive", "headers-in-noise", "xxBRC ACK BRC %S" + "Z" * 60 + "\r\nACK \r\n")
write("terminal_receive", "lower-case", status(42, 0x04).lower())

# Settings file: the texts of the settings tests.
for i, text in enumerate(["COM=12;\r\n", "COM=COM5;\r\n", "; comment\r\nCOM=4;\r\n",
                          "/ COM=9;\n\r\nCOM=3;", "COM=2;\nPORT=6;\nCOM=8;\n", "COM=x; trailing\r\n",
                          "COM=;\r\n", "COM=7\r\n", "COM\n", "COM===\n"]):
    write("settings_reader", "settings-%d" % i, text)

# Image reader: a type byte (1 = scrambled) and the file.
hexfile = ":020000040000FA\r\n:10000000FFFFFFFF0000000011112222333344445C\r\n:00000001FF\r\n"
write("image_reader", "plain-hex", b"\x00" + hexfile.encode())
write("image_reader", "scrambled", b"\x01" + bytes(range(40)))
write("image_reader", "scrambled-short", b"\x01\x07\x08")

# Intel HEX pre-flight: a piece size byte and the file, sound and with the faults of the
# unit tests.
write("hex_check", "sound-crlf", b"\x00" + hexfile.encode())
write("hex_check", "sound-lf-pieces-of-7", b"\x06" + hexfile.replace("\r\n", "\n").encode())
write("hex_check", "bad-checksum", b"\x03" + hexfile.replace("5C\r\n", "5D\r\n").encode())
write("hex_check", "cut-short", b"\x10" + hexfile[:40].encode())
write("hex_check", "after-end", b"\x01" + (hexfile + ":00000001FF\r\n").encode())
write("hex_check", "unknown-type", b"\x20:020120060102D4\n:00000001FF\n")

# Boot runs: type byte, length (low, high bits), image, then actions (see BootRunHarness.h):
# 0 connect, 1 tick, 2 program, 3 raw batch, 4 echo, 5 echo + extra, 6 port lost,
# 7 erase reply, 8 identification, 9 echo n times, 10 device gone, 11 truncate image.
image = hexfile.encode()[:48]
good = bytes([0, len(image), 0]) + image + bytes([0, 8, 1, 2, 7, 0, 2, 2, 9, 60])
write("boot_run", "whole-run", good)
write("boot_run", "whole-run-scrambled", bytes([1, 8, 0]) + bytes(range(8)) +
      bytes([0, 8, 1, 2, 7, 0, 1, 1, 9, 20]))
write("boot_run", "lost-mid-run", bytes([0, len(image), 0]) + image +
      bytes([0, 8, 1, 2, 7, 0, 0, 0, 9, 10, 6, 2, 4]))
write("boot_run", "gone-and-shorter", bytes([0, len(image), 0]) + image +
      bytes([0, 8, 1, 2, 7, 0, 0, 0, 9, 5, 11, 10, 9, 5, 10, 4]))
write("boot_run", "noise-while-waking", bytes([0, 4, 0]) + b"abcd" +
      bytes([0, 1, 3, 5]) + b"wVel\n" + bytes([1, 1, 1, 8, 5, 0x77]))

# Recording reader: recordings as the recorder writes them (fewer columns), cut off, with
# quoted multi-row trouble codes, and files that are not recordings.
head = "time,link,level,Engine RPM [RPM],Parking,Engine DM1\r\n"
rows = ("2025-03-14T09:26:53.589+01:00,identified,50,4015.875,0,\" 110     0      1     0\r\n"
        " 111     1      1     0\"\r\n"
        "2025-03-14T09:26:54.000+01:00,lost,,,,\r\n"
        "2025-03-14T09:26:55.250+01:00,identified,100,8031.875,1,110:0:1:0 111:1:1:0\r\n")
write("recording_reader", "session", head + rows)
write("recording_reader", "cut-off", (head + rows)[:150])
write("recording_reader", "old-rows", head + "2025-03-14T09:26:54.000-05:30,disconnected,0,0,0,"
      "\"   0     0      0     0\"\r\n2024-02-29 23:59:59Z,identified,1e3,nan,1,x\n")
write("recording_reader", "foreign", "a,b,c\r\n1,2,3\r\n")
write("recording_reader", "bom", "\xef\xbb\xbf" + head + rows)

# Script lines on the socket: an op byte (script op % 4 + 1; (op >> 2) % 8: 0 comes, 1 goes,
# 2 broadcast, 3 reads, 4 a long run of one byte, else bytes) and its operands (ScriptLinesHarness.h).
def said(op, text):
    return bytes([op, len(text)]) + text


write("script_lines", "two-scripts", bytes([0, 1]) + said(20, b"level 50\nkey up\n") +
      said(21, b"warnings of") + said(20, b"snapshot\r\n") + said(21, b"f\nquit\n"))
write("script_lines", "overlong", bytes([0, 16, 65, 0]) + said(20, b"\nlevel 1\n") +
      bytes([16, 64, 10]))
write("script_lines", "comes-and-goes", bytes([0]) + said(20, b"level 7") + bytes([4, 0]) +
      said(20, b"0\n") + bytes([8, 255, 12, 3]))

# Sequence reader: a sequence of every step, refused ones, and drive cycles.
write("sequence_reader", "every-step", """name: Engine overheat warning
port: COM6
steps:
  - mode: {warnings: on, dynamic: off}
  - level: 50
  - expect: {level: 50, within: 5}
  - expect: {trouble_code: "Engine DM1 110:0", within: 3, grade: warning}
  - expect: {value: "Engine RPM", equals: 4015.875, tolerance: 0.5}
  - expect: {lamp: "Engine Amber", lit: off}
  - expect: {link: identified}
  - wait: 2
  - ramp: {level: 80, over: 10}
  - profile: cycle.csv
  - key: menu
  - name: Lamp
    ask: "Does the cluster show the amber engine lamp?"
  - run: {command: "./check_cluster.sh 110", timeout: 30}
""")
write("sequence_reader", "unknown-step", "steps:\n  - levle: 50\n")
write("sequence_reader", "flow", "{steps: [{level: 0}, {hold: 1}, {expect: {warnings: on}}]}\n")
write("sequence_reader", "anchors", "a: &x {level: 5}\nsteps: [*x, *x]\n")
write("sequence_reader", "cycle", "time_s,level,quiet\n0,0,on\n2.5,40,off\n10,100,off\n")
