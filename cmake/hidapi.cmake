# hidapi, the USB HID library under device/hidapi_transport.cpp, on the
# platform's native backend (hidraw on Linux). Found through its CMake package
# when it ships one, else through pkg-config, else built from its source
# folder TREKMOR_HIDAPI_SOURCE_DIR (scripts/build-windows.sh fetches hidapi's
# source package there). Sets TREKMOR_HIDAPI_TARGET to the target to link.
set(TREKMOR_HIDAPI_SOURCE_DIR "" CACHE PATH "hidapi's source folder, built when no installed hidapi is found")

if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  set(_trekmor_hidapi_backend hidraw)
  set(_trekmor_hidapi_module hidapi-hidraw)
else()
  set(_trekmor_hidapi_backend hidapi)
  set(_trekmor_hidapi_module hidapi)
endif()

find_package(hidapi CONFIG QUIET)
if(TARGET hidapi::${_trekmor_hidapi_backend})
  set(TREKMOR_HIDAPI_TARGET hidapi::${_trekmor_hidapi_backend})
else()
  find_package(PkgConfig QUIET)
  if(PKG_CONFIG_FOUND)
    pkg_check_modules(HIDAPI QUIET IMPORTED_TARGET ${_trekmor_hidapi_module})
  endif()
  if(TARGET PkgConfig::HIDAPI)
    set(TREKMOR_HIDAPI_TARGET PkgConfig::HIDAPI)
  elseif(EXISTS "${TREKMOR_HIDAPI_SOURCE_DIR}/src/CMakeLists.txt")
    # hidapi's own build, as a shared library (hidapi.dll on Windows) that
    # the simulator's stand-in can replace. A function keeps the settings for
    # its build away from the rest of the project.
    function(trekmor_add_hidapi)
      set(BUILD_SHARED_LIBS ON)
      set(HIDAPI_WITH_LIBUSB OFF)
      add_subdirectory("${TREKMOR_HIDAPI_SOURCE_DIR}" "${CMAKE_BINARY_DIR}/hidapi-build")
    endfunction()
    trekmor_add_hidapi()
    set(TREKMOR_HIDAPI_TARGET hidapi::hidapi)
    get_target_property(_trekmor_hidapi_built hidapi::hidapi ALIASED_TARGET)
    # Its own code, not ours: our warning options do not apply to it.
    target_compile_options(${_trekmor_hidapi_built} PRIVATE $<$<C_COMPILER_ID:GNU,Clang>:-w>)
    # hidapi.dll beside the programs, under the name the simulator's stand-in has.
    set_target_properties(${_trekmor_hidapi_built} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}")
    if(WIN32)
      set_target_properties(${_trekmor_hidapi_built} PROPERTIES PREFIX "")
    endif()
  else()
    message(FATAL_ERROR "hidapi not found: install its development package (libhidapi-dev), or set "
                        "TREKMOR_HIDAPI_SOURCE_DIR to hidapi's source folder")
  endif()
endif()
