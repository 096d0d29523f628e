#!/usr/bin/python3
"""The VISA library's VXI-11 client (TCPIP INSTR resources) through pyvisa, against visa-sim-vxi11d and
tirpc-vxi11d (whose RPC code is libtirpc's), each in turn on 127.0.0.1; a silent host; a server that stops
or is killed mid-session. Runs in a private network namespace (tests/support/private-network).

Usage: client_test.py <libvisa-sim.so> <visa-sim-vxi11d> <tirpc-vxi11d, or empty for none>"""
import os
import signal
import socket
import subprocess
import sys
import tempfile
import time

library, vxi11d, tirpc = sys.argv[1:4]
folder = tempfile.TemporaryDirectory(prefix="vxi11-client-test-")
bench = os.path.join(folder.name, "bench.yaml")
with open(bench, "w") as out:  # DATA?;DATA? is 1 MiB long (a bench file holds at most 1 MiB)
    out.write('resources:\n  - name: VXI0::112::INSTR\n    module: {}\n  - name: GPIB0::5::INSTR\n'
              '    generic:\n      replies: {"DATA?": "%s"}\n  - name: TCPIP0::127.0.0.1::gpib0,5::INSTR\n'
              '    lan: {}\n' % ("7" * ((1 << 19) - 1)))
os.environ["VISA_SIM_BENCH"] = bench
os.environ["VISA_SIM_STATE"] = os.path.join(folder.name, "state")

import pyvisa  # noqa: E402
from pyvisa.constants import StatusCode  # noqa: E402

failures = []


def check(condition, what):
    print(("ok     " if condition else "FAILED ") + what)
    if not condition:
        failures.append(what)


def status_of(call):
    try:
        call()
        return StatusCode.success
    except pyvisa.errors.VisaIOError as error:
        return error.error_code


def start(command):
    process = subprocess.Popen(command, stderr=subprocess.PIPE, text=True)
    if process.stderr.readline().split()[:2] != ["listening", "on"]:
        sys.exit("the server did not start: %s" % " ".join(command))
    return process


rm = pyvisa.ResourceManager(library)
lib = rm.visalib
check("TCPIP0::127.0.0.1::gpib0,5::INSTR" in rm.list_resources() and "VXI0::112::INSTR" in rm.list_resources(),
      "viFindRsrc lists the bench's instrument on the network beside the simulated ones")

# name, command, device of the identity, its reply's beginning, device and query of a 1 MiB block, its size
servers = [("visa-sim-vxi11d", [vxi11d, "--bench", bench, "--state", os.path.join(folder.name, "state")],
            "inst0", "QUILLON-VANTERA,K4712V,", "gpib0,5", "DATA?;DATA?", 1 << 20)]
if tirpc:
    servers.append(("tirpc-vxi11d", [tirpc, "--max-recv-size", "4096"], "INST0", "TIRPC-TEST,", "inst0",
                    "DATA?", (1 << 20) + 10))
