#!/usr/bin/python3
"""tirpc-vxi11d (the libtirpc VXI-11 server of the network tests) against pyvisa's pure-Python client:
the portmapper it answers itself, *IDN?, the 1 MiB block, and a device it does not have. Runs in a
private network namespace (tests/support/private-network), so port 111 is its own.

Usage: tirpc_vxi11d_test.py <tirpc-vxi11d>"""
import subprocess
import sys

import pyvisa
from pyvisa_py.protocols import vxi11

failures = []


def check(condition, what):
    print(("ok     " if condition else "FAILED ") + what)
    if not condition:
        failures.append(what)


server = subprocess.Popen([sys.argv[1], "--identity", "TEST,TIRPC,7,2.0"], stderr=subprocess.PIPE, text=True)
ready = server.stderr.readline().split()
if ready[:3] != ["listening", "on", "127.0.0.1,"]:
    sys.exit("the server did not start: %s" % " ".join(ready))

rm = pyvisa.ResourceManager("@py")
instrument = rm.open_resource("TCPIP0::127.0.0.1::INST0::INSTR")  # as the panel writes an /a name
instrument.read_termination = "\n"
instrument.timeout = 3000
check(instrument.query("*IDN?") == "TEST,TIRPC,7,2.0", "identity through the server's own portmapper")
block = instrument.query_binary_values("DATA?", datatype="B", container=bytes)
check(block == bytes(i & 0xFF for i in range(1 << 20)), "the 1 MiB block, term char bytes inside included")
check(instrument.query("*IDN?").startswith("TEST,"), "the link answers after the block")
check(vxi11.CoreClient("127.0.0.1").create_link(1, 0, 0, "gpib0,9")[0] == 3,
      "a device other than instN is not accessible")
rm.close()

server.terminate()
check(server.wait(10) == 0, "SIGTERM ends the server, exit status 0")
print("tirpc-vxi11d checks:", "all passed" if not failures else "%d failed" % len(failures))
sys.exit(1 if failures else 0)
