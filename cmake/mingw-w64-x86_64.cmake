# Cross-compiling for 64-bit Windows on Debian with MinGW-w64 (the posix
# thread model, which std::thread and std::mutex need):
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake ...
# scripts/build-windows.sh does this, fetches hidapi's sources and builds Qt.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TREKMOR_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TREKMOR_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TREKMOR_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TREKMOR_MINGW_TRIPLET}-windres)

# The C and C++ runtimes and the thread library linked in, so that a program
# needs no DLL of the compiler beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -static)

# Libraries, headers and CMake packages come from the Windows sysroot only;
# programs (pkg-config, code generators) from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${TREKMOR_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# A static Qt for Windows (scripts/build-qt-windows.sh) joins the sysroot, with
# the build machine's Qt as its host tools (moc, rcc, uic).
set(TREKMOR_QT_WINDOWS_PREFIX "" CACHE PATH "A Qt 6 built for Windows (scripts/build-qt-windows.sh)")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TREKMOR_QT_WINDOWS_PREFIX)
if(TREKMOR_QT_WINDOWS_PREFIX)
  list(APPEND CMAKE_FIND_ROOT_PATH "${TREKMOR_QT_WINDOWS_PREFIX}")
  set(QT_HOST_PATH /usr CACHE PATH "The build machine's Qt, whose tools build for Windows")
  set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "The CMake packages of QT_HOST_PATH")
endif()
# pkg-config sees no .pc file of the build machine.
set(ENV{PKG_CONFIG_LIBDIR} /usr/${TREKMOR_MINGW_TRIPLET}/lib/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")

# Header-only libraries of the build machine serve Windows as well. Each is
# offered through a folder of its own, so that the compiler never sees the
# build machine's other headers (/usr/include holds the C library's).
if(CMAKE_BINARY_DIR)
  set(_trekmor_headers_only "${CMAKE_BINARY_DIR}/header-only-packages")
  foreach(_package IN ITEMS nlohmann_json:nlohmann)
    string(REPLACE ":" ";" _parts "${_package}")
    list(GET _parts 0 _name)
    list(GET _parts 1 _include)
    if(EXISTS "/usr/share/cmake/${_name}" AND EXISTS "/usr/include/${_include}")
      file(MAKE_DIRECTORY "${_trekmor_headers_only}/share/cmake" "${_trekmor_headers_only}/include")
      if(NOT EXISTS "${_trekmor_headers_only}/share/cmake/${_name}")
        file(CREATE_LINK "/usr/share/cmake/${_name}" "${_trekmor_headers_only}/share/cmake/${_name}" SYMBOLIC)
      endif()
      if(NOT EXISTS "${_trekmor_headers_only}/include/${_include}")
        file(CREATE_LINK "/usr/include/${_include}" "${_trekmor_headers_only}/include/${_include}" SYMBOLIC)
      endif()
    endif()
  endforeach()
  list(APPEND CMAKE_FIND_ROOT_PATH "${_trekmor_headers_only}")
  list(APPEND CMAKE_PREFIX_PATH /)
endif()
