#!/usr/bin/python3
"""visa-sim-vxi11d serving the mixed bench to VXI-11 clients written elsewhere: pyvisa's pure-Python
backend (and its RPC client, for the abort channel) and lxi-tools. Runs in a private network namespace
(tests/support/private-network), so ports 111 and up are its own.

Usage: vxi11d_test.py <visa-sim-vxi11d> <libvisa-sim.so, or empty for none> <bench file>"""
import os
import socket
import struct
import subprocess
import sys
import tempfile
import threading
import time

server_program, library, bench = sys.argv[1:4]
state = tempfile.TemporaryDirectory(prefix="vxi11d-test-")
# The local library client reads the same bench and state as the server.
os.environ["VISA_SIM_BENCH"] = bench
os.environ["VISA_SIM_STATE"] = state.name

import pyvisa  # noqa: E402
from pyvisa_py.protocols import rpc, vxi11  # noqa: E402

failures = []


def check(condition, what):
    print(("ok     " if condition else "FAILED ") + what)
    if not condition:
        failures.append(what)


def start(*options):
    """The server with its ready line read; its further messages are collected in .lines."""
    process = subprocess.Popen([server_program, "--bench", bench, "--state", state.name, *options],
                               stderr=subprocess.PIPE, text=True)
    ready = process.stderr.readline().split()
    process.lines = []
    threading.Thread(target=lambda: process.lines.extend(process.stderr), daemon=True).start()
    if ready[:2] != ["listening", "on"]:
        sys.exit("the server did not start: %s" % " ".join(ready))
    return process, int(ready[5].rstrip(",")), int(ready[8])


def run(*command, **kwargs):
    return subprocess.run(command, capture_output=True, text=True, timeout=30, **kwargs)


def record(body):
    return struct.pack(">I", 0x80000000 | len(body)) + body


def call(procedure, arguments, program=0x0607AF, xid=1):
    return record(struct.pack(">10I", xid, 0, 2, program, 1, procedure, 0, 0, 0, 0) + arguments)


def closed_by_server(connection, timeout):
    connection.settimeout(timeout)
    try:
        return connection.recv(100) == b""
    except ConnectionResetError:
        return True


rm = pyvisa.ResourceManager("@py")


def network(name):
    resource = rm.open_resource("TCPIP0::127.0.0.1::%s::INSTR" % name)
    resource.read_termination = "\n"
    resource.timeout = 3000
    return resource


def other_link_answers_meanwhile(busy):
    """Another link's *IDN? is answered while `busy` (a thread) still holds up its own connection."""
    identity = network("gpib0,9").query("*IDN?")
    return busy.is_alive() and identity.startswith("QUILLON-VANTERA,SWITCHBOX")


# Bad options and benches end at once with exit status 2 and the bench reader's message.
with tempfile.NamedTemporaryFile("w", suffix=".yaml") as broken:
    broken.write("resources:\n  - name: GPIB0::9::INSTR\n    generic: {}\n    switchbox: {}\n")
    broken.flush()
    for options, message in ((["--bench", broken.name], broken.name + ":2:"),
                             (["--listen", "::1"], "IPv4"), (["--max-links", "0"], "--max-links"),
                             (["--speed"], "unknown option")):
        result = run(server_program, *options)
        check(result.returncode == 2 and message in result.stderr, "refused: %s" % " ".join(options))

server, core_port, abort_port = start("--discoverable", "--max-links", "8")

# By default nothing listens beyond loopback (the portmapper on TCP and UDP included).
listening = []
for table in ("/proc/net/tcp", "/proc/net/udp"):
    for line in open(table).readlines()[1:]:
        local, state_code = line.split()[1], line.split()[3]
        if table.endswith("udp") or state_code == "0A":
            listening.append(local)
check(len(listening) == 4 and all(local.startswith("0100007F:") for local in listening),
      "listening on 127.0.0.1 only: %s" % listening)

# Identity of every device, by pyvisa and by lxi (lxi scpi always asks for inst0; its Lua API names any).
identities = {"inst0": "QUILLON-VANTERA,K4712V,", "inst1": "QUILLON-VANTERA,K4712V,",
              "gpib0,9": "QUILLON-VANTERA,SWITCHBOX,1042,", "gpib0,5": "ACME INSTRUMENTS,DMM-200,77,1.3",
              "dmm": "ACME INSTRUMENTS,DMM-200,77,1.3"}  # gpib0,5 by its lan_name
with tempfile.NamedTemporaryFile("w", suffix=".lua") as script:
    for name in identities:
        script.write('d = lxi_connect("127.0.0.1", 0, "%s", 2000, "VXI11")\nprint(lxi_scpi(d, "*IDN?"))\n'
                     'lxi_disconnect(d)\n' % name)
    script.flush()
    lua = run("lxi", "run", script.name).stdout.split("\n")
for index, (name, identity) in enumerate(identities.items()):
    check(network(name).query("*IDN?").startswith(identity), "pyvisa: identity of %s" % name)
    check(lua[index].startswith(identity), "lxi: identity of %s" % name)
check(run("lxi", "scpi", "--address", "127.0.0.1", "*IDN?").stdout.startswith(identities["inst0"]),
      "lxi scpi: identity of inst0")
check('Found "QUILLON-VANTERA,K4712V' in run("lxi", "discover", "-t", "1").stdout, "lxi discover finds the server")

# A route set over the network is what a local client of the library reads back.
box = network("gpib0,9")
box.write("ROUT:CLOS (@301)")
if library:  # none with a sanitized build
    local = pyvisa.ResourceManager(library).open_resource("GPIB0::9::INSTR")
    local.read_termination = "\n"
    check(local.query("ROUT:CLOS? (@300:303)") == "0,1,0,0", "route set over the network, read locally")

