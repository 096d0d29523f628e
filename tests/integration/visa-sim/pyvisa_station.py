#!/usr/bin/python3
"""Drives the wired station bench through pyvisa, as a station's test sequence would.

Usage: pyvisa_station.py <path of libvisa-sim.so> <station bench file>
Exits non-zero (with the failed check) when a reading does not follow the routes and attenuations."""
import os
import subprocess
import sys

from pyvisa_checks import bench, check, finish, library, state  # sets the environment before pyvisa loads

import pyvisa  # noqa: E402
from pyvisa.constants import EventMechanism, EventType, StatusCode  # noqa: E402
from pyvisa.resources import MessageBasedResource  # noqa: E402


def in_other_process(code, bench_file=bench):
    """Runs the code in a fresh interpreter with its own load of the library; gives its output."""
    program = ("import pyvisa\nfrom pyvisa.resources import MessageBasedResource\n"
               "rm = pyvisa.ResourceManager(%r)\n" % library) + code
    environment = dict(os.environ, VISA_SIM_BENCH=bench_file)
    return subprocess.run([sys.executable, "-c", program], env=environment, capture_output=True, text=True)


rm = pyvisa.ResourceManager(library)
source = rm.open_resource("GPIB0::19::INSTR", read_termination="\n")
module = rm.open_resource("VXI0::112::INSTR", resource_pyclass=MessageBasedResource, read_termination="\n")
meter = rm.open_resource("GPIB0::13::INSTR", read_termination="\n")

source.write("POW 0;OUTP ON")
module.write("ROUT:CLOS (@132);:ROUT:ATT 1,0,5")
check(meter.query("MEAS:POW?") == "-5.00", "0 dBm through channel 2 of group 3 and 5 dB of group 0 reads -5 dBm")
module.write("ROUT:OPEN (@132)")
check(meter.query("READ?") == "-90.00", "an open channel leaves the noise floor")

# The route set in another process, and the source's power too.
child = in_other_process("rm.open_resource('VXI0::112::INSTR', resource_pyclass=MessageBasedResource)"
                         ".write('ROUT:CLOS (@132);:ROUT:ATT 1,0,11')\n"
                         "rm.open_resource('GPIB0::19::INSTR').write('POW -10')\n")
check(child.returncode == 0, "another process sets the route: " + child.stderr)
check(meter.query("MEAS:POW?") == "-21.00", "the meter sees the route and power another process set")
child = in_other_process("print(rm.open_resource('GPIB0::13::INSTR', read_termination='\\n').query('MEAS:POW?'))")
check(child.stdout.strip() == "-21.00", "a meter in another process sees this process's settings")

# A device trigger takes a reading that FETC? gives back.
module.write("ROUT:ATT 1,0,0")
meter.assert_trigger()
check(meter.query("FETC?") == "-10.00", "assert_trigger takes a reading")

# A service request through the event queue.
meter.enable_event(EventType.service_request, EventMechanism.queue)
meter.write("*ESE 1;*SRE 32;*OPC")
response = meter.wait_on_event(EventType.service_request, 2000)
check(response.event.event_type == EventType.service_request, "wait_on_event receives the service request")
check(meter.read_stb() & 64 == 64, "the status byte requests service")
try:
    meter.wait_on_event(EventType.service_request, 100)
    check(False, "a second wait times out")
except pyvisa.errors.VisaIOError as error:
    check(error.error_code == StatusCode.error_timeout, "a second wait times out")
meter.disable_event(EventType.service_request, EventMechanism.queue)
rm.close()

# A wiring the library refuses, named by its line.
with open(os.path.join(state.name, "loop.yaml"), "w") as broken:
    broken.write(open(bench).read() + "  - [VXI0::112::INSTR card 1 group 3 channel 1, GPIB0::13::INSTR in]\n")
child = in_other_process("", broken.name)
check(child.returncode != 0 and "loop.yaml:13: GPIB0::13::INSTR in is already connected (line 12)" in child.stderr,
      "a port used twice is refused with its line: " + child.stderr)

finish("pyvisa station")
