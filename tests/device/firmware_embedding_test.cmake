# Runs the firmware embedding step on images of 112640 and 112641 bytes: the
# first becomes a source carrying every byte, the second is refused; both
# runs print the image's size and SHA-256.
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")

function(run_embedding size out_result out_output)
  string(ASCII 1 one)
  string(REPEAT "${one}" ${size} content)
  file(WRITE "${WORK_DIR}/image-${size}.bin" "${content}")
  execute_process(
    COMMAND ${CMAKE_COMMAND} -DFIRMWARE_INPUT=${WORK_DIR}/image-${size}.bin
            -DFIRMWARE_OUTPUT=${WORK_DIR}/image-${size}.cpp
            -DFIRMWARE_TEMPLATE=${SOURCE_DIR}/device/firmware_embedded.cpp.in
            -P ${SOURCE_DIR}/cmake/embed-firmware.cmake
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  file(SHA256 "${WORK_DIR}/image-${size}.bin" hash)
  string(FIND "${output}" "${size} bytes" at_size)
  string(FIND "${output}" "${hash}" at_hash)
  if(at_size LESS 0 OR at_hash LESS 0)
    message(FATAL_ERROR "The run on ${size} bytes did not print its size and SHA-256:\n${output}")
  endif()
  set(${out_result} ${result} PARENT_SCOPE)
  set(${out_output} "${output}" PARENT_SCOPE)
endfunction()

run_embedding(112640 accepted accepted_output)
if(NOT accepted EQUAL 0)
  message(FATAL_ERROR "An image of 112640 bytes was refused:\n${accepted_output}")
endif()
file(READ "${WORK_DIR}/image-112640.cpp" source)
string(REGEX MATCHALL "0x01," bytes "${source}")
list(LENGTH bytes count)
if(NOT count EQUAL 112640)
  message(FATAL_ERROR "The generated source carries ${count} bytes instead of 112640")
endif()

run_embedding(112641 refused refused_output)
if(refused EQUAL 0 OR EXISTS "${WORK_DIR}/image-112641.cpp")
  message(FATAL_ERROR "An image of 112641 bytes was accepted:\n${refused_output}")
endif()
message(STATUS "112640 bytes accepted, 112641 refused")
