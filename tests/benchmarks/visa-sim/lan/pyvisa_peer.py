#!/usr/bin/python3
"""Times pyvisa calls for the VXI-11 benchmarks: per line read from standard input, ten *IDN? queries
(or, for "block", ten 1 MiB replies) back to back, their mean time in nanoseconds written back, so the
benchmark program counts pyvisa's own time only (and not the peer's waking up for each line). Usage: pyvisa_peer.py <pyvisa backend: a library path or @py> <host>"""
import sys
import time

import pyvisa

rm = pyvisa.ResourceManager(sys.argv[1])
module = rm.open_resource("TCPIP0::%s::inst0::INSTR" % sys.argv[2])
module.read_termination = "\n"
generic = rm.open_resource("TCPIP0::%s::gpib0,5::INSTR" % sys.argv[2])
for line in sys.stdin:
    began = time.perf_counter_ns()
    for _ in range(10):
        if line.strip() == "block":
            generic.write("DATA?;DATA?")
            size = len(generic.read_raw())
        else:
            size = len(module.query("*IDN?"))
    print((time.perf_counter_ns() - began) // 10, size, flush=True)
