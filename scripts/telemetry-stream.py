#!/usr/bin/env python3
"""Plays the controller's telemetry on a pseudo-terminal for the comparison with a plain terminal.

Adapted from the team's shared bench scripts (stream.py), kept here so that scripts/peer-cpu.sh
needs nothing outside the repository.

telemetry-stream.py LINK SECONDS [CHARS_PER_S]: opens a pseudo-terminal pair, links its device
at LINK, prints the device's path, and for SECONDS writes telemetry lines at CHARS_PER_S
characters a second (960, a full 9600-baud line, unless told; 92 is a line every 500 ms) to
whoever opens the device. The fields stand at the controller's fixed positions; the filler is
lower case, so that no line holds the mode signals "O" or "N". What the reader writes back is
read and dropped, so that the stream never blocks on it. The link is removed on exit.
"""
import os
import signal
import sys
import time
import tty


def telemetry_line(set_tenths, current_tenths, output):
    return ("sv:%04d pv:%04d out: %03d kp:  010ki005kd002 ;\r\n"
            % (set_tenths, current_tenths, output)).encode()


def drain(master):
    os.set_blocking(master, False)
    try:
        while os.read(master, 4096):
            pass
    except OSError:
        pass
    finally:
        os.set_blocking(master, True)


def main():
    if len(sys.argv) not in (3, 4):
        sys.exit("usage: telemetry-stream.py LINK SECONDS [CHARS_PER_S]")
    link, seconds = sys.argv[1], float(sys.argv[2])
    rate = float(sys.argv[3]) if len(sys.argv) == 4 else 960.0
    # A kill ends the stream through the finally below, so that the link goes too.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))

    master, device = os.openpty()
    tty.setraw(device)
    if os.path.lexists(link):
        os.remove(link)
    os.symlink(os.ttyname(device), link)
    print(os.ttyname(device), flush=True)

    start = time.monotonic()
    written = 0
    current = 250.0
    try:
        while time.monotonic() - start < seconds:
            # A first-order approach to 60.0 degrees, the output falling as it nears.
            current += (600 - current) * 0.01
            line = telemetry_line(600, int(current), int(max(0, min(255, (600 - current) * 2))))
            try:
                os.write(master, line)
            except OSError:
                pass
            written += len(line)
            ahead = start + written / rate - time.monotonic()
            if ahead > 0:
                time.sleep(ahead)
            drain(master)
    finally:
        os.remove(link)


if __name__ == "__main__":
    main()
