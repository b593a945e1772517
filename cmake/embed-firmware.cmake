# Turns a firmware image file into a C++ source that carries it.
#   FIRMWARE_INPUT   the image file
#   FIRMWARE_OUTPUT  the source to write
#   FIRMWARE_TEMPLATE the source template (device/firmware_embedded.cpp.in)
# Refuses a missing, empty or too long image (the device's limit is
# TREKMOR_FIRMWARE_MAX_SIZE of product.cmake). Prints the image's size and
# SHA-256 so that a build log tells which image went in. Usable from
# CMakeLists.txt (include) and as a script (-P).
include("${CMAKE_CURRENT_LIST_DIR}/product.cmake")

if(NOT EXISTS "${FIRMWARE_INPUT}" OR IS_DIRECTORY "${FIRMWARE_INPUT}")
  message(FATAL_ERROR "Firmware image ${FIRMWARE_INPUT} does not exist.")
endif()
file(SIZE "${FIRMWARE_INPUT}" FIRMWARE_SIZE)
file(SHA256 "${FIRMWARE_INPUT}" FIRMWARE_SHA256)
message(STATUS "Firmware image ${FIRMWARE_INPUT}: ${FIRMWARE_SIZE} bytes, SHA-256 ${FIRMWARE_SHA256}")
if(FIRMWARE_SIZE EQUAL 0)
  message(FATAL_ERROR "Firmware image ${FIRMWARE_INPUT} is empty.")
endif()
if(FIRMWARE_SIZE GREATER TREKMOR_FIRMWARE_MAX_SIZE)
  message(FATAL_ERROR "Firmware image ${FIRMWARE_INPUT} is ${FIRMWARE_SIZE} bytes (SHA-256 ${FIRMWARE_SHA256}); "
                      "the device takes at most ${TREKMOR_FIRMWARE_MAX_SIZE} bytes.")
endif()

file(READ "${FIRMWARE_INPUT}" FIRMWARE_HEX HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," FIRMWARE_BYTES "${FIRMWARE_HEX}")
get_filename_component(FIRMWARE_NAME "${FIRMWARE_INPUT}" NAME)
configure_file("${FIRMWARE_TEMPLATE}" "${FIRMWARE_OUTPUT}" @ONLY)
