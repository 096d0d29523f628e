# The Debian package rqk4712v-sfp_<version>_<arch>.deb, made by CPack from the install rules (run by
# scripts/package on a build configured with the prefix /usr). Its dependencies are computed from the
# shared libraries the program and the libraries link.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME "${SFP_PACKAGE_NAME}")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "${SFP_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "soft front panel of the RQK4712V VXI switch module")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS "${CMAKE_INSTALL_PREFIX}/${SFP_INSTALL_PRIVATE_LIBDIR}")
# The driver library stands in the public library folder: the dynamic linker's cache is refreshed by the
# ldconfig trigger. (CPack also writes a postinst and postrm that call ldconfig for such a library; the
# trigger makes them redundant but harmless. The library's name has no version, so no shlibs file.)
# The VISA setting file is the administrator's to edit: a conffile, kept on upgrades.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA "${CMAKE_CURRENT_SOURCE_DIR}/triggers" "${CMAKE_CURRENT_BINARY_DIR}/conffiles")
# The extended description; CPack puts the summary line before it and indents it as Debian wants.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "The operator's front panel for the RQK4712V, a VXI switch module card of
six groups, each driving a step attenuator or a four- or six-position RF
switch. It finds the module through VISA and the module's instrument driver,
shows the six groups in their present state and switches them on a click,
reads the module's error queue and status byte, resets the groups, runs the
self-test and configures the device type of each group.

The package also holds the module's instrument driver library librqk4712v_32
with its C header and pkg-config file, and a simulated VISA library with
example benches to try the panel without the hardware. The simulated library
is kept in the package's own folder, so it never stands in for a real VISA.
visa-sim-vxi11d serves the simulated bench to VXI-11 clients on the network
(a systemd unit for it is installed, not enabled).")
include(CPack)
