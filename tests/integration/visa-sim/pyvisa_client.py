#!/usr/bin/python3
"""Drives the simulated VISA library through pyvisa, as an ordinary VISA client would.

Usage: pyvisa_client.py <path of libvisa-sim.so> <bench file>
Exits non-zero (with the failed check) when the library does not behave as a VISA library."""
from pyvisa_checks import check, finish, library  # sets the environment before pyvisa loads the library

import pyvisa  # noqa: E402


rm = pyvisa.ResourceManager(library)
resources = rm.list_resources()
print("resources:", resources)
check(resources == ("VXI0::112::INSTR", "GPIB-VXI0::24::INSTR", "GPIB0::9::INSTR", "GPIB0::5::INSTR"),
      "list_resources gives the bench resources in bench order")
check(rm.list_resources("GPIB?*::INSTR") == ("GPIB-VXI0::24::INSTR", "GPIB0::9::INSTR", "GPIB0::5::INSTR"),
      "list_resources with an expression")

box = rm.open_resource("GPIB0::9::INSTR")
box.read_termination = "\n"
box.write_termination = ""
identity = box.query("*IDN?")
print("identity:", identity)
check(identity.startswith("QUILLON-VANTERA,SWITCHBOX,"), "*IDN? of the switchbox")
check(box.query("SYST:CTYP? 3") == "QUILLON-VANTERA,K4712V,0,A.01.00", "card 3 is an RQK4712V card")
check(box.query("SYST:CTYP? 4").startswith("NONE"), "card 4 is missing")
box.write("ROUT:CLOS (@301)")
check(box.query("ROUT:CLOS? (@300:303)") == "0,1,0,0", "closing a channel")
check(box.read_stb() == 0, "status byte with nothing pending")
box.write("*IDN?")
check(box.read_stb() & 16 == 16, "status byte shows the waiting reply")
box.clear()
check(box.read_stb() & 16 == 0, "device clear empties the reply")
check(box.interface_type == pyvisa.constants.InterfaceType.gpib, "interface type attribute")
check(box.primary_address == 9, "primary address attribute")
box.timeout = 500
check(box.timeout == 500, "time-out attribute")
try:
    box.read()
    check(False, "a read with nothing pending times out")
except pyvisa.errors.VisaIOError as error:
    check(error.error_code == pyvisa.constants.StatusCode.error_timeout, "a read with nothing pending times out")
box.close()

meter = rm.open_resource("GPIB0::5::INSTR")
meter.read_termination = "\n"
check(meter.query("MEAS:VOLT?") == "+1.234567E+00", "generic instrument answers from its table")
meter.close()
rm.close()

finish("pyvisa")
