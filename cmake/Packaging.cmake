# The Debian package: scripts/package.sh runs "cpack -G DEB" in the build folder.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME gridwright)
set(CPACK_PACKAGE_VENDOR Orvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Gridwright developers <gridwright@orvane.invalid>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Gridwright developers <gridwright@orvane.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "flight-simulation theater files from a DEM and E00 map layers")
set(CPACK_PACKAGE_DESCRIPTION
"Gridwright turns a digital elevation model (a .hdr header and its .bin raster)
and Arc/Info export (.e00) map layers into the terrain and campaign files of a
flight-simulation theater: tiles and index, MEA grid, description, MAP file,
feature files and objectives.

The package holds the desktop program (gridwright), the command line
(gridwright-cli) and the manual.")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
# The libraries the programs link come from dpkg-shlibdeps; Qt's platform plugins,
# which the desktop program loads at run time, are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
include(CPack)
