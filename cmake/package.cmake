# The Debian package, built by CPack from the install rules (cmake/install.cmake):
#   cpack -G DEB  ->  aprs-trekmor-configurator_VERSION-1_ARCH.deb
# scripts/build-package.sh builds it from a Release configuration.
set(TREKMOR_PACKAGE_RELEASE 1)
set(TREKMOR_MAINTAINER "APRS Trekmor Configurator developers <developers@trekmor.example.org>")
set(TREKMOR_PACKAGE_DOCS "${CMAKE_INSTALL_DATADIR}/doc/${TREKMOR_PACKAGE_NAME}")
set(TREKMOR_DEBIAN "${PROJECT_SOURCE_DIR}/packaging/debian")

# The copyright file and the package's change log that Debian asks of every
# package; installed for the package only (component "debian"), not by a
# plain `cmake --install`.
execute_process(COMMAND date -u -R -d "${TREKMOR_RELEASE_DATE}" OUTPUT_VARIABLE TREKMOR_CHANGELOG_DATE
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
configure_file("${TREKMOR_DEBIAN}/copyright" "${TREKMOR_GENERATED}/debian/copyright" @ONLY)
configure_file("${TREKMOR_DEBIAN}/changelog.in" "${TREKMOR_GENERATED}/debian/changelog.Debian" @ONLY)
set(TREKMOR_CHANGELOG "${TREKMOR_GENERATED}/debian/changelog.Debian")
if(TREKMOR_GZIP)
  add_custom_command(OUTPUT "${TREKMOR_CHANGELOG}.gz" COMMAND "${TREKMOR_GZIP}" -9nkf "${TREKMOR_CHANGELOG}"
                     DEPENDS "${TREKMOR_CHANGELOG}" VERBATIM)
  add_custom_target(trekmor_package_changelog ALL DEPENDS "${TREKMOR_CHANGELOG}.gz")
  set(TREKMOR_CHANGELOG "${TREKMOR_CHANGELOG}.gz")
endif()
install(FILES "${TREKMOR_GENERATED}/debian/copyright" "${TREKMOR_CHANGELOG}"
        DESTINATION "${TREKMOR_PACKAGE_DOCS}" COMPONENT debian EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME "${TREKMOR_PACKAGE_NAME}")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "${TREKMOR_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Everything the install rules install, and the Debian documents.
set(CPACK_INSTALL_CMAKE_PROJECTS "${PROJECT_BINARY_DIR};${PROJECT_NAME};ALL;/"
                                 "${PROJECT_BINARY_DIR};${PROJECT_NAME};debian;/")
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE "${TREKMOR_PACKAGE_RELEASE}")
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TREKMOR_MAINTAINER}")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# The libraries the programs link, found by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "configurator for the APRS Trekmor tracker and digipeater
The APRS Trekmor is an APRS tracker, digipeater and telemetry station that
connects to a computer over USB. This package sets it up:

 * aprs-trekmor-configurator shows its about 270 settings on tabs, checks
   each against its range, writes the configuration to the device or reads
   it back, keeps it in .cfg files and uploads firmware;
 * aprs-trekmor-cli does the same without a window, for scripts and for
   setting up a fleet of trackers.

A udev rule gives the user logged in at the seat access to the tracker.")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA "${TREKMOR_DEBIAN}/postinst;${TREKMOR_DEBIAN}/postrm")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
