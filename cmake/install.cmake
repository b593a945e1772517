# What `cmake --install` puts under the prefix: both programs and, on Linux,
# the udev rule, the desktop entry, the AppStream metadata, the icon, the MIME
# type of the configuration files and a manual page for each program. The Debian package
# (cmake/package.cmake) is built from these same rules. The simulator library
# and the test programs are not installed.
include(GNUInstallDirs)

set(TREKMOR_LINUX "${PROJECT_SOURCE_DIR}/resources/linux")
set(TREKMOR_MANUAL_DATE "${TREKMOR_RELEASE_DATE}")
configure_file("${TREKMOR_LINUX}/${TREKMOR_APPLICATION_ID}.metainfo.xml.in"
               "${TREKMOR_GENERATED}/linux/${TREKMOR_APPLICATION_ID}.metainfo.xml" @ONLY)

# Each manual page with the version and the product's facts filled in, and
# compressed as distributions ship them where gzip is at hand (man reads both).
find_program(TREKMOR_GZIP gzip)
set(TREKMOR_MANUALS "")
foreach(program aprs-trekmor-cli aprs-trekmor-configurator)
  set(page "${TREKMOR_GENERATED}/man/${program}.1")
  configure_file("${PROJECT_SOURCE_DIR}/docs/man/${program}.1.in" "${page}" @ONLY)
  if(TREKMOR_GZIP)
    add_custom_command(OUTPUT "${page}.gz" COMMAND "${TREKMOR_GZIP}" -9nkf "${page}" DEPENDS "${page}"
                       COMMENT "Compressing the manual page of ${program}" VERBATIM)
    set(page "${page}.gz")
  endif()
  set(TREKMOR_MANUAL_${program} "${page}")
  list(APPEND TREKMOR_MANUALS "${page}")
endforeach()
add_custom_target(trekmor_manuals ALL DEPENDS ${TREKMOR_MANUALS})

install(TARGETS aprs-trekmor-cli RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
if(TARGET aprs-trekmor-configurator)
  install(TARGETS aprs-trekmor-configurator RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
endif()
if(NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
  return()
endif()

install(FILES "${TREKMOR_MANUAL_aprs-trekmor-cli}" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
# udev reads its rules from lib/udev/rules.d under the prefix (/usr/lib/udev
# for a /usr install), never from a multiarch library folder.
install(FILES "${TREKMOR_LINUX}/70-aprs-trekmor.rules" DESTINATION lib/udev/rules.d)

if(TARGET aprs-trekmor-configurator)
  install(FILES "${TREKMOR_MANUAL_aprs-trekmor-configurator}" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
  install(FILES "${TREKMOR_LINUX}/${TREKMOR_APPLICATION_ID}.desktop"
          DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
  install(FILES "${TREKMOR_GENERATED}/linux/${TREKMOR_APPLICATION_ID}.metainfo.xml"
          DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")
  install(FILES "${TREKMOR_LINUX}/${TREKMOR_APPLICATION_ID}.svg"
          DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps")
  install(FILES "${TREKMOR_LINUX}/${TREKMOR_APPLICATION_ID}.mime.xml"
          DESTINATION "${CMAKE_INSTALL_DATADIR}/mime/packages" RENAME "${TREKMOR_APPLICATION_ID}.xml")
endif()
