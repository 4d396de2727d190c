# The Debian package: `cpack -G DEB` in a build configured with CMAKE_INSTALL_PREFIX=/usr
# (scripts/package does both). Its version is the project's, the one --version prints.
set(CPACK_GENERATOR DEB)

# scripts/package compiles in unity mode (CMAKE_UNITY_BUILD) for speed, save these layers:
# their source files keep file-local helpers of the same names, which one unity file would
# declare twice.
if(CMAKE_UNITY_BUILD)
  set_target_properties(orva_link orva_panels orva_shell orva_sim PROPERTIES UNITY_BUILD OFF)
endif()

set(CPACK_PACKAGE_NAME orva)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "service and control tool for CCTV block cameras")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # orva_<version>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${ORVA_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "ORVA services CCTV block cameras (zoom cameras with lens, image processor\n"
    "and EEPROM) over an RS-232 line or a USB-serial adapter: it finds the\n"
    "line speed and protocol, identifies the model, drives the camera's\n"
    "functions, backs up, writes back and restores the camera's EEPROM, sends\n"
    "command files and shows every byte on the line.\n"
    "\n"
    "The package holds the desktop tool (orva), the command-line tool\n"
    "(orva-cli) and a virtual camera on a pseudo-terminal (orva-camsim), and a\n"
    "udev rule that keeps ModemManager away from USB-serial adapters.")
string(REPLACE ";" "" CPACK_DEBIAN_PACKAGE_DESCRIPTION "${CPACK_DEBIAN_PACKAGE_DESCRIPTION}")
# The libraries the programs link come from dpkg-shlibdeps. Qt loads its platform plugins
# (the X11 and Wayland back ends) at run time, which no binary shows; without them the
# desktop tool does not start, and Qt names them only as a recommendation.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(ORVA_BUILD_GUI)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
endif()
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "man-db, bash-completion")
include(CPack)
