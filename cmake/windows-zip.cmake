# What Windows users get: the zip (the programs, hidapi.dll, the licence and
# a short read-me, with Windows line ends, to use without installing) and,
# where NSIS's makensis is at hand, the installer
# aprs-trekmor-configurator-VERSION-setup.exe (packaging/windows/installer.nsi.in).
set(TREKMOR_WINDOWS_ZIP "${CMAKE_BINARY_DIR}/aprs-trekmor-configurator-${PROJECT_VERSION}-win64.zip")
set(TREKMOR_INSTALLER "${CMAKE_BINARY_DIR}/aprs-trekmor-configurator-${PROJECT_VERSION}-setup.exe")
set(TREKMOR_INSTALLER_DIR "${CMAKE_BINARY_DIR}/windows-files")
configure_file(resources/windows/README.txt.in "${TREKMOR_INSTALLER_DIR}/README.txt" @ONLY NEWLINE_STYLE CRLF)
configure_file(LICENSE "${TREKMOR_INSTALLER_DIR}/LICENSE.txt" @ONLY NEWLINE_STYLE CRLF)
if(NOT TARGET hidapi::hidapi)
  return()
endif()

set(programs aprs-trekmor-cli)
if(TARGET aprs-trekmor-configurator)
  list(APPEND programs aprs-trekmor-configurator)
endif()
set(files "")
set(copies "")
foreach(program IN LISTS programs)
  list(APPEND copies $<TARGET_FILE:${program}>)
  list(APPEND files $<TARGET_FILE_NAME:${program}>)
endforeach()
list(APPEND files $<TARGET_FILE_NAME:hidapi::hidapi>)
set(binaries ${files})
list(APPEND files LICENSE.txt README.txt)
# The programs are stripped: the static Qt's symbols would double their size.
find_program(TREKMOR_STRIP NAMES ${TREKMOR_MINGW_TRIPLET}-strip strip)
add_custom_command(OUTPUT "${TREKMOR_WINDOWS_ZIP}"
  COMMAND ${CMAKE_COMMAND} -E copy ${copies} $<TARGET_FILE:hidapi::hidapi> "${TREKMOR_INSTALLER_DIR}"
  COMMAND "${TREKMOR_STRIP}" ${binaries}
  COMMAND ${CMAKE_COMMAND} -E rm -f "${TREKMOR_WINDOWS_ZIP}"
  COMMAND ${CMAKE_COMMAND} -E tar cf "${TREKMOR_WINDOWS_ZIP}" --format=zip ${files}
  WORKING_DIRECTORY "${TREKMOR_INSTALLER_DIR}"
  DEPENDS ${programs} hidapi::hidapi "${TREKMOR_INSTALLER_DIR}/README.txt" "${TREKMOR_INSTALLER_DIR}/LICENSE.txt"
  COMMENT "Packing ${TREKMOR_WINDOWS_ZIP}"
  VERBATIM)
add_custom_target(windows-zip DEPENDS "${TREKMOR_WINDOWS_ZIP}")

find_program(TREKMOR_MAKENSIS makensis)
if(NOT TARGET aprs-trekmor-configurator OR NOT TREKMOR_MAKENSIS OR NOT TREKMOR_WINDOWS_ICON)
  message(STATUS "No Windows installer: it needs the window, makensis (Debian's nsis) and the rendered icon")
  return()
endif()
configure_file(packaging/windows/installer.nsi.in "${TREKMOR_INSTALLER_DIR}/installer.nsi" @ONLY)
add_custom_command(OUTPUT "${TREKMOR_INSTALLER}"
  COMMAND "${TREKMOR_MAKENSIS}" -V2 -INPUTCHARSET UTF8 "${TREKMOR_INSTALLER_DIR}/installer.nsi"
  DEPENDS "${TREKMOR_WINDOWS_ZIP}" "${TREKMOR_INSTALLER_DIR}/installer.nsi" "${TREKMOR_WINDOWS_ICON}"
  COMMENT "Building the installer ${TREKMOR_INSTALLER}"
  VERBATIM)
add_custom_target(windows-installer DEPENDS "${TREKMOR_INSTALLER}")
