#!/usr/bin/env python3
"""Firmware upgrade against orbiksim --baud 57600: how close orbikflash gets
to the wire time, and how much of one core it uses meanwhile.

usage: bench/flash_upgrade.py [BUILD_DIR] [RUNS]   (default build/default, 5)

Wire time = bytes exchanged (both directions, from orbiksim's STATS line)
x 11 bits / 57600. Prints the median of the runs for wall time / wire time
(target <= 1.03) and CPU time / wall time of orbikflash (target < 5%).
"""
import os
import re
import statistics
import subprocess
import sys
import tempfile
import time

BAUD = 57600


def run_once(build, port=5):
    with tempfile.TemporaryDirectory() as com_dir:
        env = dict(os.environ, ORBIK_COM_DIR=com_dir)
        sim = subprocess.Popen(
            [os.path.join(build, "tools/orbiksim/orbiksim"), "--port", str(port), "--baud", str(BAUD)],
            stdout=subprocess.PIPE, text=True, env=env)
        try:
            if not sim.stdout.readline().startswith("READY"):
                sys.exit("orbiksim did not start")
            start = time.monotonic()
            flash = subprocess.Popen([os.path.join(build, "src/upgrade/orbikflash"), str(port)],
                                     stdout=subprocess.DEVNULL, env=env)
            _, status, usage = os.wait4(flash.pid, 0)
            wall = time.monotonic() - start
            if os.waitstatus_to_exitcode(status) != 0:
                sys.exit("orbikflash failed")
        finally:
            sim.terminate()
            out, _ = sim.communicate()
        m = re.search(r"bytes_in=(\d+) bytes_out=(\d+)", out)
        wire = (int(m.group(1)) + int(m.group(2))) * 11 / BAUD
        return wall, wire, usage.ru_utime + usage.ru_stime


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build/default"
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    results = [run_once(build) for _ in range(runs)]
    for wall, wire, cpu in results:
        print(f"run: wall {wall:.3f} s, wire {wire:.3f} s, cpu {cpu * 1000:.1f} ms")
    ratio = statistics.median(w / x for w, x, _ in results)
    load = statistics.median(c / w for w, _, c in results)
    print(f"median wall/wire time: {ratio:.4f} (target <= 1.03)")
    print(f"median orbikflash CPU: {load * 100:.2f}% of one core (target < 5%)")
    return 0 if ratio <= 1.03 and load < 0.05 else 1


if __name__ == "__main__":
    sys.exit(main())