for name, command, device, identity, block_device, block_query, block_size in servers:
    server = start(command)
    resource = "TCPIP0::127.0.0.1::%s::INSTR" % device
    session = rm.open_resource(resource)
    session.read_termination = "\n"
    session.timeout = 3000
    check(session.query("*IDN?").startswith(identity), "%s: *IDN?" % name)
    check(session.get_visa_attribute(pyvisa.constants.VI_ATTR_INTF_TYPE) == 6 and
          session.get_visa_attribute(pyvisa.constants.VI_ATTR_TCPIP_DEVICE_NAME) == device and
          session.get_visa_attribute(pyvisa.constants.VI_ATTR_RSRC_NAME) == resource, "%s: attributes" % name)
    by_name = rm.open_resource("TCPIP0::localhost::%s::INSTR" % device)
    check(by_name.get_visa_attribute(pyvisa.constants.VI_ATTR_TCPIP_ADDR) == "127.0.0.1" and
          by_name.query("*IDN?").startswith(identity), "%s: a host by its name" % name)
    by_name.close()
    session.write("X" * 100000)  # many chunks of max_recv_size, END on the last only
    reply = session.query("*IDN?")
    # Reads of part of a reply, all of it exactly, and up to a term char.
    for what, count, term, want_status, want_data in (
            ("short", 5, None, StatusCode.success_max_count_read, reply[:5]),
            ("exact", len(reply) + 1, None, StatusCode.success, reply + "\n"),
            ("term char", 100, ord(","), StatusCode.success_termination_character_read, reply.split(",")[0] + ",")):
        session.write("*IDN?")
        lib.set_attribute(session.session, pyvisa.constants.VI_ATTR_TERMCHAR_EN, term is not None)
        lib.set_attribute(session.session, pyvisa.constants.VI_ATTR_TERMCHAR, term or 10)
        data, status = lib.read(session.session, count)
        lib.set_attribute(session.session, pyvisa.constants.VI_ATTR_TERMCHAR_EN, False)
        check((status, data.decode()) == (want_status, want_data), "%s: %s read: %s" % (name, what, status))
        lib.clear(session.session)
    block = rm.open_resource("TCPIP0::127.0.0.1::%s::INSTR" % block_device)
    block.write(block_query)
    check(len(block.read_raw()) == block_size, "%s: a 1 MiB reply" % name)
    # One exclusive lock, by viLock or by the open: another session is kept out until it is released.
    other = rm.open_resource(resource)
    for how, lock in (("viLock", lambda: session.lock_excl() or session),
                      ("an exclusive-lock open", lambda: rm.open_resource(
                          resource, access_mode=pyvisa.constants.AccessModes.exclusive_lock))):
        holder = lock()
        check(holder.get_visa_attribute(pyvisa.constants.VI_ATTR_RSRC_LOCK_STATE) == 1 and
              status_of(other.read_stb) == StatusCode.error_resource_locked, "%s: %s locks out" % (name, how))
        holder.unlock()
        if holder is not session:
            holder.close()
    check(status_of(session.unlock) == StatusCode.error_session_not_locked, "%s: unlock without a lock" % name)
    other.close()
    block.close()
    session.close()
    server.terminate()
    server.wait()

# Nothing waits past its time-out plus 1 s: a host whose portmapper takes the connection and never
# answers (viOpen's time-out is 2 s), a server stopped mid-session (the link is then closed).
silent = socket.socket()
silent.bind(("127.0.0.3", 111))
silent.listen()
server = start(servers[0][1])
session = rm.open_resource("TCPIP0::127.0.0.1::inst0::INSTR")
for what, limit, call, want in (
        ("viOpen of a silent host", 3.0, lambda: rm.open_resource("TCPIP0::127.0.0.3::INSTR"), StatusCode.error_timeout),
        ("viRead of a stopped server", 1.5, lambda: (os.kill(server.pid, signal.SIGSTOP),
                                                     setattr(session, "timeout", 500), session.read()),
         StatusCode.error_timeout),
        ("the next call on the closed link", 0.1, session.read_stb, StatusCode.error_connection_lost)):
    began = time.monotonic()
    status = status_of(call)
    took = time.monotonic() - began
    check(status == want and took < limit + 0.2, "%s: %s after %.2f s" % (what, status, took))
os.kill(server.pid, signal.SIGCONT)
session.close()

# A server killed mid-session: the connection is lost.
session = rm.open_resource("TCPIP0::127.0.0.1::inst0::INSTR")
check(session.query("*IDN?").startswith(servers[0][3]), "a new link to the resumed server")
server.kill()
server.wait()
check(status_of(lambda: session.query("*IDN?")) == StatusCode.error_connection_lost, "a killed server: connection lost")
session.close()
check(status_of(lambda: rm.open_resource("TCPIP0::127.0.0.1::INSTR")) == StatusCode.error_resource_not_found,
      "no server: not found")

sys.exit(1 if failures else 0)
