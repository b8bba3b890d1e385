# The two Debian packages, made by CPack from the install components (see Install.cmake):
#   cpack --config <build>/CPackConfig.cmake
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kelvarox)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Kelvarox developers")
set(CPACK_PACKAGE_CONTACT "${KELVAROX_CONTACT}")
set(CPACK_PACKAGE_HOMEPAGE_URL ${KELVAROX_HOMEPAGE})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL kelvarox kelvarox-cli)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Dependencies from the libraries the programs link (dpkg-shlibdeps), so kelvarox-cli needs
# QtCore only.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

set(CPACK_DEBIAN_KELVAROX_PACKAGE_NAME kelvarox)
set(CPACK_DEBIAN_KELVAROX_PACKAGE_SUGGESTS kelvarox-cli)
set(CPACK_COMPONENT_KELVAROX_DESCRIPTION
"graph and tabulate the WOD telemetry blocks of a satellite
Kelvarox reads the 512-byte WOD telemetry blocks that a ground station's
capture program stores, decodes their headers and translates their samples
with the equations of a built-in catalogue of 128 channels. It shows a block
as a graph against orbit and mean anomaly and as a data table.
.
This package holds the window program, its desktop entry, icon, file type and
sample blocks.")

set(CPACK_DEBIAN_KELVAROX-CLI_PACKAGE_NAME kelvarox-cli)
set(CPACK_COMPONENT_KELVAROX-CLI_DESCRIPTION
"decode WOD telemetry blocks on the command line
kelvarox-cli does the work of Kelvarox on many blocks at once, for scripts:
the header of each block, its data table, and every sample of many blocks as
one CSV file. It needs no GUI library, so it suits a headless archive server.
.
Graph images need the renderer of the kelvarox package.")

include(CPack)
