"""What the pyvisa client scripts share: their arguments, a temporary state folder set before pyvisa loads
the library, and the checks they count."""
import os
import sys
import tempfile

library, bench = sys.argv[1], sys.argv[2]
state = tempfile.TemporaryDirectory(prefix="visa-sim-pyvisa-")
os.environ["VISA_SIM_BENCH"] = bench
os.environ["VISA_SIM_STATE"] = state.name

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAILED:", what)


def finish(name):
    print(name, "checks:", "all passed" if not failures else "%d failed" % len(failures))
    sys.exit(1 if failures else 0)