# A read with nothing to give waits for its time-out, then says so; the instrument notes one
# unterminated query, not one per look for a reply.
box.timeout = 300
began = time.monotonic()
try:
    box.read()
    check(False, "a read with nothing to give times out")
except pyvisa.errors.VisaIOError as error:
    check(error.error_code == pyvisa.constants.StatusCode.error_timeout and time.monotonic() - began >= 0.28,
          "a read with nothing to give times out after its time-out")
box.timeout = 3000
check([box.query("SYST:ERR?").split(",")[0], box.query("SYST:ERR?").split(",")[0]] == ["-420", "0"],
      "one unterminated query noted")

# One exclusive lock per device: another link is refused until it is released or its link destroyed.
other = network("gpib0,9")
box.lock_excl()
for attempt in (other.read_stb, other.lock_excl):
    try:
        attempt()
        check(False, "locked out: %s" % attempt.__name__)
    except pyvisa.errors.VisaIOError as error:
        check(error.error_code == pyvisa.constants.StatusCode.error_resource_locked, "locked out: %s" % attempt.__name__)
box.unlock()
other.lock_excl()
other.close()
box.lock_excl()
check(box.query("*IDN?").startswith(identities["gpib0,9"]), "a destroyed link's lock is released")
box.unlock()

# Link errors: an unknown device, and more links than --max-links.
core = vxi11.CoreClient("127.0.0.1")
check(core.create_link(1, 0, 0, "gpib0,29")[0] == 3, "an unknown device is not accessible")
links = [core.create_link(1, 0, 0, "inst0") for _ in range(8)]
check([error for error, *_ in links].count(9) > 0, "no more links than --max-links")
for error, lid, _, _ in links:
    if error == 0:
        core.destroy_link(lid)

# A link waiting in a read holds up no other link, and an abort ends the read with error 23 (the link
# goes on working afterwards).
error, lid, port, _ = core.create_link(1, 0, 0, "inst0")
check(port == abort_port, "create_link gives the abort port")
results = []
reader = threading.Thread(target=lambda: results.append(core.device_read(lid, 100, 5000, 0, 0, 0)))
reader.start()
check(other_link_answers_meanwhile(reader), "a waiting read holds up no other link")
aborter = rpc.RawTCPClient("127.0.0.1", vxi11.DEVICE_ASYNC_PROG, vxi11.DEVICE_ASYNC_VERS, abort_port)
aborter.packer, aborter.unpacker = vxi11.Vxi11Packer(), vxi11.Vxi11Unpacker("")
while reader.is_alive():  # an abort that comes before the read is in progress has nothing to end
    check(aborter.make_call(vxi11.DEVICE_ABORT, lid, aborter.packer.pack_int, aborter.unpacker.unpack_int) == 0,
          "device_abort answered")
    reader.join(0.05)
check(results[0][0] == 23, "the aborted read ends with error 23")
core.device_write(lid, 1000, 0, vxi11.OP_FLAG_END, b"*IDN?\n")
check(core.device_read(lid, 100, 1000, 0, 0, 0)[2].startswith(b"QUILLON"), "the link works after the abort")

# A peer stalled in the middle of a record holds up no other link and is dropped after 10 s; garbage,
# an oversized record and bad arguments end or refuse only what they came with.
stalled = socket.create_connection(("127.0.0.1", core_port))
stalled.sendall(struct.pack(">I", 0x80000064) + b"0123456789")
began = time.monotonic()
waiting = threading.Thread(target=closed_by_server, args=(stalled, 30))
waiting.start()
check(other_link_answers_meanwhile(waiting), "a stalled peer holds up no other link")
waiting.join()
check(time.monotonic() - began >= 9.5, "the stalled peer is dropped after 10 s")
for what, garbage in (("a record that is no RPC call", record(b"*IDN?\n")),
                      ("an oversized record", struct.pack(">I", 0x80000000 | (1 << 20) + 4097))):
    peer = socket.create_connection(("127.0.0.1", core_port))
    peer.sendall(garbage)
    check(closed_by_server(peer, 5), "a peer sending %s is dropped" % what)
peer = socket.create_connection(("127.0.0.1", core_port))
peer.sendall(call(10, struct.pack(">iiI", 1, 7, 0)))  # a bool of 7 and no device name
check(peer.recv(100)[4:][20:24] == struct.pack(">I", 4), "bad arguments are answered GARBAGE_ARGS")
logged = time.monotonic() + 5
while not any("10 s" in line for line in server.lines) and time.monotonic() < logged:
    time.sleep(0.01)  # the server's messages are read by another thread
check(any("dropped" in line and "10 s" in line for line in server.lines), "the drop is logged")

# A peer outside the allowed networks is closed at once.
guarded, guarded_core, _ = start("--listen", "127.0.0.2", "--allow", "10.1.0.0/16", "--portmapper", "own")
outsider = socket.socket()
outsider.bind(("127.0.0.1", 0))
outsider.connect(("127.0.0.2", guarded_core))
check(closed_by_server(outsider, 5), "a peer outside --allow is closed at once")

rm.close()
for process in (server, guarded):
    process.terminate()
    status = process.wait(10)
    check(status == 0, "SIGTERM ends the server with links open, exit status 0")
    if status != 0:
        print("".join(process.lines))

print("vxi11d checks:", "all passed" if not failures else "%d failed" % len(failures))
sys.exit(1 if failures else 0)
