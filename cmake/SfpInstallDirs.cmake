# Where an installation puts the program's files: the GNU layout under any prefix. The program finds its
# libraries and data from its own folder through the relative paths below, so an installed copy works
# wherever it was put (any prefix, DESTDIR) without a setting. The folders given here must be relative
# ones (GNUInstallDirs' defaults) for that to hold.
include(GNUInstallDirs)
set(SFP_PACKAGE_NAME rqk4712v-sfp)
# The package's own library folder (the simulated VISA library), data folder (help book, example benches)
# and documentation folder.
set(SFP_INSTALL_PRIVATE_LIBDIR "${CMAKE_INSTALL_LIBDIR}/${SFP_PACKAGE_NAME}")
set(SFP_INSTALL_DATADIR "${CMAKE_INSTALL_DATADIR}/${SFP_PACKAGE_NAME}")
set(SFP_INSTALL_DOCDIR "${CMAKE_INSTALL_DATADIR}/doc/${SFP_PACKAGE_NAME}")
file(RELATIVE_PATH SFP_LIBDIR_FROM_BINDIR "${CMAKE_INSTALL_FULL_BINDIR}" "${CMAKE_INSTALL_FULL_LIBDIR}")
file(RELATIVE_PATH SFP_DATADIR_FROM_BINDIR "${CMAKE_INSTALL_FULL_BINDIR}"
    "${CMAKE_INSTALL_FULL_DATADIR}/${SFP_PACKAGE_NAME}")
