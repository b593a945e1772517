# The zip for Windows users: the command-line companion, hidapi.dll and a
# short text on its use, with Windows line ends. No installer is needed.
set(TREKMOR_WINDOWS_ZIP "${CMAKE_BINARY_DIR}/aprs-trekmor-cli-${PROJECT_VERSION}-win64.zip")
set(TREKMOR_WINDOWS_ZIP_DIR "${CMAKE_BINARY_DIR}/zip")
configure_file(resources/windows/README.txt.in "${TREKMOR_WINDOWS_ZIP_DIR}/README.txt" @ONLY NEWLINE_STYLE CRLF)
if(TARGET hidapi::hidapi)
  add_custom_command(OUTPUT "${TREKMOR_WINDOWS_ZIP}"
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:aprs-trekmor-cli> $<TARGET_FILE:hidapi::hidapi>
            "${TREKMOR_WINDOWS_ZIP_DIR}"
    COMMAND ${CMAKE_COMMAND} -E rm -f "${TREKMOR_WINDOWS_ZIP}"
    COMMAND ${CMAKE_COMMAND} -E tar cf "${TREKMOR_WINDOWS_ZIP}" --format=zip
            $<TARGET_FILE_NAME:aprs-trekmor-cli> $<TARGET_FILE_NAME:hidapi::hidapi> README.txt
    WORKING_DIRECTORY "${TREKMOR_WINDOWS_ZIP_DIR}"
    DEPENDS aprs-trekmor-cli hidapi::hidapi "${TREKMOR_WINDOWS_ZIP_DIR}/README.txt"
    VERBATIM)
  add_custom_target(windows-zip DEPENDS "${TREKMOR_WINDOWS_ZIP}")
endif()
