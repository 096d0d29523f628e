#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR under another prefix and uses what was installed as its
# users do: the program on the simulated module (it must find its own driver), the driver from a small
# C program through its header and pkg-config file, and the desktop files through Debian's validators.
#   install_test.sh BUILD_DIR VERSION C_COMPILER [C_FLAGS...]
set -euo pipefail
build=$1 version=$2 cc=$3
shift 3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root=$work/root prefix=/opt/rqk4712v
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR=$root cmake --install "$build" --prefix "$prefix" >"$work/install.log" || { cat "$work/install.log"; fail "cmake --install"; }
top=$root$prefix
find_one() { find "$top" -path "$1" | head -n 1; }
program=$top/bin/rqk4712v-sfp
driver=$(find_one "*/lib*/librqk4712v_32.so")
sim=$(find_one "*/rqk4712v-sfp/libvisa-sim.so")
bench=$top/share/rqk4712v-sfp/benches/default.yaml
for f in "$program" "$driver" "$sim" "$bench" "$top/include/rqk4712v.h" "$top/share/man/man1/rqk4712v-sfp.1.gz" \
    "$top/share/rqk4712v-sfp/help/rqk4712v.hhp" "$top/share/doc/rqk4712v-sfp/help/rqk4712v.hhp" \
    "$top/share/doc/rqk4712v-sfp/README.md" "$top/share/doc/rqk4712v-sfp/docs/labels-file.md"; do
    [ -f "$f" ] || fail "not installed: ${f#$root}"
done
[ -z "$(find "$top" -name 'libvisa.so*')" ] || fail "a library is installed as libvisa.so"
# The help book as the build made it beside the program, pictures included.
diff -rq "$SFP_BIN_DIR/help" "$top/share/rqk4712v-sfp/help" || fail "the help book differs from the build's"
for size in 16 22 24 32 48 64 128 256; do
    icon=$top/share/icons/hicolor/${size}x${size}/apps/rqk4712v-sfp.png
    file "$icon" | grep -q "PNG image data, $size x $size," || fail "icon of $size pixels: $(file "$icon")"
done

# --version and --help answer without a display; the VXI-11 server finds the simulated library from
# where it is installed, and its unit starts it from there.
[ "$(env -u DISPLAY "$program" --version)" = "rqk4712v-sfp $version" ] || fail "--version"
[ "$("$top/bin/visa-sim-vxi11d" --version)" = "visa-sim-vxi11d $version" ] || fail "visa-sim-vxi11d --version"
grep -qx "ExecStart=$prefix/bin/visa-sim-vxi11d --bench $prefix/share/rqk4712v-sfp/benches/default.yaml .*" \
    "$top/lib/systemd/system/visa-sim-vxi11d.service" || fail "the systemd unit's command line"
env -u DISPLAY "$program" /r --help | grep -q -- "--screenshot=FILE" || fail "--help"

# The live panel on the simulated module, with the driver found in the installed library folder.
mkdir "$work/run"
(cd "$work/run" && env -u RQK4712V_DRIVER_LIBRARY RQK4712V_VISA_LIBRARY="$sim" VISA_SIM_BENCH="$bench" \
    VISA_SIM_STATE="$work/state" LD_DEBUG=files LD_DEBUG_OUTPUT="$work/ld" \
    "$program" --screenshot="$work/panel.png" 2>"$work/run.log") || { cat "$work/run.log"; fail "screenshot run"; }
grep -q "non live panel" "$work/run.log" && { cat "$work/run.log"; fail "the installed program ran non-live"; }
loaded=$(grep -ho "file=[^ ]*/librqk4712v_32.so " "$work"/ld.* | head -n 1 | sed -e 's/^file=//' -e 's/ $//')
[ -n "$loaded" ] && [ "$(realpath "$loaded")" = "$(realpath "$driver")" ] ||
    fail "the driver was loaded from '$loaded', not from the installed library folder"
file "$work/panel.png" | grep -q "PNG image data" || fail "no picture saved"

# A C program against the installed header and pkg-config file.
cat >"$work/x.c" <<'C'
#include <stdio.h>
#include <rqk4712v.h>
int main(void) {
    ViSession s;
    ViChar driver[RQK4712V_TEXT_SIZE], firmware[RQK4712V_TEXT_SIZE];
    if (rqk4712v_init("VXI0::112::INSTR", 1, 0, &s) < 0) return 1;
    ViStatus status = rqk4712v_revision_query(s, driver, firmware);
    printf("%s %s\n", driver, firmware);
    return rqk4712v_close(s) < 0 || status < 0;
}
C
pcdir=$(dirname "$(find_one "*/pkgconfig/rqk4712v.pc")")
flags=$(PKG_CONFIG_LIBDIR=$pcdir PKG_CONFIG_SYSROOT_DIR=$root pkg-config --cflags --libs rqk4712v) || fail "pkg-config"
# shellcheck disable=SC2086
"$cc" "$@" -o "$work/x" "$work/x.c" $flags || fail "compiling against the installed driver"
out=$(LD_LIBRARY_PATH=$(dirname "$driver") RQK4712V_VISA_LIBRARY=$sim VISA_SIM_BENCH=$bench VISA_SIM_STATE=$work/state \
    "$work/x") || fail "the C program: $out"
[[ $out == A.01.00\ * ]] || fail "the C program printed: $out"

desktop-file-validate "$top/share/applications/rqk4712v-sfp.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$top"/share/metainfo/*.metainfo.xml || fail "appstreamcli validate"
for page in rqk4712v-sfp visa-sim-vxi11d; do
    warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l "$top/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "man page $page: $warnings"
done
echo "installed and used: ${prefix} under a DESTDIR"
